// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Converts a dialog filter string of the form "Description|*.a;*.b|All Files (*.*)|*.*||" into
// file-dialog name filters ("Description (*.a *.b)", "All Files (*)"). The description's own
// parenthesised pattern list is replaced by the real one, "*.*" becomes "*" (so that files
// without a dot still show), and the list ends at the first empty description.
[[nodiscard]] QStringList ConvertFilterString(const QString& strFilter);
