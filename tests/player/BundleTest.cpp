// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/bundle/Bundle.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> out;
    for (int v : values) {
        out.push_back(static_cast<uint8_t>(v));
    }
    return out;
}

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

// One small payload, byte for byte: checked by writing it and by reading it back.
TEST(Bundle, WritesAndReadsTheLayout)
{
    const std::vector<CBundleEntry> entries = { { "movie.swf", { 0x46, 0x57 } }, { "ruffle/a.js", {} } };
    std::vector<uint8_t> expected = Bytes({ 9, 0, 0, 0 });
    Append(expected, { 'm', 'o', 'v', 'i', 'e', '.', 's', 'w', 'f' });
    Append(expected, Bytes({ 2, 0, 0, 0, 0, 0, 0, 0, 0x46, 0x57 }));
    Append(expected, Bytes({ 11, 0, 0, 0 }));
    Append(expected, { 'r', 'u', 'f', 'f', 'l', 'e', '/', 'a', '.', 'j', 's' });
    Append(expected, Bytes({ 0, 0, 0, 0, 0, 0, 0, 0 }));
    Append(expected, Bytes({ 46, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0 }));
    Append(expected, { 'M', 'L', 'K', 'S', 'E', 'L', 'F', '1' });
    EXPECT_EQ(WriteBundlePayload(entries), expected);

    std::vector<uint8_t> file = { 0x7f, 'E', 'L', 'F', 1, 2, 3 };
    Append(file, expected);
    const std::optional<CBundle> bundle = ReadBundle(file);
    ASSERT_TRUE(bundle.has_value());
    EXPECT_EQ(bundle->m_nProgramSize, 7U);
    EXPECT_EQ(bundle->m_entries, entries);
}

TEST(Bundle, APlainProgramHasNoPayload)
{
    EXPECT_FALSE(ReadBundle(Bytes({ 0x7f, 'E', 'L', 'F' })).has_value());
    EXPECT_FALSE(ReadBundle({}).has_value());
    std::vector<uint8_t> almost(kBundleTrailerSize, 0);
    almost.back() = '1';
    EXPECT_FALSE(ReadBundle(almost).has_value());
}

TEST(Bundle, RefusesDamagedPayloads)
{
    const std::vector<uint8_t> good = WriteBundlePayload({ { "movie.swf", { 1, 2, 3 } } });
    const size_t nTrailer = good.size() - kBundleTrailerSize;
    struct Damage {
        const char* what;
        size_t at;
        uint8_t value;
    };
    const Damage damages[] = {
        { "payload longer than the file", nTrailer, 0xff },
        { "payload length in the upper bytes", nTrailer + 7, 0x01 },
        { "too many entries", nTrailer + 8, 65 },
        { "one entry more than written", nTrailer + 8, 2 },
        { "name longer than the cap", 0, 0xff },
        { "name shorter than written", 0, 8 },
        { "data longer than the payload", 13, 0x40 },
        { "data shorter than written", 13, 2 },
    };
    for (const Damage& d : damages) {
        std::vector<uint8_t> bad = good;
        bad[d.at] = d.value;
        EXPECT_THROW((void)ReadBundle(bad), CBundleError) << d.what;
    }
}

TEST(Bundle, NamesStayInsideTheTargetFolder)
{
    for (const char* name : { "movie.swf", "ruffle/ruffle.js", "a/b/c" }) {
        EXPECT_TRUE(IsSafeBundleName(name)) << name;
    }
    for (const char* name : { "", "/etc/passwd", "../x", "a/../../x", "a//b", "a/", "./a", "a\\b" }) {
        EXPECT_FALSE(IsSafeBundleName(name)) << name;
    }
    EXPECT_FALSE(IsSafeBundleName(std::string(kMaxBundleNameLength + 1, 'a')));
    EXPECT_THROW((void)WriteBundlePayload({ { "../escape", {} } }), CBundleError);

    // A payload naming a file outside the folder is refused when read.
    std::vector<uint8_t> evil = WriteBundlePayload({ { "xx/evil", {} } });
    evil[4] = '.';
    evil[5] = '.';
    EXPECT_THROW((void)ReadBundle(evil), CBundleError);
}

} // namespace
