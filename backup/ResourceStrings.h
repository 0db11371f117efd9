#pragma once
// The component's texts, in resource order: the volume prompt, then the
// messages of its error codes.
#include <cstdint>
#include <string>

namespace norv {

inline constexpr const char* SInsertDisk = "Please insert disk %s and click OK to continue.";
inline constexpr const char* SReadFileError = "Cannot read file";
inline constexpr const char* SOverwriteError = "Overwriting file failed";
inline constexpr const char* SReadArchiveError = "Cannot read archive";
inline constexpr const char* SWriteArchiveError = "Cannot write to archive";
inline constexpr const char* SInvalidArchive = "Invalid archive type";
inline constexpr const char* SCompressionError = "Compression error";
inline constexpr const char* STempFileError = "Cannot create temporary file to save the file IDs";

// The codes a run reports through ErrorCode() and OnError; the values are
// the component's public contract.
enum class TBackupErrorCode : std::int32_t {
  None = 0,
  ReadFile = 1,
  Overwrite = 2,
  ReadArchive = 3,
  WriteArchive = 4,
  InvalidArchive = 5,
  Compression = 6,
  TempFile = 7,
};

// The message of an error code; empty for None and for values outside 1..7.
std::string ErrorText(TBackupErrorCode code);
std::string ErrorText(std::int32_t code);

}  // namespace norv
