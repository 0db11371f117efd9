#pragma once
// Constants of the archive format, in one place.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace norv::archive {

// Largest block payload and largest inflated block.
inline constexpr std::size_t kBlockSize = 16384;
// Entry data parts begin with "EC2" and a zero byte.
inline constexpr unsigned char kSignature[4] = {'E', 'C', '2', 0};
inline constexpr std::string_view kSignatureText = "EC2";
// Volume-change records: "NEXT:DISK" and three digits.
inline constexpr std::string_view kNextDisk = "NEXT:DISK";
inline constexpr std::size_t kNextDiskNameLength = 12;
// The file-list entry: never restored.
inline constexpr std::string_view kFileList = "FILE:LIST";
// Three-digit volume numbers.
inline constexpr int kMaxVolumes = 999;
// The zlib version text handed to inflateInit_.
inline constexpr const char* kZlibVersion = "1.1.3";

}  // namespace norv::archive
