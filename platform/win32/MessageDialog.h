#pragma once
// The installer's modal message dialog: caption "Information" or "Error", the
// system's icon, the text word-wrapped at half the screen width, "OK" or
// "OK" and "Cancel". Built from an in-memory dialog template, so it is a
// "#32770" window with one Static text child and buttons IDOK / IDCANCEL.
#include <windows.h>

#include <string>

#include "platform/UserInterface.h"

namespace norv::win32 {

// Shows the dialog owned by `owner` and returns how it was closed. Every
// other window of the thread is disabled meanwhile. `endPending` is the
// program's end request: when it is set, or when the quit message arrives
// while the dialog is open (which sets it), the dialog closes at once with the
// cancel answer.
DialogResult RunMessageDialog(HWND owner, const std::string& text, DialogKind kind,
                              DialogButtons buttons, bool& endPending);

}  // namespace norv::win32
