// Console program that drives the installer under Wine for the end-to-end
// tests: starts programs with exact command lines, finds windows by class,
// presses buttons, reads texts and answers dialogs. See Usage below.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <functional>
#include <map>

#include "Commands.h"

namespace {

const char kUsage[] =
    "usage: driver COMMAND ARGS...\n"
    "  start CWD CMDLINE             start a program, print 'pid N'\n"
    "  launch CWD CMDLINE            same, then wait for it and print 'exit N'\n"
    "  wait-exit PID MS              print 'exit N' (or 'exit gone')\n"
    "  wait-window CLASS MS          wait for a visible top-level window\n"
    "  click CLASS CAPTION MS        press a button once a person could; print\n"
    "                                'clicked HWND at T' (T: ms since 1970)\n"
    "  memo CLASS                    print the window's Edit text as is\n"
    "  wait-memo CLASS TEXT MS [NOT] wait until the Edit text contains TEXT\n"
    "                                (and not NOT); print 'found at T'\n"
    "  progress CLASS                print 'progress POS MIN MAX'\n"
    "  dialogs PID                   print the visible #32770 dialogs of PID (0: any)\n"
    "  wait-dialog PID MS            same, after waiting for at least one\n"
    "  answer PID ok|cancel MS       press OK or Cancel in the dialog of PID\n"
    "  geometry CLASS                print the window and client rectangles\n"
    "  hold CLASS [hidden]           keep a window of CLASS until it is closed\n"
    "  lock FILE CLASS               hold FILE open unshared until CLASS is closed\n"
    "  close CLASS MS                close every window of CLASS, wait till gone\n"
    "  windows PID                   list top-level windows (PID 0: all)\n"
    "Any argument may be given as hex:HHHH... (two hex digits per byte).\n"
    "Texts are printed as Windows-1252 bytes; in dialog lines \\, CR, LF and tab\n"
    "are escaped the same way and fields are separated by tabs.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace norv::e2e;
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::map<std::string, std::function<int(const Args&)>> commands = {
      {"start", [](const Args& a) { return Start(a, false); }},
      {"launch", [](const Args& a) { return Start(a, true); }},
      {"wait-exit", WaitExit},
      {"wait-window", WaitWindow},
      {"click", Click},
      {"memo", Memo},
      {"wait-memo", WaitMemo},
      {"progress", Progress},
      {"dialogs", [](const Args& a) { return Dialogs(a, false); }},
      {"wait-dialog", [](const Args& a) { return Dialogs(a, true); }},
      {"answer", Answer},
      {"geometry", Geometry},
      {"hold", Hold},
      {"lock", Lock},
      {"close", Close},
      {"windows", ListWindows},
  };
  auto command = commands.find(argv[1]);
  if (command == commands.end()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  Args args(argv + 2, argv + argc);
  try {
    return command->second(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "driver: %s\n", e.what());
    return 2;
  }
}
