// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/InstallPaths.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool EqualNoCase(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        };
        return lower(x) == lower(y);
    });
}

bool Exists(const fs::path& p)
{
    std::error_code ec;
    return fs::symlink_status(p, ec).type() != fs::file_type::not_found && !ec;
}

// The entry of folder named like name without regard to case: the exact name first, else the
// first match in sorted order, so that the choice does not depend on the directory's order.
std::optional<fs::path> MatchEntry(const fs::path& folder, const fs::path& name)
{
    const fs::path exact = folder / name;
    if (Exists(exact)) {
        return exact;
    }
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
    if (ec) {
        return std::nullopt;
    }
    std::vector<std::string> matches;
    const std::string wanted = name.string();
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) {
            break;
        }
        const std::string entry = it->path().filename().string();
        if (EqualNoCase(entry, wanted)) {
            matches.push_back(entry);
        }
    }
    if (matches.empty()) {
        return std::nullopt;
    }
    std::sort(matches.begin(), matches.end());
    return folder / matches.front();
}

// Matches the components of path one by one; returns the matched prefix and how many components
// of the path it covers.
std::pair<fs::path, size_t> MatchPrefix(const fs::path& path)
{
    std::vector<fs::path> parts(path.begin(), path.end());
    fs::path current;
    size_t i = 0;
    if (path.has_root_path()) {
        current = path.root_path();
        while (i < parts.size() && (parts[i] == path.root_name() || parts[i] == path.root_directory())) {
            ++i;
        }
    }
    for (; i < parts.size(); ++i) {
        const fs::path& part = parts[i];
        if (part.empty() || part == "." || part == "..") {
            current /= part;
            continue;
        }
        const auto match = MatchEntry(current, part);
        if (!match) {
            break;
        }
        current = *match;
    }
    return { current, i };
}

} // namespace

fs::path InstallFolder()
{
    if (const char* home = std::getenv(kHomeVariable); home && *home) {
        return fs::path(home);
    }
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        throw std::runtime_error("Cannot find the installation folder: /proc/self/exe: " + ec.message());
    }
    return exe.parent_path();
}

fs::path JoinInstallPath(const fs::path& home, std::string_view relative)
{
    fs::path out = home;
    size_t start = 0;
    while (start <= relative.size()) {
        const size_t end = relative.find_first_of("\\/", start);
        const std::string_view part =
            relative.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!part.empty()) {
            out /= fs::path(std::string(part));
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return out;
}

std::optional<fs::path> FindFileNoCase(const fs::path& path)
{
    if (path.empty()) {
        return std::nullopt;
    }
    if (Exists(path)) {
        return path;
    }
    const auto [matched, covered] = MatchPrefix(path);
    const size_t total = static_cast<size_t>(std::distance(path.begin(), path.end()));
    if (covered < total) {
        return std::nullopt;
    }
    return matched;
}

fs::path ResolvePathNoCase(const fs::path& path)
{
    if (path.empty() || Exists(path)) {
        return path;
    }
    auto [matched, covered] = MatchPrefix(path);
    size_t i = 0;
    for (const auto& part : path) {
        if (i++ >= covered) {
            matched /= part;
        }
    }
    return matched;
}

fs::path InstallPath(const fs::path& home, std::string_view relative)
{
    return ResolvePathNoCase(JoinInstallPath(home, relative));
}

void DeleteFolderContents(const fs::path& folder)
{
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        return;
    }
    std::vector<fs::path> entries;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) {
            break;
        }
        entries.push_back(it->path());
    }
    for (const auto& entry : entries) {
        std::error_code ignored;
        // symlink_status: a link to a folder is removed as a link, its target left alone.
        if (fs::symlink_status(entry, ignored).type() == fs::file_type::directory) {
            DeleteFolderContents(entry);
        }
        fs::remove(entry, ignored);
    }
}
