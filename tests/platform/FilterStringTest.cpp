// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FilterString.h"

#include <gtest/gtest.h>

namespace {

struct FilterCase {
    const char* input;
    std::vector<const char*> expected;
};

// The filter strings the windows use, and what the file dialogs get.
const FilterCase kCases[] = {
    { "Marrowlark Project (*.mlp)|*.mlp|All Files (*.*)|*.*||",
        { "Marrowlark Project (*.mlp)", "All Files (*)" } },
    { "Flash Files(*.swf)|*.swf|All Files (*.*)|*.*||", { "Flash Files (*.swf)", "All Files (*)" } },
    // The description's list differs from the real patterns: the patterns win, once each.
    { "All Images (*.jpg;*.gif;*.swf)|*.jpg;*.gif;*.swf;*.png;*.swf|(*.swf)|*.swf|All Files (*.*)|*.*||",
        { "All Images (*.jpg *.gif *.swf *.png)", "(*.swf)", "All Files (*)" } },
    { "(*.mp3;*.swf)|*.mp3;*.swf||", { "(*.mp3 *.swf)" } },
    { "Marrowlark Package(*.mlk)|*.mlk|Marrowlark Project(*.mlp)|*.mlp|All Files (*.*)|*.*||",
        { "Marrowlark Package (*.mlk)", "Marrowlark Project (*.mlp)", "All Files (*)" } },
    // Nothing after the terminator counts; a description without patterns is dropped.
    { "Updates|*.mlu||Ignored|*.x", { "Updates (*.mlu)" } },
    { "Broken| ;|Text| *.txt ; *.log |", { "Text (*.txt *.log)" } },
    { "", {} },
    { "No patterns at all", {} },
};

TEST(FilterString, ConvertsEveryFilterOfTheTable)
{
    for (const FilterCase& c : kCases) {
        QStringList expected;
        for (const char* e : c.expected) {
            expected.append(QString::fromUtf8(e));
        }
        EXPECT_EQ(ConvertFilterString(QString::fromUtf8(c.input)), expected) << c.input;
    }
}

} // namespace
