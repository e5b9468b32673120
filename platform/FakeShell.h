// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Shell.h"

#include <vector>

// A shell for tests: records every call; m_bResult is what each call answers.
class CFakeShell : public IShell {
public:
    enum class EKind { StartProgram, OpenDocument, ShowInFolder };
    struct CCall {
        EKind m_kind = EKind::StartProgram;
        QString m_strPath; // program name or document path
        QStringList m_arguments;
        EShowMode m_mode = EShowMode::Normal;
    };

    bool StartProgram(const QString& strProgram, const QStringList& arguments, EShowMode mode) override
    {
        m_calls.push_back({ EKind::StartProgram, strProgram, arguments, mode });
        return m_bResult;
    }
    bool OpenDocument(const QString& strPath) override
    {
        m_calls.push_back({ EKind::OpenDocument, strPath, {}, EShowMode::Normal });
        return m_bResult;
    }
    bool ShowInFolder(const QString& strPath) override
    {
        m_calls.push_back({ EKind::ShowInFolder, strPath, {}, EShowMode::Normal });
        return m_bResult;
    }

    std::vector<CCall> m_calls;
    bool m_bResult = true;
};
