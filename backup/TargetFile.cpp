#include "backup/TargetFile.h"

#include <vector>

#include "backup/NameRules.h"

namespace norv {

namespace {
constexpr std::size_t kCopyBuffer = 64 * 1024;
}  // namespace

TargetFile::TargetFile(FileSystem& fs, std::string target)
    : fs_(fs), target_(std::move(target)), temporary_(TemporaryName(target_)) {}

TargetFile::~TargetFile() {
  stream_.reset();
  // A destructor raises nothing; a temporary file left is reused later.
  try {
    if (!placed_) fs_.RemoveFile(temporary_);
  } catch (...) {
  }
}

std::string TargetFile::TemporaryName(const std::string& target) {
  return target + std::string(names::kTemporarySuffix);
}

std::unique_ptr<TargetFile> TargetFile::Begin(FileSystem& fs, const std::string& target,
                                              FileKind known) {
  // A target that cannot be replaced now would refuse the move at the end:
  // find out before any data is written, without touching it.
  if (known != FileKind::kNone) fs.CheckReplaceable(target);
  std::unique_ptr<TargetFile> file(new TargetFile(fs, target));
  file->stream_ = fs.CreateWrite(file->temporary_);
  return file;
}

std::unique_ptr<TargetFile> TargetFile::Extend(FileSystem& fs, const std::string& target) {
  auto source = fs.OpenRead(target);
  std::unique_ptr<TargetFile> file(new TargetFile(fs, target));
  file->stream_ = fs.CreateWrite(file->temporary_);
  std::vector<unsigned char> buffer(kCopyBuffer);
  while (const std::size_t got = source->Read(buffer.data(), buffer.size())) {
    file->stream_->WriteExactly(buffer.data(), got);
  }
  return file;
}

void TargetFile::Close(std::int32_t dosDate) {
  stream_->SetDosDate(dosDate);
  stream_.reset();
}

void TargetFile::Reopen() {
  stream_ = fs_.OpenWrite(temporary_);
  stream_->Seek(0, SeekOrigin::End);
}

void TargetFile::LeaveInPlace() {
  stream_.reset();
  placed_ = true;
}

void TargetFile::PutInPlace() {
  stream_.reset();
  fs_.MoveOver(temporary_, target_);
  placed_ = true;
}

}  // namespace norv
