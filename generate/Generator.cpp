// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/Generator.h"

#include "generate/CardText.h"
#include "generate/GenerationRun.h"
#include "generate/GiftScripts.h"
#include "generate/Music.h"
#include "generate/ScriptTexts.h"
#include "model/InstallPaths.h"
#include "swf/FdbFont.h"
#include "swf/actionscript/Compiler.h"
#include "swf/read/PrebuiltClip.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace {

bool Contains(const std::string& strText, char c)
{
    return strText.find(c) != std::string::npos;
}

// Why nothing can be written into the folder (the system's reason), or "" when a file can be made
// there. A missing folder is created, as the music step would create it.
std::string FolderProblem(const std::filesystem::path& folder)
{
    std::error_code error;
    if (!std::filesystem::exists(folder, error)) {
        std::filesystem::create_directories(folder, error);
        if (error) {
            return error.message();
        }
    } else if (!std::filesystem::is_directory(folder, error)) {
        return std::make_error_code(std::errc::not_a_directory).message();
    }
    std::string strProbe = (folder / "probe-XXXXXX").string();
    const int fd = ::mkstemp(strProbe.data());
    if (fd < 0) {
        return std::generic_category().message(errno);
    }
    ::close(fd);
    ::unlink(strProbe.c_str());
    return {};
}

// Reports BeginRun and EndRun around one run, however it ends.
class CRunScope {
public:
    explicit CRunScope(IGenerationReports& reports)
        : m_reports(reports)
    {
        m_reports.BeginRun();
    }
    ~CRunScope() { m_reports.EndRun(); }
    CRunScope(const CRunScope&) = delete;
    CRunScope& operator=(const CRunScope&) = delete;

private:
    IGenerationReports& m_reports;
};

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

void CGenerator::CheckTempFolder()
{
    const std::filesystem::path temp = m_appDir / "Temp";
    const std::string strProblem = FolderProblem(temp);
    if (!strProblem.empty()) {
        m_reports.ShowNotice("The Temp folder " + temp.string() + " cannot be written: " + strProblem + ".");
    }
}

void CGenerator::NoticeShortened(const std::string& strField, const std::string& strKept)
{
    m_reports.ShowNotice("The " + strField +
        " is longer than a script of the movie holds; the scripts carry its first " +
        std::to_string(CountCharacters(strKept)) + " characters.");
}

const std::string& CGenerator::ScriptEmail()
{
    CGenerationRun& run = *m_pRun;
    if (!run.strScriptEmail) {
        // Half of the alert address, so that a card title keeps the other half.
        const std::string& strEmail = m_project.m_settings.m_strEmail;
        run.strScriptEmail = ShortenUtf8(strEmail, (kMaxAddressBytes - AlertAddressOverhead()) / 2, true);
        if (run.strScriptEmail->size() < strEmail.size()) {
            NoticeShortened("e-mail address of the project", *run.strScriptEmail);
        }
    }
    return *run.strScriptEmail;
}

void CGenerator::FitScriptTexts(const CCardInfo& card, int nPosition)
{
    CGenerationRun& run = *m_pRun;
    const std::string strCard = "card " + std::to_string(nPosition + 1);
    const CLinkList* pLinks = card.LinkList();
    const bool bLinks = pLinks != nullptr && !pLinks->empty();
    constexpr size_t kTraceTitles = kMaxTraceBytes - kTraceMarkBytes;
    std::string strTitle = card.m_strTitle;
    if (bLinks) {
        // The card title leaves room for the longest link title, but keeps half the entry when
        // both are long.
        size_t nLongestLink = 0;
        for (const std::unique_ptr<CLinkInfo>& pLink : *pLinks) {
            nLongestLink = std::max(nLongestLink, pLink ? pLink->m_strTitle.size() : 0);
        }
        strTitle = ShortenUtf8(strTitle, kTraceTitles - std::min(nLongestLink, kTraceTitles / 2));
    }
    if (card.m_bEmail != 0) {
        const size_t nUsed = AlertAddressOverhead() + EncodedBytes(ScriptEmail());
        strTitle = ShortenUtf8(strTitle, kMaxAddressBytes - std::min(nUsed, kMaxAddressBytes), true);
    }
    if (strTitle.size() < card.m_strTitle.size()) {
        NoticeShortened("title of " + strCard, strTitle);
    }
    run.strScriptTitle = std::move(strTitle);
    run.linkScriptTitles.clear();
    if (bLinks) {
        for (size_t k = 0; k < pLinks->size(); ++k) {
            const CLinkInfo* pLink = (*pLinks)[k].get();
            const std::string& strLinkTitle = pLink != nullptr ? pLink->m_strTitle : std::string();
            std::string strFitted = ShortenUtf8(strLinkTitle, kTraceTitles - run.strScriptTitle.size());
            if (strFitted.size() < strLinkTitle.size()) {
                NoticeShortened("title of link " + std::to_string(k + 1) + " of " + strCard, strFitted);
            }
            run.linkScriptTitles.push_back(std::move(strFitted));
        }
    }
}

int CGenerator::GenerateSWF(
    const std::string& strOutputPath, const CCardInfo* pCard, int bForce, int nCardNumber)
{
    const CRunScope scope(m_reports);
    m_pRun = std::make_unique<CGenerationRun>();
    CGenerationRun& run = *m_pRun;
    CheckTempFolder();
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
            FitScriptTexts(card, static_cast<int>(i));
            Guard("Failed to add ActionScript: getUrl();", [&] {
                if (card.m_bEmail != 0) {
                    run.Movie().add(swf::ActionBlock(
                        swf::actionscript::compile(MakeEmailAlertScript(run.strScriptTitle, ScriptEmail()))));
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
    int32_t nMusic = 0;
    try {
        nMusic = PrepareMusic(path.string(), m_appDir.string());
    } catch (const std::exception& e) {
        m_reports.ShowNotice(
            cardtext::WithReason("The music file " + path.string() + " could not be prepared.", e.what()));
        throw;
    }
    if (nMusic == 0) {
        return;
    }
    const auto musicFile = FindFileNoCase(JoinInstallPath(m_appDir, kStrMusicMovie));
    if (!musicFile) {
        return;
    }
    std::shared_ptr<swf::PrebuiltClip> pClip;
    try {
        pClip = swf::PrebuiltClip::fromFile(*musicFile);
    } catch (const std::exception& e) {
        m_reports.ShowNotice(cardtext::WithReason("Attention: The swf file " + AbsoluteReference(strMusic) +
                " of music may not work well.\nSuggestion: Please add this swf file before previewing or "
                "publishing to decrease errors.",
            e.what()));
        throw;
    }
    run.Movie().add(pClip);
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
    AddComment(*pCard, nCardNumber);
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
