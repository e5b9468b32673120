// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/PlayerOptions.h"

#include <gtest/gtest.h>

namespace {

using EOperation = CPlayerOptions::EOperation;

struct OptionsCase {
    std::vector<const char*> args;
    bool valid;
    EOperation operation;
    const char* movie;
    bool maximised;
    const char* pdf;
    const char* output;
};

const OptionsCase kCases[] = {
    { {}, true, EOperation::SelfRun, "", false, "", "" },
    { { "/a/my movie.swf" }, true, EOperation::Show, "/a/my movie.swf", false, "", "" },
    { { "--maximized", "/a/help.swf" }, true, EOperation::Show, "/a/help.swf", true, "", "" },
    { { "--print", "m.swf" }, true, EOperation::Print, "m.swf", false, "", "" },
    { { "--print", "--pdf", "o.pdf", "m.swf" }, true, EOperation::Print, "m.swf", false, "o.pdf", "" },
    { { "--make-exe", "m.swf" }, true, EOperation::MakeExe, "m.swf", false, "", "" },
    { { "--make-exe", "--output", "gift", "m.swf" }, true, EOperation::MakeExe, "m.swf", false, "", "gift" },
    { { "--", "--odd-name.swf" }, true, EOperation::Show, "--odd-name.swf", false, "", "" },
    { { "--print" }, false, EOperation::SelfRun, "", false, "", "" },
    { { "--print", "--make-exe", "m.swf" }, false, EOperation::SelfRun, "", false, "", "" },
    { { "--pdf", "o.pdf", "m.swf" }, false, EOperation::SelfRun, "", false, "", "" },
    { { "--print", "m.swf", "--pdf" }, false, EOperation::SelfRun, "", false, "", "" },
    { { "--output", "x", "m.swf" }, false, EOperation::SelfRun, "", false, "", "" },
    { { "--maximized", "--print", "m.swf" }, false, EOperation::SelfRun, "", false, "", "" },
    { { "a.swf", "b.swf" }, false, EOperation::SelfRun, "", false, "", "" },
    { { "--unknown", "m.swf" }, false, EOperation::SelfRun, "", false, "", "" },
};

TEST(PlayerOptions, ParsesEveryCommandLineOfTheTable)
{
    for (const OptionsCase& c : kCases) {
        QStringList args { QStringLiteral("marrowlark-player") };
        for (const char* a : c.args) {
            args.append(QString::fromUtf8(a));
        }
        const std::optional<CPlayerOptions> options = ParsePlayerArguments(args);
        ASSERT_EQ(options.has_value(), c.valid) << args.join(QLatin1Char(' ')).toStdString();
        if (!options) {
            continue;
        }
        EXPECT_EQ(options->m_operation, c.operation);
        EXPECT_EQ(options->m_strMovie, QString::fromUtf8(c.movie));
        EXPECT_EQ(options->m_bMaximised, c.maximised);
        EXPECT_EQ(options->m_strPdf, QString::fromUtf8(c.pdf));
        EXPECT_EQ(options->m_strOutput, QString::fromUtf8(c.output));
    }
}

} // namespace
