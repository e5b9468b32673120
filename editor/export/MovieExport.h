// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

// Writes the whole gift as a movie to the path; bForce 1 prepares every picture again.
using WholeMovieFn = std::function<void(const QString& strOutputPath, int bForce)>;

enum class EMovieWrite {
    Written, // the movie lies at the target
    NotGenerated, // generation wrote nothing (it has reported why); the target is as it was
    NotReplaced, // the movie was made but could not be put at the target; the target is as it was
};

// Generates the whole gift in its export form (force 1) into a temporary file beside strTarget and
// renames it over the target only once it has been written, so a failed generation or a full
// disk keeps the previous gift. The temporary file never outlives the call.
[[nodiscard]] EMovieWrite WriteGiftMovie(const WholeMovieFn& generate, const QString& strTarget);

// Generates into strPath (a working movie of Temp) after removing what an earlier run left there,
// so a generation that writes nothing cannot hand on a stale movie. True when a movie is there.
[[nodiscard]] bool WriteWorkingMovie(
    const std::function<void(const QString& strPath)>& generate, const QString& strPath);

// The message for EMovieWrite::NotReplaced (the wording of generation's own write failure).
[[nodiscard]] QString MovieNotReplacedMessage(const QString& strTarget);
