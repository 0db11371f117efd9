#pragma once
// The program's start-up, independent of the platform: read the seven
// parameters, set the title, create the window hidden, hand it the
// parameters, run the message loop. The platform layer supplies the
// application object (which initialises COM when made and releases it when
// destroyed) and the loop itself.
#include <array>
#include <functional>
#include <string>

#include "install/FrmInstaladorNorv.h"
#include "platform/WindowSystem.h"

namespace norv {

inline constexpr const char* kApplicationTitle = "Instalador Norv";
inline constexpr int kParameterCount = 7;

// Start-up's own values of parameters 1..7 (index 0 holds #1).
using StartupValues = std::array<std::string, kParameterCount>;

// All empty, then parameters 1..7 in order when the count is at least 1.
// Parameters after the seventh are never looked at.
StartupValues ReadStartupValues(const std::string& commandLine);
// Copies the values, in order 1..7, into the window module's variables.
void CopyToWindowModule(const StartupValues& values);

// What start-up needs of the platform's application object.
class Application {
 public:
  virtual ~Application() = default;
  // The taskbar text and the error box's caption.
  virtual void SetTitle(const std::string& title) = 0;
  // Creates the installer window from its stored description, hidden, as
  // the main window. The application owns it.
  virtual TFrmInstaladorNorv& CreateMainWindow() = 0;
  // Shows the main window (see ShowMainWindow), then takes messages from the
  // queue and dispatches them, each under CallHandler, until the end request
  // arrives.
  virtual void RunMessageLoop() = 0;
};

// Reads the command line, sets the title, creates the window, copies the
// parameters and runs the loop, in this order. Returns the exit code, 0.
int RunStartup(const std::string& commandLine, Application& application);

// The message loop's one catch: runs `handler`; an exception that leaves it
// is shown in the error box and goes no further. True when it completed.
bool CallHandler(WindowSystem& windows, const std::function<void()>& handler);

// The first showing of the main window: FormShow (a failure goes to the
// error box), then `centreAndShow`, which runs in any case.
void ShowMainWindow(TFrmInstaladorNorv& form, WindowSystem& windows,
                    const std::function<void()>& centreAndShow);

}  // namespace norv
