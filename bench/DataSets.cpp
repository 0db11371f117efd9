#include "bench/DataSets.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace norv::bench {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMiB = 1 << 20;

// splitmix64: small, fast, and the same everywhere.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
  double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }

 private:
  std::uint64_t state_;
};

// Words drawn with a Zipf-like law, as in prose and logs.
class Vocabulary {
 public:
  Vocabulary() {
    static const char* const kSyllables[] = {"ra",  "to",  "me", "sa", "lin", "co", "ver", "da",
                                             "ne",  "pro", "ti", "ca", "mar", "es", "do",  "qui",
                                             "por", "sen", "al", "fe", "gu",  "lo", "ni",  "tra"};
    Random random(42);
    for (auto& word : words_) {
      int syllables = 1 + static_cast<int>(random.Below(4));
      for (int i = 0; i < syllables; ++i) word += kSyllables[random.Below(24)];
    }
    // 65536 slots shared out by weight 1/(rank+1): a table lookup per word.
    double total = 0;
    for (std::size_t i = 0; i < words_.size(); ++i) total += 1.0 / static_cast<double>(i + 1);
    std::size_t slot = 0;
    double sum = 0;
    for (std::size_t i = 0; i < words_.size() && slot < table_.size(); ++i) {
      sum += 1.0 / static_cast<double>(i + 1);
      const auto end = static_cast<std::size_t>(sum / total * static_cast<double>(table_.size()));
      while (slot < end && slot < table_.size()) table_[slot++] = static_cast<std::uint16_t>(i);
    }
    while (slot < table_.size()) table_[slot++] = static_cast<std::uint16_t>(words_.size() - 1);
  }
  const std::string& Pick(Random& random) const { return words_[table_[random.Below(65536)]]; }

 private:
  std::array<std::string, 4096> words_;
  std::array<std::uint16_t, 65536> table_{};
};

const Vocabulary& Words() {
  static const Vocabulary vocabulary;
  return vocabulary;
}

void AppendText(std::string& out, Random& random, std::size_t size) {
  static const char* const kLevels[] = {"INFO", "INFO", "INFO", "DEBUG", "WARN", "ERROR"};
  std::uint64_t clock = 1700000000000ull + random.Below(1000000);
  char head[96];
  while (out.size() < size) {
    clock += random.Below(2000);
    const int n = std::snprintf(head, sizeof head, "%llu.%03u %-5s [%s] ",
                                static_cast<unsigned long long>(clock / 1000),
                                static_cast<unsigned>(clock % 1000), kLevels[random.Below(6)],
                                Words().Pick(random).c_str());
    out.append(head, static_cast<std::size_t>(n));
    const int count = 6 + static_cast<int>(random.Below(12));
    for (int i = 0; i < count; ++i) {
      out += Words().Pick(random);
      out += ' ';
    }
    out += std::to_string(random.Below(100000));
    out += '\n';
  }
}

void AppendRecords(std::string& out, Random& random, std::size_t size) {
  std::uint32_t sequence = random.Below(1000);
  std::uint32_t time = random.Below(1u << 30);
  std::int16_t sensors[4] = {0, 100, -50, 2000};
  unsigned char record[32];
  while (out.size() < size) {
    time += random.Below(1000);
    for (auto& s : sensors)
      s = static_cast<std::int16_t>(s + static_cast<int>(random.Below(9)) - 4);
    std::memcpy(record, &++sequence, 4);
    std::memcpy(record + 4, &time, 4);
    std::memcpy(record + 8, sensors, 8);
    record[16] = static_cast<unsigned char>(random.Below(8));
    record[17] = static_cast<unsigned char>(random.Below(4) == 0 ? 0x80 : 0);
    const std::uint64_t noise = random.Next();
    std::memcpy(record + 18, &noise, 6);
    std::snprintf(reinterpret_cast<char*>(record + 24), 8, "ID%05u", random.Below(300));
    out.append(reinterpret_cast<const char*>(record), sizeof record);
  }
}

void AppendRandom(std::string& out, Random& random, std::size_t size) {
  while (out.size() < size) {
    const std::uint64_t value = random.Next();
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
  }
}

void AppendContent(std::string& out, Content kind, Random& random, std::size_t size) {
  switch (kind) {
    case Content::Text:
      return AppendText(out, random, size);
    case Content::Records:
      return AppendRecords(out, random, size);
    case Content::Random:
      return AppendRandom(out, random, size);
    case Content::Mixed:
      // 256 KiB pieces: half text, a third records, the rest random.
      while (out.size() < size) {
        const std::uint32_t pick = random.Below(100);
        const Content piece = pick < 50   ? Content::Text
                              : pick < 85 ? Content::Records
                                          : Content::Random;
        AppendContent(out, piece, random, std::min(size, out.size() + 256 * 1024));
      }
      return;
  }
}

void WriteFile(const fs::path& path, Content kind, std::uint64_t seed, std::uint64_t size) {
  fs::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  for (std::uint64_t done = 0, chunk = 0; done < size; ++chunk) {
    const std::size_t piece =
        static_cast<std::size_t>(std::min<std::uint64_t>(4 * kMiB, size - done));
    const std::string bytes = MakeContent(kind, seed * 100003 + chunk, piece);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    done += piece;
  }
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

struct FilePlan {
  std::string relative;
  Content kind;
  std::uint64_t size;
};

// Makes the files unless a finished earlier run left the same set.
DataSet Materialise(const std::string& root, const std::string& name,
                    const std::vector<FilePlan>& files) {
  DataSet set{name, (fs::path(root) / name).string(), 0, files.size()};
  for (const auto& f : files) set.bytes += f.size;
  const fs::path marker = fs::path(set.directory) / ".complete";
  const std::string signature = "v1 " + std::to_string(set.files) + " " + std::to_string(set.bytes);
  std::string found;
  if (std::ifstream in(marker); in) std::getline(in, found);
  if (found == signature) return set;

  fs::remove_all(set.directory);
  std::uint64_t seed = 0;
  for (char c : name) seed = seed * 131 + static_cast<unsigned char>(c);
  for (const auto& f : files)
    WriteFile(fs::path(set.directory) / name / f.relative, f.kind, ++seed, f.size);
  std::ofstream(marker) << signature << '\n';
  return set;
}

}  // namespace

std::string MakeContent(Content kind, std::uint64_t seed, std::size_t size) {
  Random random(seed);
  std::string out;
  out.reserve(size + 256);
  AppendContent(out, kind, random, size);
  out.resize(size);
  return out;
}

DataSet MakeLargeFiles(const std::string& root) {
  return Materialise(root, "large",
                     {{"server.log", Content::Text, 112 * kMiB},
                      {"records.bin", Content::Records, 96 * kMiB},
                      {"bundle.dat", Content::Mixed, 48 * kMiB}});
}

DataSet MakeSmallFiles(const std::string& root) {
  constexpr int kFiles = 4000;
  constexpr int kDirectories = 40;
  Random random(7);
  std::vector<double> raw(kFiles);
  double total = 0;
  for (auto& r : raw) total += (r = std::pow(64.0, random.Unit()));  // 1..64, log-uniform
  const double scale = 64.0 * 1024 * 1024 / total;
  std::vector<FilePlan> files;
  for (int i = 0; i < kFiles; ++i) {
    const auto size = static_cast<std::uint64_t>(std::clamp(raw[i] * scale, 1024.0, 65536.0));
    const std::uint32_t pick = random.Below(100);
    const Content kind = pick < 55   ? Content::Text
                         : pick < 85 ? Content::Records
                         : pick < 95 ? Content::Mixed
                                     : Content::Random;
    static const char* const kExtensions[] = {".txt", ".bin", ".dat", ".raw"};
    char name[32];
    std::snprintf(name, sizeof name, "d%02d/f%04d%s", i % kDirectories, i,
                  kExtensions[static_cast<int>(kind)]);
    files.push_back({name, kind, size});
  }
  return Materialise(root, "small", files);
}

DataSet MakeOneFile(const std::string& root, const std::string& name, int mebibytes) {
  return Materialise(root, name, {{"content.dat", Content::Mixed, mebibytes * kMiB}});
}

}  // namespace norv::bench
