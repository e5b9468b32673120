// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ProjectFile.h"

#include "model/ArchiveReader.h"
#include "model/ArchiveWriter.h"
#include "model/AtomicFile.h"

namespace {

constexpr std::string_view kObList = "CObList";
constexpr std::string_view kCardInfo = "CCardInfo";
constexpr std::string_view kLinks = "CLinks";
constexpr std::string_view kLinkInfo = "CLinkInfo";
constexpr uint32_t kFileVersion = 1;

// The smallest encoding of an element: an object item is at least a WORD.
constexpr size_t kMinItemBytes = 2;

// Text that back references may copy, as a multiple of the file's size. Files written by the
// editor hold no back references at all; a file that repeats a card with a long comment thousands
// of times is refused rather than let grow to gigabytes in memory.
constexpr size_t kCopiedTextPerFileByte = 4;
constexpr size_t kCopiedTextAllowance = 64 * 1024;

size_t TextBytes(const CLinkInfo& link)
{
    return link.m_strTitle.size() + link.m_strCompare.size();
}

size_t TextBytes(const CLinkList& list)
{
    size_t total = 0;
    for (const auto& link : list) {
        total += TextBytes(*link);
    }
    return total;
}

size_t TextBytes(const CCardInfo& card)
{
    const CLinkList* list = card.LinkList();
    return card.m_strTitle.size() + card.m_strTitleColor.size() + card.m_strComment.size() +
        card.m_strCommentColor.size() + card.m_strBackground.size() + (list ? TextBytes(*list) : 0);
}

void WriteLink(CArchiveWriter& ar, const CLinkInfo& link)
{
    ar.BeginObject(kLinkInfo, CLinkInfo::kSchema);
    ar.WriteString(link.m_strTitle);
    ar.WriteInt(link.m_nTarget);
    ar.WriteInt(link.m_nScore);
    ar.WriteString(link.m_strCompare);
    ar.WriteInt(link.m_nCompareValue);
    ar.WriteInt(link.m_nCompareTarget);
}

void WriteCard(CArchiveWriter& ar, const CCardInfo& card)
{
    ar.BeginObject(kCardInfo, CCardInfo::kSchema);
    ar.WriteInt(card.m_nNumber);
    ar.WriteString(card.m_strTitle);
    ar.WriteString(card.m_strTitleColor);
    ar.WriteString(card.m_strComment);
    ar.WriteString(card.m_strCommentColor);
    ar.WriteString(card.m_strBackground);
    ar.WriteInt(card.m_nBgAlign);
    // The file keeps these two in the reverse order of the record.
    ar.WriteInt(card.m_bUseProjectBg);
    ar.WriteInt(card.m_bEmail);
    if (!card.m_pLinks) {
        ar.WriteNull();
        return;
    }
    ar.BeginObject(kLinks, CLinks::kSchema);
    if (!card.m_pLinks->m_pList) {
        ar.WriteNull();
        return;
    }
    const CLinkList& list = *card.m_pLinks->m_pList;
    ar.BeginObject(kObList, 0);
    ar.WriteCount(static_cast<uint32_t>(list.size()));
    for (const auto& link : list) {
        WriteLink(ar, *link);
    }
}

// Reads the card list into new objects. Each class is accepted only in its own place (cards in the
// top list, a holder in a card, a list in a holder, links in that list), so nesting is fixed at
// four levels and a file of nested lists is refused at the second one. A back reference yields a
// copy of an object read completely before; the project owns every object exactly once.
class CProjectParser {
public:
    explicit CProjectParser(std::span<const uint8_t> bytes)
        : m_ar(bytes,
              { { kObList, 0 }, { kCardInfo, CCardInfo::kSchema }, { kLinks, CLinks::kSchema },
                  { kLinkInfo, CLinkInfo::kSchema } })
        // Cloning through back references may create at most as many objects as the file has bytes.
        , m_objectBudget(bytes.size())
        , m_textBudget(bytes.size() * kCopiedTextPerFileByte + kCopiedTextAllowance)
    {
    }

    CArchiveReader& Reader() { return m_ar; }

    std::vector<std::unique_ptr<CCardInfo>> ReadCardList()
    {
        const CArchiveItem item = ReadItem(kObList, "card list");
        if (item.kind != CArchiveItem::EKind::NewObject) {
            m_ar.Fail("the card list is missing");
        }
        const uint32_t count = m_ar.ReadCount(kMinItemBytes);
        std::vector<std::unique_ptr<CCardInfo>> cards;
        cards.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            cards.push_back(ReadCard());
        }
        return cards;
    }

private:
    CArchiveItem ReadItem(std::string_view expected, const char* what)
    {
        const CArchiveItem item = m_ar.ReadObjectItem();
        if (item.kind != CArchiveItem::EKind::Null && m_ar.Class(item.classId).name != expected) {
            m_ar.Fail(std::string(what) + " is a " + std::string(m_ar.Class(item.classId).name) + ", not a " +
                std::string(expected));
        }
        if (item.kind != CArchiveItem::EKind::Null) {
            Spend(1);
        }
        return item;
    }

    void Spend(size_t objects)
    {
        if (objects > m_objectBudget) {
            m_ar.Fail("too many objects for the size of the file");
        }
        m_objectBudget -= objects;
    }

    void SpendText(size_t textBytes)
    {
        if (textBytes > m_textBudget) {
            m_ar.Fail("back references copy more text than the file can hold");
        }
        m_textBudget -= textBytes;
    }

    const void* Completed(const CArchiveItem& item)
    {
        if (item.objectIndex >= m_completed.size() || !m_completed[item.objectIndex]) {
            m_ar.Fail("reference to object " + std::to_string(item.objectIndex) + " while it is being read");
        }
        return m_completed[item.objectIndex];
    }

    // Archive indices grow by one per item read, so this table stays within the file's size.
    void Complete(uint32_t objectIndex, const void* object)
    {
        if (objectIndex >= m_completed.size()) {
            m_completed.resize(objectIndex + 1, nullptr);
        }
        m_completed[objectIndex] = object;
    }

    std::unique_ptr<CCardInfo> ReadCard()
    {
        const CArchiveItem item = ReadItem(kCardInfo, "card");
        if (item.kind == CArchiveItem::EKind::Null) {
            m_ar.Fail("empty card entry");
        }
        if (item.kind == CArchiveItem::EKind::BackReference) {
            const auto* original = static_cast<const CCardInfo*>(Completed(item));
            Spend(2 + original->LinkCount());
            SpendText(TextBytes(*original));
            return original->Clone();
        }
        auto card = std::make_unique<CCardInfo>();
        card->m_nNumber = m_ar.ReadInt();
        card->m_strTitle = m_ar.ReadString();
        card->m_strTitleColor = m_ar.ReadString();
        card->m_strComment = m_ar.ReadString();
        card->m_strCommentColor = m_ar.ReadString();
        card->m_strBackground = m_ar.ReadString();
        card->m_nBgAlign = m_ar.ReadInt();
        card->m_bUseProjectBg = m_ar.ReadInt();
        card->m_bEmail = m_ar.ReadInt();
        card->m_pLinks = ReadLinks();
        Complete(item.objectIndex, card.get());
        return card;
    }

    std::unique_ptr<CLinks> ReadLinks()
    {
        const CArchiveItem item = ReadItem(kLinks, "the links of a card");
        if (item.kind == CArchiveItem::EKind::Null) {
            return nullptr;
        }
        if (item.kind == CArchiveItem::EKind::BackReference) {
            const auto* original = static_cast<const CLinks*>(Completed(item));
            Spend(1 + original->Count());
            SpendText(original->m_pList ? TextBytes(*original->m_pList) : 0);
            return original->Clone();
        }
        auto links = std::make_unique<CLinks>();
        links->m_pList = ReadLinkList();
        Complete(item.objectIndex, links.get());
        return links;
    }

    std::unique_ptr<CLinkList> ReadLinkList()
    {
        const CArchiveItem item = ReadItem(kObList, "the link list of a card");
        if (item.kind == CArchiveItem::EKind::Null) {
            return nullptr;
        }
        auto list = std::make_unique<CLinkList>();
        if (item.kind == CArchiveItem::EKind::BackReference) {
            const auto* original = static_cast<const CLinkList*>(Completed(item));
            Spend(original->size());
            SpendText(TextBytes(*original));
            for (const auto& link : *original) {
                list->push_back(std::make_unique<CLinkInfo>(*link));
            }
            return list;
        }
        const uint32_t count = m_ar.ReadCount(kMinItemBytes);
        list->reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            list->push_back(ReadLink());
        }
        Complete(item.objectIndex, list.get());
        return list;
    }

    std::unique_ptr<CLinkInfo> ReadLink()
    {
        const CArchiveItem item = ReadItem(kLinkInfo, "link");
        if (item.kind == CArchiveItem::EKind::Null) {
            m_ar.Fail("empty link entry");
        }
        if (item.kind == CArchiveItem::EKind::BackReference) {
            const auto* original = static_cast<const CLinkInfo*>(Completed(item));
            SpendText(TextBytes(*original));
            return std::make_unique<CLinkInfo>(*original);
        }
        auto link = std::make_unique<CLinkInfo>();
        link->m_strTitle = m_ar.ReadString();
        link->m_nTarget = m_ar.ReadInt();
        link->m_nScore = m_ar.ReadInt();
        link->m_strCompare = m_ar.ReadString();
        link->m_nCompareValue = m_ar.ReadInt();
        link->m_nCompareTarget = m_ar.ReadInt();
        Complete(item.objectIndex, link.get());
        return link;
    }

    CArchiveReader m_ar;
    size_t m_objectBudget;
    size_t m_textBudget;
    // Objects read completely, by archive index, for back references. The kind of each follows
    // from its class, which ReadItem has checked.
    std::vector<const void*> m_completed;
};

void ReadSettings(CArchiveReader& ar, CProjectSettings& s)
{
    s.m_strAuthor = ar.ReadString();
    s.m_strEmail = ar.ReadString();
    s.m_strBackground = ar.ReadString();
    s.m_nBgAlign = ar.ReadInt();
    s.m_strButton = ar.ReadString();
    s.m_strTextColor = ar.ReadString();
    s.m_strMusic = ar.ReadString();
    s.m_bPromoteLastCard = ar.ReadInt();
    s.m_bPromoteEachCard = ar.ReadInt();
    s.m_nWidth = ar.ReadInt();
    s.m_nHeight = ar.ReadInt();
    s.m_strSlideDelay = ar.ReadString();
    s.m_bSlideShow = ar.ReadInt();
    s.m_strFont = ar.ReadString();
}

[[noreturn]] void ThrowReadFailure(const std::string& detail)
{
    throw CProjectFileError(CProjectFileError::EKind::ReadFailed, kLoadFailureMessage, detail);
}

} // namespace

std::vector<uint8_t> SaveProjectBytes(const CProject& project)
{
    CArchiveWriter ar;
    ar.WriteDword(kFileVersion);
    ar.BeginObject(kObList, 0);
    ar.WriteCount(static_cast<uint32_t>(project.CardCount()));
    for (const auto& card : project.Cards()) {
        WriteCard(ar, *card);
    }
    const CProjectSettings& s = project.m_settings;
    ar.WriteString(s.m_strAuthor);
    ar.WriteString(s.m_strEmail);
    ar.WriteString(s.m_strBackground);
    ar.WriteInt(s.m_nBgAlign);
    ar.WriteString(s.m_strButton);
    ar.WriteString(s.m_strTextColor);
    ar.WriteString(s.m_strMusic);
    ar.WriteInt(s.m_bPromoteLastCard);
    ar.WriteInt(s.m_bPromoteEachCard);
    ar.WriteInt(s.m_nWidth);
    ar.WriteInt(s.m_nHeight);
    ar.WriteString(s.m_strSlideDelay);
    ar.WriteInt(s.m_bSlideShow);
    ar.WriteString(s.m_strFont);
    return ar.TakeBytes();
}

void LoadProjectBytes(std::span<const uint8_t> bytes, CProject& project)
{
    std::vector<std::unique_ptr<CCardInfo>> cards;
    CProjectParser parser(bytes);
    try {
        (void)parser.Reader().ReadDword(); // the version, whatever it holds
        cards = parser.ReadCardList();
    } catch (const CArchiveError& e) {
        ThrowReadFailure(std::string("card list: ") + e.what());
    }
    // From here on the previous project is gone.
    project.Clear();
    try {
        ReadSettings(parser.Reader(), project.m_settings);
    } catch (const CArchiveError& e) {
        ThrowReadFailure(std::string("project settings: ") + e.what());
    }
    project.AppendCards(std::move(cards));
}

bool SaveProjectFile(const CProject& project, const std::filesystem::path& path)
{
    if (project.CardCount() == 0) {
        return false;
    }
    const std::vector<uint8_t> bytes = SaveProjectBytes(project);
    WriteFileAtomically(path, bytes);
    return true;
}

void LoadProjectFile(const std::filesystem::path& path, CProject& project)
{
    // A file too large to be a project opens but cannot be read as one.
    std::error_code sizeError;
    const uintmax_t size = std::filesystem::file_size(path, sizeError);
    if (!sizeError && size > kMaxProjectFileSize) {
        ThrowReadFailure("the file holds " + std::to_string(size) + " bytes, more than a project can");
    }
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadWholeFile(path, kMaxProjectFileSize);
    } catch (const std::runtime_error& e) {
        throw CProjectFileError(CProjectFileError::EKind::OpenFailed, e.what(), e.what());
    }
    LoadProjectBytes(bytes, project);
}
