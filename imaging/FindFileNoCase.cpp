// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/FindFileNoCase.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace imaging {

namespace {

bool equalNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// The entry of the folder named like this, exact spelling first, else the first in name order.
std::optional<std::filesystem::path> findInFolder(
    const std::filesystem::path& folder, const std::string& name)
{
    std::error_code error;
    if (std::filesystem::exists(folder / name, error)) {
        return folder / name;
    }
    std::optional<std::string> best;
    std::filesystem::directory_iterator it(folder.empty() ? std::filesystem::path(".") : folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string candidate = it->path().filename().string();
        if (equalNoCase(candidate, name) && (!best || candidate < *best)) {
            best = candidate;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return folder / *best;
}

} // namespace

std::optional<std::filesystem::path> findFileNoCase(const std::filesystem::path& path)
{
    std::error_code error;
    if (path.empty()) {
        return std::nullopt;
    }
    if (std::filesystem::exists(path, error)) {
        return path;
    }
    std::filesystem::path found = path.root_path();
    for (const auto& part : path.relative_path()) {
        const std::string name = part.string();
        if (name.empty() || name == "." || name == "..") {
            found /= part;
            continue;
        }
        auto next = findInFolder(found, name);
        if (!next) {
            return std::nullopt;
        }
        found = std::move(*next);
    }
    return found;
}

} // namespace imaging
