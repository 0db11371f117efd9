#pragma once
// Deterministic file contents for the identity tests: compressible text
// and incompressible noise.
#include <cstdint>
#include <string>

namespace norv::testing {

inline std::string Text(std::size_t size, int seed) {
  std::string out;
  while (out.size() < size) out += "linha " + std::to_string(seed++ * 7919 % 100003) + " saldo\r\n";
  out.resize(size);
  return out;
}

inline std::string Noise(std::size_t size, std::uint32_t seed) {
  std::string out(size, '\0');
  for (auto& c : out) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
  return out;
}

}  // namespace norv::testing
