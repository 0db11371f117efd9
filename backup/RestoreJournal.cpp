#include "backup/RestoreJournal.h"

#include <zlib.h>

#include <algorithm>

#include "backup/TargetFile.h"

namespace norv::journal {

namespace {
constexpr const char* kJournalFile = ".norvjournal";
// Longer payloads are no record of ours: the journal ends there.
constexpr std::uint32_t kMaxPayload = 1u << 20;
// How much of the journal one read brings.
constexpr std::int64_t kWindowBytes = 64 * 1024;

void PutInt32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(value >> shift));
}

std::uint32_t GetInt32(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint32_t Checksum(const std::string& payload) {
  return static_cast<std::uint32_t>(
      crc32(0L, reinterpret_cast<const Bytef*>(payload.data()), static_cast<uInt>(payload.size())));
}

std::string Encode(const Record& record) {
  std::string payload(1, static_cast<char>(record.kind));
  for (const std::string* text : {&record.name, &record.other}) {
    PutInt32(payload, static_cast<std::uint32_t>(text->size()));
    payload += *text;
  }
  std::string bytes;
  PutInt32(bytes, static_cast<std::uint32_t>(payload.size()));
  PutInt32(bytes, Checksum(payload));
  return bytes + payload;
}

// One text of a payload at `at`, which moves past it; false when it does
// not fit.
bool TakeText(const std::string& payload, std::size_t& at, std::string& text) {
  if (payload.size() - at < 4) return false;
  const std::uint32_t length =
      GetInt32(reinterpret_cast<const unsigned char*>(payload.data() + at));
  at += 4;
  if (payload.size() - at < length) return false;
  text.assign(payload, at, length);
  at += length;
  return true;
}

bool Decode(const std::string& payload, Record& record) {
  if (payload.empty()) return false;
  const auto kind = static_cast<std::uint8_t>(payload[0]);
  if (kind < static_cast<std::uint8_t>(Kind::kBegin) ||
      kind > static_cast<std::uint8_t>(Kind::kCommitted)) {
    return false;
  }
  record.kind = static_cast<Kind>(kind);
  std::size_t at = 1;
  return TakeText(payload, at, record.name) && TakeText(payload, at, record.other) &&
         at == payload.size();
}
}  // namespace

std::string JournalName(const std::string& workingDestination) {
  return workingDestination + kJournalFile;
}

std::string KeptName(const std::string& target) {
  return target + kKeptSuffix;
}

Writer::Writer(FileSystem& fs, std::string journalName, const std::string& workingDestination,
               const std::string& archive)
    : fs_(fs), name_(std::move(journalName)) {
  const std::string temporary = TargetFile::TemporaryName(name_);
  stream_ = fs_.CreateWrite(temporary);
  try {
    Write({Kind::kBegin, workingDestination, archive});
    stream_.reset();
    fs_.MoveOver(temporary, name_);
  } catch (const std::exception&) {
    stream_.reset();
    fs_.RemoveFile(temporary);
    throw;
  }
}

void Writer::Append(Kind kind, const std::string& name) {
  Write({kind, name, {}});
}

void Writer::Write(const Record& record) {
  if (!stream_) {
    stream_ = fs_.OpenWrite(name_);
    stream_->Seek(0, SeekOrigin::End);
  }
  const std::string bytes = Encode(record);
  stream_->WriteExactly(bytes.data(), bytes.size());
  // A write-behind stream holds bytes in this process: a killed program
  // would lose the record while the change it announces is on disk. Each
  // record reaches the system before that change (no flush: Sync before
  // the targets change covers a power cut).
  stream_->FinishWrites();
}

void Writer::Sync() {
  if (stream_) stream_->Sync();
}

Reader::Reader(FileSystem& fs, const std::string& journalName)
    : stream_(fs.OpenRead(journalName)) {}

bool Reader::Next(Record& record) {
  unsigned char head[8];
  if (ReadAt(offset_, head, sizeof head) != sizeof head) return false;
  const std::uint32_t length = GetInt32(head);
  if (length > kMaxPayload) return false;
  std::string payload(length, '\0');
  if (ReadAt(offset_ + sizeof head, payload.data(), length) != length) return false;
  if (Checksum(payload) != GetInt32(head + 4) || !Decode(payload, record)) return false;
  offset_ += static_cast<std::int64_t>(sizeof head + length);
  return true;
}

std::size_t Reader::ReadAt(std::int64_t at, void* out, std::size_t count) {
  auto* to = static_cast<unsigned char*>(out);
  std::size_t done = 0;
  while (done < count) {
    const auto end = windowStart_ + static_cast<std::int64_t>(window_.size());
    if (at < windowStart_) {
      // Undo walks the journal backwards: a window that ends just past the
      // record asked for holds the records before it too.
      Fill(std::max<std::int64_t>(0, at + 512 - kWindowBytes));
      continue;
    }
    if (at >= end) {
      Fill(at);
      if (window_.empty()) break;
      continue;
    }
    const std::size_t n = std::min(count - done, static_cast<std::size_t>(end - at));
    std::copy_n(window_.data() + (at - windowStart_), n, to + done);
    done += n;
    at += static_cast<std::int64_t>(n);
  }
  return done;
}

void Reader::Fill(std::int64_t start) {
  window_.resize(kWindowBytes);
  stream_->Seek(start, SeekOrigin::Begin);
  std::size_t got = 0;
  while (got < window_.size()) {
    const std::size_t n = stream_->Read(window_.data() + got, window_.size() - got);
    if (n == 0) break;
    got += n;
  }
  window_.resize(got);
  windowStart_ = start;
}

}  // namespace norv::journal
