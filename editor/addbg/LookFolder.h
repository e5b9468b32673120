// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>

#include <vector>

// The installation folder a look picker lists, and the mode of the picker.
enum class ELookFolder { Background, Button };

// "Background" or "Button", as the sub-folder and the stored values spell it.
[[nodiscard]] QString LookFolderName(ELookFolder folder);
// The list's thumbnails: 120 by 100 for backgrounds, 120 by 60 for buttons.
[[nodiscard]] QSize LookThumbnailSize(ELookFolder folder);

// Whether a file of the folder is offered by its name: the kinds the generator embeds (JPG, GIF,
// PNG, BMP, WMF, SWF, ICO, DBL, the text after the last "." in any case, or the whole name when
// there is no "."), except a DBL's companion picture (".dbl.png").
[[nodiscard]] bool IsListedLookFile(const QString& strName);

// One offered file: its name, its path on disk, and the picture its thumbnail is made of.
struct CLookFile {
    QString m_strName;
    QString m_strPath;
    QString m_strThumbnailSource;
};

// The offered files of the folder (found without regard to case), sorted by name with letter case
// ignored. Folders, hidden files and unreadable entries are left out. A Flash file is shown by
// "Resource/flash.gif" (thumbnails 100 high) or "Resource/flash_btn.gif"; a DBL by its companion
// picture, else by "Resource/dbl.gif".
[[nodiscard]] std::vector<CLookFile> ListLookFolder(const QString& strAppDir, ELookFolder folder);

// The file a stored value names among the listed names (sorted as above): the value may carry the
// folder prefix ("Background\Sea.JPG", either slash, any case). The name that equals it with case
// ignored, else the first that begins with it; -1 when none does or nothing is left to compare.
[[nodiscard]] int FindLookValueEntry(
    const std::vector<QString>& names, const QString& strValue, ELookFolder folder);
