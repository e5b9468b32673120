// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/addbg/ThumbnailCache.h"
#include "editor/dialogs/DialogPaths.h"

#include "imaging/Picture.h"

#include <system_error>

namespace {

void DrawFrame(QImage& image)
{
    const int nRight = image.width() - 1;
    const int nBottom = image.height() - 1;
    for (int x = 0; x <= nRight; ++x) {
        image.setPixel(x, 0, CThumbnailCache::kFrameColour);
        image.setPixel(x, nBottom, CThumbnailCache::kFrameColour);
    }
    for (int y = 0; y <= nBottom; ++y) {
        image.setPixel(0, y, CThumbnailCache::kFrameColour);
        image.setPixel(nRight, y, CThumbnailCache::kFrameColour);
    }
}

} // namespace

std::optional<QImage> DecodeThumbnail(const QString& strPath, QSize size)
{
    if (size.isEmpty()) {
        return std::nullopt;
    }
    const auto picture = imaging::makeThumbnail(ToPath(strPath), { size.width(), size.height() });
    if (!picture || picture->width() != size.width() || picture->height() != size.height()) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> pixels;
    try {
        pixels = picture->rgb(imaging::kWhite);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    const qsizetype nRowBytes = static_cast<qsizetype>(size.width()) * 3;
    if (pixels.size() != static_cast<std::size_t>(nRowBytes * size.height())) {
        return std::nullopt;
    }
    // The rows are packed; QImage wraps them without copying, so convert before they go.
    const QImage wrapped(pixels.data(), size.width(), size.height(), nRowBytes, QImage::Format_RGB888);
    return wrapped.convertToFormat(QImage::Format_RGB32);
}

CThumbnailCache::CFileStamp CThumbnailCache::StampOf(const QString& strPath)
{
    CFileStamp stamp;
    const std::filesystem::path path = ToPath(strPath);
    std::error_code error;
    stamp.m_modified = std::filesystem::last_write_time(path, error);
    if (error) {
        return {};
    }
    stamp.m_nBytes = std::filesystem::file_size(path, error);
    if (error) {
        return {};
    }
    stamp.m_bExists = true;
    return stamp;
}

QImage CThumbnailCache::Thumbnail(const QString& strSourcePath, QSize size)
{
    if (size.isEmpty()) {
        return {};
    }
    const auto key = std::make_tuple(strSourcePath, size.width(), size.height());
    const CFileStamp stamp = StampOf(strSourcePath);
    const auto found = m_entries.find(key);
    if (found != m_entries.end() && found->second.m_stamp == stamp) {
        return found->second.m_image;
    }

    QImage image;
    if (stamp.m_bExists) {
        ++m_nDecodes;
        if (auto decoded = DecodeThumbnail(strSourcePath, size)) {
            image = std::move(*decoded);
        }
    }
    if (image.isNull()) {
        image = QImage(size, QImage::Format_RGB32);
        image.fill(Qt::white);
    }
    DrawFrame(image);
    m_entries.insert_or_assign(key, CEntry { stamp, image });
    return image;
}
