#pragma once
// Spells archives byte by byte for the restore tests: each helper returns
// the bytes of one field or record, and tests join them with +.
#include <zlib.h>

#include <cstdint>
#include <string>

namespace norv::testing {

inline constexpr std::int32_t kDate = 0x306F528F;  // 15 March 2004 10:20:30

inline std::string I32(std::int32_t v) {
  std::string out;
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<char>(static_cast<std::uint32_t>(v) >> shift));
  }
  return out;
}
inline std::string Header(std::int32_t total) {
  return I32(0) + I32(total) + I32(0);
}
inline std::string Name(const std::string& name) {
  return I32(static_cast<std::int32_t>(name.size())) + name;
}
inline const std::string kSig("EC2\0", 4);
inline const std::string kEnd = I32(0);  // end marker, and end of the archive
// A file entry's name and date and the signature of its data part.
inline std::string Entry(const std::string& name) {
  return Name(name) + I32(kDate) + kSig;
}
inline std::string NextDisk(const std::string& number) {
  return Name("NEXT:DISK" + number);
}
inline std::string Stored(const std::string& data) {
  return I32(-static_cast<std::int32_t>(data.size())) + data;
}
inline std::string Deflate(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size,
            reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()), 9);
  out.resize(size);
  return out;
}
// A compressed block holding `zlib` as it is.
inline std::string Zlib(const std::string& zlib) {
  return I32(static_cast<std::int32_t>(zlib.size())) + zlib;
}
inline std::string Compressed(const std::string& data) {
  return Zlib(Deflate(data));
}

}  // namespace norv::testing
