// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Projector.h"

#include <vector>

// A player program for tests: records each request and answers with the scripted results.
class CFakeProjector : public IProjector {
public:
    enum class EKind { Show, Print, MakeExe };
    struct CCall {
        EKind m_kind = EKind::Show;
        QString m_strMovie;
        bool m_bMaximised = false;
    };

    bool ShowMovie(const QString& strMoviePath, bool bMaximised) override
    {
        m_calls.push_back({ EKind::Show, strMoviePath, bMaximised });
        return m_bStarts;
    }
    EPlayerExit PrintMovie(const QString& strMoviePath) override
    {
        m_calls.push_back({ EKind::Print, strMoviePath, false });
        return m_result;
    }
    EPlayerExit MakeSelfRunningCopy(const QString& strMoviePath) override
    {
        m_calls.push_back({ EKind::MakeExe, strMoviePath, false });
        return m_result;
    }

    std::vector<CCall> m_calls;
    bool m_bStarts = true;
    EPlayerExit m_result = EPlayerExit::Ok;
};
