// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/openproject/DlgOpenProject.h"
#include "editor/dialogs/DialogPaths.h"

#include "ui_DlgOpenProject.h"

#include "model/InstallPaths.h"
#include "platform/Prompts.h"
#include "platform/Skin.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace {

constexpr int kIconSize = 32;

// A card with a folded corner, drawn so that no picture has to ship with the program.
QIcon SampleIcon()
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.moveTo(5.5, 2.5);
    card.lineTo(20.5, 2.5);
    card.lineTo(27.5, 9.5);
    card.lineTo(27.5, 29.5);
    card.lineTo(5.5, 29.5);
    card.closeSubpath();
    painter.setPen(QPen(QColor(0x7a, 0x4a, 0x21), 1.0));
    painter.setBrush(QColor(0xff, 0xf4, 0xdc));
    painter.drawPath(card);
    QPainterPath fold;
    fold.moveTo(20.5, 2.5);
    fold.lineTo(20.5, 9.5);
    fold.lineTo(27.5, 9.5);
    painter.setBrush(QColor(0xe8, 0xb9, 0x6a));
    painter.drawPath(fold);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xd9, 0x3a, 0x3a));
    painter.drawEllipse(QRectF(9.0, 13.0, 7.0, 7.0));
    painter.setBrush(QColor(0x27, 0x81, 0xc4));
    painter.drawRect(QRectF(9.0, 23.0, 15.0, 2.0));
    return QIcon(pixmap);
}

} // namespace

CDlgOpenProject::CDlgOpenProject(QString strAppDir, IPrompts& prompts, QWidget* pParent)
    : QDialog(pParent)
    , m_pUi(std::make_unique<Ui::DlgOpenProject>())
    , m_strAppDir(std::move(strAppDir))
    , m_prompts(prompts)
{
    m_pUi->setupUi(this);
    m_pUi->listSamples->setIconSize(QSize(kIconSize, kIconSize));
    m_pUi->listSamples->installEventFilter(this);
    connect(m_pUi->btnOk, &QPushButton::clicked, this, &CDlgOpenProject::OnOk);
    connect(m_pUi->btnNew, &QPushButton::clicked, this, &CDlgOpenProject::OnNew);
    connect(m_pUi->btnOpenFrom, &QPushButton::clicked, this, &CDlgOpenProject::OnOpenFrom);
    connect(m_pUi->listSamples, &QListWidget::itemDoubleClicked, this, &CDlgOpenProject::OnOk);
    ListSamples();

    // Without its skin the dialog still works, in the plain look.
    CSkin skin;
    if (skin.Load(FromPath(InstallPath(ToPath(m_strAppDir), "\\Skin\\vwinaqua.skn")))) {
        skin.Apply(this);
    }

    // Enter right after opening chooses New.
    m_pUi->btnNew->setDefault(true);
    m_pUi->btnNew->setFocus();
}

CDlgOpenProject::~CDlgOpenProject() = default;

void CDlgOpenProject::ListSamples()
{
    const std::filesystem::path themes = InstallPath(ToPath(m_strAppDir), "\\Themes");
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(themes, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        const QString strName = FromPath(it->path().filename());
        if (strName.size() > 4 && strName.endsWith(QStringLiteral(".mlp"), Qt::CaseInsensitive)) {
            files.push_back(it->path());
        }
    }
    // The file system gives no useful order; people look for a sample by its name.
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        const QString strA = FromPath(a.filename());
        const QString strB = FromPath(b.filename());
        const int nOrder = strA.compare(strB, Qt::CaseInsensitive);
        return nOrder != 0 ? nOrder < 0 : strA < strB;
    });

    const QIcon icon = SampleIcon();
    for (const std::filesystem::path& file : files) {
        auto* pItem = new QListWidgetItem(icon, FromPath(file.filename()).chopped(4), m_pUi->listSamples);
        pItem->setData(Qt::UserRole, FromPath(file));
    }
    m_pUi->labelNoSamples->setVisible(files.empty());
}

void CDlgOpenProject::OnOk()
{
    const QList<QListWidgetItem*> selected = m_pUi->listSamples->selectedItems();
    if (selected.isEmpty()) {
        m_prompts.MessageBox(QStringLiteral("Please choose a sample from template."), EPromptButtons::Ok,
            EPromptIcon::Information);
        return;
    }
    m_strProjectPath = selected.first()->data(Qt::UserRole).toString();
    accept();
}

void CDlgOpenProject::OnNew()
{
    done(kResultNew);
}

void CDlgOpenProject::OnOpenFrom()
{
    const QString strPath = m_prompts.OpenFile(
        QStringLiteral("Marrowlark Project (*.mlp)|*.mlp|All Files (*.*)|*.*||"), QStringLiteral("mlp"), {});
    if (strPath.isEmpty()) {
        return;
    }
    m_strProjectPath = strPath;
    accept();
}

// Enter in the list opens the chosen sample rather than pressing the default button New, which
// would throw the choice away.
bool CDlgOpenProject::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pUi->listSamples && pEvent->type() == QEvent::KeyPress) {
        const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
        if ((nKey == Qt::Key_Return || nKey == Qt::Key_Enter) &&
            !m_pUi->listSamples->selectedItems().isEmpty()) {
            OnOk();
            return true;
        }
    }
    return QDialog::eventFilter(pWatched, pEvent);
}
