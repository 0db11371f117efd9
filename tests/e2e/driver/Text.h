#pragma once
// Texts on the driver's command line and in its output. Windows-1252 bytes
// pass unchanged; control characters travel as escapes so that one record
// stays on one output line. Arguments are taken as they are unless they
// start with "hex:": Wine rebuilds and converts a program's arguments, so
// exact bytes (quotes, accents, control characters) travel in hex.
#include <string>

namespace norv::e2e {

// The bytes an argument stands for: "hex:" followed by two hex digits per
// byte, or else the argument itself.
std::string Argument(const std::string& text);

// Escapes backslash, CR, LF and tab; every other byte is written as is.
std::string Escape(const std::string& text);

}  // namespace norv::e2e
