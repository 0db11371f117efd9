#include "tests/robustness/ReferenceArchive.h"

#include "backup/ArchiveFormat.h"
#include "backup/ArchiveWriter.h"
#include "platform/testing/MemoryFileSystem.h"

namespace norv::robustness {

namespace {
constexpr const char* kFirstVolume = "W:\\OUT\\REF.001";
constexpr std::int32_t kMaxVolumeBytes = 1000;
}  // namespace

std::string ReferenceText(std::size_t size, unsigned seed) {
  static constexpr const char* kWords[] = {"conta ", "livro ", "folha ", "ponte ", "norv\r\n"};
  std::string text;
  while (text.size() < size) text += kWords[(text.size() / 7 + seed) % 5];
  text.resize(size);
  return text;
}

std::string ReferenceNoise(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  std::uint32_t state = 2463534242u + seed;
  for (auto& b : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    b = static_cast<char>(state);
  }
  return bytes;
}

ReferenceArchive MakeReferenceArchive() {
  ReferenceArchive archive;
  archive.files = {
      {"C:\\APP\\LEIA.TXT", ReferenceText(900, 1)},            // one compressed block
      {"C:\\APP\\DATA\\RUIDO.BIN", ReferenceNoise(500, 2)},    // one stored block
      {"C:\\APP\\VAZIO.DAT", ""},                              // no blocks
      {"C:\\APP\\DATA\\GRANDE.TXT", ReferenceText(40000, 3)},  // three blocks
      {"C:\\APP\\FIM.BIN", ReferenceNoise(700, 4)},            // stored, after a volume change
  };
  MemoryFileSystem fs;
  fs.AddDirectory("W:\\OUT");
  ArchiveOptions options;
  options.title = "Referencia";
  options.maxSize = kMaxVolumeBytes;
  options.fileList = true;
  ArchiveWriter writer(fs, kFirstVolume, options);
  int n = 0;
  for (const auto& file : archive.files) {
    const std::string source = "S:\\SRC\\" + std::to_string(n++);
    fs.AddFile(source, file.bytes, 0x306F528F);
    writer.AddFile(file.storedName, source);
  }
  for (const auto& volume : writer.Finish().volumes) {
    archive.volumes.push_back(fs.FileBytes(volume.name));
  }
  return archive;
}

}  // namespace norv::robustness
