#include "platform/Paths.h"

namespace norv {

std::string::size_type LastDelimiter(const std::string& path) {
  return path.find_last_of("\\:");
}

std::string ExtractFileName(const std::string& path) {
  auto i = LastDelimiter(path);
  return i == std::string::npos ? path : path.substr(i + 1);
}

std::string ExtractFilePath(const std::string& path) {
  auto i = LastDelimiter(path);
  return i == std::string::npos ? std::string() : path.substr(0, i + 1);
}

std::string ExtractFileDir(const std::string& path) {
  std::string dir = ExtractFilePath(path);
  if (dir.size() >= 2 && dir.back() == '\\' && dir[dir.size() - 2] != ':' &&
      dir[dir.size() - 2] != '\\') {
    dir.pop_back();
  }
  return dir;
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
  auto dot = path.find_last_of(".\\:");
  if (dot == std::string::npos || path[dot] != '.') return path + extension;
  return path.substr(0, dot) + extension;
}

bool StartsWithDrive(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return false;
  const char d = path[0];
  return (d >= 'A' && d <= 'Z') || (d >= 'a' && d <= 'z');
}

bool StartsWithDriveRoot(const std::string& path) {
  return StartsWithDrive(path) && path.size() >= 3 && path[2] == '\\';
}

std::string WithoutDriveRoot(const std::string& path) {
  return StartsWithDriveRoot(path) ? path.substr(3) : path;
}

std::string AsciiUpperCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace norv
