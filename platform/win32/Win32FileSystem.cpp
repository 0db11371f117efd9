#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "platform/BackgroundWriteStream.h"
#include "platform/Cp1252.h"
#include "platform/DosDate.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/WriteBehind.h"
#include "platform/win32/BackgroundFlush.h"
#include "platform/win32/SystemErrorText.h"

namespace norv {

namespace {

class Win32FileStream : public FileStream {
 public:
  // `writeBehind`: the file is flushed before it is moved in place, and this
  // system holds written bytes back until then, so they are sent to the disk
  // while the file is being written.
  Win32FileStream(std::string name, HANDLE h, bool writeBehind = false)
      : FileStream(std::move(name)), handle_(h), writeBehind_(writeBehind) {}
  ~Win32FileStream() override {
    flush_.reset();
    CloseHandle(handle_);
  }

  std::size_t Read(void* buffer, std::size_t count) override {
    auto* p = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
      DWORD got = 0;
      if (!ReadFile(handle_, p + done, chunk, &got, nullptr)) throw EReadError();
      if (got == 0) break;
      done += got;
    }
    return done;
  }

  // A refused write reports the bytes accepted so far (fewer on a full disk).
  std::size_t Write(const void* buffer, std::size_t count) override {
    auto* p = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
      DWORD put = 0;
      if (!WriteFile(handle_, p + done, chunk, &put, nullptr) || put == 0) {
        if (done == 0 && put == 0) throw EWriteError(win32::SystemErrorText(GetLastError()));
        break;
      }
      done += put;
    }
    if (writeBehind_ && pace_.Wrote(done)) {
      if (!flush_) flush_ = std::make_unique<win32::BackgroundFlush>(handle_);
      flush_->Request();
    }
    return done;
  }

  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    DWORD method = origin == SeekOrigin::Begin     ? FILE_BEGIN
                   : origin == SeekOrigin::Current ? FILE_CURRENT
                                                   : FILE_END;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(handle_, distance, &position, method)) {
      throw EReadError("Stream seek error");
    }
    return position.QuadPart;
  }

  std::int64_t Size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_, &size)) throw EReadError();
    return size.QuadPart;
  }

  // An impossible date is not set at all (the file keeps its time).
  void SetDosDate(std::int32_t dosDate) override {
    if (!IsValidDosDate(dosDate)) return;
    auto stamp = static_cast<std::uint32_t>(dosDate);
    FILETIME local, utc;
    if (DosDateTimeToFileTime(static_cast<WORD>(stamp >> 16), static_cast<WORD>(stamp), &local) &&
        LocalFileTimeToFileTime(&local, &utc)) {
      SetFileTime(handle_, nullptr, nullptr, &utc);
    }
  }

  void Sync() override { FlushFileBuffers(handle_); }

 private:
  HANDLE handle_;
  bool writeBehind_;
  WriteBehind pace_;
  std::unique_ptr<win32::BackgroundFlush> flush_;  // made at the first stride
};

std::string LastErrorText() {
  return win32::SystemErrorText(GetLastError());
}

// Names are Windows-1252 whatever the ANSI code page: they reach the
// system through the wide API.
std::wstring Wide(const std::string& name) {
  const std::u16string text = Cp1252ToUtf16(name);
  return std::wstring(text.begin(), text.end());
}

// Opens a disk file only: a stored name such as CON, NUL.TXT or COM1 names a
// device, which could block a read or a write, so it is refused like a bad name.
HANDLE Open(const std::string& name, DWORD access, DWORD share, DWORD disposition) {
  HANDLE h = CreateFileW(Wide(name).c_str(), access, share, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    SetLastError(ERROR_INVALID_NAME);
    return INVALID_HANDLE_VALUE;
  }
  return h;
}

}  // namespace

Win32FileSystem::Win32FileSystem(std::string driveRoot, bool durable)
    : driveRoot_(std::move(driveRoot)),
      durable_(durable),
      writeBehind_(durable && win32::BackgroundFlush::Worthwhile()),
      chunks_(durable ? std::make_shared<ChunkStore>() : nullptr) {
  while (!driveRoot_.empty() && IsSeparator(driveRoot_.back())) {
    driveRoot_.pop_back();
  }
}

std::unique_ptr<FileStream> Win32FileSystem::Writable(std::unique_ptr<FileStream> stream) {
  if (!durable_) return stream;
  return std::make_unique<BackgroundWriteStream>(std::move(stream), chunks_);
}

std::string Win32FileSystem::NativePath(const std::string& name) const {
  if (driveRoot_.empty() || !StartsWithDrive(name)) return name;
  std::string rest = name.substr(2);
  if (rest.empty() || !IsSeparator(rest[0])) rest.insert(0, 1, '\\');
  return driveRoot_ + rest;
}

std::int32_t Win32FileSystem::FileStamp(const std::string& name) {
  return Status(name).stamp;
}

FileStatus Win32FileSystem::Status(const std::string& name) {
  // GetFileAttributesEx rather than a directory search: a name with wildcards
  // must not match some other file.
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(NativePath(name)).c_str(), GetFileExInfoStandard, &data))
    return {};
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return {FileKind::kDirectory, -1};
  FILETIME local;
  WORD date = 0, time = 0;
  if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
      !FileTimeToDosDateTime(&local, &date, &time)) {
    return {FileKind::kFile, -1};
  }
  return {FileKind::kFile, static_cast<std::int32_t>((std::uint32_t(date) << 16) | time)};
}

bool Win32FileSystem::DirectoryExists(const std::string& name) {
  DWORD attributes = GetFileAttributesW(Wide(NativePath(name)).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::CreateDir(const std::string& name, std::string& reason) {
  if (CreateDirectoryW(Wide(NativePath(name)).c_str(), nullptr)) return true;
  reason = LastErrorText();
  return false;
}

void Win32FileSystem::MoveOver(const std::string& source, const std::string& target) {
  const std::wstring from = Wide(NativePath(source));
  const std::wstring to = Wide(NativePath(target));
  // The finished file reaches the disk before any name points at it.
  HANDLE h = durable_ ? CreateFileW(from.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr)
                      : INVALID_HANDLE_VALUE;
  if (h != INVALID_HANDLE_VALUE) {
    FlushFileBuffers(h);
    CloseHandle(h);
  }
  const DWORD attributes = GetFileAttributesW(to.c_str());
  bool moved = false;
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    moved =
        MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    SetLastError(ERROR_ACCESS_DENIED);
  } else {
    // Keeps the target's attributes and security descriptor, as writing the
    // file in place would; a file in use or read-only is refused.
    moved = ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr);
    // Wine's ReplaceFile takes the new file's attributes: give the old ones back.
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (moved && (GetFileAttributesW(to.c_str()) & kKept) != (attributes & kKept)) {
      SetFileAttributesW(to.c_str(),
                         (attributes & kKept) ? attributes & kKept : FILE_ATTRIBUTE_NORMAL);
    }
  }
  if (!moved) throw EFReplaceError(ExpandFileName(target), LastErrorText());
}

void Win32FileSystem::CheckReplaceable(const std::string& target) {
  const DWORD attributes = GetFileAttributesW(Wide(NativePath(target)).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    SetLastError(ERROR_ACCESS_DENIED);
    const std::string reason = LastErrorText();
    throw EFReplaceError(ExpandFileName(target), reason);
  }
  // Only opening it tells whether another program holds it.
  OpenWrite(target);
}

bool Win32FileSystem::RemoveFile(const std::string& name) {
  return DeleteFileW(Wide(NativePath(name)).c_str()) != 0;
}

void Win32FileSystem::Rename(const std::string& source, const std::string& target) {
  if (!MoveFileExW(Wide(NativePath(source)).c_str(), Wide(NativePath(target)).c_str(), 0)) {
    throw EFReplaceError(ExpandFileName(target), LastErrorText());
  }
}

bool Win32FileSystem::RemoveDir(const std::string& name) {
  return RemoveDirectoryW(Wide(NativePath(name)).c_str()) != 0;
}

// NTFS writes its changes of names to its own log in the order they were
// made, and MoveOver writes through: nothing is left to flush here.
void Win32FileSystem::SyncDirectory(const std::string& /*directory*/) {}

std::int64_t Win32FileSystem::FreeSpace(const std::string& path) {
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW(Wide(NativePath(path)).c_str(), &available, nullptr, nullptr)) return -1;
  return static_cast<std::int64_t>(available.QuadPart);
}

std::unique_ptr<FileStream> Win32FileSystem::OpenRead(const std::string& name) {
  HANDLE h =
      Open(NativePath(name), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  if (h == INVALID_HANDLE_VALUE) throw EFOpenError(ExpandFileName(name), LastErrorText());
  return std::make_unique<Win32FileStream>(name, h);
}

std::unique_ptr<FileStream> Win32FileSystem::CreateWrite(const std::string& name) {
  // A new file is made with CREATE_NEW: Wine empties a file opened with
  // CREATE_ALWAYS even when it has just made it, and on ext4 a file emptied
  // that way is written out when it is closed, which stalls the close of a
  // large file. An existing file (or any other failure) goes through
  // CREATE_ALWAYS, which then decides the result and the reason.
  const std::string path = NativePath(name);
  HANDLE h = Open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  if (h == INVALID_HANDLE_VALUE) h = Open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
  if (h == INVALID_HANDLE_VALUE) throw EFCreateError(ExpandFileName(name), LastErrorText());
  return Writable(std::make_unique<Win32FileStream>(name, h, writeBehind_));
}

std::unique_ptr<FileStream> Win32FileSystem::OpenWrite(const std::string& name) {
  HANDLE h = Open(NativePath(name), GENERIC_WRITE, 0, OPEN_EXISTING);
  if (h == INVALID_HANDLE_VALUE) throw EFOpenError(ExpandFileName(name), LastErrorText());
  return Writable(std::make_unique<Win32FileStream>(name, h, writeBehind_));
}

std::string Win32FileSystem::ExpandFileName(const std::string& name) {
  wchar_t buffer[MAX_PATH * 4];
  wchar_t* filePart = nullptr;
  DWORD n = GetFullPathNameW(Wide(NativePath(name)).c_str(), MAX_PATH * 4, buffer, &filePart);
  if (n == 0 || n >= MAX_PATH * 4) return name;
  return Utf16ToCp1252(std::u16string(buffer, buffer + n));
}

}  // namespace norv
