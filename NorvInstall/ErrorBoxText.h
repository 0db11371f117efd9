#pragma once
// The text that the message loop's error box shows for a failure's message.
#include <string>

namespace norv {

// Appends a full stop when the message is not empty and its last byte is
// greater than '.' (compared unsigned): "Cannot read archive" gets one, a
// message ending in '.', '!' or ')' stays as it is.
std::string ErrorBoxText(const std::string& message);

}  // namespace norv
