// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/addbg/LookFolder.h"
#include "editor/dialogs/DialogPaths.h"

#include "model/InstallPaths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

QString ResourcePath(const std::filesystem::path& home, const char* strRelative)
{
    return FromPath(InstallPath(home, strRelative));
}

// The picture a file's thumbnail is made of.
QString ThumbnailSource(const std::filesystem::path& home, const QString& strPath, QSize thumbnailSize)
{
    if (strPath.endsWith(QStringLiteral(".swf"), Qt::CaseInsensitive)) {
        return ResourcePath(
            home, thumbnailSize.height() == 100 ? "\\Resource\\flash.gif" : "\\Resource\\flash_btn.gif");
    }
    if (strPath.endsWith(QStringLiteral(".dbl"), Qt::CaseInsensitive)) {
        if (const auto companion = FindFileNoCase(ToPath(strPath + QStringLiteral(".png")))) {
            return FromPath(*companion);
        }
        return ResourcePath(home, "\\Resource\\dbl.gif");
    }
    return strPath;
}

} // namespace

QString LookFolderName(ELookFolder folder)
{
    return folder == ELookFolder::Button ? QStringLiteral("Button") : QStringLiteral("Background");
}

QSize LookThumbnailSize(ELookFolder folder)
{
    return folder == ELookFolder::Button ? QSize(120, 60) : QSize(120, 100);
}

bool IsListedLookFile(const QString& strName)
{
    if (strName.contains(QStringLiteral(".dbl.png"), Qt::CaseInsensitive)) {
        return false;
    }
    // The whole name counts as the extension when there is no ".": a file called "jpg" is listed.
    const QString strExt = strName.mid(strName.lastIndexOf(QLatin1Char('.')) + 1).toUpper();
    static const QString kSupported[] = { QStringLiteral("JPG"), QStringLiteral("GIF"), QStringLiteral("PNG"),
        QStringLiteral("BMP"), QStringLiteral("WMF"), QStringLiteral("SWF"), QStringLiteral("ICO"),
        QStringLiteral("DBL") };
    return std::find(std::begin(kSupported), std::end(kSupported), strExt) != std::end(kSupported);
}

std::vector<CLookFile> ListLookFolder(const QString& strAppDir, ELookFolder folder)
{
    const std::filesystem::path home = ToPath(strAppDir);
    const std::filesystem::path dir =
        InstallPath(home, (QStringLiteral("\\") + LookFolderName(folder)).toStdString());
    const QSize thumbnailSize = LookThumbnailSize(folder);
    std::vector<CLookFile> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        const QString strName = FromPath(it->path().filename());
        if (strName.startsWith(QLatin1Char('.')) || !IsListedLookFile(strName)) {
            continue;
        }
        const QString strPath = FromPath(it->path());
        files.push_back({ strName, strPath, ThumbnailSource(home, strPath, thumbnailSize) });
    }
    // The file system gives no useful order; people look for a picture by its name.
    std::sort(files.begin(), files.end(), [](const CLookFile& a, const CLookFile& b) {
        const int nOrder = a.m_strName.compare(b.m_strName, Qt::CaseInsensitive);
        return nOrder != 0 ? nOrder < 0 : a.m_strName < b.m_strName;
    });
    return files;
}

int FindLookValueEntry(const std::vector<QString>& names, const QString& strValue, ELookFolder folder)
{
    QString strRest = strValue;
    const QString strFolder = LookFolderName(folder);
    if (strRest.startsWith(strFolder, Qt::CaseInsensitive) && strRest.size() > strFolder.size() &&
        (strRest.at(strFolder.size()) == QLatin1Char('\\') ||
            strRest.at(strFolder.size()) == QLatin1Char('/'))) {
        strRest = strRest.mid(strFolder.size() + 1);
    }
    // An empty look names no file; it would otherwise pick whichever file sorts first.
    if (strRest.isEmpty()) {
        return -1;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].compare(strRest, Qt::CaseInsensitive) == 0) {
            return static_cast<int>(i);
        }
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].startsWith(strRest, Qt::CaseInsensitive)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}
