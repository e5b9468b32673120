// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/OperationDeadline.h"

namespace imaging {

OperationDeadline::OperationDeadline(Magick::Image& image, std::chrono::steady_clock::duration limit)
    : m_image(image)
    , m_end(std::chrono::steady_clock::now() + limit)
{
    // Our own copy of the picture, so that a shared original is never watched by this object.
    m_image.modifyImage();
    MagickCore::SetImageInfoProgressMonitor(m_image.imageInfo(), &OperationDeadline::monitor, this);
    MagickCore::SetImageProgressMonitor(m_image.image(), &OperationDeadline::monitor, this);
}

OperationDeadline::~OperationDeadline()
{
    MagickCore::SetImageInfoProgressMonitor(m_image.imageInfo(), nullptr, nullptr);
    MagickCore::SetImageProgressMonitor(m_image.image(), nullptr, nullptr);
}

MagickCore::MagickBooleanType OperationDeadline::monitor(
    const char*, MagickCore::MagickOffsetType, MagickCore::MagickSizeType, void* self)
{
    auto* deadline = static_cast<OperationDeadline*>(self);
    if (std::chrono::steady_clock::now() > deadline->m_end) {
        deadline->m_expired.store(true);
        return MagickCore::MagickFalse;
    }
    return MagickCore::MagickTrue;
}

} // namespace imaging
