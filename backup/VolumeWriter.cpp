#include "backup/VolumeWriter.h"

#include <limits>

#include "backup/ArchiveFormat.h"
#include "backup/ArchiveWriter.h"

namespace norv {

VolumeWriter::VolumeWriter(FileSystem& fs, std::string firstName, std::int64_t maxSize)
    : fs_(fs), firstName_(std::move(firstName)), maxSize_(maxSize) {
  Create(firstName_);
}

void VolumeWriter::Create(const std::string& name) {
  file_ = fs_.CreateWrite(name);
  volumes_.push_back({name, 0});
}

void VolumeWriter::Write(const void* data, std::size_t size) {
  file_->WriteExactly(data, size);
  volumes_.back().bytes += static_cast<std::int64_t>(size);
}

void VolumeWriter::WriteInt32(std::int32_t value) {
  norv::WriteInt32(*file_, value);
  volumes_.back().bytes += archive::kInt32Bytes;
}

std::int64_t VolumeWriter::Room() const {
  if (!Limited()) return std::numeric_limits<std::int64_t>::max() / 2;
  return maxSize_ - volumes_.back().bytes;
}

void VolumeWriter::RequireNextVolume() const {
  if (Number() + 1 > archive::kMaxVolumes) {
    throw EArchiveWriteError("The archive needs more than " + std::to_string(archive::kMaxVolumes) +
                             " volumes; choose a larger maximum volume size");
  }
}

void VolumeWriter::StartNextVolume() {
  RequireNextVolume();
  int next = Number() + 1;
  Close();
  Create(archive::VolumeFileName(firstName_, archive::VolumeDigits(next)));
}

void VolumeWriter::Close() {
  // A refused write surfaces here at the latest, before the volume counts as done.
  if (file_) file_->FinishWrites();
  file_.reset();
}

}  // namespace norv
