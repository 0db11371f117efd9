#pragma once
// What any program's windows need of the window system: the message dialog
// and serving messages (UserInterface), the application-wide cursor and the
// message loop's error box. A program's own controls are its own interface
// (the installer's: install/InstallerView.h).
#include <string>

#include "platform/UserInterface.h"

namespace norv {

enum class Cursor { Default = 0, HourGlass = -11 };

class WindowSystem : public UserInterface {
 public:
  // The application-wide cursor.
  virtual void SetCursor(Cursor cursor) = 0;

  // The message loop's error box (stop icon, "OK", caption = the
  // application title). `text` is shown as given.
  virtual void ErrorBox(const std::string& text) = 0;
};

}  // namespace norv
