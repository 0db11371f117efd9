#include "platform/testing/FaultFileSystem.h"

#include <algorithm>

#include "platform/BackgroundWriteStream.h"
#include "platform/Errors.h"

namespace norv {

namespace {

constexpr const char* kDenied = "Access is denied";
constexpr const char* kNotFound = "The system cannot find the file specified";

std::string Key(const std::string& name) {
  std::string key = name;
  std::replace(key.begin(), key.end(), '/', '\\');
  while (!key.empty() && key.back() == '\\') key.pop_back();
  return key;
}

}  // namespace

// A stream of the wrapped file system with the wrapper's faults on top.
class FaultStream : public FileStream {
 public:
  FaultStream(const std::string& name, std::unique_ptr<FileStream> inner, FaultFileSystem& fs,
              std::int64_t failReadAt, bool failSetDate)
      : FileStream(name),
        inner_(std::move(inner)),
        fs_(fs),
        failReadAt_(failReadAt),
        failSetDate_(failSetDate) {}

  std::size_t Read(void* buffer, std::size_t count) override {
    if (failReadAt_ >= 0) {
      const std::int64_t at = inner_->Position();
      if (failReadAt_ >= at && failReadAt_ < at + static_cast<std::int64_t>(count) &&
          failReadAt_ < inner_->Size()) {
        throw EReadError();
      }
    }
    return inner_->Read(buffer, count);
  }

  std::size_t Write(const void* buffer, std::size_t count) override {
    fs_.Change();
    const std::size_t accepted = fs_.Room(count);
    const std::size_t put = accepted == 0 ? 0 : inner_->Write(buffer, accepted);
    fs_.Took(put);
    return put;
  }

  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    return inner_->Seek(offset, origin);
  }
  std::int64_t Size() override { return inner_->Size(); }

  void SetDosDate(std::int32_t dosDate) override {
    if (fs_.Crashed()) return;
    fs_.Change();
    if (!failSetDate_) inner_->SetDosDate(dosDate);
  }
  void FinishWrites() override { inner_->FinishWrites(); }
  void Sync() override {
    if (!fs_.Crashed()) inner_->Sync();
  }

 private:
  std::unique_ptr<FileStream> inner_;
  FaultFileSystem& fs_;
  std::int64_t failReadAt_;
  bool failSetDate_;
};

FaultFileSystem::FaultFileSystem(FileSystem& base) : base_(base) {}
FaultFileSystem::~FaultFileSystem() = default;

void FaultFileSystem::FailCreate(const std::string& name) {
  failCreate_.insert(Key(name));
}
void FaultFileSystem::FailOpen(const std::string& name) {
  failOpen_.insert(Key(name));
}
void FaultFileSystem::FailDirectory(const std::string& name) {
  failDirectory_.insert(Key(name));
}
void FaultFileSystem::Lock(const std::string& name) {
  locked_.insert(Key(name));
}
void FaultFileSystem::FailSetDate(const std::string& name) {
  failSetDate_.insert(Key(name));
}
void FaultFileSystem::FailReadAt(const std::string& name, std::int64_t offset) {
  failReadAt_[Key(name)] = offset;
}
void FaultFileSystem::LimitWrites(std::int64_t totalBytes) {
  const std::lock_guard<std::mutex> lock(counting_);
  writeBudget_ = totalBytes;
}

void FaultFileSystem::Change() {
  long change = 0;
  {
    const std::lock_guard<std::mutex> lock(counting_);
    change = ++changes_;
  }
  if (crashAt_ != 0 && change >= crashAt_) {
    crashed_ = true;
    throw SimulatedCrash{};
  }
  if (beforeChange) beforeChange(change);
}

std::size_t FaultFileSystem::Room(std::size_t count) {
  const std::lock_guard<std::mutex> lock(counting_);
  if (writeBudget_ < 0) return count;
  const auto room = static_cast<std::size_t>(
      std::min<std::int64_t>(writeBudget_, static_cast<std::int64_t>(count)));
  if (room == 0 && count > 0) throw EWriteError(kDiskFull);
  return room;
}

void FaultFileSystem::Took(std::size_t put) {
  const std::lock_guard<std::mutex> lock(counting_);
  if (writeBudget_ >= 0) writeBudget_ -= static_cast<std::int64_t>(put);
  bytesWritten_ += static_cast<std::int64_t>(put);
}

long FaultFileSystem::Changes() const {
  const std::lock_guard<std::mutex> lock(counting_);
  return changes_;
}

std::int64_t FaultFileSystem::BytesWritten() const {
  const std::lock_guard<std::mutex> lock(counting_);
  return bytesWritten_;
}

std::int32_t FaultFileSystem::FileStamp(const std::string& name) {
  return base_.FileStamp(name);
}

bool FaultFileSystem::DirectoryExists(const std::string& name) {
  return base_.DirectoryExists(name);
}

std::unique_ptr<FileStream> FaultFileSystem::OpenRead(const std::string& name) {
  if (failOpen_.count(Key(name))) throw EFOpenError(name, kNotFound);
  return Wrap(name, base_.OpenRead(name));
}

std::unique_ptr<FileStream> FaultFileSystem::CreateWrite(const std::string& name) {
  Change();
  const std::string key = Key(name);
  if (failCreate_.count(key)) throw EFCreateError(name, kDenied);
  if (locked_.count(key)) throw EFCreateError(name, kInUse);
  return Behind(Wrap(name, base_.CreateWrite(name)));
}

std::unique_ptr<FileStream> FaultFileSystem::OpenWrite(const std::string& name) {
  Change();
  const std::string key = Key(name);
  if (failOpen_.count(key)) throw EFOpenError(name, kNotFound);
  if (locked_.count(key)) throw EFOpenError(name, kInUse);
  return Behind(Wrap(name, base_.OpenWrite(name)));
}

void FaultFileSystem::MoveOver(const std::string& source, const std::string& target) {
  Change();
  if (locked_.count(Key(target))) throw EFReplaceError(target, kInUse);
  base_.MoveOver(source, target);
  Change();
}

bool FaultFileSystem::RemoveFile(const std::string& name) {
  if (crashed_) return false;
  Change();
  return base_.RemoveFile(name);
}

void FaultFileSystem::Rename(const std::string& source, const std::string& target) {
  Change();
  if (locked_.count(Key(source))) throw EFReplaceError(target, kInUse);
  base_.Rename(source, target);
}

bool FaultFileSystem::RemoveDir(const std::string& name) {
  if (crashed_) return false;
  Change();
  return base_.RemoveDir(name);
}

void FaultFileSystem::SyncDirectory(const std::string& directory) {
  if (!crashed_) base_.SyncDirectory(directory);
}

std::int64_t FaultFileSystem::FreeSpace(const std::string& path) {
  return base_.FreeSpace(path);
}

std::string FaultFileSystem::ExpandFileName(const std::string& name) {
  return base_.ExpandFileName(name);
}

bool FaultFileSystem::CreateDir(const std::string& name, std::string& reason) {
  Change();
  if (failDirectory_.count(Key(name))) {
    reason = kDenied;
    return false;
  }
  return base_.CreateDir(name, reason);
}

std::unique_ptr<FileStream> FaultFileSystem::Behind(std::unique_ptr<FileStream> stream) const {
  if (!background_) return stream;
  return std::make_unique<BackgroundWriteStream>(std::move(stream), chunks_);
}

std::unique_ptr<FileStream> FaultFileSystem::Wrap(const std::string& name,
                                                  std::unique_ptr<FileStream> inner) {
  const std::string key = Key(name);
  const auto read = failReadAt_.find(key);
  return std::make_unique<FaultStream>(name, std::move(inner), *this,
                                       read == failReadAt_.end() ? -1 : read->second,
                                       failSetDate_.count(key) > 0);
}

}  // namespace norv
