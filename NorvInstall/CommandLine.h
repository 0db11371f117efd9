#pragma once
// The program's own command-line splitting (not the platform's argv rules):
// characters 1..32 separate tokens, a pair of double quotes is dropped, a
// double quote opens a stretch in which blanks belong to the token, and there
// is no escape character. Token 0 is the program's own name.
#include <string>

namespace norv {

// Number of tokens after the program name, up to the first empty token.
int ParamCount(const std::string& commandLine);
// Token `index` (0 = the program name); empty when there are fewer tokens or
// an empty token comes first. Splits the line anew from its beginning.
std::string ParamStr(const std::string& commandLine, int index);

}  // namespace norv
