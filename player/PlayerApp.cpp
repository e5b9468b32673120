// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/PlayerApp.h"

#include "platform/InstallDir.h"
#include "platform/QtPrompts.h"
#include "platform/RufflePlayer.h"
#include "platform/SwfSignature.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace {

// Stage size for movies whose header gives none.
constexpr QSize kDefaultMovieSize(550, 400);
// Movies bigger than this are refused (the player would copy them into the page as text).
constexpr qint64 kMaxMovieBytes = 256LL * 1024 * 1024;
// After the first frame is reported, a short pause lets the compositor put it on screen before it
// is grabbed for printing or the snapshot.
constexpr int kSettleMs = 300;

const QString kTitle = QStringLiteral("Marrowlark Player");

void Complain(const QString& strText)
{
    std::fprintf(stderr, "marrowlark-player: %s\n", strText.toLocal8Bit().constData());
}

QByteArray ReadMovie(const QString& strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxMovieBytes) {
        return {};
    }
    QByteArray data = file.readAll();
    return LooksLikeSwf(data) ? data : QByteArray();
}

} // namespace

CPlayerApp::CPlayerApp(CPlayerOptions options, IPrompts* pPrompts)
    : m_options(std::move(options))
    , m_pPrompts(pPrompts)
    , m_strSnapshot(qEnvironmentVariable(kSnapshotVariable))
{
}

CPlayerApp::~CPlayerApp() = default;

IPrompts& CPlayerApp::Prompts()
{
    if (m_pPrompts == nullptr) {
        m_pOwnPrompts = std::make_unique<CQtPrompts>(m_pWindow.get(), kTitle);
        m_pPrompts = m_pOwnPrompts.get();
    }
    return *m_pPrompts;
}

void CPlayerApp::Finish(EPlayerExit status)
{
    if (m_bFinished) {
        return;
    }
    m_bFinished = true;
    Q_EMIT Finished(static_cast<int>(status));
}

void CPlayerApp::Start()
{
    using EOperation = CPlayerOptions::EOperation;
    const QString strRuffle = GetRuffleDir(GetInstallDir());
    switch (m_options.m_operation) {
    case EOperation::MakeExe:
        Finish(MakeExe());
        return;
    case EOperation::SelfRun: {
        try {
            m_unpacked = selfrunning::Unpack(QCoreApplication::applicationFilePath());
        } catch (const std::exception& e) {
            Complain(QString::fromStdString(e.what()));
            Finish(EPlayerExit::Failed);
            return;
        }
        if (m_unpacked.m_movie.isEmpty()) {
            Complain(QStringLiteral("no movie given\n") + PlayerUsage());
            Finish(EPlayerExit::Usage);
            return;
        }
        OpenWindow(m_unpacked.m_movie, m_unpacked.m_strRuffleDir, true);
        return;
    }
    case EOperation::Show:
    case EOperation::Print: {
        const QByteArray movie = ReadMovie(m_options.m_strMovie);
        if (movie.isEmpty()) {
            Complain(QStringLiteral("cannot open the movie %1").arg(m_options.m_strMovie));
            Finish(EPlayerExit::Failed);
            return;
        }
        OpenWindow(movie, strRuffle, m_options.m_operation == EOperation::Show);
        return;
    }
    }
}

void CPlayerApp::OpenWindow(const QByteArray& movie, const QString& strRuffleDir, bool bOnScreen)
{
    m_pWindow = std::make_unique<QWidget>();
    m_pWindow->setWindowTitle(m_options.m_strMovie.isEmpty()
            ? kTitle
            : QFileInfo(m_options.m_strMovie).fileName() + QStringLiteral(" - ") + kTitle);
    auto* pLayout = new QVBoxLayout(m_pWindow.get());
    pLayout->setContentsMargins(0, 0, 0, 0);
    m_pPlayer = new CRufflePlayer(m_pWindow.get(), strRuffleDir);
    pLayout->addWidget(m_pPlayer);
    QSize size = MovieFrameSize(movie);
    if (!size.isValid() || size.isEmpty()) {
        size = kDefaultMovieSize;
    }
    m_pWindow->resize(size);
    if (!bOnScreen) {
        // Printing needs the frame drawn, not a window on the screen.
        m_pWindow->setAttribute(Qt::WA_DontShowOnScreen);
    }

    connect(m_pPlayer, &CFlashPlayerWidget::LoadFailed, this, [this](const QString& strReason) {
        Complain(strReason);
        if (m_options.m_operation == CPlayerOptions::EOperation::Print || !m_strSnapshot.isEmpty()) {
            Finish(EPlayerExit::Failed);
        } else {
            Prompts().MessageBox(QStringLiteral("Can not open the movie.\n") + strReason, EPromptButtons::Ok,
                EPromptIcon::Stop);
            Finish(EPlayerExit::Failed);
        }
    });
    connect(m_pPlayer, &CFlashPlayerWidget::MovieShown, this,
        [this] { QTimer::singleShot(kSettleMs, this, &CPlayerApp::OnShown); });

    if (m_options.m_bMaximised) {
        m_pWindow->showMaximized();
    } else {
        m_pWindow->show();
    }
    if (!m_pPlayer->LoadMovieData(movie)) {
        return; // LoadFailed has finished the run
    }
    if (m_options.m_operation != CPlayerOptions::EOperation::Print) {
        // Closing the window ends the program.
        m_pWindow->setAttribute(Qt::WA_QuitOnClose);
        connect(qApp, &QGuiApplication::lastWindowClosed, this, [this] { Finish(EPlayerExit::Ok); });
    }
}

void CPlayerApp::OnShown()
{
    if (m_options.m_operation == CPlayerOptions::EOperation::Print) {
        Finish(Print(m_pPlayer->GrabFrame()));
        return;
    }
    if (!m_strSnapshot.isEmpty()) {
        const bool bSaved = m_pPlayer->GrabFrame().save(m_strSnapshot, "PNG");
        Finish(bSaved ? EPlayerExit::Ok : EPlayerExit::Failed);
    }
}

EPlayerExit CPlayerApp::Print(const QImage& frame)
{
    if (frame.isNull()) {
        Complain(QStringLiteral("the movie's frame could not be taken"));
        return EPlayerExit::Failed;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QFileInfo(m_options.m_strMovie).fileName());
    if (!m_options.m_strPdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_options.m_strPdf);
    } else {
        QPrintDialog dialog(&printer);
        dialog.setWindowTitle(kTitle);
        if (dialog.exec() != QDialog::Accepted) {
            return EPlayerExit::Cancelled;
        }
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        Complain(QStringLiteral("the printer could not be opened"));
        return EPlayerExit::Failed;
    }
    // The frame as large as the page allows, centred, keeping its proportions.
    const QRect page = painter.viewport();
    const QSize size = frame.size().scaled(page.size(), Qt::KeepAspectRatio);
    const QRect target(page.x() + (page.width() - size.width()) / 2,
        page.y() + (page.height() - size.height()) / 2, size.width(), size.height());
    painter.setWindow(page);
    painter.drawImage(target, frame);
    return painter.end() ? EPlayerExit::Ok : EPlayerExit::Failed;
}

EPlayerExit CPlayerApp::MakeExe()
{
    const QByteArray movie = ReadMovie(m_options.m_strMovie);
    if (movie.isEmpty()) {
        Complain(QStringLiteral("cannot open the movie %1").arg(m_options.m_strMovie));
        return EPlayerExit::Failed;
    }
    QString strTarget = m_options.m_strOutput;
    if (strTarget.isEmpty()) {
        const QFileInfo info(m_options.m_strMovie);
        strTarget = Prompts().SaveFile(QStringLiteral("All Files (*.*)|*.*||"), QString(),
            info.dir().filePath(info.completeBaseName()), true);
        if (strTarget.isEmpty()) {
            return EPlayerExit::Cancelled;
        }
    }
    if (QFileInfo(strTarget).canonicalFilePath() ==
        QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath()) {
        Complain(QStringLiteral("the copy would replace the running program"));
        return EPlayerExit::Failed;
    }
    try {
        selfrunning::Write(
            strTarget, movie, GetRuffleDir(GetInstallDir()), QCoreApplication::applicationFilePath());
    } catch (const std::exception& e) {
        Complain(QString::fromStdString(e.what()));
        return EPlayerExit::Failed;
    }
    return EPlayerExit::Ok;
}
