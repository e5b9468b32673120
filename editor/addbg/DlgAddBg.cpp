// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/addbg/DlgAddBg.h"
#include "editor/dialogs/DialogPaths.h"

#include "ui_DlgAddBg.h"

#include "editor/addbg/ThumbnailCache.h"
#include "generate/FlashFileTest.h"
#include "model/InstallPaths.h"
#include "model/LookValue.h"
#include "platform/Projector.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "platform/Skin.h"

#include <QButtonGroup>
#include <QPainter>
#include <QPixmap>

#include <filesystem>
#include <utility>
#include <vector>

namespace {

const char* const kStrBrowseFilter = "All Images (*.jpg;*.gif;*.swf;*.png;*.bmp;*.ico;*.pcx;*.dbl)|"
                                     "*.jpg;*.gif;*.swf;*.png;*.bmp;*.ico;*.pcx;*.dbl;*.swf|(*.swf)|*.swf|"
                                     "All Files (*.*)|*.*||";
const char* const kStrChooseFirst = "Please choose a picture before continue.";
const char* const kStrChooseToPreview = "Choose a picture or swf from the list to preview.";
const char* const kStrPictureUnreadable = "This picture can not be read. Please choose another one.";

// Room around a thumbnail in the list for its name below it.
constexpr int kGridMargin = 12;

// Flash files and DBLs are not pictures the decoder reads: the preview box shows a placeholder.
bool IsMovieOrDbl(const QString& strPath)
{
    return strPath.endsWith(QStringLiteral("swf"), Qt::CaseInsensitive) ||
        strPath.endsWith(QStringLiteral("dbl"), Qt::CaseInsensitive);
}

void Tell(IPrompts* pPrompts, const QString& strText)
{
    if (pPrompts) {
        pPrompts->MessageBox(strText, EPromptButtons::Ok, EPromptIcon::None);
    }
}

} // namespace

CDlgAddBg::CDlgAddBg(
    const CDialogServices& services, CThumbnailCache& thumbnails, ELookFolder folder, QWidget* pParent)
    : QDialog(pParent)
    , m_pUi(std::make_unique<Ui::DlgAddBg>())
    , m_services(services)
    , m_thumbnails(thumbnails)
    , m_folder(folder)
    , m_thumbnailSize(LookThumbnailSize(folder))
{
    m_pUi->setupUi(this);

    m_pUi->groupSource->setId(m_pUi->radioDefault, kSourceList);
    m_pUi->groupSource->setId(m_pUi->radioColour, kSourceColour);
    m_pUi->groupSource->setId(m_pUi->radioPicture, kSourceDisk);
    m_pUi->groupMode->setId(m_pUi->radioModeDefault, CLookPlacement::kModeAnchored);
    m_pUi->groupMode->setId(m_pUi->radioTile, CLookPlacement::kModeTile);
    m_pUi->groupMode->setId(m_pUi->radioStretch, CLookPlacement::kModeStretch);
    QAbstractButton* const anchors[CLookPlacement::kAnchorCount] = { m_pUi->radioLT, m_pUi->radioMT,
        m_pUi->radioRT, m_pUi->radioLC, m_pUi->radioMC, m_pUi->radioRC, m_pUi->radioLB, m_pUi->radioMB,
        m_pUi->radioRB };
    for (int i = 0; i < CLookPlacement::kAnchorCount; ++i) {
        m_pUi->groupAnchor->setId(anchors[i], i);
    }

    m_pUi->listFiles->setIconSize(m_thumbnailSize);
    m_pUi->listFiles->setGridSize(QSize(m_thumbnailSize.width() + kGridMargin,
        m_thumbnailSize.height() + 2 * fontMetrics().height() + kGridMargin / 2));
    m_pUi->labelPreview->setFixedSize(kPreviewSize);

    connect(m_pUi->btnColour, &CColourPicker::ColourChosen, this, &CDlgAddBg::OnColourChosen);
    connect(m_pUi->listFiles, &QListWidget::itemClicked, this, &CDlgAddBg::OnListClicked);
    connect(m_pUi->listFiles, &QListWidget::itemDoubleClicked, this, &CDlgAddBg::OnPreview);
    connect(m_pUi->groupMode, &QButtonGroup::idToggled, this, [this](int /*nId*/, bool bChecked) {
        if (bChecked) {
            UpdatePlacementControls();
        }
    });
    connect(m_pUi->btnBrowse, &QPushButton::clicked, this, &CDlgAddBg::OnBrowse);
    connect(m_pUi->btnPreview, &QPushButton::clicked, this, &CDlgAddBg::OnPreview);
    connect(m_pUi->btnOk, &QPushButton::clicked, this, &CDlgAddBg::OnOk);
    connect(m_pUi->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

CDlgAddBg::~CDlgAddBg() = default;

void CDlgAddBg::SetValue(const std::string& strValue)
{
    m_strValue = strValue;
}

void CDlgAddBg::SetPlacementCode(int32_t nCode)
{
    m_nPlacementCode = nCode;
}

void CDlgAddBg::setVisible(bool bVisible)
{
    if (bVisible && !m_bInitialised) {
        m_bInitialised = true;
        OnInitDialog();
    }
    QDialog::setVisible(bVisible);
}

void CDlgAddBg::OnInitDialog()
{
    FillList();
    ShowValue();
    ShowPlacement();
    // Selecting with the keyboard chooses from the list as a click does; connected only now, so
    // that showing the current value does not count as a choice.
    // Selection, not the current item: the view makes an item current on gaining focus alone.
    connect(m_pUi->listFiles, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_pUi->listFiles->selectedItems().isEmpty()) {
            OnListClicked();
        }
    });

    // Without its skin the dialog still works, in the plain look.
    CSkin skin;
    if (skin.Load(FromPath(InstallPath(ToPath(m_services.m_strAppDir), "\\Skin\\vwinaqua.skn")))) {
        skin.Apply(this);
        const QList<QAbstractButton*> anchors = m_pUi->groupAnchor->buttons();
        for (QAbstractButton* pAnchor : anchors) {
            skin.ApplyObject(pAnchor, QStringLiteral("RdoAlignPicker"));
        }
    }

    if (m_folder == ELookFolder::Button) {
        setWindowTitle(tr("Adjust the style of button"));
        // A button picture is never placed: the whole group stays off.
        m_pUi->groupAlignment->setEnabled(false);
    } else {
        setWindowTitle(tr("Adjust the background of cards"));
    }

    if (m_services.m_log) {
        m_services.m_log(QStringLiteral("CDlgAddBg::OnInitDialog }"));
    }
}

void CDlgAddBg::FillList()
{
    const std::vector<CLookFile> files = ListLookFolder(m_services.m_strAppDir, m_folder);
    m_pUi->listFiles->setUpdatesEnabled(false);
    for (const CLookFile& file : files) {
        const QImage thumbnail = m_thumbnails.Thumbnail(file.m_strThumbnailSource, m_thumbnailSize);
        auto* pItem =
            new QListWidgetItem(QIcon(QPixmap::fromImage(thumbnail)), file.m_strName, m_pUi->listFiles);
        pItem->setData(Qt::UserRole, file.m_strPath);
        pItem->setToolTip(file.m_strName);
    }
    m_pUi->listFiles->setUpdatesEnabled(true);
}

void CDlgAddBg::ShowValue()
{
    const QString strValue = QString::fromStdString(m_strValue);
    // An empty look names nothing: no source is chosen and OK keeps the look as it is.
    if (strValue.isEmpty()) {
        return;
    }
    if (IsAbsoluteLookPath(m_strValue)) {
        CheckSource(kSourceDisk);
        m_strPath = strValue;
        ShowDiskFile(
            m_strPath, IsMovieOrDbl(m_strPath) ? std::nullopt : DecodeThumbnail(m_strPath, kPreviewSize));
    } else if (IsColourValue(m_strValue)) {
        CheckSource(kSourceColour);
        const CColour colour = ParseColour(m_strValue);
        m_pUi->btnColour->SetColour(QColor(colour.red, colour.green, colour.blue));
    } else {
        CheckSource(kSourceList);
        std::vector<QString> names;
        names.reserve(static_cast<size_t>(m_pUi->listFiles->count()));
        for (int i = 0; i < m_pUi->listFiles->count(); ++i) {
            names.push_back(m_pUi->listFiles->item(i)->text());
        }
        const int nFound = FindLookValueEntry(names, strValue, m_folder);
        if (nFound >= 0) {
            QListWidgetItem* pItem = m_pUi->listFiles->item(nFound);
            m_pUi->listFiles->setCurrentItem(pItem);
            m_pUi->listFiles->scrollToItem(pItem);
        }
    }
}

void CDlgAddBg::ShowPlacement()
{
    m_placement = PlacementFromCode(m_nPlacementCode);
    if (QAbstractButton* pMode = m_pUi->groupMode->button(m_placement.m_nMode)) {
        pMode->setChecked(true);
    }
    if (QAbstractButton* pAnchor = m_pUi->groupAnchor->button(m_placement.m_nAnchor)) {
        pAnchor->setChecked(true);
    }
    m_pUi->checkKeepRatio->setChecked(m_placement.m_bKeepRatio);
    UpdatePlacementControls();
}

void CDlgAddBg::UpdatePlacementControls()
{
    const int nMode = m_pUi->groupMode->checkedId();
    const bool bAnchors = nMode == CLookPlacement::kModeAnchored;
    const QList<QAbstractButton*> anchors = m_pUi->groupAnchor->buttons();
    for (QAbstractButton* pAnchor : anchors) {
        pAnchor->setEnabled(bAnchors);
    }
    m_pUi->checkKeepRatio->setEnabled(nMode == CLookPlacement::kModeStretch);
}

void CDlgAddBg::CheckSource(int nSource)
{
    if (QAbstractButton* pRadio = m_pUi->groupSource->button(nSource)) {
        pRadio->setChecked(true);
    }
}

int CDlgAddBg::CheckedSource() const
{
    return m_pUi->groupSource->checkedId();
}

void CDlgAddBg::ShowDiskFile(const QString& strPath, const std::optional<QImage>& thumbnail)
{
    m_pUi->labelPicture->setText(strPath);
    m_pUi->labelPicture->setToolTip(strPath);
    QPixmap preview;
    if (IsMovieOrDbl(strPath)) {
        preview = MoviePlaceholder(kPreviewSize);
    } else if (thumbnail) {
        preview = QPixmap::fromImage(*thumbnail);
    } else {
        // A path value whose picture is gone or unreadable: the white box it is drawn over.
        preview = QPixmap(kPreviewSize);
        preview.fill(Qt::white);
    }
    m_pUi->labelPreview->setPixmap(preview);
}

QPixmap CDlgAddBg::MoviePlaceholder(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const int nWidth = size.width();
    const int nHeight = size.height();
    // A strip of film with its sprocket holes, and a play sign on the frame.
    const QRectF strip(nWidth * 0.15, nHeight * 0.12, nWidth * 0.7, nHeight * 0.76);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3a, 0x3a, 0x44));
    painter.drawRoundedRect(strip, 4.0, 4.0);
    painter.setBrush(Qt::white);
    const qreal holeSize = strip.height() * 0.1;
    for (int i = 0; i < 7; ++i) {
        const qreal x = strip.left() + strip.width() * (0.06 + 0.135 * i);
        painter.drawRect(QRectF(x, strip.top() + holeSize * 0.5, holeSize, holeSize));
        painter.drawRect(QRectF(x, strip.bottom() - holeSize * 1.5, holeSize, holeSize));
    }
    const QRectF frame =
        strip.adjusted(strip.width() * 0.08, holeSize * 2.5, -strip.width() * 0.08, -holeSize * 2.5);
    painter.setBrush(QColor(0xf0, 0x8a, 0x24));
    painter.drawRect(frame);
    const QPointF centre = frame.center();
    const qreal r = frame.height() * 0.3;
    const QPointF play[3] = { { centre.x() - r * 0.7, centre.y() - r },
        { centre.x() - r * 0.7, centre.y() + r }, { centre.x() + r, centre.y() } };
    painter.setBrush(Qt::white);
    painter.drawPolygon(play, 3);
    painter.end();
    return pixmap;
}

void CDlgAddBg::OnColourChosen()
{
    CheckSource(kSourceColour);
}

void CDlgAddBg::OnListClicked()
{
    CheckSource(kSourceList);
}

void CDlgAddBg::OnBrowse()
{
    if (!m_services.m_pPrompts) {
        return;
    }
    const QString strPath = m_services.m_pPrompts->OpenFile(QString::fromUtf8(kStrBrowseFilter), {}, {});
    if (strPath.isEmpty()) {
        return;
    }
    std::optional<QImage> thumbnail;
    if (!IsMovieOrDbl(strPath)) {
        thumbnail = DecodeThumbnail(strPath, kPreviewSize);
        // The earlier choice stays: a picture the generator could not read either is no choice.
        if (!thumbnail) {
            Tell(m_services.m_pPrompts, tr(kStrPictureUnreadable));
            return;
        }
    }
    m_strPath = strPath;
    CheckSource(kSourceDisk);
    ShowDiskFile(m_strPath, thumbnail);
}

void CDlgAddBg::OnPreview()
{
    const QList<QListWidgetItem*> selected = m_pUi->listFiles->selectedItems();
    if (selected.isEmpty()) {
        Tell(m_services.m_pPrompts, tr(kStrChooseToPreview));
        return;
    }
    const QString strName = selected.first()->text();
    const QString strPath = selected.first()->data(Qt::UserRole).toString();
    if (strName.endsWith(QStringLiteral("swf"), Qt::CaseInsensitive)) {
        if (m_services.m_pProjector) {
            m_services.m_pProjector->ShowMovie(strPath, false);
        }
        return;
    }
    if (!m_services.m_pShell) {
        return;
    }
    if (strName.endsWith(QStringLiteral("dbl"), Qt::CaseInsensitive)) {
        // A DBL is shown by its companion picture, found as the list found its thumbnail.
        const QString strCompanion = strPath + QStringLiteral(".png");
        const auto found = FindFileNoCase(ToPath(strCompanion));
        m_services.m_pShell->OpenDocument(found ? FromPath(*found) : strCompanion);
        return;
    }
    m_services.m_pShell->OpenDocument(strPath);
}

bool CDlgAddBg::FlashFileAccepted(const QString& strPath) const
{
    if (TestChosenFlashFile(strPath.toStdString())) {
        return true;
    }
    Tell(m_services.m_pPrompts, tr(kStrFlashFileNotSupported));
    return false;
}

void CDlgAddBg::OnOk()
{
    switch (CheckedSource()) {
    case kSourceColour: {
        const QColor colour = m_pUi->btnColour->Colour();
        AcceptWith(FormatColour({ static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
                       static_cast<uint8_t>(colour.blue()) }),
            kSourceColour);
        return;
    }
    case kSourceDisk:
        // Without a file the old look would be replaced by an empty one.
        if (m_strPath.isEmpty()) {
            Tell(m_services.m_pPrompts, tr(kStrChooseFirst));
            return;
        }
        if (FlashFileAccepted(m_strPath)) {
            AcceptWith(m_strPath.toStdString(), kSourceDisk);
        }
        return;
    case kSourceList: {
        const QList<QListWidgetItem*> selected = m_pUi->listFiles->selectedItems();
        if (selected.isEmpty()) {
            Tell(m_services.m_pPrompts, tr(kStrChooseFirst));
            return;
        }
        // A refused movie of the list is refused as one from disk: the generator could not embed it.
        if (FlashFileAccepted(selected.first()->data(Qt::UserRole).toString())) {
            AcceptWith(selected.first()->text().toStdString(), kSourceList);
        }
        return;
    }
    default:
        AcceptWith(m_strValue, kSourceNone);
        return;
    }
}

void CDlgAddBg::AcceptWith(std::string strValue, int nSource)
{
    m_strValue = std::move(strValue);
    m_nSource = nSource;
    if (m_folder != ELookFolder::Button) {
        CLookPlacement placement = m_placement;
        if (m_pUi->groupMode->checkedId() >= 0) {
            placement.m_nMode = m_pUi->groupMode->checkedId();
        }
        if (m_pUi->groupAnchor->checkedId() >= 0) {
            placement.m_nAnchor = m_pUi->groupAnchor->checkedId();
        }
        placement.m_bKeepRatio = m_pUi->checkKeepRatio->isChecked();
        m_nPlacementCode = PlacementToCode(placement);
    }
    accept();
}
