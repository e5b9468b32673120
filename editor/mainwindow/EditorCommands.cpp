// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/mainwindow/EditorCommands.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace {

bool SameNameNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

struct CSkinObject {
    std::string_view m_strName;
    ESkinEvent m_event;
    int m_nId;
};

// The step buttons report their state (first number 1 when pressed); the tree's buttons and the
// background and menu buttons report clicks.
constexpr std::array kSkinObjects {
    CSkinObject { "RDOStep1_New", ESkinEvent::State, kCmdNewProjectCtl },
    CSkinObject { "BTNStep1_Open", ESkinEvent::State, kCmdOpenProjectCtl },
    CSkinObject { "RDOStep2", ESkinEvent::State, kCmdProjectSettingsCtl },
    CSkinObject { "RDOStep3", ESkinEvent::State, kCmdShowGuideCtl },
    CSkinObject { "RDOStep4", ESkinEvent::State, kCmdPreviewCtl },
    CSkinObject { "RDOStep5", ESkinEvent::State, kCmdFinishCtl },
    CSkinObject { "RDOStep6", ESkinEvent::State, kCmdSaveCtl },
    CSkinObject { "BTNAddCard", ESkinEvent::Click, kCmdAddCardAfterCtl },
    CSkinObject { "BTNAddLink", ESkinEvent::Click, kCmdAddLinkAfterCtl },
    CSkinObject { "BTNDelCard", ESkinEvent::Click, kCmdDeleteCardCtl },
    CSkinObject { "BTNDelLink", ESkinEvent::Click, kCmdRemoveLinkCtl },
    CSkinObject { "BTNBG", ESkinEvent::Click, kCmdCardBackgroundCtl },
};

} // namespace

const std::vector<CMenuEntry>& PopupMenuEntries()
{
    static const std::vector<CMenuEntry> kEntries = [] {
        using Path = std::vector<std::string>;
        const Path file { "File" };
        const Path samples { "File", "View Samples" };
        const Path edit { "Edit" };
        const Path steps { "StepByStep" };
        const Path tools { "Tools" };
        const Path project { "Project" };
        const Path cards { "Cards" };
        const Path addCards { "Cards", "Add cards" };
        const Path addLinks { "Cards", "Add new link" };
        const Path exportMenu { "Export" };
        const Path manage { "Manage" };
        const Path help { "Help" };
        return std::vector<CMenuEntry> {
            { file, "New", kCmdNew },
            { file, "Open", kCmdOpen },
            { file, "Save", kCmdSave },
            { samples, "e-Workout", kCmdSampleWorkout },
            { samples, "e-LoveLetter", kCmdSampleLoveLetter },
            { samples, "e-Password", kCmdSamplePassword },
            { samples, "e-Fun", kCmdSampleFun },
            { samples, "e-Animate", kCmdSampleAnimate },
            { samples, "e-MensaTest", kCmdSampleMensaTest },
            { samples, "e-KidTrainning", kCmdSampleKidTraining },
            { file, "Exit", kCmdExit },
            { edit, "Undo", kCmdUndo },
            { edit, "Cut", kCmdCut },
            { edit, "Paste", kCmdPaste },
            { edit, "Copy", kCmdCopy },
            { steps, "1 New", kCmdStepNew },
            { steps, "1 Open", kCmdStepOpen },
            { steps, "2 Preview", kCmdStepPreview },
            { steps, "3 Finish", kCmdStepFinish },
            { steps, "4 Save", kCmdStepSave },
            { tools, "Create Photo Album", kCmdPhotoAlbum },
            { project, "Project Settings", kCmdProjectSettings },
            { project, "Expand All Cards", kCmdExpandAll },
            { project, "Collapse All Cards", kCmdCollapseAll },
            { addCards, "At top", kCmdAddCardTop },
            { addCards, "Before current card", kCmdAddCardBefore },
            { addCards, "After current card", kCmdAddCardAfter },
            { addCards, "At bottom", kCmdAddCardBottom },
            { cards, "Del current card", kCmdDeleteCard },
            { addLinks, "At top", kCmdAddLinkTop },
            { addLinks, "Before current link", kCmdAddLinkBefore },
            { addLinks, "After current link", kCmdAddLinkAfter },
            { addLinks, "At bottom", kCmdAddLinkBottom },
            { cards, "Del current link", kCmdRemoveLink },
            { cards, "Print Current Card", kCmdPrintCard },
            { exportMenu, "Generate SWF", kCmdExportSwf },
            { exportMenu, "Generate EXE (with player)", kCmdExportExe },
            { manage, "Open Quillfen", kCmdOpenQuillfen },
            { manage, "Download resources", kCmdDownloadResources },
            { manage, "Upload your resource", kCmdUploadResource },
            { manage, "Update Program", kCmdUpdateProgram },
            { help, "Help Document", kCmdHelpDocument },
            { help, "Hot Keys", kCmdHotKeys },
            { help, "Tip of today", kCmdTipOfToday },
            { help, "About", kCmdAbout },
        };
    }();
    return kEntries;
}

std::optional<std::string> SampleOfCommand(int nId)
{
    static constexpr std::array<std::pair<int, const char*>, 7> kSamples { {
        { kCmdSampleWorkout, "\\Samples\\workout.swf" },
        { kCmdSampleLoveLetter, "\\Samples\\loveletter.swf" },
        { kCmdSamplePassword, "\\Samples\\password.swf" },
        { kCmdSampleFun, "\\Samples\\fun.swf" },
        { kCmdSampleAnimate, "\\Samples\\animate.swf" },
        { kCmdSampleMensaTest, "\\Samples\\MensaTest.swf" },
        { kCmdSampleKidTraining, "\\Samples\\kidsitesample.swf" },
    } };
    for (const auto& [nSampleId, strPath] : kSamples) {
        if (nSampleId == nId) {
            return std::string(strPath);
        }
    }
    return std::nullopt;
}

std::optional<int> CommandOfSkinObject(std::string_view strName, ESkinEvent event)
{
    for (const CSkinObject& object : kSkinObjects) {
        if (object.m_event == event && SameNameNoCase(object.m_strName, strName)) {
            return object.m_nId;
        }
    }
    return std::nullopt;
}
