#pragma once
#include <string>

namespace norv {

// Turns every line break (CR LF, a lone CR, a lone LF) into CR LF.
std::string AdjustLineBreaks(const std::string& text);

}  // namespace norv
