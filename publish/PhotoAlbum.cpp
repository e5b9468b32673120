// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/PhotoAlbum.h"

#include "generate/PicturePreparation.h"
#include "model/AtomicFile.h"
#include "swf/ActionBlock.h"
#include "swf/Error.h"
#include "swf/JpegBitmap.h"
#include "swf/Movie.h"
#include "swf/Shape.h"
#include "swf/actionscript/Compiler.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The album's fixed movie settings: one unit of the drawing calls is one pixel.
constexpr int kAlbumFlashVersion = 6;
constexpr int kAlbumWidth = 640;
constexpr int kAlbumHeight = 480;
constexpr float kAlbumRate = 33.0F;
constexpr uint8_t kAlbumGrey = 33; // the background is red, green and blue 33
constexpr int kAlbumCompression = 9;

// Each picture fades in over 20 frames, stays 40 and fades out over 20: 80 frames.
constexpr int kFadeFrames = 20;
constexpr int kHoldFrames = 40;

// The picture kinds the walk takes, by the text from the name's last "." on, in any letter case.
constexpr std::array<std::string_view, 5> kAlbumExtensions = { ".jpg", ".png", ".bmp", ".wmf", ".gif" };

// Installed once (the movie loops back to frame 1): a mouse press stops the show, the next resumes it.
constexpr std::string_view kControlsScript = "\t\t\t\t\t\t if(!init){\r\n"
                                             "\t\t\t\t\t\t init=true;\r\n"
                                             "\t\t\t\t\t\t stopped=false;\r\n"
                                             "\t\t\t\t\t\t controls = {\r\n"
                                             "\t\t\t\t\t\t onMouseDown: function () {\r\n"
                                             "\t\t\t\t\t\t if(!stopped){\r\n"
                                             "\t\t\t\t\t\t stop();\r\n"
                                             "\t\t\t\t\t\t stopped=true;\r\n"
                                             "\t\t\t\t\t\t }else{\r\n"
                                             "\t\t\t\t\t\t play();\r\n"
                                             "\t\t\t\t\t\t stopped=false;\r\n"
                                             "\t\t\t\t\t\t }\r\n"
                                             "\t\t\t\t\t\t }\r\n"
                                             "\t\t\t\t\t\t };\r\n"
                                             "\t\t\t\t\t\t Mouse.addListener(controls);\r\n"
                                             "\t\t\t\t\t\t }\r\n"
                                             "\t\t\t\t\t\t ";

// The private folder of the prepared copies is named after this, inside the scratch folder.
constexpr const char* kScratchPattern = "album-XXXXXX";

std::string FoldCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    return text;
}

bool HasAlbumExtension(const fs::path& path)
{
    const std::string name = path.filename().string();
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return false;
    }
    const std::string extension = FoldCase(name.substr(dot));
    return std::find(kAlbumExtensions.begin(), kAlbumExtensions.end(), extension) != kAlbumExtensions.end();
}

// Names within one folder without regard to letter case; the exact spelling breaks ties, so the
// order never depends on the order the file system lists them in.
void SortNoCase(std::vector<fs::path>& paths)
{
    std::sort(paths.begin(), paths.end(), [](const fs::path& a, const fs::path& b) {
        const std::string foldedA = FoldCase(a.filename().string());
        const std::string foldedB = FoldCase(b.filename().string());
        return foldedA != foldedB ? foldedA < foldedB : a.filename().string() < b.filename().string();
    });
}

struct CFolderId {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const CFolderId&) const = default;
};

// Everything the album will take, found before a single picture is prepared, so nothing made
// during the run can be met by the walk.
class CAlbumWalk {
public:
    std::vector<fs::path> m_pictures;
    std::vector<CLeftOut> m_leftOut;

    // Lists the chosen folder and every real sub-folder below it. False with strError when the
    // chosen folder itself cannot be read.
    bool Walk(const fs::path& folder, std::string& strError)
    {
        std::error_code error;
        if (!fs::is_directory(folder, error)) {
            strError = folder.string() + " is not a folder";
            return false;
        }
        std::vector<fs::path> subFolders;
        if (!ListOne(folder, subFolders, error)) {
            strError = "cannot read the folder " + folder.string() + ": " + error.message();
            return false;
        }
        WalkBelow(folder, subFolders);
        return true;
    }

private:
    void WalkBelow(const fs::path& folder, std::vector<fs::path>& subFolders)
    {
        const auto id = IdOf(folder);
        if (id) {
            m_ancestors.push_back(*id);
        }
        for (const fs::path& sub : subFolders) {
            const auto subId = IdOf(sub);
            if (subId && std::find(m_ancestors.begin(), m_ancestors.end(), *subId) != m_ancestors.end()) {
                // A folder mounted inside itself would be walked for ever.
                m_leftOut.push_back({ sub, "a folder that contains itself, not followed" });
                continue;
            }
            std::vector<fs::path> below;
            std::error_code error;
            if (!ListOne(sub, below, error)) {
                m_leftOut.push_back({ sub, "cannot be read: " + error.message() });
                continue;
            }
            WalkBelow(sub, below);
        }
        if (id) {
            m_ancestors.pop_back();
        }
    }

    // Adds the folder's own pictures (sorted) and gives back its real sub-folders (sorted).
    bool ListOne(const fs::path& folder, std::vector<fs::path>& subFolders, std::error_code& error)
    {
        std::vector<fs::path> pictures;
        std::vector<CLeftOut> leftOut;
        fs::directory_iterator it(folder, error);
        if (error) {
            return false;
        }
        for (; it != fs::directory_iterator(); it.increment(error)) {
            Classify(it->path(), pictures, subFolders, leftOut);
        }
        if (error) {
            return false;
        }
        SortNoCase(pictures);
        SortNoCase(subFolders);
        std::sort(leftOut.begin(), leftOut.end(),
            [](const CLeftOut& a, const CLeftOut& b) { return a.m_path < b.m_path; });
        m_pictures.insert(m_pictures.end(), pictures.begin(), pictures.end());
        m_leftOut.insert(m_leftOut.end(), leftOut.begin(), leftOut.end());
        return true;
    }

    // Real folders are walked, folder links are not (they may loop or lead out of the folder). A
    // picture is a regular file, or a link to one (taken under the link's name); a special file
    // would block the reader.
    static void Classify(const fs::path& path, std::vector<fs::path>& pictures,
        std::vector<fs::path>& subFolders, std::vector<CLeftOut>& leftOut)
    {
        std::error_code error;
        const fs::file_status own = fs::symlink_status(path, error);
        if (fs::is_directory(own)) {
            subFolders.push_back(path);
            return;
        }
        const bool isLink = fs::is_symlink(own);
        const fs::file_status target = isLink ? fs::status(path, error) : own;
        if (isLink && fs::is_directory(target)) {
            leftOut.push_back({ path, "a folder link, not followed" });
            return;
        }
        if (!HasAlbumExtension(path)) {
            return;
        }
        if (fs::is_regular_file(target)) {
            pictures.push_back(path);
        } else if (isLink && !fs::exists(target)) {
            leftOut.push_back({ path, "a link to nothing" });
        } else {
            leftOut.push_back({ path, "not a regular file" });
        }
    }

    static std::optional<CFolderId> IdOf(const fs::path& folder)
    {
        struct stat info { };
        if (::stat(folder.c_str(), &info) != 0) {
            return std::nullopt;
        }
        return CFolderId { info.st_dev, info.st_ino };
    }

    std::vector<CFolderId> m_ancestors;
};

// The private folder the copies are prepared in, removed with everything in it whatever happens.
class CScratchFolder {
public:
    explicit CScratchFolder(const fs::path& parent)
    {
        std::error_code error;
        fs::create_directories(parent, error);
        std::string pattern = (parent / kScratchPattern).string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error(
                "cannot make a working folder in " + parent.string() + ": " + std::strerror(errno));
        }
        m_path = pattern;
    }
    ~CScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    [[nodiscard]] const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

// The album movie as it is built: the controls in frame 1, 80 frames per picture, a last empty frame.
class CAlbumMovie {
public:
    CAlbumMovie()
        : m_movie(kAlbumFlashVersion)
    {
        m_movie.setDimension(kAlbumWidth, kAlbumHeight);
        m_movie.setRate(kAlbumRate);
        m_movie.setBackground(kAlbumGrey, kAlbumGrey, kAlbumGrey);
        m_movie.add(swf::ActionBlock(swf::actionscript::compile(kControlsScript, kAlbumFlashVersion)));
        m_movie.nextFrame();
    }

    // Centres the picture (integer halves) and fades it in, holds it and fades it out.
    void AddPicture(const std::shared_ptr<swf::JpegBitmap>& bitmap)
    {
        swf::DisplayItem item = m_movie.add(swf::Shape::fromBitmap(bitmap));
        item.moveTo(static_cast<float>(kAlbumWidth / 2 - bitmap->width() / 2),
            static_cast<float>(kAlbumHeight / 2 - bitmap->height() / 2));
        for (int t = 1; t <= kFadeFrames; ++t) {
            const double share = static_cast<double>(t) / kFadeFrames;
            item.multColor(1.0F, 1.0F, 1.0F, static_cast<float>(share * share));
            m_movie.nextFrame();
        }
        for (int i = 0; i < kHoldFrames; ++i) {
            m_movie.nextFrame();
        }
        for (int t = 1; t <= kFadeFrames; ++t) {
            const double share = 1.0 - static_cast<double>(t) / kFadeFrames;
            item.multColor(1.0F, 1.0F, 1.0F, static_cast<float>(share * share));
            m_movie.nextFrame();
        }
        item.remove();
    }

    [[nodiscard]] std::vector<uint8_t> Finish()
    {
        m_movie.nextFrame();
        return m_movie.toBytes(kAlbumCompression);
    }

private:
    swf::Movie m_movie;
};

CPublishResult NotWritten(CPublishResult result, EPublishOutcome outcome, std::string strError = {})
{
    result.m_outcome = outcome;
    result.m_strError = std::move(strError);
    result.m_nAdded = 0;
    return result;
}

} // namespace

CPublishResult BuildPhotoAlbum(const fs::path& folder, const fs::path& moviePath,
    const fs::path& scratchFolder, const PublishProgressFn& progress)
{
    CPublishResult result;
    std::error_code error;
    const fs::path targetFolder = moviePath.has_parent_path() ? moviePath.parent_path() : fs::path(".");
    if (!fs::is_directory(targetFolder, error)) {
        // Found before the work rather than after it.
        return NotWritten(
            result, EPublishOutcome::Failed, "the folder " + targetFolder.string() + " does not exist");
    }

    CAlbumWalk walk;
    std::string strError;
    if (!walk.Walk(folder, strError)) {
        return NotWritten(result, EPublishOutcome::Failed, strError);
    }
    result.m_leftOut = std::move(walk.m_leftOut);

    try {
        const CScratchFolder scratch(scratchFolder);
        CAlbumMovie movie;
        const uint64_t nListed = walk.m_pictures.size();
        uint64_t nDone = 0;
        uint64_t nRefused = 0;
        // Pictures that cannot be prepared make room for later ones, so the count may grow.
        const auto total = [&] { return std::min<uint64_t>(nListed, kMaxAlbumPictures + nRefused); };
        if (progress && !progress(0, total())) {
            return NotWritten(std::move(result), EPublishOutcome::Cancelled);
        }
        for (const fs::path& picture : walk.m_pictures) {
            if (result.m_nAdded == kMaxAlbumPictures) {
                result.m_leftOut.push_back({ picture,
                    "the album is full (at most " + std::to_string(kMaxAlbumPictures) + " pictures)" });
                continue;
            }
            const CAlbumPicture copy = ConvertAlbumPicture(
                picture.string(), scratch.Path(), static_cast<int>(nDone), kAlbumWidth, kAlbumHeight);
            if (!copy.IsCopied()) {
                result.m_leftOut.push_back({ picture, copy.strError });
                ++nRefused;
            } else {
                try {
                    // The bitmap holds its data from here on: the copy can go at once.
                    const auto bitmap = swf::JpegBitmap::fromFile(copy.strPath);
                    movie.AddPicture(bitmap);
                    ++result.m_nAdded;
                } catch (const swf::Error& e) {
                    result.m_leftOut.push_back({ picture, std::string("cannot be added: ") + e.what() });
                    ++nRefused;
                }
                fs::remove(copy.strPath, error);
            }
            ++nDone;
            if (progress && !progress(nDone, total())) {
                return NotWritten(std::move(result), EPublishOutcome::Cancelled);
            }
        }
        WriteFileAtomically(moviePath, movie.Finish());
    } catch (const std::exception& e) {
        return NotWritten(std::move(result), EPublishOutcome::Failed, e.what());
    }
    result.m_outcome = EPublishOutcome::Written;
    return result;
}
