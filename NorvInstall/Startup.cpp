#include "NorvInstall/Startup.h"

#include <exception>

#include "NorvInstall/CommandLine.h"
#include "NorvInstall/ErrorBoxText.h"

namespace norv {

StartupValues ReadStartupValues(const std::string& commandLine) {
  StartupValues values{};
  if (ParamCount(commandLine) >= 1) {
    for (int i = 0; i < kParameterCount; ++i) values[i] = ParamStr(commandLine, i + 1);
  }
  return values;
}

void CopyToWindowModule(const StartupValues& values) {
  ParamSobrescrever = values[0];
  ParamArquivo = values[1];
  ParamAtalhoNome = values[2];
  ParamAtalhoDestino = values[3];
  ParamAplicativo1 = values[4];
  ParamAplicativo2 = values[5];
  ParamAplicativo3 = values[6];
}

int RunStartup(const std::string& commandLine, Application& application) {
  const StartupValues values = ReadStartupValues(commandLine);
  application.SetTitle(kApplicationTitle);
  application.CreateMainWindow();
  CopyToWindowModule(values);
  application.RunMessageLoop();
  return 0;
}

bool CallHandler(WindowSystem& windows, const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& e) {
    windows.ErrorBox(ErrorBoxText(e.what()));
  } catch (...) {
    // Nothing of ours throws anything else; still, nothing may pass the loop.
    windows.ErrorBox(ErrorBoxText("Unknown exception"));
  }
  return false;
}

void ShowMainWindow(TFrmInstaladorNorv& form, WindowSystem& windows,
                    const std::function<void()>& centreAndShow) {
  CallHandler(windows, [&form] { form.FormShow(); });
  centreAndShow();
}

}  // namespace norv
