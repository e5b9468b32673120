// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/PhotoAlbum.h"

#include "swf/ByteReader.h"
#include "swf/read/Records.h"
#include "swf/read/SwfFile.h"
#include "tests/imaging/TestPictures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace tp = testpictures;

namespace {

// What one frame of the album does to the stage, read back from the movie's tags.
struct CFrameEvent {
    enum class EKind { Place, Change, Remove } kind = EKind::Place;
    uint16_t depth = 0;
    int x = 0; // pixels, for a placement
    int y = 0;
    int width = 0; // the placed bitmap's size, for a placement
    int height = 0;
    std::optional<int> alpha; // the alpha multiplier in 8.8 fixed point, when the tag sets one
};

struct CAlbumMovie {
    swf::SwfHeader header;
    std::vector<uint8_t> file;
    std::vector<std::vector<uint8_t>> actions; // DoAction bodies
    std::optional<swf::rec::Rgba> background;
    // frames[i] is frame i + 1.
    std::vector<std::vector<CFrameEvent>> frames;
};

// Reads the movie and follows its characters: bitmap -> shape -> placement, so a placement
// carries the size of the picture it shows.
CAlbumMovie ReadAlbum(const fs::path& path)
{
    CAlbumMovie movie;
    movie.file = tp::readBytes(path);
    const swf::SwfFile swfFile = swf::readSwf(movie.file);
    movie.header = swfFile.header;
    std::map<uint16_t, std::pair<int, int>> bitmapSizes;
    std::map<uint16_t, uint16_t> shapeBitmaps;
    std::vector<CFrameEvent> frame;
    for (const swf::Tag& tag : swfFile.tags) {
        swf::ByteReader in(tag.body, "tag");
        switch (static_cast<swf::TagCode>(tag.code)) {
        case swf::TagCode::SetBackgroundColor:
            movie.background = swf::rec::readRgb(in);
            break;
        case swf::TagCode::DoAction:
            movie.actions.push_back(tag.body);
            break;
        case swf::TagCode::DefineBitsJPEG2: {
            const uint16_t id = in.u16();
            // The size is in the frame header (SOF0) of the JPEG data.
            const std::vector<uint8_t> jpeg(tag.body.begin() + 2, tag.body.end());
            const tp::JpegFrame sof = tp::inspectJpeg(jpeg);
            bitmapSizes[id] = { sof.width, sof.height };
            break;
        }
        case swf::TagCode::DefineShape3: {
            const uint16_t id = in.u16();
            (void)swf::rec::readBounds(in);
            in.alignBits();
            EXPECT_EQ(in.u8(), 1); // one fill style
            EXPECT_EQ(in.u8(), 0x41); // clipped bitmap
            shapeBitmaps[id] = in.u16();
            break;
        }
        case swf::TagCode::PlaceObject2: {
            const uint8_t flags = in.u8();
            CFrameEvent event;
            event.kind = (flags & 0x02) != 0 ? CFrameEvent::EKind::Place : CFrameEvent::EKind::Change;
            event.depth = in.u16();
            if ((flags & 0x02) != 0) {
                const auto size = bitmapSizes.at(shapeBitmaps.at(in.u16()));
                event.width = size.first;
                event.height = size.second;
            }
            if ((flags & 0x04) != 0) {
                const swf::rec::Matrix m = swf::rec::readMatrix(in);
                EXPECT_FALSE(m.hasScale || m.hasRotate);
                event.x = m.translateX / 20;
                event.y = m.translateY / 20;
            }
            if ((flags & 0x08) != 0) {
                const swf::rec::Cxform c = swf::rec::readCxform(in, true);
                EXPECT_FALSE(c.hasAdd);
                EXPECT_EQ(c.mult[0], 256);
                EXPECT_EQ(c.mult[1], 256);
                EXPECT_EQ(c.mult[2], 256);
                event.alpha = c.mult[3];
            }
            frame.push_back(event);
            break;
        }
        case swf::TagCode::RemoveObject2: {
            CFrameEvent event;
            event.kind = CFrameEvent::EKind::Remove;
            event.depth = in.u16();
            frame.push_back(event);
            break;
        }
        case swf::TagCode::ShowFrame:
            movie.frames.push_back(frame);
            frame.clear();
            break;
        default:
            ADD_FAILURE() << "unexpected tag " << tag.code;
        }
    }
    EXPECT_TRUE(frame.empty()) << "tags after the last frame";
    return movie;
}

// The alpha multiplier (8.8) of fade-in frame t, as the writer rounds it.
int FadeInAlpha(int t)
{
    const double share = t / 20.0;
    return static_cast<int>(std::rint(share * share * 256.0));
}

// Checks the 80 frames of the picture shown at depth (1-based, in walk order) and returns where
// and how large it was placed.
CFrameEvent CheckPictureFrames(const CAlbumMovie& movie, uint16_t depth)
{
    const size_t first = 1 + 80 * (depth - 1U); // index of its first frame
    const auto& opening = movie.frames.at(first);
    // The picture before it goes at the start of this frame.
    const size_t expectedEvents = depth == 1 ? 1 : 2;
    if (opening.size() != expectedEvents) {
        ADD_FAILURE() << "frame " << first + 1 << " has " << opening.size() << " events";
        return {};
    }
    if (depth > 1) {
        EXPECT_EQ(opening.front().kind, CFrameEvent::EKind::Remove);
        EXPECT_EQ(opening.front().depth, depth - 1);
    }
    const CFrameEvent place = opening.back();
    EXPECT_EQ(place.kind, CFrameEvent::EKind::Place);
    EXPECT_EQ(place.depth, depth);
    for (int t = 1; t <= 20; ++t) {
        const auto& events = movie.frames.at(first + static_cast<size_t>(t) - 1);
        if (events.empty()) {
            ADD_FAILURE() << "no change in fade-in frame " << t;
            continue;
        }
        EXPECT_EQ(events.back().depth, depth);
        EXPECT_EQ(events.back().alpha, FadeInAlpha(t)) << "fade-in frame " << t;
    }
    for (int i = 0; i < 40; ++i) {
        EXPECT_TRUE(movie.frames.at(first + 20 + static_cast<size_t>(i)).empty()) << "hold frame " << i;
    }
    for (int t = 1; t <= 20; ++t) {
        const auto& events = movie.frames.at(first + 59 + static_cast<size_t>(t));
        if (events.size() != 1) {
            ADD_FAILURE() << events.size() << " events in fade-out frame " << t;
            continue;
        }
        EXPECT_EQ(events.back().kind, CFrameEvent::EKind::Change);
        EXPECT_EQ(events.back().alpha, FadeInAlpha(20 - t)) << "fade-out frame " << t;
    }
    return place;
}

// A picture folder, an installation Temp folder and a target folder, all in a fresh folder.
class PhotoAlbumTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!tp::haveConvert()) {
            GTEST_SKIP() << "ImageMagick's command is missing";
        }
        fs::create_directories(m_pictures);
        fs::create_directories(m_out.parent_path());
    }
    void TearDown() override
    {
        // A test may leave folders read-only, which would keep their files from being removed.
        std::error_code ignored;
        fs::permissions(m_pictures, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (auto it = fs::recursive_directory_iterator(m_pictures, ignored);
             it != fs::recursive_directory_iterator(); it.increment(ignored)) {
            if (it->is_directory() && !it->is_symlink()) {
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
            }
        }
    }

    // A picture in one colour; the kind follows the name's extension.
    void Picture(const std::string& strRelative, int w, int h, const std::string& strColour = "#3366CC") const
    {
        const fs::path path = m_pictures / strRelative;
        fs::create_directories(path.parent_path());
        // ImageMagick is told the kind, as it may not read an extension in capitals.
        std::string format = path.extension().string().substr(1);
        for (char& c : format) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        tp::convert("-size " + std::to_string(w) + "x" + std::to_string(h) + " xc:" + strColour + " " +
            format + ":'" + path.string() + "'");
    }

    CPublishResult Build(const PublishProgressFn& progress = {}) const
    {
        return BuildPhotoAlbum(m_pictures, m_out, m_scratch, progress);
    }

    // Names of everything below the folder (sizes and contents for files), for before/after checks.
    static std::map<std::string, std::string> Listing(const fs::path& folder)
    {
        std::map<std::string, std::string> listing;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            const std::string name = fs::relative(entry.path(), folder).string();
            if (entry.is_symlink()) {
                listing[name] = "link " + fs::read_symlink(entry.path()).string();
            } else if (entry.is_regular_file()) {
                const auto bytes = tp::readBytes(entry.path());
                listing[name] = std::string(bytes.begin(), bytes.end());
            } else {
                listing[name] = "folder or special";
            }
        }
        return listing;
    }

    static std::vector<std::string> LeftOutNames(const CPublishResult& result)
    {
        std::vector<std::string> names;
        for (const CLeftOut& item : result.m_leftOut) {
            names.push_back(item.m_path.filename().string() + ": " + item.m_strReason);
        }
        return names;
    }

    tp::TempFolder m_root;
    fs::path m_pictures = m_root / "Pictures";
    fs::path m_scratch = m_root / "Temp";
    fs::path m_out = m_root / "out" / "album.swf";
};

TEST_F(PhotoAlbumTest, MovieHasTheFixedSettingsAndTheControlsScript)
{
    Picture("only.png", 100, 100);
    const CPublishResult result = Build();
    ASSERT_TRUE(result.IsWritten()) << result.m_strError;
    const CAlbumMovie movie = ReadAlbum(m_out);
    EXPECT_TRUE(movie.header.compressed);
    EXPECT_EQ(movie.header.version, 6);
    EXPECT_EQ(movie.header.frame.xMax, 640 * 20);
    EXPECT_EQ(movie.header.frame.yMax, 480 * 20);
    EXPECT_EQ(movie.header.rate, 33 * 256);
    // The zlib stream's header says "best compression" (level 9).
    EXPECT_EQ(movie.file.at(8), 0x78);
    EXPECT_EQ(movie.file.at(9), 0xDA);
    ASSERT_TRUE(movie.background);
    EXPECT_EQ(movie.background->r, 33);
    EXPECT_EQ(movie.background->g, 33);
    EXPECT_EQ(movie.background->b, 33);

    // The controls script, once, in frame 1: the 171 bytes of the reference compiler.
    const std::vector<uint8_t> controls = { 0x88, 0x36, 0x00, 0x06, 0x00, 0x69, 0x6e, 0x69, 0x74, 0x00, 0x73,
        0x74, 0x6f, 0x70, 0x70, 0x65, 0x64, 0x00, 0x63, 0x6f, 0x6e, 0x74, 0x72, 0x6f, 0x6c, 0x73, 0x00, 0x6f,
        0x6e, 0x4d, 0x6f, 0x75, 0x73, 0x65, 0x44, 0x6f, 0x77, 0x6e, 0x00, 0x4d, 0x6f, 0x75, 0x73, 0x65, 0x00,
        0x61, 0x64, 0x64, 0x4c, 0x69, 0x73, 0x74, 0x65, 0x6e, 0x65, 0x72, 0x00, 0x96, 0x02, 0x00, 0x08, 0x00,
        0x1c, 0x12, 0x12, 0x9d, 0x02, 0x00, 0x64, 0x00, 0x96, 0x04, 0x00, 0x08, 0x00, 0x05, 0x01, 0x1d, 0x96,
        0x04, 0x00, 0x08, 0x01, 0x05, 0x00, 0x1d, 0x96, 0x04, 0x00, 0x08, 0x02, 0x08, 0x03, 0x9b, 0x05, 0x00,
        0x00, 0x00, 0x00, 0x23, 0x00, 0x96, 0x02, 0x00, 0x08, 0x01, 0x1c, 0x12, 0x9d, 0x02, 0x00, 0x0e, 0x00,
        0x06, 0x96, 0x04, 0x00, 0x08, 0x01, 0x05, 0x00, 0x1d, 0x99, 0x02, 0x00, 0x09, 0x00, 0x07, 0x96, 0x04,
        0x00, 0x08, 0x01, 0x05, 0x01, 0x1d, 0x96, 0x05, 0x00, 0x07, 0x01, 0x00, 0x00, 0x00, 0x43, 0x1d, 0x96,
        0x02, 0x00, 0x08, 0x02, 0x1c, 0x96, 0x07, 0x00, 0x07, 0x01, 0x00, 0x00, 0x00, 0x08, 0x04, 0x1c, 0x96,
        0x02, 0x00, 0x08, 0x05, 0x52, 0x17, 0x00 };
    ASSERT_EQ(controls.size(), 171U);
    ASSERT_EQ(movie.actions.size(), 1U);
    EXPECT_EQ(movie.actions.front(), controls);
    ASSERT_EQ(movie.frames.size(), 82U);
    EXPECT_TRUE(movie.frames.front().empty()); // the script is the frame's only content
    // The last frame only takes the picture away.
    ASSERT_EQ(movie.frames.back().size(), 1U);
    EXPECT_EQ(movie.frames.back().front().kind, CFrameEvent::EKind::Remove);
}

TEST_F(PhotoAlbumTest, PicturesAreShrunkCentredAndFadedInTurn)
{
    // Named so that the walk meets them in this order.
    Picture("1-wide.png", 1280, 480);
    Picture("2-small.jpg", 300, 200);
    Picture("3-tall.gif", 640, 960);
    const CPublishResult result = Build();
    ASSERT_TRUE(result.IsWritten()) << result.m_strError;
    EXPECT_EQ(result.m_nAdded, 3U);
    EXPECT_TRUE(result.m_leftOut.empty());

    const CAlbumMovie movie = ReadAlbum(m_out);
    ASSERT_EQ(movie.header.frameCount, 1 + 3 * 80 + 1);
    ASSERT_EQ(movie.frames.size(), 242U);
    struct Expected {
        int w, h, x, y;
    };
    const Expected expected[] = { { 640, 240, 0, 120 }, { 300, 200, 170, 140 }, { 320, 480, 160, 0 } };
    for (uint16_t depth = 1; depth <= 3; ++depth) {
        SCOPED_TRACE("picture " + std::to_string(depth));
        const CFrameEvent place = CheckPictureFrames(movie, depth);
        const Expected& e = expected[depth - 1];
        EXPECT_EQ(place.width, e.w);
        EXPECT_EQ(place.height, e.h);
        EXPECT_EQ(place.x, e.x);
        EXPECT_EQ(place.y, e.y);
    }
    ASSERT_EQ(movie.frames.back().size(), 1U);
    EXPECT_EQ(movie.frames.back().front().kind, CFrameEvent::EKind::Remove);
    EXPECT_EQ(movie.frames.back().front().depth, 3);
}

TEST_F(PhotoAlbumTest, WalkTakesPictureKindsByExtensionAndSubFoldersLast)
{
    // Each picture has its own width, so the order of the movie shows the order of the walk.
    Picture("b.Png", 12, 10);
    Picture("A.jpg", 11, 10);
    Picture("c.JPG", 13, 10);
    Picture("d.gif", 14, 10);
    Picture("e.BMP", 15, 10);
    Picture("f.wmf.png", 16, 10); // the last extension counts
    Picture("0-sub/a.png", 21, 10); // sub-folders come after the folder's own pictures
    Picture("Z-sub/a.png", 23, 10);
    Picture("y-sub/a.png", 22, 10);
    Picture("y-sub/deeper/a.png", 25, 10); // walked after its folder's own pictures
    Picture("y-sub/b.png", 24, 10);
    // Not taken, and not reported either: other kinds, no extension, a folder named like a picture.
    Picture("g.jpeg", 30, 10);
    Picture("h.tif", 31, 10);
    Picture("i.png.txt", 32, 10);
    std::ofstream(m_pictures / "jpg") << "no extension";
    fs::create_directories(m_pictures / "k.jpg");

    const CPublishResult result = Build();
    ASSERT_TRUE(result.IsWritten()) << result.m_strError;
    EXPECT_TRUE(result.m_leftOut.empty()) << LeftOutNames(result).front();
    const CAlbumMovie movie = ReadAlbum(m_out);
    std::vector<int> widths;
    for (const auto& frame : movie.frames) {
        for (const CFrameEvent& event : frame) {
            if (event.kind == CFrameEvent::EKind::Place) {
                widths.push_back(event.width);
            }
        }
    }
    EXPECT_EQ(widths, (std::vector<int> { 11, 12, 13, 14, 15, 16, 21, 22, 24, 25, 23 }));
    EXPECT_EQ(result.m_nAdded, widths.size());
}

TEST_F(PhotoAlbumTest, FolderWithoutPicturesGivesTwoFrames)
{
    std::ofstream(m_pictures / "notes.txt") << "not a picture";
    const CPublishResult result = Build();
    ASSERT_TRUE(result.IsWritten()) << result.m_strError;
    EXPECT_EQ(result.m_nAdded, 0U);
    EXPECT_TRUE(result.m_leftOut.empty());
    const CAlbumMovie movie = ReadAlbum(m_out);
    EXPECT_EQ(movie.header.frameCount, 2);
    ASSERT_EQ(movie.frames.size(), 2U);
    EXPECT_TRUE(movie.frames[0].empty());
    EXPECT_TRUE(movie.frames[1].empty());
    EXPECT_EQ(movie.actions.size(), 1U);
}

TEST_F(PhotoAlbumTest, UserFolderIsOnlyRead)
{
    Picture("x.png", 800, 600);
    Picture("y.gif", 100, 100);
    // A picture of the user's named as the copy once was: it is one of the pictures, and stays as it is.
    Picture("x.png.jpg", 50, 40, "#E03020");
    Picture("sub/z.bmp", 60, 60);
    const auto before = Listing(m_pictures);
    // Read-only folders: all their pictures still go in.
    ASSERT_EQ(::chmod(m_pictures.c_str(), 0555), 0);
    ASSERT_EQ(::chmod((m_pictures / "sub").c_str(), 0555), 0);

    const CPublishResult result = Build();
    ASSERT_TRUE(result.IsWritten()) << result.m_strError;
    EXPECT_EQ(result.m_nAdded, 4U); // each picture once: no copy of this run is met by the walk
    EXPECT_TRUE(result.m_leftOut.empty());
    EXPECT_EQ(ReadAlbum(m_out).frames.size(), 1U + 4 * 80 + 1);
    EXPECT_EQ(Listing(m_pictures), before);
    // The private folder of the copies is gone; the scratch folder itself stays.
    ASSERT_TRUE(fs::is_directory(m_scratch));
    EXPECT_TRUE(fs::is_empty(m_scratch));
}

TEST_F(PhotoAlbumTest, PicturesThatCannotBeUsedAreLeftOutAndNamed)
{
    Picture("a.png", 100, 100);
    tp::writeBytes(m_pictures / "b-broken.png", { 1, 2, 3, 4 });
    tp::writeBytes(m_pictures / "c-empty.gif", {});
    ASSERT_EQ(::mkfifo((m_pictures / "d-pipe.jpg").c_str(), 0644), 0); // must not block the walk
    fs::create_symlink("nowhere.png", m_pictures / "e-dangling.png");
    fs::create_symlink("a.png", m_pictures / "f-link.png"); // a link to a picture: taken
    fs::create_directories(m_pictures / "g-sub");
    Picture("g-sub/inner.png", 50, 50);
    fs::create_directory_symlink(m_pictures, m_pictures / "g-sub" / "loop"); // not followed
    fs::create_symlink("nowhere", m_pictures / "h-other-dangling"); // no picture name: not reported

    const CPublishResult result = Build();
    ASSERT_TRUE(result.IsWritten()) << result.m_strError;
    EXPECT_EQ(result.m_nAdded, 3U); // a.png, f-link.png, g-sub/inner.png
    const std::vector<std::string> expected = {
        "d-pipe.jpg: not a regular file",
        "e-dangling.png: a link to nothing",
        "loop: a folder link, not followed",
        "b-broken.png: cannot be decoded as a picture",
        "c-empty.gif: cannot be decoded as a picture",
    };
    EXPECT_EQ(LeftOutNames(result), expected);
    EXPECT_EQ(result.m_leftOut.at(2).m_path, m_pictures / "g-sub" / "loop");
    EXPECT_EQ(ReadAlbum(m_out).frames.size(), 1U + 3 * 80 + 1);
}

TEST_F(PhotoAlbumTest, PicturesBeyondTheLimitAreLeftOutAndNamed)
{
    // One small picture copied under many names; a broken one early on makes room for one more.
    const auto make = m_root / "seed.jpg";
    tp::writeBytes(make, tp::makeFlatJpeg(16, 8));
    const size_t count = kMaxAlbumPictures + 3;
    for (size_t i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%03zu.jpg", i);
        fs::copy_file(make, m_pictures / name);
    }
    tp::writeBytes(m_pictures / "005.jpg", { 1, 2, 3 });

    std::vector<std::pair<uint64_t, uint64_t>> calls;
    const CPublishResult result = Build([&](uint64_t done, uint64_t total) {
        calls.emplace_back(done, total);
        return true;
    });
    ASSERT_TRUE(result.IsWritten()) << result.m_strError;
    EXPECT_EQ(result.m_nAdded, kMaxAlbumPictures);
    // 303 names, 000 to 302: the first 301 are tried, 300 go in.
    const std::string full = ": the album is full (at most 300 pictures)";
    EXPECT_EQ(LeftOutNames(result),
        (std::vector<std::string> {
            "005.jpg: cannot be decoded as a picture", "301.jpg" + full, "302.jpg" + full }));
    const CAlbumMovie movie = ReadAlbum(m_out);
    EXPECT_EQ(movie.header.frameCount, 1 + 300 * 80 + 1);

    // Progress: one call before the first picture and one after each picture tried.
    ASSERT_EQ(calls.size(), 1U + 301);
    EXPECT_EQ(calls.front(), std::make_pair(uint64_t { 0 }, uint64_t { 300 }));
    EXPECT_EQ(calls.back(), std::make_pair(uint64_t { 301 }, uint64_t { 301 }));
    for (size_t i = 1; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].first, i);
        EXPECT_LE(calls[i].first, calls[i].second);
    }
}

TEST_F(PhotoAlbumTest, CancelWritesNothingAndKeepsTheOlderAlbum)
{
    Picture("a.png", 100, 100);
    Picture("b.png", 100, 100);
    Picture("c.png", 100, 100);
    std::ofstream(m_out, std::ios::binary) << "older album";

    for (const uint64_t cancelAt : { uint64_t { 0 }, uint64_t { 2 }, uint64_t { 3 } }) {
        SCOPED_TRACE("cancelled at " + std::to_string(cancelAt));
        std::vector<uint64_t> seen;
        const CPublishResult result = Build([&](uint64_t done, uint64_t total) {
            EXPECT_EQ(total, 3U);
            seen.push_back(done);
            return done < cancelAt;
        });
        EXPECT_EQ(result.m_outcome, EPublishOutcome::Cancelled);
        EXPECT_EQ(result.m_nAdded, 0U);
        EXPECT_EQ(seen.back(), cancelAt);
        const auto bytes = tp::readBytes(m_out);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "older album");
        EXPECT_EQ(Listing(m_out.parent_path()).size(), 1U); // no temporary left beside it
        EXPECT_TRUE(fs::is_empty(m_scratch));
    }
    // Not cancelled: the older album is replaced.
    ASSERT_TRUE(Build([](uint64_t, uint64_t) { return true; }).IsWritten());
    EXPECT_EQ(ReadAlbum(m_out).frames.size(), 1U + 3 * 80 + 1);
    EXPECT_EQ(Listing(m_out.parent_path()).size(), 1U);
}

TEST_F(PhotoAlbumTest, FailuresWriteNothing)
{
    Picture("a.png", 100, 100);
    // The folder of pictures is missing, or is a file.
    CPublishResult result = BuildPhotoAlbum(m_root / "missing", m_out, m_scratch);
    EXPECT_EQ(result.m_outcome, EPublishOutcome::Failed);
    EXPECT_NE(result.m_strError.find("missing is not a folder"), std::string::npos) << result.m_strError;
    result = BuildPhotoAlbum(m_pictures / "a.png", m_out, m_scratch);
    EXPECT_EQ(result.m_outcome, EPublishOutcome::Failed);

    // The target's folder is missing: found before any picture is prepared.
    result = BuildPhotoAlbum(m_pictures, m_root / "nowhere" / "album.swf", m_scratch);
    EXPECT_EQ(result.m_outcome, EPublishOutcome::Failed);
    EXPECT_NE(result.m_strError.find("nowhere does not exist"), std::string::npos) << result.m_strError;
    EXPECT_FALSE(fs::exists(m_scratch));

    // The target is a folder: the movie cannot replace it, and no temporary stays beside it.
    fs::create_directories(m_out);
    result = Build();
    EXPECT_EQ(result.m_outcome, EPublishOutcome::Failed);
    EXPECT_FALSE(result.m_strError.empty());
    EXPECT_EQ(Listing(m_out.parent_path()).size(), 1U);
    EXPECT_TRUE(fs::is_empty(m_out));
    EXPECT_TRUE(fs::is_empty(m_scratch));
    fs::remove(m_out);

    // No working folder can be made.
    std::ofstream(m_root / "Temp-file") << "a file, not a folder";
    result = BuildPhotoAlbum(m_pictures, m_out, m_root / "Temp-file");
    EXPECT_EQ(result.m_outcome, EPublishOutcome::Failed);
    EXPECT_NE(result.m_strError.find("cannot make a working folder"), std::string::npos) << result.m_strError;
    EXPECT_FALSE(fs::exists(m_out));
}

} // namespace
