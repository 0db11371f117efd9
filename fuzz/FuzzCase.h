#pragma once
// The layout of a fuzz input for the archive targets, shared by the targets
// and the seed generator:
//   byte 0      options (restore mode, full paths, stream mode, destination,
//               built-in prompts)
//   bytes 1..4  answer tape for the event handlers
//   then        volumes, each a little-endian 16-bit length and its bytes;
//               a length beyond what is left makes the rest the last volume.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "backup/BackupTypes.h"

namespace norv::fuzz {

struct FuzzCase {
  std::uint8_t options = 0;
  std::string tape;
  std::vector<std::string> volumes;

  TRestoreMode Mode() const { return static_cast<TRestoreMode>((options & 7) % 5); }
  bool FullPath() const { return (options & 8) != 0; }
  bool StreamMode() const { return (options & 16) != 0; }
  // "C:", "C:\DEST", "" or "C:\DEST\SUB\".
  std::string Destination() const;
  bool BuiltInPrompt() const { return (options & 128) != 0; }
};

// Option bits for the seed generator.
inline constexpr std::uint8_t kFullPath = 8;
inline constexpr std::uint8_t kStreamMode = 16;
inline constexpr std::uint8_t kDestDir = 1 << 5;
inline constexpr std::uint8_t kDestEmpty = 2 << 5;
inline constexpr std::uint8_t kBuiltInPrompt = 128;

// Volumes beyond this count stay part of the last one.
inline constexpr std::size_t kMaxVolumes = 12;

FuzzCase DecodeFuzzCase(const std::uint8_t* data, std::size_t size);
// The inverse for volumes shorter than 65535 bytes each.
std::string EncodeFuzzCase(const FuzzCase& fuzzCase);

// "D:\UPD\ARC.001" for volume 1.
std::string VolumeName(int number);

}  // namespace norv::fuzz
