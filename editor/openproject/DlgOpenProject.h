// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class IPrompts;
class QListWidgetItem;

namespace Ui {
class DlgOpenProject;
}

// The editor's door: a new project, one of the sample projects of the installation's Themes
// folder, or a project file anywhere on disk. It only chooses; the caller creates or loads.
// exec() gives Accepted with ProjectPath() set, kResultNew, or Rejected.
class CDlgOpenProject : public QDialog {
    Q_OBJECT
public:
    static constexpr int kResultNew = 10;

    CDlgOpenProject(QString strAppDir, IPrompts& prompts, QWidget* pParent = nullptr);
    ~CDlgOpenProject() override;

    // The chosen project file: a sample as it is named on disk, or the file picked by "Open from...".
    [[nodiscard]] QString ProjectPath() const { return m_strProjectPath; }

private Q_SLOTS:
    void OnOk();
    void OnNew();
    void OnOpenFrom();

private:
    void ListSamples();
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

    std::unique_ptr<Ui::DlgOpenProject> m_pUi;
    QString m_strAppDir;
    IPrompts& m_prompts;
    QString m_strProjectPath;
};
