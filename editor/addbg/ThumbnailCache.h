// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <tuple>

// The pictures of the look lists for one run of the editor: a thumbnail is decoded the first time a
// file is shown at a size and again only when that file changed on disk, so a later opening of a
// picker decodes nothing. Entries are kept by file, never by position in a list: a file added or
// removed during the run leaves every other file its own picture.
class CThumbnailCache {
public:
    // The grey of the one-pixel frame on a thumbnail's outermost pixels.
    static constexpr QRgb kFrameColour = 0xFF808080;

    // A thumbnail of exactly this size: the picture stretched, alpha composited onto white, framed.
    // A picture that cannot be decoded gives a white, framed thumbnail. Null for an empty size.
    [[nodiscard]] QImage Thumbnail(const QString& strSourcePath, QSize size);

    // How many pictures were decoded (or tried) so far.
    [[nodiscard]] int DecodeCount() const { return m_nDecodes; }

private:
    // What a file looked like when it was decoded; any change decodes it again.
    struct CFileStamp {
        bool m_bExists = false;
        std::filesystem::file_time_type m_modified;
        std::uintmax_t m_nBytes = 0;
        bool operator==(const CFileStamp&) const = default;
    };
    struct CEntry {
        CFileStamp m_stamp;
        QImage m_image;
    };

    static CFileStamp StampOf(const QString& strPath);

    std::map<std::tuple<QString, int, int>, CEntry> m_entries;
    int m_nDecodes = 0;
};

// A picture stretched to exactly this size and composited onto white, without a frame (the
// pickers' preview box). Nothing when it cannot be decoded.
[[nodiscard]] std::optional<QImage> DecodeThumbnail(const QString& strPath, QSize size);
