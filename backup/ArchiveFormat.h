#pragma once
// Constants of the archive format, in one place.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/Paths.h"

namespace norv::archive {

// Largest block payload and largest inflated block.
inline constexpr std::size_t kBlockSize = 16384;
// Entry data parts begin with "EC2" and a zero byte.
inline constexpr unsigned char kSignature[4] = {'E', 'C', '2', 0};
// Volume-change records: "NEXT:DISK" and three digits.
inline constexpr std::string_view kNextDisk = "NEXT:DISK";
inline constexpr std::size_t kNextDiskNameLength = 12;
// The file-list entry: never restored.
inline constexpr std::string_view kFileList = "FILE:LIST";
// Three-digit volume numbers.
inline constexpr int kMaxVolumes = 999;
// The zlib version text handed to inflateInit_.
inline constexpr const char* kZlibVersion = "1.1.3";

// Every number in the format is a little-endian Int32.
inline constexpr std::int64_t kInt32Bytes = 4;
// Record length 0: end of the archive; block length 0: end of an entry data part.
inline constexpr std::int32_t kEndMarker = 0;
// A volume-change record on disk: its length field and its 12-byte name.
inline constexpr std::int64_t kNextDiskRecordBytes = kInt32Bytes + kNextDiskNameLength;

// "002" for volume 2: the volume number text of records and extensions.
inline std::string VolumeDigits(int volume) {
  char text[16];
  std::snprintf(text, sizeof text, "%03d", volume);
  return text;
}
// Whether `text` is a volume number text: three decimal digits.
inline bool IsVolumeDigits(std::string_view text) {
  return text.size() == 3 && text.find_first_not_of("0123456789") == std::string_view::npos;
}
// The file of the volume numbered `digits` ("002") of the archive that
// `volume` belongs to: `volume` with its extension replaced by "." and the
// digits (D:\UPD\ARC.001 and "002" give D:\UPD\ARC.002). Every volume name
// is formed here.
inline std::string VolumeFileName(const std::string& volume, std::string_view digits) {
  return ChangeFileExt(volume, "." + std::string(digits));
}
// "NEXT:DISK002": the record that sends the reader on to volume 2.
inline std::string NextDiskName(int volume) {
  return std::string(kNextDisk) + VolumeDigits(volume);
}

}  // namespace norv::archive
