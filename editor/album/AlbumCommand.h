// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/dialogs/DialogServices.h"
#include "publish/PublishResult.h"

#include <QCoreApplication>
#include <QString>

#include <filesystem>
#include <functional>

class QWidget;

// Makes the album movie (the signature of BuildPhotoAlbum).
using PhotoAlbumFn =
    std::function<CPublishResult(const std::filesystem::path& folder, const std::filesystem::path& moviePath,
        const std::filesystem::path& scratchFolder, const PublishProgressFn& progress)>;

// "Create Photo Album": the folder of pictures, the movie's path, the album made off the UI thread
// with "picture k of n" and Cancel, then the pictures left out named and the question whether to
// view it. A cancel at any point writes nothing.
class CAlbumCommand {
    Q_DECLARE_TR_FUNCTIONS(CAlbumCommand)
public:
    enum class EEnd { Cancelled, Failed, Asked };

    // pParent carries the progress dialog.
    CAlbumCommand(const CDialogServices& services, QWidget* pParent);

    // The album builder (none: the album fails); the pictures are prepared below the
    // installation's Temp.
    PhotoAlbumFn m_buildAlbum;

    EEnd Run();

    [[nodiscard]] static QString AlbumDoneQuestion()
    {
        return QStringLiteral("The photo album has been created successfully, do you want to view it?\n\n"
                              "  Click Yes to view it.\n  Click No to open the location of photo album\n"
                              "  Click Cancel to quit");
    }

private:
    CDialogServices m_services;
    QWidget* m_pParent = nullptr;
};
