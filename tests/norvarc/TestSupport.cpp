#include "TestSupport.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/Cp1252.h"
#include "platform/posix/PosixFileSystem.h"

namespace norv::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "norvarc-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string NoiseBytes(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  std::uint32_t x = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<char>(x >> 24);
  }
  return bytes;
}

std::string TextBytes(std::size_t size) {
  std::string text;
  for (int line = 1; text.size() < size; ++line) {
    // " of the sample text, ATENÇÃO.\r\n"
    text += "Line " + std::to_string(line) + " of the sample text, ATEN\xC7\xC3O.\r\n";
  }
  text.resize(size);
  return text;
}

void WriteFile(const std::string& path, const std::string& bytes, std::int32_t dosDate) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
  }
  // The file system takes Windows-1252 names; a host name without that form
  // keeps the time it was written at.
  PosixFileSystem fs;
  if (auto name = Utf8ToCp1252(path)) fs.OpenWrite(*name)->SetDosDate(dosDate);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::int32_t FileDate(const std::string& path) {
  PosixFileSystem fs;
  auto name = Utf8ToCp1252(path);
  return name ? fs.FileStamp(*name) : -1;
}

namespace {
std::string Quoted(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}
}  // namespace

Outcome RunNorvarc(const std::vector<std::string>& args, const std::string& errFile,
                   const std::string& workDir) {
  std::string command = Quoted(NORVARC_PROGRAM);
  if (!workDir.empty()) command = "cd " + Quoted(workDir) + " && " + command;
  for (const auto& a : args) command += " " + Quoted(a);
  command += " </dev/null 2>" + Quoted(errFile);
  Outcome o;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return o;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    o.out.append(buffer, n);
  const int status = ::pclose(pipe);
  o.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  o.err = ReadFile(errFile);
  return o;
}

ReadBack ReadArchive(const std::string& firstVolume) {
  PosixFileSystem fs;
  ArchiveReader reader(fs, firstVolume);
  ReadBack back;
  reader.SetDataSink([&](const ArchiveRecord& r, const unsigned char* data, std::size_t size) {
    back.contents[r.name].append(reinterpret_cast<const char*>(data), size);
  });
  back.opened = reader.Open();
  back.header = reader.Header();
  while (auto record = reader.Next()) back.records.push_back(*record);
  back.problems = reader.Problems();
  back.complete = reader.Complete();
  return back;
}

}  // namespace norv::testing
