#pragma once
// Archive fields spelled byte by byte, for hostile archives that the
// writer refuses to make: each helper returns the bytes of one field or
// record, and callers join them with +.
#include <cstdint>
#include <string>

namespace norv::robustness {

inline constexpr std::int32_t kSpelledDate = 0x306F528F;  // 15 March 2004 10:20:30

inline std::string I32(std::int32_t v) {
  std::string out;
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<char>(static_cast<std::uint32_t>(v) >> shift));
  }
  return out;
}
// A String32: length and bytes.
inline std::string Text(const std::string& s) {
  return I32(static_cast<std::int32_t>(s.size())) + s;
}
inline const std::string kSignature("EC2\0", 4);
inline const std::string kEndMarker = I32(0);  // also the end of the archive
inline std::string Header(std::int32_t total) {
  return I32(0) + I32(total) + I32(0);
}
// A file entry's name, date and signature; blocks and kEndMarker follow.
inline std::string Entry(const std::string& name) {
  return Text(name) + I32(kSpelledDate) + kSignature;
}
inline std::string Stored(const std::string& data) {
  return I32(-static_cast<std::int32_t>(data.size())) + data;
}
inline std::string NextDisk(const std::string& number) {
  return Text("NEXT:DISK" + number);
}

}  // namespace norv::robustness
