// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/generate/GenerationTestHome.h"

#include "imaging/Scratch.h"
#include "model/AtomicFile.h"
#include "swf/Movie.h"
#include "swf/Shape.h"
#include "swf/read/Dump.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <unistd.h>

namespace gentest {

size_t CRecordingReports::ErrorCount() const
{
    size_t count = 0;
    for (const std::string& line : lines) {
        count += line.starts_with("error: ") ? 1 : 0;
    }
    return count;
}

std::string CRecordingReports::Text() const
{
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

CTestHome::CTestHome(const std::string& strName, bool bFonts)
    : m_path(std::filesystem::path(MARROWLARK_GENERATE_ACTUAL) / "homes" /
          (strName + "-" + std::to_string(::getpid())))
{
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path / "Temp");
    // As the programs do at start: picture work keeps its scratch files in this Temp folder.
    imaging::setScratchFolder(m_path / "Temp");
    if (bFonts) {
        std::filesystem::copy(std::filesystem::path(MARROWLARK_STAGED_HOME) / "Font", m_path / "Font",
            std::filesystem::copy_options::recursive);
    }
}

CTestHome::~CTestHome()
{
    // A failed test leaves its folder behind to be looked at.
    if (!testing::Test::HasFailure()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
}

void CTestHome::MakePicture(const std::string& strRelative, int w, int h, const std::string& strColour) const
{
    const std::filesystem::path target = m_path / strRelative;
    std::filesystem::create_directories(target.parent_path());
    const std::string command = "/usr/bin/convert -size " + std::to_string(w) + "x" + std::to_string(h) +
        " 'xc:" + strColour + "' -interlace none '" + target.string() + "'";
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("cannot make " + target.string());
    }
}

void CTestHome::MakeFlash(const std::string& strRelative, int w, int h, uint32_t nColour) const
{
    const std::filesystem::path target = m_path / strRelative;
    std::filesystem::create_directories(target.parent_path());
    swf::Movie movie(6);
    movie.setDimension(static_cast<float>(w), static_cast<float>(h));
    movie.setRate(12);
    auto shape = std::make_shared<swf::Shape>();
    shape->setRightFill(shape->addSolidFill(swf::Color { static_cast<uint8_t>(nColour >> 16),
        static_cast<uint8_t>(nColour >> 8), static_cast<uint8_t>(nColour), 255 }));
    shape->drawLine(static_cast<float>(w), 0);
    shape->drawLine(0, static_cast<float>(h));
    shape->drawLine(static_cast<float>(-w), 0);
    shape->drawLine(0, static_cast<float>(-h));
    shape->end();
    movie.add(shape);
    movie.nextFrame();
    movie.write(target);
}

std::string DumpFile(const std::filesystem::path& path)
{
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    return swf::dumpMovie(bytes);
}

} // namespace gentest
