// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Projector.h"
#include "player/PlayerOptions.h"
#include "player/SelfRunningCopy.h"

#include <QByteArray>
#include <QImage>
#include <QObject>

#include <memory>

class CRufflePlayer;
class IPrompts;
class QWidget;

// The player program: runs one operation and ends with its exit status (Finished).
class CPlayerApp : public QObject {
    Q_OBJECT
public:
    // pPrompts answers the save dialog of the self-running copy; null: real dialogs.
    explicit CPlayerApp(CPlayerOptions options, IPrompts* pPrompts = nullptr);
    ~CPlayerApp() override;

    // Starts the operation; call it from the running event loop.
    void Start();

    // When set, the program writes the first frame it shows to this PNG file and ends (tests).
    static constexpr const char* kSnapshotVariable = "MARROWLARK_PLAYER_SNAPSHOT";

    [[nodiscard]] QWidget* Window() const { return m_pWindow.get(); }

Q_SIGNALS:
    void Finished(int nExitCode);

private:
    void Finish(EPlayerExit status);
    void OpenWindow(const QByteArray& movie, const QString& strRuffleDir, bool bOnScreen);
    void OnShown();
    EPlayerExit Print(const QImage& frame);
    EPlayerExit MakeExe();
    IPrompts& Prompts();

    CPlayerOptions m_options;
    IPrompts* m_pPrompts = nullptr;
    std::unique_ptr<IPrompts> m_pOwnPrompts;
    std::unique_ptr<QWidget> m_pWindow;
    CRufflePlayer* m_pPlayer = nullptr;
    selfrunning::CUnpacked m_unpacked;
    QString m_strSnapshot;
    bool m_bFinished = false;
};
