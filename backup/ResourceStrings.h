#pragma once
// The component's texts, in resource order: the volume prompt, then the
// messages of error codes 1 to 7.
#include <cstdint>
#include <string>

namespace norv {

inline constexpr const char* SInsertDisk = "Please insert disk %s and click OK to continue.";
inline constexpr const char* SReadFileError = "Cannot read file";             // 1
inline constexpr const char* SOverwriteError = "Overwriting file failed";     // 2
inline constexpr const char* SReadArchiveError = "Cannot read archive";       // 3
inline constexpr const char* SWriteArchiveError = "Cannot write to archive";  // 4
inline constexpr const char* SInvalidArchive = "Invalid archive type";        // 5
inline constexpr const char* SCompressionError = "Compression error";         // 6
inline constexpr const char* STempFileError =
    "Cannot create temporary file to save the file IDs";  // 7

// The message of an error code; empty outside 1..7.
std::string ErrorText(std::int32_t code);

}  // namespace norv
