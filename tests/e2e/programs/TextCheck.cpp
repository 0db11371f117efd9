// Checks that this Wine can draw text before any scenario runs: a TrueType
// font is installed and a device context measures a caption with it. Where
// Wine finds no FreeType library, GDI has no font driver and the first text
// a program draws crashes it; this turns that into one plain message.
// Prints "text ok: <font>" and exits 0, or says what is missing and exits 1.
#include <windows.h>

#include <cstdio>

namespace {

int CALLBACK CountTrueType(const LOGFONTA*, const TEXTMETRICA*, DWORD type, LPARAM count) {
  if (type & TRUETYPE_FONTTYPE) ++*reinterpret_cast<int*>(count);
  return 1;
}

}  // namespace

int main() {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) {
    std::printf("no device context (error %lu)\n", GetLastError());
    return 1;
  }
  LOGFONTA all{};
  all.lfCharSet = DEFAULT_CHARSET;
  int trueType = 0;
  EnumFontFamiliesExA(dc, &all, CountTrueType, reinterpret_cast<LPARAM>(&trueType), 0);
  HFONT font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  BOOL measured = GetTextExtentPoint32A(dc, "&Instalar", 9, &size);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, face);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  if (trueType == 0) {
    std::printf("no TrueType font is installed\n");
    return 1;
  }
  if (!measured || size.cx <= 0) {
    std::printf("text cannot be measured with %s\n", face);
    return 1;
  }
  std::printf("text ok: %s, %d TrueType families\n", face, trueType);
  return 0;
}
