// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/SelfRunningCopy.h"

#include "player/bundle/Bundle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <stdexcept>

namespace selfrunning {
namespace {

std::runtime_error Error(const QString& strText)
{
    return std::runtime_error(strText.toStdString());
}

std::vector<uint8_t> ReadAll(const QString& strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error(QStringLiteral("cannot open %1").arg(strPath));
    }
    const QByteArray data = file.readAll();
    if (data.size() != file.size()) {
        throw Error(QStringLiteral("cannot read %1").arg(strPath));
    }
    return { data.begin(), data.end() };
}

// The Ruffle files the player page needs: the page, the loader, the cores and their modules, and
// the licence texts that must travel with them.
QStringList RuffleFiles(const QString& strRuffleDir)
{
    const QDir dir(strRuffleDir);
    const QStringList files = dir.entryList(
        { QStringLiteral("player.html"), QStringLiteral("ruffle.js"), QStringLiteral("core.ruffle.*.js"),
            QStringLiteral("*.wasm"), QStringLiteral("LICENSE*") },
        QDir::Files, QDir::Name);
    if (!files.contains(QStringLiteral("player.html")) || !files.contains(QStringLiteral("ruffle.js"))) {
        throw Error(QStringLiteral("Ruffle is missing from %1").arg(strRuffleDir));
    }
    return files;
}

} // namespace

void Write(
    const QString& strTarget, const QByteArray& movie, const QString& strRuffleDir, const QString& strProgram)
{
    std::vector<uint8_t> program = ReadAll(strProgram);
    try {
        if (const std::optional<CBundle> existing = ReadBundle(program)) {
            program.resize(existing->m_nProgramSize);
        }
    } catch (const CBundleError&) {
        throw Error(QStringLiteral("the running program %1 is damaged").arg(strProgram));
    }

    std::vector<CBundleEntry> entries;
    entries.push_back({ kMovieEntry.toStdString(), { movie.begin(), movie.end() } });
    for (const QString& strName : RuffleFiles(strRuffleDir)) {
        entries.push_back({ (QStringLiteral("ruffle/") + strName).toStdString(),
            ReadAll(QDir(strRuffleDir).filePath(strName)) });
    }
    const std::vector<uint8_t> payload = WriteBundlePayload(entries);

    QSaveFile file(strTarget);
    if (!file.open(QIODevice::WriteOnly)) {
        throw Error(QStringLiteral("cannot create %1").arg(strTarget));
    }
    file.write(reinterpret_cast<const char*>(program.data()), static_cast<qint64>(program.size()));
    file.write(reinterpret_cast<const char*>(payload.data()), static_cast<qint64>(payload.size()));
    if (!file.commit()) {
        throw Error(QStringLiteral("cannot write %1").arg(strTarget));
    }
    QFile::setPermissions(strTarget,
        QFile::permissions(strTarget) | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
            QFileDevice::ExeOther | QFileDevice::ReadOwner);
}

CUnpacked Unpack(const QString& strProgram)
{
    CUnpacked result;
    QFile file(strProgram);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error(QStringLiteral("cannot open %1").arg(strProgram));
    }
    const qint64 nSize = file.size();
    uchar* pMap = file.map(0, nSize);
    if (pMap == nullptr) {
        throw Error(QStringLiteral("cannot read %1").arg(strProgram));
    }
    std::optional<CBundle> bundle;
    try {
        bundle = ReadBundle({ pMap, static_cast<size_t>(nSize) });
    } catch (const CBundleError& e) {
        file.unmap(pMap);
        throw Error(QString::fromStdString(e.what()));
    }
    file.unmap(pMap);
    if (!bundle) {
        return result;
    }
    result.m_pDir = std::make_unique<QTemporaryDir>();
    if (!result.m_pDir->isValid()) {
        throw Error(QStringLiteral("cannot create a temporary folder"));
    }
    const QDir dir(result.m_pDir->path());
    for (const CBundleEntry& e : bundle->m_entries) {
        const QString strName = QString::fromStdString(e.m_strName);
        if (strName == kMovieEntry) {
            result.m_movie = QByteArray(
                reinterpret_cast<const char*>(e.m_data.data()), static_cast<qsizetype>(e.m_data.size()));
            continue;
        }
        const QString strPath = dir.filePath(strName);
        dir.mkpath(QFileInfo(strPath).path());
        QFile out(strPath);
        if (!out.open(QIODevice::WriteOnly) ||
            out.write(reinterpret_cast<const char*>(e.m_data.data()), static_cast<qint64>(e.m_data.size())) !=
                static_cast<qint64>(e.m_data.size())) {
            throw Error(QStringLiteral("cannot unpack %1").arg(strName));
        }
    }
    if (result.m_movie.isEmpty()) {
        throw Error(QStringLiteral("the self-running copy carries no movie"));
    }
    result.m_strRuffleDir = dir.filePath(QStringLiteral("ruffle"));
    return result;
}

} // namespace selfrunning
