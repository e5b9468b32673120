// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Where generation sends what it has to say. The editor shows error reports as the standard error
// box (and logs them), notices in its balloon and messages as plain boxes; marrowlark-cli prints
// all three. A run of GenerateSWF calls BeginRun first and EndRun last, so that a receiver can treat
// the reports of one run together (one box per reason, a count per reason).
class IGenerationReports {
public:
    virtual ~IGenerationReports() = default;
    virtual void BeginRun() { }
    virtual void EndRun() { }
    // A failed step, with its fixed one-line reason.
    virtual void ReportError(const std::string& strReason) = 0;
    // A non-blocking hint (a file that could not be loaded, a missing font).
    virtual void ShowNotice(const std::string& strText) = 0;
    // A plain message box with an OK button.
    virtual void ShowMessage(const std::string& strText) = 0;
};

// Reports that go nowhere: for callers that need a movie and not what generation says about it
// (tests and benchmarks of the windows around it).
class CNoGenerationReports : public IGenerationReports {
public:
    void ReportError(const std::string& /*strReason*/) override { }
    void ShowNotice(const std::string& /*strText*/) override { }
    void ShowMessage(const std::string& /*strText*/) override { }
};
