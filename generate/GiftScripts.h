// SPDX-License-Identifier: GPL-3.0-or-later
// The script texts of a gift: the movie scripts, the e-mail alert, the link and credit scripts.
#pragma once

#include "model/LinkInfo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The host of the maker's pages. Placeholders under a reserved example domain.
inline constexpr const char* kStrEmailAlertPage = "http://www.example.com/member/emailalert.php";
inline constexpr const char* kStrMakerPage = "http://www.example.com/";

// Run in frame 1 of every whole movie, before anything else.
inline constexpr const char* kStrScoreReset = "score=0; trace=\"\";";
inline constexpr const char* kStrStopScript = "stop();";

// The text as the inside of a double-quoted script string: backslash, quotation mark and the line
// break characters escaped, so the string carries the text exactly.
[[nodiscard]] std::string EscapeScriptString(std::string_view text);

// Percent-encoding of a URL query value: every byte but A-Z a-z 0-9 - _ . ~ as %XX.
[[nodiscard]] std::string EncodeQueryValue(std::string_view text);

// The e-mail alert of a card: opens the alert page in a new window with the card title, the
// author's address and the path taken so far, each percent-encoded (the trace when the frame runs).
[[nodiscard]] std::string MakeEmailAlertScript(std::string_view strCardTitle, std::string_view strEmail);

// The script of a link button: adds the score, appends "card[-]link[N]" to the trace and jumps to
// the target card's frame, or to the comparison target's when the score passes the comparison.
[[nodiscard]] std::string MakeLinkScript(std::string_view strCardTitle, const CLinkInfo& link);

// The promote button opens the maker's page in a new window; the author button starts a mail.
[[nodiscard]] std::string MakePromoteScript();
[[nodiscard]] std::string MakeAuthorMailScript(std::string_view strEmail);

// The frame rate of a slide delay text: 1 / delay for the longest leading decimal number of the
// text, 0 when there is none, it is 0, or the text is empty.
[[nodiscard]] float FrameRateFromDelay(std::string_view strSlideDelay);

// The action bytes of MakeLinkScript's script, assembled directly: the same bytes as the script
// compiler gives for it, without the cost of compiling 2,000 scripts in a large quiz. Nothing
// for the rare values it does not assemble (negative comparison values, frames beyond the field).
[[nodiscard]] std::optional<std::vector<uint8_t>> AssembleLinkScript(
    std::string_view strCardTitle, const CLinkInfo& link);
