#pragma once
// The installer window's stored description: caption, size, fonts, colours
// and the place of every control. The platform layer builds the real window
// from these; the logic reads the captions.
#include <cstdint>

namespace norv::form {

struct Rgb {
  std::uint8_t Red, Green, Blue;
};

struct FontDescription {
  const char* Name;
  int Height;  // negative: character height in pixels at 96 dpi
  Rgb Colour;
  bool AnsiCharset;  // false: the default character set
};

// Position and size in pixels at 96 dpi.
struct ControlBounds {
  int Left, Top, Width, Height;
};

inline constexpr const char* kClassName = "TFrmInstaladorNorv";
// "Norv Informática - Sistemas de Gestão"
inline constexpr const char* kCaption = "Norv Inform\xE1tica - Sistemas de Gest\xE3o";
inline constexpr int kClientWidth = 644;
inline constexpr int kClientHeight = 343;
inline constexpr Rgb kColour{255, 255, 255};
// Window text colour is the system's; the Colour field is not used for it.
inline constexpr FontDescription kFont{"MS Sans Serif", -10, {0, 0, 0}, false};
// Scaling reference: height of "0" in kFont at 96 dpi.
inline constexpr int kTextHeight = 13;

inline constexpr Rgb kNavy{0, 0, 128};

// Controls, in creation order.
inline constexpr ControlBounds kImage2{0, 0, 644, 331};
inline constexpr ControlBounds kImage3{11, 249, 177, 73};

inline constexpr ControlBounds kMemoDadosAplicativo{9, 7, 625, 234};
inline constexpr Rgb kMemoColour{240, 251, 255};
inline constexpr FontDescription kMemoFont{"Arial", -15, kNavy, true};

inline constexpr ControlBounds kBttnInstalar{407, 270, 79, 33};
inline constexpr const char* kBttnInstalarCaption = "&Instalar";
inline constexpr ControlBounds kBttnFechar{523, 270, 79, 33};
inline constexpr const char* kBttnFecharCaption = "&Fechar";
inline constexpr FontDescription kButtonFont{"Verdana", -13, kNavy, true};

// Not a tab stop.
inline constexpr ControlBounds kProgressBar1{0, 331, 644, 12};
inline constexpr int kProgressMin = 0;
inline constexpr int kProgressMax = 100;

}  // namespace norv::form
