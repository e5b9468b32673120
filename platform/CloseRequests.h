// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

// Running programs announce themselves as local sockets "<name>-<pid>" in a private folder of the
// user's runtime folder; others find them there and ask them to close ("close\n", answered "ok\n").
class CCloseRequestListener : public QObject {
    Q_OBJECT
public:
    explicit CCloseRequestListener(QString strName = DefaultName(), QObject* pParent = nullptr);
    ~CCloseRequestListener() override;

    // Starts listening; false when the socket could not be created.
    [[nodiscard]] bool Listen();
    [[nodiscard]] QString SocketPath() const;

    [[nodiscard]] static QString DefaultName() { return QStringLiteral("marrowlark-editor"); }
    // The folder of the sockets (created on demand, private to the user).
    [[nodiscard]] static QString SocketFolder();

Q_SIGNALS:
    void CloseRequested();

private:
    void OnConnection();

    QString m_strName;
    QLocalServer* m_pServer = nullptr;
};

// The sockets of the running programs of that name (stale ones are removed on the way).
[[nodiscard]] QStringList RunningInstances(const QString& strName = CCloseRequestListener::DefaultName());

// Asks every running program of that name to close; returns how many accepted.
int RequestCloseAll(const QString& strName = CCloseRequestListener::DefaultName(), int nTimeoutMs = 2000);
