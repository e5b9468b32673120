// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ProjectFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& b, std::initializer_list<int> values)
{
    for (int v : values) {
        b.push_back(static_cast<uint8_t>(v));
    }
}
void Append(Bytes& b, std::string_view text)
{
    b.insert(b.end(), text.begin(), text.end());
}
void AppendDword(Bytes& b, uint32_t v)
{
    Append(b, { int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24) });
}
void AppendText(Bytes& b, std::string_view text)
{
    b.push_back(static_cast<uint8_t>(text.size()));
    Append(b, text);
}

// The file of one card without links, the start-up settings and an empty e-mail address, built
// item by item as its layout describes it.
Bytes OneCardFile(uint32_t cardSchema = 1)
{
    Bytes b;
    AppendDword(b, 1);
    Append(b, { 0xFF, 0xFF, 0x00, 0x00, 0x07, 0x00 });
    Append(b, "CObList");
    Append(b, { 0x01, 0x00 });
    Append(b, { 0xFF, 0xFF, int(cardSchema), 0x00, 0x09, 0x00 });
    Append(b, "CCardInfo");
    AppendDword(b, 0);
    AppendText(b, "Card 1:");
    AppendText(b, "#000000");
    AppendText(b, "Type your Card 1: here.\r\n\r\nA.\r\nB.\r\n");
    AppendText(b, "#000000");
    AppendText(b, "#FFFFFF");
    AppendDword(b, 4);
    AppendDword(b, 1);
    AppendDword(b, 0);
    Append(b, { 0xFF, 0xFF, 0x01, 0x00, 0x06, 0x00 });
    Append(b, "CLinks");
    Append(b, { 0x01, 0x80, 0x00, 0x00 });
    AppendText(b, "Marrowlark");
    AppendText(b, "");
    AppendText(b, "#ffffff");
    AppendDword(b, 4);
    AppendText(b, "#2781c4");
    AppendText(b, "#000000");
    AppendText(b, "");
    AppendDword(b, 1);
    AppendDword(b, 1);
    AppendDword(b, 640);
    AppendDword(b, 480);
    AppendText(b, "");
    AppendDword(b, 0);
    AppendText(b, "Sans");
    return b;
}

// Offsets inside OneCardFile.
constexpr size_t kCardSchemaOffset = 21;
constexpr size_t kSettingsOffset = 134;

CProject StartupOneCard()
{
    CProject p;
    p.m_settings.m_strEmail.clear();
    p.InsertCard(EInsertPos::Bottom);
    return p;
}

void ExpectSameProject(const CProject& a, const CProject& b)
{
    ASSERT_EQ(a.CardCount(), b.CardCount());
    EXPECT_EQ(SaveProjectBytes(a), SaveProjectBytes(b));
}

} // namespace

TEST(ProjectFileWrite, OneCardProjectIsTheKnown201Bytes)
{
    const Bytes expected = OneCardFile();
    ASSERT_EQ(expected.size(), 201U);
    EXPECT_EQ(SaveProjectBytes(StartupOneCard()), expected);
}

TEST(ProjectFileRead, OneCardFileLoadsItsFields)
{
    CProject p;
    p.BuildStarter();
    p.m_settings.m_nQuality = 33;
    LoadProjectBytes(OneCardFile(), p);
    ASSERT_EQ(p.CardCount(), 1U);
    EXPECT_EQ(p.Card(0).m_strTitle, "Card 1:");
    EXPECT_EQ(p.Card(0).m_strComment, "Type your Card 1: here.\r\n\r\nA.\r\nB.\r\n");
    EXPECT_EQ(p.Card(0).LinkCount(), 0U);
    EXPECT_EQ(p.m_settings.m_strEmail, "");
    EXPECT_EQ(p.m_settings.m_strBackground, "#ffffff");
    EXPECT_EQ(p.m_settings.m_nBgAlign, 4);
    EXPECT_EQ(p.m_settings.m_nQuality, 33); // not stored, kept
    EXPECT_EQ(p.CurrentCard(), nullptr);
    EXPECT_EQ(SaveProjectBytes(p), OneCardFile());
}

TEST(ProjectFileRead, VersionIsIgnored)
{
    Bytes file = OneCardFile();
    file[0] = 2;
    CProject p;
    LoadProjectBytes(file, p);
    EXPECT_EQ(p.CardCount(), 1U);
    file[0] = 0xFF;
    file[3] = 0xFF;
    LoadProjectBytes(file, p);
    EXPECT_EQ(p.CardCount(), 1U);
}

// Length prefixes: one table checked by writing and by reading.
TEST(ProjectFileFormat, TextLengthFormsBothWays)
{
    struct Case {
        size_t length;
        Bytes prefix;
    };
    const std::vector<Case> cases = {
        { 0, { 0x00 } },
        { 254, { 0xFE } },
        { 255, { 0xFF, 0xFF, 0x00 } },
        { 65533, { 0xFF, 0xFD, 0xFF } },
        { 65534, { 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00 } },
        { 70000, { 0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00 } },
    };
    for (const Case& c : cases) {
        CProject p = StartupOneCard();
        p.Card(0).m_strTitle = std::string(c.length, 'x');
        const Bytes bytes = SaveProjectBytes(p);
        // The title starts at offset 38 of the one-card file.
        ASSERT_GE(bytes.size(), 38 + c.prefix.size() + c.length);
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin() + 38)) << c.length;
        if (c.length > 0) {
            EXPECT_EQ(bytes[38 + c.prefix.size()], 'x');
        }
        EXPECT_EQ(bytes.size(), 201 - 8 + c.prefix.size() + c.length) << c.length;
        CProject back;
        LoadProjectBytes(bytes, back);
        EXPECT_EQ(back.Card(0).m_strTitle, p.Card(0).m_strTitle) << c.length;
    }
}

TEST(ProjectFileFormat, CountAbove0xFFFEUsesTheDwordForm)
{
    CProject p = StartupOneCard();
    for (int i = 0; i < 0xFFFF; ++i) {
        p.Card(0).LinkList()->push_back(std::make_unique<CLinkInfo>("", 0, 0, "", 0, 0));
    }
    const Bytes bytes = SaveProjectBytes(p);
    // The list count follows the known-class WORD 01 80 at offset 130.
    const Bytes expected = { 0x01, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00 };
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.begin() + 130));
    CProject back;
    LoadProjectBytes(bytes, back);
    EXPECT_EQ(back.Card(0).LinkCount(), 0xFFFFU);
}

TEST(ProjectFileFormat, LinksAndFurtherCardsUseKnownClassReferences)
{
    CProject p;
    p.m_settings.m_strEmail.clear();
    p.InsertCard(EInsertPos::Bottom);
    p.AddLink(EInsertPos::Bottom);
    p.AddLink(EInsertPos::Bottom);
    p.InsertCard(EInsertPos::Bottom);
    p.AddLink(EInsertPos::Bottom);
    const Bytes b = SaveProjectBytes(p);
    const auto find = [&](Bytes needle, size_t from) {
        auto it = std::search(b.begin() + static_cast<long>(from), b.end(), needle.begin(), needle.end());
        return it == b.end() ? std::string::npos : static_cast<size_t>(it - b.begin());
    };
    // Inside the first holder: the known list class, count 2, then the new link class.
    const Bytes firstLinks = { 0x01, 0x80, 0x02, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00, 'C', 'L', 'i', 'n',
        'k', 'I', 'n', 'f', 'o' };
    const size_t at = find(firstLinks, 0);
    ASSERT_NE(at, std::string::npos);
    // The second link of the card is class 8; the second card class 3, its holder class 5.
    EXPECT_NE(find({ 0x08, 0x80, 0x06, 'L', 'i', 'n', 'k', ' ', '2' }, at), std::string::npos);
    EXPECT_NE(find({ 0x03, 0x80, 0x01, 0x00, 0x00, 0x00, 0x07, 'C', 'a', 'r', 'd', ' ', '2' }, at),
        std::string::npos);
    EXPECT_NE(find({ 0x05, 0x80, 0x01, 0x80, 0x01, 0x00, 0x08, 0x80 }, at), std::string::npos);
}

TEST(ProjectFileFormat, ClassIndicesFrom0x7FFFUseTheDwordEscape)
{
    // Cards without links first push the link class's index past 0x7FFF: each card is three
    // objects (card, holder, list).
    CProject p = StartupOneCard();
    std::vector<std::unique_ptr<CCardInfo>> cards;
    for (int i = 0; i < 11000; ++i) {
        cards.push_back(p.CreateCard());
    }
    p.AppendCards(std::move(cards));
    CCardInfo& last = p.Card(p.CardCount() - 1);
    last.LinkList()->push_back(std::make_unique<CLinkInfo>("a", 1, 2, "<", 3, 4));
    last.LinkList()->push_back(std::make_unique<CLinkInfo>("b", 5, 6, ">=", 7, 8));
    const Bytes bytes = SaveProjectBytes(p);
    // The list takes index 2, the first card with its classes 3 to 7, each further card three
    // more, so the link class is described at 7 + 3 * 11000 + 1 = 33008 = 0x80F0.
    const Bytes escape = { 0xFF, 0x7F, 0xF0, 0x80, 0x00, 0x80, 0x01, 'b' };
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), escape.begin(), escape.end()), bytes.end());
    CProject back;
    LoadProjectBytes(bytes, back);
    ExpectSameProject(p, back);
    EXPECT_EQ(*(*back.Card(11000).LinkList())[1], CLinkInfo("b", 5, 6, ">=", 7, 8));
}

TEST(ProjectFileRoundTrip, SaveLoadSaveIsByteForByte)
{
    CProject p;
    p.BuildStarter();
    p.Card(0).m_bEmail = 1;
    p.Card(1).m_bUseProjectBg = 0;
    p.Card(1).m_strBackground = "C:\\pics\\a.jpg";
    p.Card(1).m_nBgAlign = 11;
    (*p.Card(0).LinkList())[1]->m_strCompare = ">=";
    (*p.Card(0).LinkList())[1]->m_nCompareValue = -5;
    (*p.Card(0).LinkList())[1]->m_nCompareTarget = 2;
    (*p.Card(0).LinkList())[1]->m_nScore = 2147483647;
    p.m_settings.m_strMusic = "Music\\song.mp3";
    p.m_settings.m_strSlideDelay = "0.5";
    p.m_settings.m_bSlideShow = 1;
    p.m_settings.m_nWidth = 1000;
    p.Card(2).m_pLinks.reset(); // a card without a holder
    const Bytes first = SaveProjectBytes(p);
    CProject back;
    LoadProjectBytes(first, back);
    EXPECT_EQ(SaveProjectBytes(back), first);
    EXPECT_EQ(back.Card(2).m_pLinks, nullptr);
    EXPECT_EQ(back.m_settings.m_strSlideDelay, "0.5");
    EXPECT_EQ((*back.Card(0).LinkList())[1]->m_nCompareValue, -5);
}

TEST(ProjectFileRoundTrip, TextBeyondWindows1252UsesTheUnicodeForm)
{
    CProject p = StartupOneCard();
    p.Card(0).m_strTitle = "Καλή χρονιά 新年快乐 🎉";
    p.Card(0).m_strComment = "café € naïve"; // all Windows-1252
    const Bytes bytes = SaveProjectBytes(p);
    const std::u16string units = u"Καλή χρονιά 新年快乐 🎉";
    ASSERT_EQ(bytes[38], 0xFF);
    EXPECT_EQ(bytes[39], 0xFE);
    EXPECT_EQ(bytes[40], 0xFF);
    EXPECT_EQ(bytes[41], units.size());
    EXPECT_EQ(bytes[42], 0x9A); // K, Greek capital kappa 0x039A, low byte first
    EXPECT_EQ(bytes[43], 0x03);
    // The comment is plain Windows-1252: é is E9, € is 80.
    const Bytes comment = { 12, 'c', 'a', 'f', 0xE9, ' ', 0x80, ' ', 'n', 'a', 0xEF, 'v', 'e' };
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), comment.begin(), comment.end()), bytes.end());
    CProject back;
    LoadProjectBytes(bytes, back);
    EXPECT_EQ(back.Card(0).m_strTitle, p.Card(0).m_strTitle);
    EXPECT_EQ(back.Card(0).m_strComment, p.Card(0).m_strComment);
    EXPECT_EQ(SaveProjectBytes(back), bytes);
}

TEST(ProjectFileRoundTrip, EveryWindows1252ByteSurvives)
{
    Bytes file = OneCardFile();
    // Replace the 7-byte title "Card 1:" by a 255-byte-free run of every byte value but 0xFF's
    // prefix role: 254 bytes 1..254.
    Bytes title;
    for (int v = 1; v <= 254; ++v) {
        title.push_back(static_cast<uint8_t>(v));
    }
    Bytes patched(file.begin(), file.begin() + 38);
    patched.push_back(254);
    patched.insert(patched.end(), title.begin(), title.end());
    patched.insert(patched.end(), file.begin() + 46, file.end());
    CProject p;
    LoadProjectBytes(patched, p);
    EXPECT_EQ(SaveProjectBytes(p), patched);
}

TEST(ProjectFileRead, TwelveLinksOnACardAllLoad)
{
    CProject p = StartupOneCard();
    for (int i = 0; i < 12; ++i) {
        p.Card(0).LinkList()->push_back(std::make_unique<CLinkInfo>("L" + std::to_string(i), i, 0, "", 0, 0));
    }
    CProject back;
    LoadProjectBytes(SaveProjectBytes(p), back);
    ASSERT_EQ(back.Card(0).LinkCount(), 12U);
    EXPECT_EQ((*back.Card(0).LinkList())[11]->m_strTitle, "L11");
}

TEST(ProjectFileRead, BackReferencesGiveIndependentCopies)
{
    // Two list entries: the card (object 4), then a back reference to it.
    Bytes file = OneCardFile();
    file[17] = 2;
    Bytes patched(file.begin(), file.begin() + kSettingsOffset);
    Append(patched, { 0x04, 0x00 });
    patched.insert(patched.end(), file.begin() + kSettingsOffset, file.end());
    CProject p;
    LoadProjectBytes(patched, p);
    ASSERT_EQ(p.CardCount(), 2U);
    EXPECT_NE(&p.Card(0), &p.Card(1));
    EXPECT_EQ(p.Card(1).m_strTitle, "Card 1:");
    EXPECT_NE(p.Card(0).m_pLinks.get(), p.Card(1).m_pLinks.get());
}

TEST(ProjectFileRead, BackReferencesCannotMultiplyTextWithoutBound)
{
    // One card with a 60,000-character comment, then 39,999 two-byte references to it: read as
    // written it would copy 2.4 GB of text out of a 140 kB file.
    CProject one;
    one.InsertCard(EInsertPos::Bottom);
    one.Card(0).m_strComment.assign(60000, 'x');
    const Bytes withCard = SaveProjectBytes(one);
    const Bytes settingsOnly = SaveProjectBytes(CProject());
    const size_t listHeader = 19; // version, list class and count
    const size_t settingsSize = settingsOnly.size() - listHeader;
    const uint16_t count = 40000;
    Bytes file(withCard.begin(), withCard.end() - static_cast<long>(settingsSize));
    file[17] = static_cast<uint8_t>(count & 0xFF);
    file[18] = static_cast<uint8_t>(count >> 8);
    for (int i = 1; i < count; ++i) {
        Append(file, { 0x04, 0x00 });
    }
    file.insert(file.end(), settingsOnly.begin() + listHeader, settingsOnly.end());

    CProject p;
    p.BuildStarter();
    try {
        LoadProjectBytes(file, p);
        ADD_FAILURE() << "loaded";
    } catch (const CProjectFileError& e) {
        EXPECT_STREQ(e.what(), "Can not load this saved file because of old version.");
    }
    EXPECT_EQ(p.CardCount(), 3U);
}

// Every damaged form gives the one load message; a failure within the card list leaves the open
// project as it was.
TEST(ProjectFileRead, DamagedCardListKeepsTheOpenProject)
{
    struct Case {
        const char* name;
        Bytes file;
    };
    std::vector<Case> cases;
    {
        cases.push_back({ "card schema 0", OneCardFile(0) });
    }
    {
        Bytes f = OneCardFile();
        f[6] = 1; // list schema 1 instead of 0 is refused too
        cases.push_back({ "list schema 1", f });
    }
    {
        Bytes f = OneCardFile();
        f[kCardSchemaOffset + 6] = 'X'; // "CXardInfo"
        cases.push_back({ "unknown class", f });
    }
    {
        Bytes f = OneCardFile();
        Bytes g(f.begin(), f.begin() + 17);
        Append(g, { 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF }); // count 4294967295
        g.insert(g.end(), f.begin() + 19, f.end());
        cases.push_back({ "huge count", g });
    }
    {
        Bytes f = OneCardFile();
        f[38] = 0xFF; // title length: FF, then WORD 0x3A43 ("Ca") bytes, far beyond the file
        cases.push_back({ "text longer than the file", f });
    }
    {
        const Bytes whole = OneCardFile();
        Bytes f(whole.begin(), whole.begin() + 100);
        cases.push_back({ "truncated in the card", f });
    }
    {
        Bytes f = OneCardFile();
        f[130] = 0x03; // the holder's list is a card
        cases.push_back({ "links list of the wrong class", f });
    }
    {
        Bytes f = OneCardFile();
        f[118] = 0x01; // the card's links are a known CObList, not a CLinks
        f[119] = 0x80;
        cases.push_back({ "links of the wrong class", f });
    }
    {
        Bytes f = OneCardFile();
        f[130] = 0x02; // the holder's list refers to the card list being read
        f[131] = 0x00;
        cases.push_back({ "reference to an object in progress", f });
    }
    {
        Bytes f = OneCardFile();
        f[130] = 0x09; // undefined object
        f[131] = 0x00;
        cases.push_back({ "reference to an undefined object", f });
    }
    {
        Bytes f = OneCardFile();
        f[130] = 0x04; // known class 4 is an object, not a class
        f[131] = 0x80;
        cases.push_back({ "class reference to an object", f });
    }
    {
        Bytes f;
        AppendDword(f, 1);
        for (int i = 0; i < 10000; ++i) {
            Append(f, { 0xFF, 0xFF, 0x00, 0x00, 0x07, 0x00 });
            Append(f, "CObList");
            Append(f, { 0x01, 0x00 });
        }
        cases.push_back({ "10000 nested lists", f });
    }
    cases.push_back({ "empty file", {} });
    cases.push_back({ "null card list", { 1, 0, 0, 0, 0, 0 } });
    for (const Case& c : cases) {
        CProject p;
        p.BuildStarter();
        p.m_settings.m_strAuthor = "Keep me";
        try {
            LoadProjectBytes(c.file, p);
            ADD_FAILURE() << c.name << " loaded";
        } catch (const CProjectFileError& e) {
            EXPECT_STREQ(e.what(), "Can not load this saved file because of old version.") << c.name;
            EXPECT_EQ(e.Kind(), CProjectFileError::EKind::ReadFailed);
            EXPECT_FALSE(e.Detail().empty());
        }
        EXPECT_EQ(p.CardCount(), 3U) << c.name;
        EXPECT_EQ(p.m_settings.m_strAuthor, "Keep me") << c.name;
    }
}

TEST(ProjectFileRead, FileEndingInsideTheSettingsLeavesAClearedProject)
{
    const Bytes full = OneCardFile();
    for (size_t cut : { kSettingsOffset, kSettingsOffset + 5, full.size() - 1 }) {
        CProject p;
        p.BuildStarter();
        p.m_settings.m_nWidth = 123;
        const Bytes file(full.begin(), full.begin() + static_cast<long>(cut));
        EXPECT_THROW(LoadProjectBytes(file, p), CProjectFileError) << cut;
        EXPECT_EQ(p.CardCount(), 0U) << cut;
        EXPECT_EQ(p.m_settings.m_nWidth, 640) << cut;
    }
    // Cut after the author: the author read so far stays.
    CProject p;
    p.m_settings.m_strAuthor = "Other";
    const Bytes file(full.begin(), full.begin() + static_cast<long>(kSettingsOffset + 11));
    EXPECT_THROW(LoadProjectBytes(file, p), CProjectFileError);
    EXPECT_EQ(p.m_settings.m_strAuthor, "Marrowlark");
}

class ProjectFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
            ("model_file_test_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::filesystem::path m_dir;
};

TEST_F(ProjectFileOnDisk, SaveWithNoCardsWritesNothing)
{
    CProject p;
    const auto path = m_dir / "empty.mlp";
    EXPECT_FALSE(SaveProjectFile(p, path));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::is_empty(m_dir));
}

TEST_F(ProjectFileOnDisk, SaveReplacesTheFileAndLeavesNoTemporary)
{
    const auto path = m_dir / "gift.mlp";
    {
        std::ofstream(path) << "old content";
    }
    std::filesystem::permissions(path,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
            std::filesystem::perms::group_read);
    CProject p = StartupOneCard();
    ASSERT_TRUE(SaveProjectFile(p, path));
    std::ifstream in(path, std::ios::binary);
    const Bytes onDisk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(onDisk, OneCardFile());
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(m_dir), std::filesystem::directory_iterator()), 1);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
            std::filesystem::perms::group_read);

    CProject back;
    LoadProjectFile(path, back);
    EXPECT_EQ(back.CardCount(), 1U);
}

TEST_F(ProjectFileOnDisk, FailedSaveKeepsWhatWasThere)
{
    // A folder in the way of the rename: the save fails and the folder and its file survive.
    const auto path = m_dir / "taken.mlp";
    std::filesystem::create_directories(path);
    {
        std::ofstream(path / "inside") << "x";
    }
    EXPECT_THROW((void)SaveProjectFile(StartupOneCard(), path), std::runtime_error);
    EXPECT_TRUE(std::filesystem::exists(path / "inside"));
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(m_dir), std::filesystem::directory_iterator()), 1);
    EXPECT_THROW((void)SaveProjectFile(StartupOneCard(), m_dir / "missing" / "a.mlp"), std::runtime_error);
}

TEST_F(ProjectFileOnDisk, MissingFileIsAnOpenFailureAndChangesNothing)
{
    CProject p;
    p.BuildStarter();
    try {
        LoadProjectFile(m_dir / "nope.mlp", p);
        FAIL();
    } catch (const CProjectFileError& e) {
        EXPECT_EQ(e.Kind(), CProjectFileError::EKind::OpenFailed);
        EXPECT_NE(std::string(e.what()).find("nope.mlp"), std::string::npos);
    }
    EXPECT_EQ(p.CardCount(), 3U);
}

TEST_F(ProjectFileOnDisk, SaveThroughALinkReplacesTheFileItNames)
{
    const auto real = m_dir / "projects" / "gift.mlp";
    std::filesystem::create_directories(real.parent_path());
    ASSERT_TRUE(SaveProjectFile(StartupOneCard(), real));
    const auto link = m_dir / "shortcut.mlp";
    std::filesystem::create_symlink(real, link);

    CProject two = StartupOneCard();
    two.InsertCard(EInsertPos::Bottom);
    ASSERT_TRUE(SaveProjectFile(two, link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    CProject loaded;
    LoadProjectFile(real, loaded);
    EXPECT_EQ(loaded.CardCount(), 2U);

    // A link to nothing is replaced by the file.
    const auto dangling = m_dir / "dangling.mlp";
    std::filesystem::create_symlink(m_dir / "nowhere" / "x.mlp", dangling);
    ASSERT_TRUE(SaveProjectFile(two, dangling));
    EXPECT_FALSE(std::filesystem::is_symlink(dangling));
    EXPECT_TRUE(std::filesystem::is_regular_file(dangling));
}

TEST_F(ProjectFileOnDisk, FileLargerThanAnyProjectIsAReadFailure)
{
    const auto path = m_dir / "huge.mlp";
    std::ofstream(path).put('x');
    std::filesystem::resize_file(path, kMaxProjectFileSize + 1); // sparse: costs no disk
    CProject p;
    p.BuildStarter();
    try {
        LoadProjectFile(path, p);
        FAIL();
    } catch (const CProjectFileError& e) {
        EXPECT_EQ(e.Kind(), CProjectFileError::EKind::ReadFailed);
        EXPECT_STREQ(e.what(), "Can not load this saved file because of old version.");
    }
    EXPECT_EQ(p.CardCount(), 3U);
}
