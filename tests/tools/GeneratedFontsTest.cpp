// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the installation's fonts as the build generated them into the Font folder.
#include "tests/tools/FdbCheck.h"
#include "tools/fdbgen/CodeRanges.h"
#include "tools/fdbgen/FdbWriter.h"
#include "tools/fdbgen/TrueTypeFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

struct Face {
    const char* file;
    const char* source;
    const char* name;
    bool bold;
};

constexpr Face kFaces[] {
    { "Sans.fdb", "DejaVuSans.ttf", "Marrowlark Sans", false },
    { "_Sans.fdb", "DejaVuSans-Bold.ttf", "Marrowlark Sans", true },
    { "Serif.fdb", "DejaVuSerif.ttf", "Marrowlark Serif", false },
    { "_Serif.fdb", "DejaVuSerif-Bold.ttf", "Marrowlark Serif", true },
    { "Mono.fdb", "DejaVuSansMono.ttf", "Marrowlark Mono", false },
    { "_Mono.fdb", "DejaVuSansMono-Bold.ttf", "Marrowlark Mono", true },
};

std::filesystem::path fontDir()
{
    return std::filesystem::path(MARROWLARK_BUILD_DIR) / "home" / "Font";
}
std::string sourcePath(const Face& face)
{
    return std::string(MARROWLARK_DEJAVU_DIR) + "/" + face.source;
}

fdbcheck::CheckedFont load(const Face& face)
{
    return fdbcheck::checkFdb(fdbcheck::readFile((fontDir() / face.file).c_str()));
}

const fdbgen::Glyph* find(const fdbgen::FontData& font, uint16_t code)
{
    auto it = std::lower_bound(font.glyphs.begin(), font.glyphs.end(), code,
        [](const fdbgen::Glyph& g, uint16_t c) { return g.code < c; });
    return it != font.glyphs.end() && it->code == code ? &*it : nullptr;
}

TEST(GeneratedFonts, EveryFaceIsStructurallySound)
{
    for (const Face& face : kFaces) {
        SCOPED_TRACE(face.file);
        fdbcheck::CheckedFont font;
        ASSERT_NO_THROW(font = load(face));
        EXPECT_EQ(font.flags & (fdbgen::FdbFlags::HasLayout | fdbgen::FdbFlags::WideCodes),
            fdbgen::FdbFlags::HasLayout | fdbgen::FdbFlags::WideCodes);
        EXPECT_EQ(font.font.bold, face.bold);
        EXPECT_FALSE(font.font.italic);
        EXPECT_EQ(font.font.name, face.name);
        EXPECT_GT(font.font.ascent, 700);
        EXPECT_GT(font.font.descent, 150);
        // A few hundred glyphs, not the thousands of the source fonts.
        EXPECT_GT(font.font.glyphs.size(), 500U);
        EXPECT_LT(font.font.glyphs.size(), 1000U);
        // Texts show glyph 0 for characters the font lacks: that is the blank, not some letter.
        EXPECT_EQ(font.font.glyphs.front().code, u' ');
        for (size_t i = 0; i < font.font.glyphs.size(); ++i) {
            const fdbgen::Glyph& g = font.font.glyphs[i];
            SCOPED_TRACE(g.code);
            const fdbgen::Rect& box = g.bounds;
            auto inside = [&box](fdbgen::Point p) {
                return p.x >= box.xMin && p.x <= box.xMax && p.y >= box.yMin && p.y <= box.yMax;
            };
            // Every contour is closed: it ends where its move started it.
            fdbgen::Point start;
            for (size_t s = 0; s < g.path.size(); ++s) {
                const auto& seg = g.path[s];
                ASSERT_TRUE(inside(seg.to));
                if (seg.kind == fdbgen::PathSegment::Kind::Quad) {
                    ASSERT_TRUE(inside(seg.control));
                }
                if (seg.kind == fdbgen::PathSegment::Kind::Move) {
                    start = seg.to;
                }
                if (s + 1 == g.path.size() || g.path[s + 1].kind == fdbgen::PathSegment::Kind::Move) {
                    ASSERT_NE(seg.kind, fdbgen::PathSegment::Kind::Move);
                    ASSERT_EQ(seg.to, start);
                }
            }
            if (!g.path.empty()) {
                EXPECT_TRUE(font.selectsFill[i]);
            }
        }
    }
}

TEST(GeneratedFonts, CoverTheEuropeanScriptsAndPunctuation)
{
    const std::u16string sample =
        u"Az09~ \u00e9\u00df\u00ff\u0141\u0151\u017e\u0391\u03a9\u03c9\u0416\u044f\u0451"
        u"\u2013\u2014\u2018\u2019\u201c\u201d\u201e\u2026\u20ac";
    for (const Face& face : kFaces) {
        SCOPED_TRACE(face.file);
        const fdbcheck::CheckedFont font = load(face);
        for (char16_t c : sample) {
            EXPECT_NE(find(font.font, c), nullptr) << "code " << int(c);
        }
        EXPECT_EQ(find(font.font, 0x4E00), nullptr); // no CJK
        const fdbgen::Glyph* o = find(font.font, u'O');
        ASSERT_NE(o, nullptr);
        int contours = 0;
        for (const auto& seg : o->path) {
            contours += seg.kind == fdbgen::PathSegment::Kind::Move ? 1 : 0;
        }
        EXPECT_EQ(contours, 2); // the ring and its counter
    }
}

TEST(GeneratedFonts, MetricsAreThoseOfTheSourceInTheFdbEm)
{
    const fdbcheck::CheckedFont sans = load(kFaces[0]);
    const fdbgen::Glyph* a = find(sans.font, u'A');
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->advance, 700); // 1401 of 2048 units
    // The capital stands on the baseline and rises above it (y down).
    EXPECT_EQ(a->bounds.yMax, 0);
    EXPECT_LT(a->bounds.yMin, -700);
    EXPECT_EQ(find(sans.font, u' ')->path.size(), 0U);

    for (const Face* mono : { &kFaces[4], &kFaces[5] }) {
        const fdbcheck::CheckedFont font = load(*mono);
        const int32_t width = find(font.font, u'M')->advance;
        for (char16_t c : std::u16string(u"il.W\u0416\u2014")) {
            EXPECT_EQ(find(font.font, c)->advance, width) << mono->file << " code " << int(c);
        }
    }
    // The bold face is wider.
    EXPECT_GT(find(load(kFaces[1]).font, u'A')->advance, a->advance);
}

TEST(GeneratedFonts, KerningIsWhatFreeTypeReports)
{
    for (const Face& face : kFaces) {
        SCOPED_TRACE(face.file);
        const fdbgen::TrueTypeFont source(sourcePath(face));
        const fdbcheck::CheckedFont font = load(face);
        if (!source.hasKerning()) {
            EXPECT_TRUE(font.font.kerning.empty());
            continue;
        }
        EXPECT_FALSE(font.font.kerning.empty());
        for (const auto& k : font.font.kerning) {
            EXPECT_NE(find(font.font, k.left), nullptr);
            EXPECT_NE(find(font.font, k.right), nullptr);
            EXPECT_NE(k.adjustment, 0);
        }
    }
    // The classic pair of the proportional faces draws the letters closer together.
    const auto pairs = load(kFaces[0]).font.kerning;
    auto av = std::find_if(pairs.begin(), pairs.end(),
        [](const fdbgen::KerningPair& k) { return k.left == u'A' && k.right == u'V'; });
    ASSERT_NE(av, pairs.end());
    EXPECT_LT(av->adjustment, 0);
}

TEST(GeneratedFonts, FilesAreReproducedByTheGenerator)
{
    // The build's file is byte for byte what the library makes from the same source.
    const Face& face = kFaces[0];
    const fdbgen::TrueTypeFont source(sourcePath(face));
    const auto expected = fdbgen::writeFdb(source.convert(fdbgen::defaultCodeRanges(), face.name));
    EXPECT_EQ(fdbcheck::readFile((fontDir() / face.file).c_str()), expected);
}

TEST(GeneratedFonts, LicenceShipsBesideTheFontsAndNamesAreOurOwn)
{
    const auto bytes = fdbcheck::readFile((fontDir() / "LICENSE-fonts.txt").c_str());
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("Marrowlark Sans"), std::string::npos);
    EXPECT_NE(text.find("Bitstream Vera is a trademark"), std::string::npos);
    EXPECT_EQ(text.find("SPDX"), std::string::npos);
    for (const Face& face : kFaces) {
        const std::string name = load(face).font.name;
        for (const char* reserved : { "Bitstream", "Vera", "DejaVu" }) {
            EXPECT_EQ(name.find(reserved), std::string::npos) << face.file;
        }
    }
}

TEST(TrueTypeFont, MissingFileIsReportedByName)
{
    try {
        const fdbgen::TrueTypeFont font("/nonexistent/NoSuch.ttf");
        FAIL() << "opened a missing font";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/NoSuch.ttf"), std::string::npos);
    }
}

} // namespace
