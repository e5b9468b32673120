// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/IniFile.h"

#include "model/AtomicFile.h"
#include "model/ProjectSettings.h"
#include "model/TextCodec.h"

#include <fstream>

namespace {

// Largest config file read; profile files are a few lines.
constexpr uintmax_t kMaxIniFileSize = 1024 * 1024;

std::string_view Trim(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// The section name of a "[name]" line.
std::optional<std::string_view> SectionName(std::string_view line)
{
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') {
        return std::nullopt;
    }
    const size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(line.substr(1, close - 1));
}

// The key of a "key=value" line, and where its value starts.
std::optional<std::string_view> KeyOf(std::string_view line, size_t* valueStart = nullptr)
{
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') {
        return std::nullopt;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    if (valueStart) {
        *valueStart = eq + 1;
    }
    return Trim(line.substr(0, eq));
}

} // namespace

CIniFile CIniFile::FromText(std::string_view text)
{
    CIniFile ini;
    size_t start = 0;
    while (start < text.size()) {
        const size_t nl = text.find('\n', start);
        if (nl == std::string_view::npos) {
            ini.m_lines.push_back({ std::string(text.substr(start)), "" });
            break;
        }
        std::string_view body = text.substr(start, nl - start);
        std::string end = "\n";
        if (!body.empty() && body.back() == '\r') {
            body.remove_suffix(1);
            end = "\r\n";
        }
        ini.m_lines.push_back({ std::string(body), end });
        start = nl + 1;
    }
    return ini;
}

CIniFile CIniFile::Load(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return {};
    }
    const std::vector<uint8_t> bytes = ReadWholeFile(path, kMaxIniFileSize);
    return FromText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::optional<std::string> CIniFile::Value(std::string_view section, std::string_view key) const
{
    bool inSection = false;
    for (const Line& line : m_lines) {
        if (const auto name = SectionName(line.text)) {
            inSection = EqualNoCase(*name, section);
            continue;
        }
        size_t valueStart = 0;
        const auto lineKey = KeyOf(line.text, &valueStart);
        if (inSection && lineKey && EqualNoCase(*lineKey, key)) {
            std::string_view value = Trim(std::string_view(line.text).substr(valueStart));
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            return std::string(value);
        }
    }
    return std::nullopt;
}

void CIniFile::SetValue(std::string_view section, std::string_view key, std::string_view value)
{
    std::string newLine = std::string(key) + "=" + std::string(value);
    bool inSection = false;
    size_t lastOfSection = 0;
    bool found = false;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (const auto name = SectionName(m_lines[i].text)) {
            inSection = EqualNoCase(*name, section);
            if (inSection) {
                found = true;
                lastOfSection = i;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        const auto lineKey = KeyOf(m_lines[i].text);
        if (lineKey && EqualNoCase(*lineKey, key)) {
            // Keep the key as the file spells it.
            m_lines[i].text = std::string(*lineKey) + "=" + std::string(value);
            return;
        }
        if (!Trim(m_lines[i].text).empty()) {
            lastOfSection = i;
        }
    }
    const auto insertAt = [&](size_t pos, std::string text) {
        std::string end = "\r\n";
        // A new last line keeps the file's habit of ending with or without a line end.
        if (pos == m_lines.size() && pos > 0 && m_lines[pos - 1].end.empty()) {
            m_lines[pos - 1].end = "\r\n";
            end.clear();
        }
        m_lines.insert(
            m_lines.begin() + static_cast<std::ptrdiff_t>(pos), Line { std::move(text), std::move(end) });
    };
    if (found) {
        insertAt(lastOfSection + 1, newLine);
        return;
    }
    insertAt(m_lines.size(), "[" + std::string(section) + "]");
    insertAt(m_lines.size(), newLine);
}

std::string CIniFile::Text() const
{
    std::string out;
    for (const Line& line : m_lines) {
        out += line.text;
        out += line.end;
    }
    return out;
}

void CIniFile::Save(const std::filesystem::path& path) const
{
    const std::string text = Text();
    WriteFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

bool EnsureConfigFile(const std::filesystem::path& configPath)
{
    std::error_code ec;
    if (std::filesystem::exists(configPath, ec)) {
        return true;
    }
    std::ofstream out(configPath, std::ios::binary);
    out << kConfigInitialText;
    out.close();
    return static_cast<bool>(out);
}

std::string ReadConfigEmail(const std::filesystem::path& configPath)
{
    std::optional<std::string> value;
    try {
        value = CIniFile::Load(configPath).Value(kConfigSection, kConfigEmailKey);
    } catch (const std::exception&) {
        value.reset();
    }
    if (!value) {
        return kPlaceholderEmail;
    }
    return Utf8Truncate(*value, kConfigEmailMaxChars);
}
