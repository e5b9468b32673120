// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/Generator.h"

#include "generate/GenerationRun.h"
#include "generate/GiftScripts.h"
#include "generate/Music.h"
#include "model/InstallPaths.h"
#include "swf/FdbFont.h"
#include "swf/actionscript/Compiler.h"
#include "swf/read/PrebuiltClip.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <fstream>

namespace {

bool Contains(const std::string& strText, char c)
{
    return strText.find(c) != std::string::npos;
}

} // namespace

CGenerator::CGenerator(CProject& project, std::filesystem::path appDir, IGenerationReports& reports)
    : m_project(project)
    , m_appDir(std::move(appDir))
    , m_reports(reports)
{
}

CGenerator::~CGenerator() = default;

std::string CGenerator::AbsoluteReference(const std::string& strReference) const
{
    if (Contains(strReference, '#') || Contains(strReference, ':') || strReference.starts_with('/')) {
        return strReference;
    }
    return (JoinInstallPath(m_appDir, strReference)).string();
}

std::filesystem::path CGenerator::ResolveReference(const std::string& strReference) const
{
    if (strReference.empty() || Contains(strReference, '#')) {
        return {};
    }
    std::filesystem::path path = Contains(strReference, ':') || strReference.starts_with('/')
        ? std::filesystem::path(strReference)
        : JoinInstallPath(m_appDir, strReference);
    if (const auto found = FindFileNoCase(path)) {
        std::error_code error;
        if (std::filesystem::is_regular_file(*found, error)) {
            return *found;
        }
    }
    return {};
}

void CGenerator::LoadFonts(int bForce)
{
    if (m_pTextFont && m_pTitleFont && bForce == 0) {
        return;
    }
    const std::string& strFont = m_project.m_settings.m_strFont;
    const auto chosen = strFont.empty()
        ? std::nullopt
        : FindFileNoCase(JoinInstallPath(m_appDir, "Font\\" + strFont + ".fdb"));
    m_pTextFont.reset();
    m_pTitleFont.reset();
    m_missingFontFiles.clear();
    std::filesystem::path textPath;
    std::filesystem::path titlePath;
    if (chosen) {
        textPath = *chosen;
        const auto title = FindFileNoCase(JoinInstallPath(m_appDir, "Font\\_" + strFont + ".fdb"));
        titlePath = title ? *title : textPath;
    } else {
        textPath = InstallPath(m_appDir, "\\font\\Sans.fdb");
        titlePath = InstallPath(m_appDir, "\\font\\_Sans.fdb");
    }
    const auto load = [this](const std::filesystem::path& path) -> std::shared_ptr<swf::FdbFont> {
        try {
            return swf::FdbFont::fromFile(path);
        } catch (const std::exception&) {
            m_missingFontFiles.push_back(path.string());
            return nullptr;
        }
    };
    m_lastTextFontPath = textPath;
    m_lastTitleFontPath = titlePath;
    m_pTextFont = load(textPath);
    m_pTitleFont = load(titlePath);
}

void CGenerator::NoticeMissingFonts()
{
    if (!m_pRun || m_pRun->bFontsNoticed || m_missingFontFiles.empty()) {
        return;
    }
    m_pRun->bFontsNoticed = true;
    std::string strFiles;
    for (const std::string& strFile : m_missingFontFiles) {
        strFiles += (strFiles.empty() ? "" : ", ") + strFile;
    }
    m_reports.ShowNotice("The font file " + strFiles + " could not be loaded; texts in it are left out.");
}

int CGenerator::GenerateSWF(
    const std::string& strOutputPath, const CCardInfo* pCard, int bForce, int nCardNumber)
{
    m_pRun = std::make_unique<CGenerationRun>();
    CGenerationRun& run = *m_pRun;
    const CProjectSettings& settings = m_project.m_settings;
    run.fWidth = static_cast<float>(settings.m_nWidth);
    run.fHeight = static_cast<float>(settings.m_nHeight);
    const float fRate = FrameRateFromDelay(settings.m_strSlideDelay);
    const bool bWholeMovie = pCard == nullptr;

    Guard("Failed to create SWF file, Please try again", [&] {
        swf::Movie movie(6);
        movie.setDimension(run.fWidth, run.fHeight);
        movie.setRate(fRate);
        run.movie.emplace(std::move(movie));
    });

    if (bWholeMovie && !settings.m_strMusic.empty()) {
        Guard("Failed to add music to the e-gift, please try it again.", [&] { AddMusic(); });
    }

    run.fButtonWidth = -1.0F;
    run.fButtonHeight = -1.0F;

    if (!bWholeMovie) {
        GenerateCard(0, pCard, 0, bForce, nCardNumber);
    } else {
        Guard("Failed to add ActionScript: stop();", [&] {
            run.Movie().add(swf::ActionBlock(swf::actionscript::compile(kStrScoreReset)));
            if (settings.m_bSlideShow == 0) {
                run.stopBlock.emplace(swf::actionscript::compile(kStrStopScript));
            }
        });
        for (size_t i = 0; i < m_project.CardCount(); ++i) {
            const CCardInfo& card = m_project.Card(i);
            Guard("Failed to add ActionScript: getUrl();", [&] {
                if (card.m_bEmail != 0) {
                    run.Movie().add(swf::ActionBlock(swf::actionscript::compile(
                        MakeEmailAlertScript(card.m_strTitle, settings.m_strEmail))));
                }
                if (settings.m_bSlideShow == 0) {
                    if (!run.stopBlock) {
                        throw std::runtime_error("no stop script");
                    }
                    run.Movie().add(*run.stopBlock);
                }
            });
            GenerateCard(static_cast<int>(i) + 1, &card, 1, bForce, static_cast<int>(i));
        }
    }

    WriteMovie(strOutputPath);
    // The writer objects are plain owned values: releasing them cannot fail.
    m_pRun.reset();
    return 1;
}

void CGenerator::WriteMovie(const std::string& strOutputPath)
{
    CGenerationRun& run = *m_pRun;
    if (!run.movie) {
        return;
    }
    // The bytes are made first, so a writer failure leaves the old file alone; a failed write
    // removes what it wrote, so no half file is left behind as if it were a gift. No flush to
    // disk: the preview writes a movie on every edit and reads it back at once.
    std::vector<uint8_t> bytes;
    try {
        bytes = run.movie->toBytes(-1);
    } catch (const std::exception&) {
        m_reports.ReportError("Failed to create SWF file, Please try again");
        return;
    }
    const std::filesystem::path path(strOutputPath);
    bool bWritten = false;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(
                reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            out.close();
            bWritten = !out.fail();
        }
    }
    if (!bWritten) {
        std::error_code error;
        std::filesystem::remove(path, error);
        m_reports.ReportError(
            "Failed to write the e-gift to " + strOutputPath + ", please check the folder.");
    }
}

void CGenerator::AddMusic()
{
    CGenerationRun& run = *m_pRun;
    const std::string& strMusic = m_project.m_settings.m_strMusic;
    std::filesystem::path path = ResolveReference(strMusic);
    if (path.empty()) {
        path = Contains(strMusic, ':') || strMusic.starts_with('/') ? std::filesystem::path(strMusic)
                                                                    : JoinInstallPath(m_appDir, strMusic);
    }
    if (PrepareMusic(path.string(), m_appDir.string()) == 0) {
        return;
    }
    const auto musicFile = FindFileNoCase(JoinInstallPath(m_appDir, kStrMusicMovie));
    if (!musicFile) {
        return;
    }
    run.Movie().add(swf::PrebuiltClip::fromFile(*musicFile));
}

int CGenerator::GenerateCard(int nSlot, const CCardInfo* pCard, int bWholeMovie, int bForce, int nCardNumber)
{
    (void)nSlot;
    LoadFonts(0);
    NoticeMissingFonts();
    if (pCard == nullptr) {
        return 0;
    }
    CGenerationRun& run = *m_pRun;
    run.frameItems.clear();
    run.linkItems.clear();
    AddBackground(*pCard, bForce, nCardNumber);
    AddTitle(*pCard);
    AddComment(*pCard);
    AddLinks(*pCard, bWholeMovie, bForce, nCardNumber);
    AddCredit(*pCard, bWholeMovie);
    Guard("Failed to move to the next frame", [&] {
        run.Movie().nextFrame();
        for (const swf::DisplayItem& item : run.frameItems) {
            run.Movie().remove(item);
        }
    });
    Guard("Failed to clear resources", [&] {
        for (const swf::DisplayItem& item : run.linkItems) {
            run.Movie().remove(item);
        }
    });
    run.frameItems.clear();
    run.linkItems.clear();
    return 1;
}
