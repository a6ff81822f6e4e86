#pragma once
// User text placed into a command line: names, call signs, station and client texts, profile
// names, slice settings, transverter settings, spot texts, CW text and macros. Every command that
// carries such a text builds it through these two helpers, so the same text is treated the same
// way whichever command sends it. A command is one line, so a line break or NUL inside a text
// would end the command early or start a new one; a double quote would end a quoted field early,
// or open one in the middle of an unquoted text. The helpers keep the rest of the text as typed:
// - CR, LF and a CR LF pair each become one space (a line break in pasted text separates words);
// - NUL is dropped;
// - a double quote becomes an apostrophe.
// Properties keep the text as given; only the command is cleaned.
#include <string>
#include <string_view>

namespace vm {

// The text as it may stand in a command, unquoted ("radio name <text>").
std::string commandField(std::string_view text);
// The text between double quotes ("cwx send \"<text>\"", "profile global load \"<name>\"").
std::string quotedCommandField(std::string_view text);

}  // namespace vm
