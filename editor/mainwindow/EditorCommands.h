// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The main window's commands by id: the popup menu's entries and the ids the skin's buttons send.
enum ECommandId : int {
    // Controls of the window.
    kCmdAddCardAfterCtl = 1001,
    kCmdDeleteCardCtl = 1002,
    kCmdAddLinkAfterCtl = 1003,
    kCmdRemoveLinkCtl = 1004,
    kCmdCardBackgroundCtl = 1008,
    kCmdOpenProjectCtl = 1034,
    kCmdNewProjectCtl = 1097,
    kCmdProjectSettingsCtl = 1098,
    kCmdShowGuideCtl = 1099,
    kCmdPreviewCtl = 1100,
    kCmdFinishCtl = 1101,
    kCmdSaveCtl = 1102,
    // The popup menu.
    kCmdNew = 57600,
    kCmdOpen = 57601,
    kCmdSave = 57603,
    kCmdSampleWorkout = 32775,
    kCmdSampleLoveLetter = 32776,
    kCmdSamplePassword = 32777,
    kCmdSampleFun = 32778,
    kCmdSampleAnimate = 32779,
    kCmdSampleMensaTest = 32799,
    kCmdSampleKidTraining = 32805,
    kCmdExit = 32773,
    kCmdUndo = 57643,
    kCmdCut = 57635,
    kCmdPaste = 57637,
    kCmdCopy = 57634,
    kCmdStepNew = 32800,
    kCmdStepOpen = 32801,
    kCmdStepPreview = 32802,
    kCmdStepFinish = 32803,
    kCmdStepSave = 32804,
    kCmdPhotoAlbum = 32781,
    kCmdProjectSettings = 32810,
    kCmdExpandAll = 32811,
    kCmdCollapseAll = 32812,
    kCmdAddCardTop = 32786,
    kCmdAddCardBefore = 32787,
    kCmdAddCardAfter = 32788,
    kCmdAddCardBottom = 32789,
    kCmdDeleteCard = 32791,
    kCmdAddLinkTop = 32792,
    kCmdAddLinkBefore = 32793,
    kCmdAddLinkAfter = 32794,
    kCmdAddLinkBottom = 32795,
    kCmdRemoveLink = 32785,
    kCmdPrintCard = 32774,
    kCmdExportSwf = 32771,
    kCmdExportExe = 32772,
    kCmdOpenQuillfen = 32783,
    kCmdDownloadResources = 32784,
    kCmdUploadResource = 32790,
    kCmdUpdateProgram = 32796,
    kCmdHelpDocument = 32797,
    kCmdHotKeys = 32814,
    kCmdTipOfToday = 32780,
    kCmdAbout = 32808,
};

enum class EEditCommand { Undo, Cut, Copy, Paste };

// One entry of the popup menu: where it sits (the submenu path below "ALL", e.g. {"File", "View
// Samples"}), its text and its command id. Separators are not part of the menu.
struct CMenuEntry {
    std::vector<std::string> m_path;
    std::string m_strText;
    int m_nId = 0;
};

// The popup menu "ALL", in order.
[[nodiscard]] const std::vector<CMenuEntry>& PopupMenuEntries();

// The sample gift a menu id plays ("\\Samples\\workout.swf"), or nothing.
[[nodiscard]] std::optional<std::string> SampleOfCommand(int nId);

// How a named skin object reports the command it stands for.
enum class ESkinEvent { Click, State };
// The command id of a skin object for an event (names compared without regard to case), or
// nothing when the window does not react to that object and event.
[[nodiscard]] std::optional<int> CommandOfSkinObject(std::string_view strName, ESkinEvent event);

// The notice of the Hot Keys entry.
inline constexpr const char* kHotKeysNotice =
    "F1:  Help Center\nF2:  Add new card\nF3:  Add new link\nF4:  Preview Flash e-gift";
