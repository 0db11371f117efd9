#include "platform/posix/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>

#include "platform/Cp1252.h"
#include "platform/DosDate.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/WriteBehind.h"

namespace norv {

namespace {

// The error an existing target is not replaced with, or 0. A file nobody
// may write is not replaced behind its owner's back.
int RefusalOf(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return EISDIR;
  if ((st.st_mode & 0222) == 0) return EACCES;
  return 0;
}

// Renames `from` to `to` when `to` does not exist; false when it does, or
// when the system cannot tell (the caller then looks and renames).
bool MovedOntoNothing(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
  return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
#else
  (void)from;
  (void)to;
  return false;
#endif
}

std::string SystemReason(int err) {
  return std::strerror(err);
}

class PosixFileStream : public FileStream {
 public:
  // `writeBehind`: the file is flushed before it is moved in place, so its
  // bytes are sent to the disk while it is being written.
  PosixFileStream(std::string name, int fd, bool writeBehind = false)
      : FileStream(std::move(name)), fd_(fd), writeBehind_(writeBehind) {}
  ~PosixFileStream() override { ::close(fd_); }

  std::size_t Read(void* buffer, std::size_t count) override {
    for (;;) {
      ssize_t n = ::read(fd_, buffer, count);
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno != EINTR) throw EReadError();
    }
  }

  std::size_t Write(const void* buffer, std::size_t count) override {
    auto* p = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
      ssize_t n = ::write(fd_, p + done, count - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && done == 0) throw EWriteError(SystemReason(errno));
      if (n <= 0) break;  // a full disk: report the short count
      done += static_cast<std::size_t>(n);
    }
#ifdef SYNC_FILE_RANGE_WRITE
    // Starts the write-out of every dirty page without waiting for it.
    if (writeBehind_ && pace_.Wrote(done))
      (void)::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    return done;
  }

  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                 : origin == SeekOrigin::Current ? SEEK_CUR
                                                 : SEEK_END;
    off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (r < 0) throw EReadError("Stream seek error");
    return r;
  }

  std::int64_t Size() override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw EReadError();
    return st.st_size;
  }

  // mktime would carry impossible fields into the next minute, day or
  // year: such a date is not set at all.
  void SetDosDate(std::int32_t dosDate) override {
    if (!IsValidDosDate(dosDate)) return;
    DosDateTime d = UnpackDosDate(dosDate);
    std::tm tm{};
    tm.tm_year = d.year - 1900;
    tm.tm_mon = d.month - 1;
    tm.tm_mday = d.day;
    tm.tm_hour = d.hour;
    tm.tm_min = d.minute;
    tm.tm_sec = d.second;
    tm.tm_isdst = -1;
    std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) return;
    struct timespec times[2];
    times[0].tv_sec = t;
    times[0].tv_nsec = 0;
    times[1] = times[0];
    (void)::futimens(fd_, times);
  }

  // Only a durable file system's files are flushed (they are the ones
  // written behind); a failure only costs durability.
  void Sync() override {
    if (writeBehind_) (void)::fsync(fd_);
  }

 private:
  int fd_;
  bool writeBehind_;
  WriteBehind pace_;
};

// Flushes a file or directory to the disk; a failure only costs durability.
void SyncPath(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

// The directory part of a host path.
std::string DirectoryOf(const std::string& path) {
  const auto cut = path.find_last_of('/');
  return cut == std::string::npos ? "." : cut == 0 ? "/" : path.substr(0, cut);
}

}  // namespace

PosixFileSystem::PosixFileSystem(std::string driveRoot, bool durable)
    : driveRoot_(std::move(driveRoot)), durable_(durable) {
  while (driveRoot_.size() > 1 && driveRoot_.back() == '/') driveRoot_.pop_back();
}

std::string PosixFileSystem::NativePath(const std::string& name) const {
  // Asked several times for every restored file: one allocation, and no
  // conversion for the usual all-ASCII name.
  std::string_view rest = name;
  std::string path;
  path.reserve(driveRoot_.size() + name.size() + 1);
  if (StartsWithDrive(name)) {
    if (driveRoot_ != "/") path = driveRoot_;
    rest.remove_prefix(2);
    if (rest.empty() || !IsSeparator(rest[0])) path += '/';
  }
  const std::size_t start = path.size();
  // Names are Windows-1252; the host's are UTF-8.
  if (std::all_of(rest.begin(), rest.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    path.append(rest);
  } else {
    path += Cp1252ToUtf8(std::string(rest));
  }
  std::replace(path.begin() + static_cast<std::ptrdiff_t>(start), path.end(), '\\', '/');
  if (path.empty()) path.push_back('/');
  return path;
}

std::int32_t PosixFileSystem::FileStamp(const std::string& name) {
  return Status(name).stamp;
}

FileStatus PosixFileSystem::Status(const std::string& name) {
  struct stat st {};
  if (::stat(NativePath(name).c_str(), &st) != 0) return {};
  if (S_ISDIR(st.st_mode)) return {FileKind::kDirectory, -1};
  std::tm tm{};
  if (!S_ISREG(st.st_mode) || !::localtime_r(&st.st_mtime, &tm)) return {FileKind::kFile, -1};
  return {FileKind::kFile, PackDosDate({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                                        tm.tm_min, tm.tm_sec})};
}

bool PosixFileSystem::DirectoryExists(const std::string& name) {
  struct stat st {};
  return ::stat(NativePath(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::CreateDir(const std::string& name, std::string& reason) {
  if (::mkdir(NativePath(name).c_str(), 0777) == 0) return true;
  reason = SystemReason(errno);
  return false;
}

void PosixFileSystem::CheckReplaceable(const std::string& target) {
  // No file locks to ask about here: the mode and the kind answer it.
  struct stat st {};
  if (::stat(NativePath(target).c_str(), &st) != 0) return;
  if (const int refusal = RefusalOf(st)) {
    throw EFReplaceError(ExpandFileName(target), SystemReason(refusal));
  }
}

void PosixFileSystem::MoveOver(const std::string& source, const std::string& target) {
  const std::string from = NativePath(source);
  const std::string to = NativePath(target);
  if (durable_) SyncPath(from, O_RDONLY);
  // Most targets of a fresh extract are new: one call puts them in place.
  // An existing one has its mode copied first (mode changes do not touch
  // the data, so the flush above still holds).
  if (!MovedOntoNothing(from, to)) {
    struct stat st {};
    if (::stat(to.c_str(), &st) == 0) {
      if (const int refusal = RefusalOf(st)) {
        throw EFReplaceError(ExpandFileName(target), SystemReason(refusal));
      }
      (void)::chmod(from.c_str(), st.st_mode & 07777);
    }
    if (::rename(from.c_str(), to.c_str()) != 0) {
      throw EFReplaceError(ExpandFileName(target), SystemReason(errno));
    }
  }
  if (durable_) SyncPath(DirectoryOf(to), O_RDONLY | O_DIRECTORY);
}

void PosixFileSystem::Rename(const std::string& source, const std::string& target) {
  const std::string from = NativePath(source);
  const std::string to = NativePath(target);
  if (MovedOntoNothing(from, to)) return;
  struct stat st {};
  // Without RENAME_NOREPLACE a look first: nothing else writes here meanwhile.
  const int err = ::lstat(to.c_str(), &st) == 0             ? EEXIST
                  : ::rename(from.c_str(), to.c_str()) == 0 ? 0
                                                            : errno;
  if (err != 0) throw EFReplaceError(ExpandFileName(target), SystemReason(err));
}

bool PosixFileSystem::RemoveDir(const std::string& name) {
  return ::rmdir(NativePath(name).c_str()) == 0;
}

void PosixFileSystem::SyncDirectory(const std::string& directory) {
  if (durable_) SyncPath(NativePath(directory), O_RDONLY | O_DIRECTORY);
}

std::int64_t PosixFileSystem::FreeSpace(const std::string& path) {
  struct statvfs st {};
  if (::statvfs(NativePath(path).c_str(), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.f_bavail) * static_cast<std::int64_t>(st.f_frsize);
}

bool PosixFileSystem::RemoveFile(const std::string& name) {
  return ::unlink(NativePath(name).c_str()) == 0;
}

std::unique_ptr<FileStream> PosixFileSystem::OpenRead(const std::string& name) {
  int fd = ::open(NativePath(name).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EFOpenError(ExpandFileName(name), SystemReason(errno));
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    throw EFOpenError(ExpandFileName(name), SystemReason(EISDIR));
  }
  return std::make_unique<PosixFileStream>(name, fd);
}

std::unique_ptr<FileStream> PosixFileSystem::CreateWrite(const std::string& name) {
  int fd = ::open(NativePath(name).c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw EFCreateError(ExpandFileName(name), SystemReason(errno));
  return std::make_unique<PosixFileStream>(name, fd, durable_);
}

std::unique_ptr<FileStream> PosixFileSystem::OpenWrite(const std::string& name) {
  int fd = ::open(NativePath(name).c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) throw EFOpenError(ExpandFileName(name), SystemReason(errno));
  return std::make_unique<PosixFileStream>(name, fd, durable_);
}

std::string PosixFileSystem::ExpandFileName(const std::string& name) {
  if (StartsWithDrive(name) || (!name.empty() && IsSeparator(name[0]))) return name;
  char buf[4096];
  if (!::getcwd(buf, sizeof buf)) return name;
  // The current directory as a name: Windows-1252, unchanged when it has
  // characters that Windows-1252 cannot hold.
  std::string cwd = Utf8ToCp1252(buf).value_or(buf);
  if (cwd.empty() || cwd.back() != '/') cwd += '/';
  return cwd + name;
}

}  // namespace norv
