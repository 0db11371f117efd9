#include "platform/testing/MemoryFileSystem.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/DosDate.h"
#include "platform/Errors.h"
#include "platform/Paths.h"

namespace norv {

struct MemoryFileSystem::Node {
  std::string bytes;
  std::int32_t stamp = kDefaultNow;
  bool readOnly = false;
  // What a power cut leaves of the two first.
  std::string durableBytes;
  std::int32_t durableStamp = kDefaultNow;
  void MakeDurable() {
    durableBytes = bytes;
    durableStamp = stamp;
  }
};

struct MemoryFileSystem::Shared {
  int openHandles = 0;
};

namespace {

constexpr const char* kNotFound = "The system cannot find the file specified";
constexpr const char* kDenied = "Access is denied";
constexpr const char* kNoPath = "The system cannot find the path specified";
constexpr const char* kExists = "Cannot create a file when that file already exists";

std::string ParentKey(const std::string& key) {
  const auto cut = key.find_last_of('\\');
  return cut == std::string::npos ? std::string() : key.substr(0, cut);
}

unsigned char Capital(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
    return static_cast<unsigned char>(c - 0x20);
  }
  switch (c) {
    case 0x9A:
    case 0x9C:
    case 0x9E:
      return static_cast<unsigned char>(c - 0x10);
    case 0xFF:
      return 0x9F;
    default:
      return c;
  }
}

bool IsBareDrive(const std::string& key) {
  return key.size() == 2 && StartsWithDrive(key);
}

class MemoryFile : public FileStream {
 public:
  MemoryFile(std::string name, std::shared_ptr<MemoryFileSystem::Node> node,
             std::shared_ptr<MemoryFileSystem::Shared> shared, bool canRead, bool canWrite,
             std::int32_t now)
      : FileStream(std::move(name)),
        node_(std::move(node)),
        shared_(std::move(shared)),
        canRead_(canRead),
        canWrite_(canWrite),
        now_(now) {
    ++shared_->openHandles;
  }
  ~MemoryFile() override { --shared_->openHandles; }

  std::size_t Read(void* buffer, std::size_t count) override {
    if (!canRead_) throw EReadError();
    const auto size = static_cast<std::int64_t>(node_->bytes.size());
    if (pos_ >= size) return 0;
    const auto n = std::min<std::int64_t>(size - pos_, static_cast<std::int64_t>(count));
    std::memcpy(buffer, node_->bytes.data() + pos_, static_cast<std::size_t>(n));
    pos_ += n;
    return static_cast<std::size_t>(n);
  }

  std::size_t Write(const void* buffer, std::size_t count) override {
    if (!canWrite_) throw EWriteError(kDenied);
    const std::size_t accepted = count;
    const auto end = static_cast<std::size_t>(pos_) + accepted;
    if (end > node_->bytes.size()) node_->bytes.resize(end);
    if (accepted > 0) std::memcpy(node_->bytes.data() + pos_, buffer, accepted);
    pos_ = static_cast<std::int64_t>(end);
    node_->stamp = now_;
    return accepted;
  }

  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    const std::int64_t base = origin == SeekOrigin::Begin     ? 0
                              : origin == SeekOrigin::Current ? pos_
                                                              : Size();
    if (base + offset < 0) throw EReadError("Stream seek error");
    pos_ = base + offset;
    return pos_;
  }

  std::int64_t Size() override { return static_cast<std::int64_t>(node_->bytes.size()); }

  // As the real file systems: an impossible date leaves the time as it is.
  void SetDosDate(std::int32_t dosDate) override {
    if (IsValidDosDate(dosDate)) node_->stamp = dosDate;
  }

  void Sync() override { node_->MakeDurable(); }

 private:
  std::shared_ptr<MemoryFileSystem::Node> node_;
  std::shared_ptr<MemoryFileSystem::Shared> shared_;
  bool canRead_;
  bool canWrite_;
  std::int32_t now_;
  std::int64_t pos_ = 0;
};

}  // namespace

MemoryFileSystem::MemoryFileSystem() : shared_(std::make_shared<Shared>()) {}
MemoryFileSystem::~MemoryFileSystem() = default;

bool MemoryFileSystem::NameOrder::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(),
      [](unsigned char x, unsigned char y) { return Capital(x) < Capital(y); });
}

bool MemoryFileSystem::NameOrder::Same(const std::string& a, const std::string& b) {
  return !NameOrder()(a, b) && !NameOrder()(b, a);
}

std::string MemoryFileSystem::Normalize(const std::string& name) {
  std::string key = name;
  std::replace(key.begin(), key.end(), '/', '\\');
  while (!key.empty() && key.back() == '\\') key.pop_back();
  return key;
}

void MemoryFileSystem::AddFile(const std::string& name, std::string bytes, std::int32_t stamp) {
  const std::string key = Normalize(name);
  const std::string parent = ParentKey(key);
  if (!parent.empty()) AddDirectory(parent);
  auto node = std::make_shared<Node>();
  node->bytes = std::move(bytes);
  node->stamp = stamp;
  node->MakeDurable();
  const std::string stored = InDirectoryCase(key);
  durableFiles_[stored] = node;
  files_[stored] = std::move(node);
}

void MemoryFileSystem::AddDirectory(const std::string& name) {
  const std::string key = Normalize(name);
  for (std::size_t i = key.find('\\'); i != std::string::npos; i = key.find('\\', i + 1)) {
    const std::string prefix = key.substr(0, i);
    if (!prefix.empty() && !IsBareDrive(prefix)) directories_.insert(InDirectoryCase(prefix));
  }
  if (!key.empty() && !IsBareDrive(key)) directories_.insert(InDirectoryCase(key));
  durableDirectories_.insert(directories_.begin(), directories_.end());
}

bool MemoryFileSystem::RemoveFile(const std::string& name) {
  return files_.erase(Normalize(name)) > 0;
}

void MemoryFileSystem::MoveOver(const std::string& source, const std::string& target) {
  const std::string from = Normalize(source);
  const std::string to = Normalize(target);
  auto node = Find(from);
  if (!node) throw EFReplaceError(target, kNotFound);
  if (DirExists(to)) throw EFReplaceError(target, kDenied);
  if (auto old = Find(to); old && old->readOnly) throw EFReplaceError(target, kDenied);
  files_.erase(from);
  node->MakeDurable();
  files_[InDirectoryCase(to)] = std::move(node);
  SyncNames(ParentKey(to));
}

void MemoryFileSystem::Rename(const std::string& source, const std::string& target) {
  const std::string from = Normalize(source);
  const std::string to = Normalize(target);
  auto node = Find(from);
  if (!node) throw EFReplaceError(target, kNotFound);
  if (Find(to) || DirExists(to)) throw EFReplaceError(target, kExists);
  files_.erase(from);
  files_[InDirectoryCase(to)] = std::move(node);
}

bool MemoryFileSystem::RemoveDir(const std::string& name) {
  const std::string key = Normalize(name);
  if (!directories_.count(key)) return false;
  const std::string inside = key + "\\";
  const auto holds = [&](const std::string& other) {
    return other.size() > inside.size() && NameOrder::Same(other.substr(0, inside.size()), inside);
  };
  if (std::any_of(files_.begin(), files_.end(), [&](const auto& f) { return holds(f.first); }) ||
      std::any_of(directories_.begin(), directories_.end(), holds)) {
    return false;
  }
  directories_.erase(key);
  return true;
}

void MemoryFileSystem::SyncDirectory(const std::string& directory) {
  SyncNames(Normalize(directory));
}

std::int64_t MemoryFileSystem::FreeSpace(const std::string& /*path*/) {
  return freeSpace_;
}

void MemoryFileSystem::SyncNames(const std::string& key) {
  const auto inDirectory = [&](const std::string& name) {
    return NameOrder::Same(ParentKey(name), key);
  };
  std::erase_if(durableFiles_, [&](const auto& f) { return inDirectory(f.first); });
  for (const auto& [name, node] : files_) {
    if (inDirectory(name)) durableFiles_[name] = node;
  }
  std::erase_if(durableDirectories_, inDirectory);
  for (const std::string& name : directories_) {
    if (inDirectory(name)) durableDirectories_.insert(name);
  }
}

void MemoryFileSystem::PowerCut() {
  files_ = durableFiles_;
  directories_ = durableDirectories_;
  for (auto& [name, node] : files_) {
    node->bytes = node->durableBytes;
    node->stamp = node->durableStamp;
  }
}

void MemoryFileSystem::SetReadOnly(const std::string& name, bool readOnly) {
  if (auto node = Find(Normalize(name))) node->readOnly = readOnly;
}

bool MemoryFileSystem::HasFile(const std::string& name) const {
  return Find(Normalize(name)) != nullptr;
}

std::string MemoryFileSystem::FileBytes(const std::string& name) const {
  auto node = Find(Normalize(name));
  if (!node) throw std::out_of_range("no file " + name);
  return node->bytes;
}

std::int32_t MemoryFileSystem::Stamp(const std::string& name) const {
  auto node = Find(Normalize(name));
  if (!node) throw std::out_of_range("no file " + name);
  return node->stamp;
}

std::vector<std::string> MemoryFileSystem::Files() const {
  std::vector<std::string> names;
  for (const auto& entry : files_) names.push_back(entry.first);
  return names;
}

std::vector<std::string> MemoryFileSystem::Directories() const {
  return {directories_.begin(), directories_.end()};
}

int MemoryFileSystem::OpenHandles() const {
  return shared_->openHandles;
}

std::int32_t MemoryFileSystem::FileStamp(const std::string& name) {
  auto node = Find(Normalize(name));
  return node ? node->stamp : -1;
}

bool MemoryFileSystem::DirectoryExists(const std::string& name) {
  return DirExists(Normalize(name));
}

std::unique_ptr<FileStream> MemoryFileSystem::OpenRead(const std::string& name) {
  return Open(name, false, false);
}

std::unique_ptr<FileStream> MemoryFileSystem::CreateWrite(const std::string& name) {
  return Open(name, true, true);
}

std::unique_ptr<FileStream> MemoryFileSystem::OpenWrite(const std::string& name) {
  return Open(name, true, false);
}

std::string MemoryFileSystem::ExpandFileName(const std::string& name) {
  if (StartsWithDrive(name) || (!name.empty() && name[0] == '\\')) return name;
  return std::string(kSystemDrive) + "\\" + name;
}

bool MemoryFileSystem::CreateDir(const std::string& name, std::string& reason) {
  const std::string key = Normalize(name);
  const std::string parent = ParentKey(key);
  if (key.empty() || (!parent.empty() && !DirExists(parent))) {
    reason = kNoPath;
    return false;
  }
  if (Find(key) || DirExists(key)) {
    reason = kExists;
    return false;
  }
  directories_.insert(InDirectoryCase(key));
  return true;
}

std::unique_ptr<FileStream> MemoryFileSystem::Open(const std::string& name, bool write,
                                                   bool create) {
  const std::string key = Normalize(name);
  auto node = Find(key);
  if (create) {
    if (DirExists(key) || key.empty()) throw EFCreateError(name, kDenied);
    if (node && node->readOnly) throw EFCreateError(name, kDenied);
    const std::string parent = ParentKey(key);
    if (!parent.empty() && !DirExists(parent)) {
      throw EFCreateError(name, kNoPath);
    }
    if (node) {
      node->bytes.clear();
      node->stamp = now_;
    } else {
      node = std::make_shared<Node>();
      node->stamp = now_;
      files_[InDirectoryCase(key)] = node;
    }
    return std::make_unique<MemoryFile>(name, node, shared_, true, true, now_);
  }
  if (!node) throw EFOpenError(name, DirExists(key) ? kDenied : kNotFound);
  if (write && node->readOnly) throw EFOpenError(name, kDenied);
  return std::make_unique<MemoryFile>(name, node, shared_, !write, write, now_);
}

std::shared_ptr<MemoryFileSystem::Node> MemoryFileSystem::Find(const std::string& key) const {
  const auto it = files_.find(key);
  return it == files_.end() ? nullptr : it->second;
}

std::string MemoryFileSystem::InDirectoryCase(const std::string& key) const {
  const std::string parent = ParentKey(key);
  const auto it = directories_.find(parent);
  return it == directories_.end() ? key : *it + key.substr(parent.size());
}

bool MemoryFileSystem::DirExists(const std::string& key) const {
  return IsBareDrive(key) || directories_.count(key) > 0;
}

}  // namespace norv
