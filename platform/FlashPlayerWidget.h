// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

// The embedded movie player as the windows see it: load a movie (it starts playing once loaded),
// play and stop. A load that cannot show the movie ends in LoadFailed.
class CFlashPlayerWidget : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // Layer is always 0 for our hosts; other layers are refused. The file is read at once, so the
    // caller may delete it as soon as the call returns. False when the movie was refused at once
    // (LoadFailed has then been emitted).
    virtual bool LoadMovie(int nLayer, const QString& strPath) = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;

Q_SIGNALS:
    // The first frame of the latest movie is on screen, nMilliseconds after its LoadMovie.
    void MovieShown(qint64 nMilliseconds);
    void LoadFailed(const QString& strReason);
};
