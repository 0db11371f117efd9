#include "fuzz/FuzzCase.h"

#include <stdexcept>

#include "backup/ArchiveFormat.h"

namespace norv::fuzz {

std::string FuzzCase::Destination() const {
  switch ((options >> 5) & 3) {
    case 0:
      return "C:";
    case 1:
      return "C:\\DEST";
    case 2:
      return "";
    default:
      return "C:\\DEST\\SUB\\";
  }
}

FuzzCase DecodeFuzzCase(const std::uint8_t* data, std::size_t size) {
  FuzzCase fuzzCase;
  std::size_t at = 0;
  if (at < size) fuzzCase.options = data[at++];
  const std::size_t tapeBytes = size - at < 4 ? size - at : 4;
  fuzzCase.tape.assign(reinterpret_cast<const char*>(data + at), tapeBytes);
  at += tapeBytes;
  while (at < size) {
    std::size_t length = size - at;
    if (size - at >= 2 && fuzzCase.volumes.size() + 1 < kMaxVolumes) {
      const std::size_t framed = data[at] | static_cast<std::size_t>(data[at + 1]) << 8;
      at += 2;
      length = framed <= size - at ? framed : size - at;
    }
    fuzzCase.volumes.emplace_back(reinterpret_cast<const char*>(data + at), length);
    at += length;
  }
  if (fuzzCase.volumes.empty()) fuzzCase.volumes.emplace_back();
  return fuzzCase;
}

std::string EncodeFuzzCase(const FuzzCase& fuzzCase) {
  std::string out(1, static_cast<char>(fuzzCase.options));
  std::string tape = fuzzCase.tape;
  tape.resize(4, '\xFF');
  out += tape;
  for (std::size_t i = 0; i < fuzzCase.volumes.size(); ++i) {
    const std::string& volume = fuzzCase.volumes[i];
    if (volume.size() >= 0xFFFF) throw std::length_error("volume too large for a fuzz case");
    // The last volume's length says "the rest".
    const std::size_t length = i + 1 == fuzzCase.volumes.size() ? 0xFFFF : volume.size();
    out.push_back(static_cast<char>(length & 0xFF));
    out.push_back(static_cast<char>(length >> 8));
    out += volume;
  }
  return out;
}

std::string VolumeName(int number) {
  return "D:\\UPD\\ARC." + archive::VolumeDigits(number);
}

}  // namespace norv::fuzz
