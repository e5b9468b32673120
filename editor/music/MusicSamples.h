// SPDX-License-Identifier: GPL-3.0-or-later
// The music dialog's rules that need no widget: the samples list of the installation's Music
// folder, the row a current value selects, where a choice's file is, and the test at OK.
#pragma once

#include <QString>

#include <vector>

// What a music file is by its name: the last three characters in any letter case.
enum class EMusicKind { Mp3, Flash, Other };

// The answer of the test a chosen music file passes before the dialog takes it.
enum class EMusicCheck { Ok, FlashRefused, Unreadable };

// One row of the samples list: the file name as it is on disk and its type, "mp3" or "swf".
struct CMusicSample {
    QString m_strName;
    QString m_strType;
};

[[nodiscard]] EMusicKind MusicKind(const QString& strName);

// The files of <home>/Music (the folder found without regard to case) whose names end in "mp3" or
// "swf" in any case; folders are left out. Sorted by name with letter case ignored, so a sample is
// found where a person looks for it.
[[nodiscard]] std::vector<CMusicSample> ListMusicSamples(const QString& strAppDir);

// The row a current value selects: the first row of that name, letter case ignored, else the first
// row whose name begins with the value, letter case ignored. -1 for an empty value or no match.
[[nodiscard]] int FindSampleRow(const std::vector<CMusicSample>& samples, const QString& strValue);

// The file of a sample, <home>/Music/<name>, as it is found without regard to case (as written
// when there is none).
[[nodiscard]] QString SampleFile(const QString& strAppDir, const QString& strName);
// The file of a path from disk as it is found without regard to case (as written when there is none).
[[nodiscard]] QString DiskFile(const QString& strPath);

// The test at OK: a Flash file must load as a clip of the gift, an MP3 file must be read by the
// gift's MP3 reader; a file that is missing, not an absolute path, or neither kind cannot be read.
[[nodiscard]] EMusicCheck CheckMusicFile(const QString& strFile);
