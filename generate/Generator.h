// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "generate/GenerationReports.h"
#include "model/Project.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace swf {
class FdbFont;
}

struct CGenerationRun;

// Turns a project into a gift movie: one frame per card (or one card alone for the live preview),
// with the score and trace scripts, link buttons, credit line and music. Every step runs under a
// guard: a failure is reported through IGenerationReports with the step's reason and generation
// goes on. The two fonts stay loaded from one run to the next.
class CGenerator {
public:
    CGenerator(CProject& project, std::filesystem::path appDir, IGenerationReports& reports);
    ~CGenerator();
    CGenerator(const CGenerator&) = delete;
    CGenerator& operator=(const CGenerator&) = delete;

    // Writes the movie to strOutputPath (uncompressed). pCard null: the whole project, frame i + 1
    // for card i; else that card alone, without scripts or music, its picture converted under
    // nCardNumber. bForce 1 converts pictures again. Always returns 1; failures are reported.
    int GenerateSWF(const std::string& strOutputPath, const CCardInfo* pCard, int bForce, int nCardNumber);

    // Loads the text font and the title font when one is missing or bForce is set.
    void LoadFonts(int bForce);

    [[nodiscard]] bool HasTextFont() const { return m_pTextFont != nullptr; }
    [[nodiscard]] bool HasTitleFont() const { return m_pTitleFont != nullptr; }
    // The files the text font and the title font were last loaded from (empty before the first
    // load); kept also when a file failed to load.
    [[nodiscard]] std::pair<std::filesystem::path, std::filesystem::path> LastFontPaths() const
    {
        return { m_lastTextFontPath, m_lastTitleFontPath };
    }

private:
    int GenerateCard(int nSlot, const CCardInfo* pCard, int bWholeMovie, int bForce, int nCardNumber);
    void AddBackground(const CCardInfo& card, int bForce, int nCardNumber);
    void AddTitle(const CCardInfo& card);
    void AddComment(const CCardInfo& card, int nCardNumber);
    void AddLinks(const CCardInfo& card, int bWholeMovie, int bForce, int nCardNumber);
    void AddCredit(const CCardInfo& card, int bWholeMovie);
    void AddMusic();
    void WriteMovie(const std::string& strOutputPath);
    void NoticeMissingFonts();
    // One notice when the installation's Temp folder, where pictures and music are prepared, cannot
    // be written: the steps that need it then fail with their own reports.
    void CheckTempFolder();
    // The texts the card's scripts carry, shortened where a record could not hold them, with one
    // notice per shortened field; nPosition counts from 0.
    void FitScriptTexts(const CCardInfo& card, int nPosition);
    [[nodiscard]] const std::string& ScriptEmail();
    void NoticeShortened(const std::string& strField, const std::string& strKept);

    // The file a look value names: colour texts give nothing, an absolute value is taken as it is,
    // any other is looked up under the installation folder without regard to case.
    [[nodiscard]] std::filesystem::path ResolveReference(const std::string& strReference) const;
    [[nodiscard]] std::string AbsoluteReference(const std::string& strReference) const;

    // Runs step under a guard: a failure becomes an error report with strReason.
    template<class F> bool Guard(const char* strReason, F&& step);

    CProject& m_project;
    std::filesystem::path m_appDir;
    IGenerationReports& m_reports;
    std::shared_ptr<swf::FdbFont> m_pTextFont;
    std::shared_ptr<swf::FdbFont> m_pTitleFont;
    std::vector<std::string> m_missingFontFiles;
    std::filesystem::path m_lastTextFontPath;
    std::filesystem::path m_lastTitleFontPath;
    // The colour number of the card being drawn: the title's is read over the background's and
    // the comment's over the title's, so a malformed text keeps the colour read before it.
    uint32_t m_nLastColour = 0xFFFFFF;
    std::unique_ptr<CGenerationRun> m_pRun;
};

template<class F> bool CGenerator::Guard(const char* strReason, F&& step)
{
    try {
        step();
        return true;
    } catch (const std::exception&) {
        m_reports.ReportError(strReason);
        return false;
    }
}
