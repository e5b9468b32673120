// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/preview/DlgPreview.h"
#include "editor/dialogs/DialogPaths.h"

#include "ui_DlgPreview.h"

#include "model/InstallPaths.h"
#include "platform/FlashPlayerWidget.h"
#include "platform/Projector.h"
#include "platform/Prompts.h"
#include "platform/Skin.h"
#include "platform/SkinForm.h"

#include <QRandomGenerator>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>
#include <utility>

CDlgPreview::CDlgPreview(const CDialogServices& services, QString strMoviePath, QSize giftSize,
    GenerateFn generate, QWidget* pParent)
    : QDialog(pParent)
    , m_pUi(std::make_unique<Ui::DlgPreview>())
    , m_services(services)
    , m_strMoviePath(std::move(strMoviePath))
    , m_generate(std::move(generate))
{
    m_pUi->setupUi(this);
    m_nextReloadNumber = [] { return static_cast<int>(QRandomGenerator::global()->bounded(kReloadFiles)); };

    // The player takes the gift's own size, two pixels inside its frame.
    m_pUi->framePlayer->setFixedSize(
        giftSize.width() + 2 * kPlayerInset, giftSize.height() + 2 * kPlayerInset);
    auto* pLayout = new QVBoxLayout(m_pUi->framePlayer);
    pLayout->setContentsMargins(kPlayerInset, kPlayerInset, kPlayerInset, kPlayerInset);
    if (m_services.m_makePlayer) {
        m_pPlayer = m_services.m_makePlayer(m_pUi->framePlayer);
        m_pPlayer->setObjectName(QStringLiteral("flashPreview"));
        pLayout->addWidget(m_pPlayer);
    }

    CSkin skin;
    if (!skin.Load(AppPath(m_services.m_strAppDir, "\\Skin\\heartwood.skn"))) {
        m_services.m_pPrompts->MessageBox(CSkin::LoadFailedMessage(), EPromptButtons::Ok, EPromptIcon::None);
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    skin.ApplyObject(this, QStringLiteral("FRMPreview"));
    m_pSkinForm = skin.GetForm(this);
    connect(m_pSkinForm, &CSkinForm::Click, this, &CDlgPreview::OnSkinClick);

    if (m_pPlayer != nullptr) {
        m_pPlayer->LoadMovie(0, m_strMoviePath);
    }
}

CDlgPreview::~CDlgPreview() = default;

void CDlgPreview::OnSkinClick(const QString& strObject)
{
    if (CSkinForm::SameName(strObject, QStringLiteral("BTNReload"))) {
        Reload();
    } else if (CSkinForm::SameName(strObject, QStringLiteral("BTNPrint"))) {
        Print();
    }
}

void CDlgPreview::Reload()
{
    const QString strPath = AppPath(m_services.m_strAppDir, "\\Temp") +
        QStringLiteral("/preview_%1.swf").arg(m_nextReloadNumber());
    // A file of an earlier reload goes first, so a generation that writes nothing cannot show it.
    std::error_code error;
    std::filesystem::remove(std::filesystem::path(strPath.toStdU16String()), error);
    if (m_generate) {
        m_generate(strPath, 0);
    }
    // Failures of the generation have been reported by it; the player keeps what it showed when
    // no movie was written.
    if (m_pPlayer != nullptr && std::filesystem::exists(std::filesystem::path(strPath.toStdU16String()))) {
        m_pPlayer->LoadMovie(0, strPath);
    }
}

void CDlgPreview::Print()
{
    if (m_services.m_pProjector == nullptr) {
        return;
    }
    const EPlayerExit result = m_services.m_pProjector->PrintMovie(m_strMoviePath);
    if (result == EPlayerExit::Ok || result == EPlayerExit::Cancelled) {
        return;
    }
    m_services.m_pPrompts->MessageBox(CannotPrintMessage(), EPromptButtons::Ok, EPromptIcon::None);
}

void CDlgPreview::done(int nResult)
{
    if (m_pPlayer != nullptr) {
        m_pPlayer->Stop();
    }
    QDialog::done(nResult);
}
