// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/dialogs/EditorDialogs.h"

#include "editor/openproject/DlgOpenProject.h"

IEditorDialogs::EOpenResult CEditorDialogs::OpenProject(QWidget* pParent, QString& strPath)
{
    CDlgOpenProject dialog(m_strAppDir, m_prompts, pParent);
    const int nResult = dialog.exec();
    if (nResult == QDialog::Accepted) {
        strPath = dialog.ProjectPath();
        return EOpenResult::Ok;
    }
    return nResult == CDlgOpenProject::kResultNew ? EOpenResult::New : EOpenResult::Cancel;
}
