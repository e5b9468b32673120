// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/export/LeftOutText.h"

#include "editor/dialogs/DialogPaths.h"

namespace {

QString ShownPath(const std::filesystem::path& path, const std::filesystem::path& folder)
{
    const std::filesystem::path relative = path.lexically_relative(folder);
    if (!relative.empty() && *relative.begin() != std::filesystem::path("..")) {
        return FromPath(relative);
    }
    return FromPath(path);
}

} // namespace

QString LeftOutLines(const std::vector<CLeftOut>& items, const std::filesystem::path& folder)
{
    QString strLines;
    const size_t nListed = items.size() < kMaxListedLeftOut ? items.size() : kMaxListedLeftOut;
    for (size_t i = 0; i < nListed; ++i) {
        if (!strLines.isEmpty()) {
            strLines += QLatin1Char('\n');
        }
        strLines +=
            QStringLiteral("    %1: %2")
                .arg(ShownPath(items[i].m_path, folder), QString::fromStdString(items[i].m_strReason));
    }
    if (items.size() > nListed) {
        strLines += QStringLiteral("\n    and %1 more").arg(items.size() - nListed);
    }
    return strLines;
}
