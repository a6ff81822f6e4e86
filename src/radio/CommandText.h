#pragma once
// User text placed into a command line: names, call signs, profile names, CW text and macros.
// A command is one line, so a line break or NUL inside such a text would end the command early or
// start a new one; a double quote inside a quoted field would end the field early. Both helpers
// keep the rest of the text as typed:
// - CR, LF and a CR LF pair each become one space (a line break in pasted text separates words);
// - NUL is dropped;
// - in a quoted field, a double quote becomes an apostrophe.
#include <string>
#include <string_view>

namespace vm {

// The text as it may stand in a command, unquoted ("radio name <text>").
std::string commandField(std::string_view text);
// The text between double quotes ("cwx send \"<text>\"").
std::string quotedCommandField(std::string_view text);

}  // namespace vm
