// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/dialogs/DialogServices.h"

#include <QDialog>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class CFlashPlayerWidget;
class CSkinForm;

namespace Ui {
class DlgPreview;
}

// The whole gift played at its own size inside the editor, with two buttons: Reload (generate the
// project again and replay it) and Print (print the movie given at opening through the player
// program). The caller has generated that movie; the window only shows it.
class CDlgPreview : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPlayerInset = 2;
    // Reload writes one of this many files in Temp, preview_0.swf and on.
    static constexpr int kReloadFiles = 20;

    // Writes the whole project as a movie to the path; bForce 1 prepares every picture again.
    using GenerateFn = std::function<void(const QString& strOutputPath, int bForce)>;

    CDlgPreview(const CDialogServices& services, QString strMoviePath, QSize giftSize, GenerateFn generate,
        QWidget* pParent = nullptr);
    ~CDlgPreview() override;

    // False when the skin could not be loaded: the user has been told and the window closes as
    // soon as its event loop runs.
    [[nodiscard]] bool IsSkinned() const { return m_pSkinForm != nullptr; }
    [[nodiscard]] const QString& MoviePath() const { return m_strMoviePath; }
    [[nodiscard]] CFlashPlayerWidget* Player() const { return m_pPlayer; }
    [[nodiscard]] CSkinForm* SkinForm() const { return m_pSkinForm; }

    // The two buttons.
    void Reload();
    void Print();

    // The number of the next reload file, 0 to kReloadFiles - 1; random unless a test sets it.
    std::function<int()> m_nextReloadNumber;

    // Ends the movie's sound and animation before the window goes.
    void done(int nResult) override;

private:
    void OnSkinClick(const QString& strObject);

    std::unique_ptr<Ui::DlgPreview> m_pUi;
    CDialogServices m_services;
    QString m_strMoviePath;
    GenerateFn m_generate;
    CFlashPlayerWidget* m_pPlayer = nullptr;
    CSkinForm* m_pSkinForm = nullptr;
};
