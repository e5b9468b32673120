// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/CloseRequests.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

const QByteArray kCloseRequest = QByteArrayLiteral("close\n");
const QByteArray kAccepted = QByteArrayLiteral("ok\n");
// A request is one short line; anything longer is not ours.
constexpr qint64 kMaxRequestBytes = 64;
// A listener answers at once; a socket that does not connect in this time is stale.
constexpr int kConnectMs = 500;

} // namespace

QString CCloseRequestListener::SocketFolder()
{
    QString strBase = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (strBase.isEmpty()) {
        strBase = QDir::tempPath();
    }
    const QString strFolder = QDir(strBase).filePath(QStringLiteral("marrowlark"));
    QDir().mkpath(strFolder);
    QFile::setPermissions(strFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return strFolder;
}

CCloseRequestListener::CCloseRequestListener(QString strName, QObject* pParent)
    : QObject(pParent)
    , m_strName(std::move(strName))
{
}

CCloseRequestListener::~CCloseRequestListener()
{
    if (m_pServer != nullptr) {
        m_pServer->close();
    }
}

QString CCloseRequestListener::SocketPath() const
{
    return QDir(SocketFolder())
        .filePath(m_strName + QLatin1Char('-') + QString::number(QCoreApplication::applicationPid()));
}

bool CCloseRequestListener::Listen()
{
    if (m_pServer == nullptr) {
        m_pServer = new QLocalServer(this);
        m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_pServer, &QLocalServer::newConnection, this, &CCloseRequestListener::OnConnection);
    }
    if (m_pServer->isListening()) {
        return true;
    }
    QLocalServer::removeServer(SocketPath()); // left behind by an earlier process of this id
    return m_pServer->listen(SocketPath());
}

void CCloseRequestListener::OnConnection()
{
    while (QLocalSocket* pSocket = m_pServer->nextPendingConnection()) {
        connect(pSocket, &QLocalSocket::disconnected, pSocket, &QObject::deleteLater);
        connect(pSocket, &QLocalSocket::readyRead, this, [this, pSocket] {
            if (!pSocket->canReadLine()) {
                if (pSocket->bytesAvailable() > kMaxRequestBytes) {
                    pSocket->abort();
                }
                return;
            }
            const QByteArray line = pSocket->readLine(kMaxRequestBytes);
            if (line == kCloseRequest) {
                pSocket->write(kAccepted);
                pSocket->flush();
                Q_EMIT CloseRequested();
            }
            pSocket->disconnectFromServer();
        });
    }
}

QStringList RunningInstances(const QString& strName)
{
    const QDir folder(CCloseRequestListener::SocketFolder());
    QStringList sockets;
    const QStringList entries =
        folder.entryList({ strName + QStringLiteral("-*") }, QDir::System | QDir::Files);
    for (const QString& strEntry : entries) {
        const QString strPath = folder.filePath(strEntry);
        QLocalSocket socket;
        socket.connectToServer(strPath);
        if (socket.waitForConnected(kConnectMs)) {
            sockets << strPath;
            socket.disconnectFromServer();
        } else {
            QFile::remove(strPath); // nobody listens there any more
        }
    }
    return sockets;
}

int RequestCloseAll(const QString& strName, int nTimeoutMs)
{
    int nAccepted = 0;
    for (const QString& strPath : RunningInstances(strName)) {
        QLocalSocket socket;
        socket.connectToServer(strPath);
        if (!socket.waitForConnected(kConnectMs)) {
            continue;
        }
        socket.write(kCloseRequest);
        socket.flush();
        while (!socket.canReadLine() && socket.waitForReadyRead(nTimeoutMs)) { }
        if (socket.readLine(kMaxRequestBytes) == kAccepted) {
            ++nAccepted;
        }
        socket.disconnectFromServer();
    }
    return nAccepted;
}
