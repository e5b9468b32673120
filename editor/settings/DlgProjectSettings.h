// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/dialogs/DialogServices.h"
#include "editor/dialogs/EditorDialogs.h"
#include "editor/settings/ProjectSettingsRules.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CGenerator;
class CProject;
class QLineEdit;

namespace Ui {
class DlgProjectSettings;
}

// "Project Settings": author and e-mail, gift size, slideshow, picture quality, the project
// background, the button look, the music, the button text colour, the gift font and the promotion
// options. OK checks and stores the typed settings and reloads the generator's fonts when the font
// changed; Cancel stores nothing of them. The three Edit buttons store their choice in the project
// at once, so it outlives a later Cancel.
class CDlgProjectSettings : public QDialog {
    Q_OBJECT
public:
    // What the three Edit buttons open. The caller gives the real dialogs; tests script them.
    struct CSubDialogs {
        // bButton false: the card background folder, true: the button look. nullopt on Cancel.
        std::function<std::optional<CLookChoice>(
            QWidget* pParent, bool bButton, const std::string& strValue, int32_t nAlign)>
            m_editLook;
        // The music dialog on a value without its "Music\" prefix and a source (0 samples, 1 disk).
        std::function<std::optional<CMusicChoice>(QWidget* pParent, const std::string& strValue, int nSource)>
            m_editMusic;
    };

    // generator must generate project: its fonts are reloaded from the project's font setting.
    CDlgProjectSettings(const CDialogServices& services, CProject& project, CGenerator& generator,
        CSubDialogs subDialogs, QWidget* pParent = nullptr);
    ~CDlgProjectSettings() override;

    // True when an Edit button's dialog ended with OK and its choice went into the project (also
    // after Cancel of this dialog, which keeps those changes).
    [[nodiscard]] bool ProjectChanged() const { return m_bProjectChanged; }

    // The fixed explanation of the two promotion options shown by "What's this".
    [[nodiscard]] static QString PromotionExplanation();

private Q_SLOTS:
    void OnOk();
    void OnEditBackground();
    void OnEditButtons();
    void OnEditMusic();
    void OnWhatsThis();
    void OnQualityEdited(const QString& strText);
    void OnSliderChanged(int nValue);

private:
    void FillControls();
    void ListFonts();
    void ShowLookLabels();
    // Shows strMessage and puts the focus on the field; always false, for "return Refuse(...)".
    bool Refuse(QWidget* pField, const std::string& strMessage);
    bool CheckLength(QLineEdit* pField, int nMaxCharacters);
    bool CheckInteger(QLineEdit* pField, int32_t nMin, int32_t nMax, int32_t& nValue);
    void StoreFont();

    std::unique_ptr<Ui::DlgProjectSettings> m_pUi;
    CDialogServices m_services;
    CProject& m_project;
    CGenerator& m_generator;
    CSubDialogs m_subDialogs;
    // The looks as stored; the labels only show them ("none" for an empty value).
    std::string m_strBackground;
    int32_t m_nBgAlign = 4;
    std::string m_strButton;
    std::string m_strMusic;
    std::vector<std::string> m_fonts;
    bool m_bProjectChanged = false;
    // Set while the quality box moves the slider, so that the slider does not rewrite the box.
    bool m_bSyncingQuality = false;
};
