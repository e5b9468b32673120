// SPDX-License-Identifier: GPL-3.0-or-later
// A throw-away installation folder for generation tests: the staged fonts, a Temp folder, and
// pictures and Flash files made on demand.
#pragma once

#include "generate/GenerationReports.h"

#include <filesystem>
#include <string>
#include <vector>

namespace gentest {

// Collects reports as "error: ...", "notice: ...", "message: ..." lines.
class CRecordingReports : public IGenerationReports {
public:
    void ReportError(const std::string& strReason) override { lines.push_back("error: " + strReason); }
    void ShowNotice(const std::string& strText) override { lines.push_back("notice: " + strText); }
    void ShowMessage(const std::string& strText) override { lines.push_back("message: " + strText); }
    [[nodiscard]] size_t ErrorCount() const;
    [[nodiscard]] std::string Text() const;
    std::vector<std::string> lines;
};

class CTestHome {
public:
    // A fresh folder named after the test and this process (ctest runs tests of one suite side by
    // side); fonts copied unless bFonts is false.
    explicit CTestHome(const std::string& strName, bool bFonts = true);
    ~CTestHome();
    CTestHome(const CTestHome&) = delete;
    CTestHome& operator=(const CTestHome&) = delete;
    [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }
    // A baseline JPEG (or any format ImageMagick writes by the name) of w x h in one colour,
    // at a path relative to the folder ("Background/sky.jpg").
    void MakePicture(const std::string& strRelative, int w, int h, const std::string& strColour) const;
    // A small Flash file: one frame with a w x h rectangle of the colour.
    void MakeFlash(const std::string& strRelative, int w, int h, uint32_t nColour) const;

private:
    std::filesystem::path m_path;
};

// The dump of a movie file.
[[nodiscard]] std::string DumpFile(const std::filesystem::path& path);

} // namespace gentest
