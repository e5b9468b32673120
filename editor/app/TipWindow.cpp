// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/app/TipWindow.h"

#include "ui_TipWindow.h"

#include "model/InstallPaths.h"

#include <QFile>
#include <QSettings>
#include <QStringDecoder>

#include <filesystem>
#include <utility>

namespace {

const QString kShowKey = QStringLiteral("Tips/ShowAtStartup");
const QString kNextKey = QStringLiteral("Tips/Next");

QSettings UserSettings()
{
    return QSettings(QStringLiteral("Marrowlark"), QStringLiteral("Marrowlark"));
}

QStringList ReadTips(const QString& strAppDir)
{
    const std::filesystem::path path =
        InstallPath(std::filesystem::path(strAppDir.toStdU16String()), "\\Tips.txt");
    QStringList tips;
    QFile file(QString::fromStdU16String(path.u16string()));
    if (file.open(QIODevice::ReadOnly)) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString strText = decoder(file.read(CTipWindow::kMaxTipsBytes));
        for (const QStringView line : QStringView(strText).split(QLatin1Char('\n'))) {
            const QString strTip = line.trimmed().toString();
            if (!strTip.isEmpty() && !strTip.startsWith(QLatin1Char('#'))) {
                tips.append(strTip);
            }
        }
    }
    if (tips.isEmpty()) {
        tips.append(
            QStringLiteral("Press F2 to add a card and F3 to add a link; F4 previews the whole gift."));
    }
    return tips;
}

} // namespace

CTipWindow::CTipWindow(QString strAppDir, QWidget* pParent)
    : QDialog(pParent)
    , m_pUi(std::make_unique<Ui::TipWindow>())
    , m_tips(ReadTips(strAppDir))
{
    m_pUi->setupUi(this);
    setModal(false);
    m_pUi->chkShowAtStartup->setChecked(ShowAtStartup());
    connect(m_pUi->chkShowAtStartup, &QCheckBox::clicked, this,
        [](bool bChecked) { UserSettings().setValue(kShowKey, bChecked); });
    connect(m_pUi->btnNextTip, &QPushButton::clicked, this, &CTipWindow::ShowNextTip);
    connect(m_pUi->btnClose, &QPushButton::clicked, this, &QDialog::close);

    // The stored position may be left from a longer tips file, or damaged.
    bool bOk = false;
    const qsizetype nNext = UserSettings().value(kNextKey, 0).toLongLong(&bOk);
    ShowTip(bOk && nNext >= 0 ? nNext % m_tips.size() : 0);
}

CTipWindow::~CTipWindow() = default;

bool CTipWindow::ShowAtStartup()
{
    return UserSettings().value(kShowKey, true).toBool();
}

QString CTipWindow::CurrentTip() const
{
    return m_tips.at(m_nCurrent);
}

void CTipWindow::ShowNextTip()
{
    ShowTip((m_nCurrent + 1) % m_tips.size());
}

void CTipWindow::ShowTip(qsizetype nIndex)
{
    m_nCurrent = nIndex;
    m_pUi->labelTip->setText(m_tips.at(m_nCurrent));
    UserSettings().setValue(kNextKey, static_cast<qlonglong>((m_nCurrent + 1) % m_tips.size()));
}
