// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ProjectJson.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <limits>
#include <set>

using nlohmann::ordered_json;

namespace {

// Nesting depth accepted in the JSON text: a project needs four levels; this leaves room and keeps
// a hostile text from exhausting the stack of the parser.
constexpr int kMaxJsonDepth = 32;

ordered_json LinkToJson(const CLinkInfo& l)
{
    ordered_json j;
    j["m_strTitle"] = l.m_strTitle;
    j["m_nTarget"] = l.m_nTarget;
    j["m_nScore"] = l.m_nScore;
    j["m_strCompare"] = l.m_strCompare;
    j["m_nCompareValue"] = l.m_nCompareValue;
    j["m_nCompareTarget"] = l.m_nCompareTarget;
    return j;
}

ordered_json CardToJson(const CCardInfo& c)
{
    ordered_json j;
    j["m_nNumber"] = c.m_nNumber;
    j["m_strTitle"] = c.m_strTitle;
    j["m_strTitleColor"] = c.m_strTitleColor;
    j["m_strComment"] = c.m_strComment;
    j["m_strCommentColor"] = c.m_strCommentColor;
    j["m_strBackground"] = c.m_strBackground;
    j["m_nBgAlign"] = c.m_nBgAlign;
    j["m_bEmail"] = c.m_bEmail;
    j["m_bUseProjectBg"] = c.m_bUseProjectBg;
    if (!c.m_pLinks) {
        j["m_pLinks"] = nullptr;
    } else if (!c.m_pLinks->m_pList) {
        j["m_pLinks"] = ordered_json { { "m_pList", nullptr } };
    } else {
        ordered_json links = ordered_json::array();
        for (const auto& link : *c.m_pLinks->m_pList) {
            links.push_back(LinkToJson(*link));
        }
        j["m_pLinks"] = std::move(links);
    }
    return j;
}

// Reads the fields of one JSON object into a record, naming each failure by its path.
class CFieldReader {
public:
    CFieldReader(const ordered_json& object, std::string path)
        : m_object(object)
        , m_path(std::move(path))
    {
        if (!object.is_object()) {
            Fail(m_path, "expected an object");
        }
    }

    [[noreturn]] static void Fail(const std::string& path, const std::string& reason)
    {
        throw CProjectJsonError(path + ": " + reason);
    }

    void Text(const char* name, std::string& field)
    {
        if (const ordered_json* v = Take(name)) {
            if (!v->is_string()) {
                Fail(m_path + "." + name, "expected a string");
            }
            field = v->get<std::string>();
        }
    }

    // Integers and flags; a flag may also be written as true or false.
    void Int(const char* name, int32_t& field)
    {
        if (const ordered_json* v = Take(name)) {
            if (v->is_boolean()) {
                field = v->get<bool>() ? 1 : 0;
                return;
            }
            if (v->is_number_unsigned()) {
                const auto u = v->get<uint64_t>();
                if (u <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
                    field = static_cast<int32_t>(u);
                    return;
                }
                Fail(m_path + "." + name, "integer out of the 32-bit range");
            }
            if (v->is_number_integer()) {
                const auto n = v->get<int64_t>();
                if (n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<int32_t>::max()) {
                    field = static_cast<int32_t>(n);
                    return;
                }
                Fail(m_path + "." + name, "integer out of the 32-bit range");
            }
            Fail(m_path + "." + name, "expected an integer");
        }
    }

    const ordered_json* Take(const char* name)
    {
        m_seen.emplace(name);
        const auto it = m_object.find(name);
        return it == m_object.end() ? nullptr : &*it;
    }

    // Refuses fields this reader did not ask for (usually a misspelt name).
    void CheckNoOthers() const
    {
        for (const auto& item : m_object.items()) {
            if (!m_seen.contains(item.key())) {
                Fail(m_path + "." + item.key(), "unknown field");
            }
        }
    }

    const std::string& Path() const { return m_path; }

private:
    const ordered_json& m_object;
    std::string m_path;
    std::set<std::string, std::less<>> m_seen;
};

std::unique_ptr<CLinkInfo> LinkFromJson(const ordered_json& j, const std::string& path)
{
    auto link = std::make_unique<CLinkInfo>();
    CFieldReader r(j, path);
    r.Text("m_strTitle", link->m_strTitle);
    r.Int("m_nTarget", link->m_nTarget);
    r.Int("m_nScore", link->m_nScore);
    r.Text("m_strCompare", link->m_strCompare);
    r.Int("m_nCompareValue", link->m_nCompareValue);
    r.Int("m_nCompareTarget", link->m_nCompareTarget);
    r.CheckNoOthers();
    return link;
}

std::unique_ptr<CLinkList> LinkListFromJson(const ordered_json& j, const std::string& path)
{
    if (!j.is_array()) {
        CFieldReader::Fail(path, "expected an array of links");
    }
    auto list = std::make_unique<CLinkList>();
    for (size_t i = 0; i < j.size(); ++i) {
        list->push_back(LinkFromJson(j[i], path + "[" + std::to_string(i) + "]"));
    }
    return list;
}

std::unique_ptr<CCardInfo> CardFromJson(const ordered_json& j, const std::string& path, size_t index)
{
    auto card = std::make_unique<CCardInfo>();
    card->m_nNumber = static_cast<int32_t>(index);
    card->m_pLinks = CLinks::CreateWithList();
    CFieldReader r(j, path);
    r.Int("m_nNumber", card->m_nNumber);
    r.Text("m_strTitle", card->m_strTitle);
    r.Text("m_strTitleColor", card->m_strTitleColor);
    r.Text("m_strComment", card->m_strComment);
    r.Text("m_strCommentColor", card->m_strCommentColor);
    r.Text("m_strBackground", card->m_strBackground);
    r.Int("m_nBgAlign", card->m_nBgAlign);
    r.Int("m_bEmail", card->m_bEmail);
    r.Int("m_bUseProjectBg", card->m_bUseProjectBg);
    if (const ordered_json* links = r.Take("m_pLinks")) {
        const std::string linksPath = path + ".m_pLinks";
        if (links->is_null()) {
            card->m_pLinks.reset();
        } else if (links->is_object()) {
            card->m_pLinks = std::make_unique<CLinks>();
            CFieldReader holder(*links, linksPath);
            if (const ordered_json* list = holder.Take("m_pList"); list && !list->is_null()) {
                card->m_pLinks->m_pList = LinkListFromJson(*list, linksPath + ".m_pList");
            }
            holder.CheckNoOthers();
        } else {
            card->m_pLinks->m_pList = LinkListFromJson(*links, linksPath);
        }
    }
    r.CheckNoOthers();
    return card;
}

void SettingsFromJson(const ordered_json& j, CProjectSettings& s)
{
    CFieldReader r(j, "settings");
    r.Text("m_strAuthor", s.m_strAuthor);
    r.Text("m_strEmail", s.m_strEmail);
    r.Text("m_strBackground", s.m_strBackground);
    r.Int("m_nBgAlign", s.m_nBgAlign);
    r.Text("m_strButton", s.m_strButton);
    r.Text("m_strTextColor", s.m_strTextColor);
    r.Text("m_strMusic", s.m_strMusic);
    r.Int("m_bPromoteLastCard", s.m_bPromoteLastCard);
    r.Int("m_bPromoteEachCard", s.m_bPromoteEachCard);
    r.Int("m_nWidth", s.m_nWidth);
    r.Int("m_nHeight", s.m_nHeight);
    r.Text("m_strSlideDelay", s.m_strSlideDelay);
    r.Int("m_bSlideShow", s.m_bSlideShow);
    r.Text("m_strFont", s.m_strFont);
    r.CheckNoOthers();
}

} // namespace

std::string ProjectToJson(const CProject& project)
{
    ordered_json root;
    ordered_json cards = ordered_json::array();
    for (const auto& card : project.Cards()) {
        cards.push_back(CardToJson(*card));
    }
    root["cards"] = std::move(cards);
    const CProjectSettings& s = project.m_settings;
    ordered_json settings;
    settings["m_strAuthor"] = s.m_strAuthor;
    settings["m_strEmail"] = s.m_strEmail;
    settings["m_strBackground"] = s.m_strBackground;
    settings["m_nBgAlign"] = s.m_nBgAlign;
    settings["m_strButton"] = s.m_strButton;
    settings["m_strTextColor"] = s.m_strTextColor;
    settings["m_strMusic"] = s.m_strMusic;
    settings["m_bPromoteLastCard"] = s.m_bPromoteLastCard;
    settings["m_bPromoteEachCard"] = s.m_bPromoteEachCard;
    settings["m_nWidth"] = s.m_nWidth;
    settings["m_nHeight"] = s.m_nHeight;
    settings["m_strSlideDelay"] = s.m_strSlideDelay;
    settings["m_bSlideShow"] = s.m_bSlideShow;
    settings["m_strFont"] = s.m_strFont;
    root["settings"] = std::move(settings);
    // Text read from a file may hold unpaired UTF-16 surrogates, which JSON strings cannot carry
    // as UTF-8; they are replaced rather than failing the whole dump.
    return root.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

void ProjectFromJson(std::string_view text, CProject& project)
{
    bool tooDeep = false;
    const ordered_json::parser_callback_t limitDepth = [&](int d, ordered_json::parse_event_t event,
                                                           ordered_json&) {
        if (event == ordered_json::parse_event_t::object_start ||
            event == ordered_json::parse_event_t::array_start) {
            if (d >= kMaxJsonDepth) {
                tooDeep = true;
            }
        }
        return true;
    };
    ordered_json root;
    try {
        root = ordered_json::parse(text.begin(), text.end(), limitDepth);
    } catch (const ordered_json::exception& e) {
        throw CProjectJsonError(std::string("not valid JSON: ") + e.what());
    }
    if (tooDeep) {
        throw CProjectJsonError("JSON nested deeper than " + std::to_string(kMaxJsonDepth) + " levels");
    }
    CFieldReader r(root, "project");
    std::vector<std::unique_ptr<CCardInfo>> cards;
    if (const ordered_json* list = r.Take("cards")) {
        if (!list->is_array()) {
            CFieldReader::Fail("cards", "expected an array of cards");
        }
        for (size_t i = 0; i < list->size(); ++i) {
            cards.push_back(CardFromJson((*list)[i], "cards[" + std::to_string(i) + "]", i));
        }
    }
    CProjectSettings settings;
    settings.m_nQuality = project.m_settings.m_nQuality;
    settings.m_strProjectPath = project.m_settings.m_strProjectPath;
    if (const ordered_json* s = r.Take("settings")) {
        SettingsFromJson(*s, settings);
    }
    r.CheckNoOthers();
    project.Clear();
    project.m_settings = std::move(settings);
    project.AppendCards(std::move(cards));
}
