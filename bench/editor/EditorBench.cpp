// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's main window with the real player, timed where a person waits for it: from the start
// to the window and to the first card's preview, from a title keystroke to its preview, and from
// opening a project of the largest size to its tree and to its first card's preview. Each
// measurement reports its median and maximum over the samples as counters (milliseconds).
#include "bench/editor/BenchSamples.h"
#include "editor/app/MarrowlarkApp.h"
#include "editor/dialogs/EditorDialogs.h"
#include "editor/mainwindow/MarrowlarkDlg.h"
#include "model/Project.h"
#include "model/ProjectFile.h"
#include "platform/FakeProjector.h"
#include "platform/FakePrompts.h"
#include "platform/FakeShell.h"
#include "platform/InstallDir.h"
#include "platform/RufflePlayer.h"
#include "tests/editor/EditorTestSupport.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// Gives up on a preview that never shows (reported as an error, not a time).
constexpr int kGiveUpMs = 60000;
// The largest project the editor makes: its card and link limits.
constexpr int kLargeCards = static_cast<int>(CProject::kMaxCards);
constexpr int kLargeLinks = static_cast<int>(CProject::kMaxLinks);

// A private installation folder (see LinkStagedInstallation).
class CBenchHome {
public:
    CBenchHome()
        : m_bValid(m_dir.isValid() && editortest::LinkStagedInstallation(m_dir.path()))
    {
    }

    [[nodiscard]] bool IsValid() const { return m_bValid; }
    [[nodiscard]] QString Path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    bool m_bValid = false;
};

// The editor as its program puts it together, with fake desktop services and the real player.
class CBenchEditor {
public:
    explicit CBenchEditor(QString strHome)
        : m_strHome(std::move(strHome))
    {
        m_services = editortest::TestServices(m_prompts, m_shell, m_projector, m_dialogs, "bench");
        const QString strRuffleDir = GetRuffleDir(m_strHome);
        m_services.m_makePlayer = [strRuffleDir](QWidget* pParent) -> CFlashPlayerWidget* {
            return new CRufflePlayer(pParent, strRuffleDir);
        };
    }

    ~CBenchEditor()
    {
        m_pWindow.reset();
        if (m_pApp) {
            m_pApp->ExitInstance();
        }
        m_pApp.reset();
        // The web views go with their deferred deletions.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    CBenchEditor(const CBenchEditor&) = delete;
    CBenchEditor& operator=(const CBenchEditor&) = delete;

    // The application and its start-up, the open-project dialog answering New.
    [[nodiscard]] bool StartUp()
    {
        m_pApp = std::make_unique<CMarrowlarkApp>(m_strHome, m_services);
        return m_pApp->StartUp();
    }

    // The main window; it loads the first card's preview while it is made.
    CMarrowlarkDlg& MakeWindow()
    {
        m_pWindow = std::make_unique<CMarrowlarkDlg>(*m_pApp);
        return *m_pWindow;
    }
    // Shows the window; false when it did not become visible.
    [[nodiscard]] bool ShowWindow() const
    {
        m_pWindow->show();
        return QTest::qWaitForWindowExposed(m_pWindow.get());
    }

    [[nodiscard]] CMarrowlarkDlg& Window() const { return *m_pWindow; }

private:
    QString m_strHome;
    CFakePrompts m_prompts;
    CFakeShell m_shell;
    CFakeProjector m_projector;
    editortest::CFakeEditorDialogs m_dialogs;
    CEditorServices m_services;
    std::unique_ptr<CMarrowlarkApp> m_pApp;
    std::unique_ptr<CMarrowlarkDlg> m_pWindow;
};

// Catches the player's next MovieShown (the player reports only its latest movie) and the time it
// arrived on the given clock.
class CShownWatch {
public:
    CShownWatch(CFlashPlayerWidget* pPlayer, const QElapsedTimer& clock)
    {
        m_shown = QObject::connect(pPlayer, &CFlashPlayerWidget::MovieShown, [this, &clock](qint64 nMs) {
            if (m_nShownNs < 0) {
                m_nShownNs = clock.nsecsElapsed();
                m_nPlayerMs = nMs;
            }
        });
        m_failed = QObject::connect(pPlayer, &CFlashPlayerWidget::LoadFailed, [this] { m_bFailed = true; });
    }
    ~CShownWatch()
    {
        QObject::disconnect(m_shown);
        QObject::disconnect(m_failed);
    }
    CShownWatch(const CShownWatch&) = delete;
    CShownWatch& operator=(const CShownWatch&) = delete;

    // Runs the event loop until the movie shows; false when it failed or never came.
    [[nodiscard]] bool Wait() const
    {
        const QDeadlineTimer deadline(kGiveUpMs);
        while (m_nShownNs < 0 && !m_bFailed && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return m_nShownNs >= 0;
    }
    [[nodiscard]] double ShownMs() const { return static_cast<double>(m_nShownNs) / 1e6; }
    // The player's own time from its LoadMovie to the frame.
    [[nodiscard]] double PlayerMs() const { return static_cast<double>(m_nPlayerMs); }

private:
    QMetaObject::Connection m_shown;
    QMetaObject::Connection m_failed;
    qint64 m_nShownNs = -1;
    qint64 m_nPlayerMs = -1;
    bool m_bFailed = false;
};

// Start-up to the main window on screen and to the starter project's first card shown in it: a
// fresh installation copy and a fresh player (the page and the WebAssembly core) each time.
void BM_StartToFirstPreview(benchmark::State& state)
{
    editorbench::CSamples window;
    editorbench::CSamples preview;
    for (auto _ : state) {
        const CBenchHome home;
        if (!home.IsValid()) {
            state.SkipWithError("the installation copy could not be made");
            break;
        }
        CBenchEditor editor(home.Path());
        QElapsedTimer clock;
        clock.start();
        if (!editor.StartUp()) {
            state.SkipWithError("start-up ended the program");
            break;
        }
        // The window loads the first card while it is made; the frame comes later, from the event loop.
        const CShownWatch shown(editor.MakeWindow().Player(), clock);
        if (!editor.ShowWindow()) {
            state.SkipWithError("the main window was not shown");
            break;
        }
        window.Add(editorbench::Milliseconds(clock));
        if (!shown.Wait()) {
            state.SkipWithError("the first preview did not show");
            break;
        }
        preview.Add(shown.ShownMs());
        state.SetIterationTime(shown.ShownMs() / 1000.0);
    }
    window.Report(state, "window");
    preview.Report(state, "preview");
}
BENCHMARK(BM_StartToFirstPreview)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Starts the editor and waits for its first preview; false (the error given) when it did not show.
bool StartWithFirstPreview(const CBenchHome& home, CBenchEditor& editor, benchmark::State& state)
{
    if (!home.IsValid() || !editor.StartUp()) {
        state.SkipWithError("the editor did not start");
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    const CShownWatch shown(editor.MakeWindow().Player(), clock);
    if (!editor.ShowWindow() || !shown.Wait()) {
        state.SkipWithError("the first preview did not show");
        return false;
    }
    return true;
}

// A letter typed into the card title, to that title's preview on screen (generation, the load and
// the first frame), after the first preview has shown.
void BM_TitleKeystroke(benchmark::State& state)
{
    const CBenchHome home;
    CBenchEditor editor(home.Path());
    if (!StartWithFirstPreview(home, editor, state)) {
        return;
    }
    auto* pTitle = editor.Window().findChild<QLineEdit*>(QStringLiteral("editTitle"));
    if (pTitle == nullptr) {
        state.SkipWithError("the window has no title field");
        return;
    }
    editorbench::CSamples total;
    editorbench::CSamples edit;
    editorbench::CSamples player;
    int nKey = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        const CShownWatch shown(editor.Window().Player(), clock);
        clock.start();
        QTest::keyClick(pTitle, static_cast<Qt::Key>(Qt::Key_A + nKey % 26));
        // The window generates the card and hands it to the player inside the keystroke.
        edit.Add(editorbench::Milliseconds(clock));
        ++nKey;
        if (!shown.Wait()) {
            state.SkipWithError("a title's preview did not show");
            break;
        }
        total.Add(shown.ShownMs());
        player.Add(shown.PlayerMs());
        state.SetIterationTime(shown.ShownMs() / 1000.0);
    }
    total.Report(state, "keystroke");
    edit.Report(state, "generate");
    player.Report(state, "player");
}
BENCHMARK(BM_TitleKeystroke)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// A project at the card and link limits: every card with all its links, each leading to another card.
bool WriteLargeProject(const QString& strPath)
{
    CProject project;
    for (int nCard = 0; nCard < kLargeCards; ++nCard) {
        project.InsertCard(EInsertPos::Bottom);
        for (int nLink = 0; nLink < kLargeLinks; ++nLink) {
            CLinkInfo* pLink = project.AddLink(EInsertPos::Bottom);
            pLink->m_strTitle = "Link " + std::to_string(nLink + 1);
            pLink->m_nTarget = (nCard + nLink + 1) % kLargeCards;
            pLink->m_nScore = nLink;
        }
    }
    return SaveProjectFile(project, std::filesystem::path(strPath.toStdU16String()));
}

// Opening that project in the running window: to its tree filled, and to its first card shown.
void BM_OpenLargeProject(benchmark::State& state)
{
    const CBenchHome home;
    const QTemporaryDir documents;
    const QString strProject = documents.filePath(QStringLiteral("large.mlp"));
    if (!documents.isValid() || !WriteLargeProject(strProject)) {
        state.SkipWithError("the project could not be written");
        return;
    }
    CBenchEditor editor(home.Path());
    if (!StartWithFirstPreview(home, editor, state)) {
        return;
    }
    editorbench::CSamples tree;
    editorbench::CSamples preview;
    for (auto _ : state) {
        QElapsedTimer clock;
        const CShownWatch shown(editor.Window().Player(), clock);
        clock.start();
        editor.Window().LoadProject(strProject);
        tree.Add(editorbench::Milliseconds(clock));
        if (editor.Window().Tree()->topLevelItemCount() != kLargeCards) {
            state.SkipWithError("the tree does not show every card");
            break;
        }
        if (!shown.Wait()) {
            state.SkipWithError("the first card's preview did not show");
            break;
        }
        preview.Add(shown.ShownMs());
        state.SetIterationTime(shown.ShownMs() / 1000.0);
    }
    tree.Report(state, "tree");
    preview.Report(state, "preview");
}
BENCHMARK(BM_OpenLargeProject)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
