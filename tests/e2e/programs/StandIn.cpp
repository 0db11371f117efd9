// A tiny stand-in for the installer window, used to work on the end-to-end
// harness when the real program is not built: same window class, controls
// and captions, a refusal dialog and a log with a banner, nothing restored.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

HWND memo;
HWND progress;

void Append(const std::string& line) {
  int end = GetWindowTextLengthA(memo);
  SendMessageA(memo, EM_SETSEL, end, end);
  std::string text = (end > 0 ? "\r\n" : "") + line;
  SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void Install(HWND window) {
  if (std::string(GetCommandLineA()).find("PacRH.001") != std::string::npos &&
      FindWindowA("TRHMain", nullptr) != nullptr) {
    MessageBoxA(window, "O NorvRH est\xE1 sendo executado neste computador.", "Information",
                MB_OK | MB_ICONINFORMATION);
    return;
  }
  SetWindowTextA(memo, "");
  SendMessageA(progress, PBM_SETPOS, 100, 0);
  Append("Descompactando: C:\\STANDIN.TXT...");
  Append(std::string(28, '='));
  Append(
      "*** PROCESSO CONCLU\xCD"
      "DO ***");
  Append(std::string(28, '='));
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == 1) Install(window);
      if (LOWORD(wParam) == 2) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  InitCommonControls();
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = CreateSolidBrush(RGB(200, 220, 240));
  windowClass.lpszClassName = "TFrmInstaladorNorv";
  RegisterClassA(&windowClass);
  DWORD style = WS_CAPTION | WS_SYSMENU;
  RECT frame{0, 0, 644, 343};
  AdjustWindowRect(&frame, style, FALSE);
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Stand-in", style, 190, 200,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
  memo = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                         WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, 9, 7, 625, 234, window,
                         nullptr, instance, nullptr);
  CreateWindowExA(0, "BUTTON", "&Instalar", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 407, 270, 79,
                  33, window, reinterpret_cast<HMENU>(1), instance, nullptr);
  CreateWindowExA(0, "BUTTON", "&Fechar", WS_CHILD | WS_VISIBLE, 523, 270, 79, 33, window,
                  reinterpret_cast<HMENU>(2), instance, nullptr);
  progress = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, 331, 644, 12, window,
                             nullptr, instance, nullptr);
  std::ifstream data("Dados.txt", std::ios::binary);
  if (data) {
    SetWindowTextA(memo, std::string(std::istreambuf_iterator<char>(data), {}).c_str());
  } else {
    MessageBoxA(window, "Cannot open file \"Dados.txt\".", "Instalador Norv", MB_ICONSTOP);
  }
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return 0;
}
