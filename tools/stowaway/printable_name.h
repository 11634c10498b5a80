// Names and messages made safe for a terminal: stored names come from files anyone may have
// written, and a control character in them (an escape sequence, a carriage return) could
// fake or hide what the tool prints.
#pragma once

#include <string>

// The UTF-8 text with every control character escaped: \n, \r and \t as such, other C0
// controls and DEL as \xNN, C1 controls (U+0080 to U+009F) as \u00NN. Everything else,
// backslashes included, is kept.
std::string PrintableName(const std::string& utf8);
