#include "backup/ResourceStrings.h"

namespace norv {

namespace {

struct CodeText {
  TBackupErrorCode code;
  const char* text;
};

constexpr CodeText kErrorTexts[] = {
    {TBackupErrorCode::ReadFile, SReadFileError},
    {TBackupErrorCode::Overwrite, SOverwriteError},
    {TBackupErrorCode::ReadArchive, SReadArchiveError},
    {TBackupErrorCode::WriteArchive, SWriteArchiveError},
    {TBackupErrorCode::InvalidArchive, SInvalidArchive},
    {TBackupErrorCode::Compression, SCompressionError},
    {TBackupErrorCode::TempFile, STempFileError},
};

}  // namespace

std::string ErrorText(TBackupErrorCode code) {
  for (const auto& entry : kErrorTexts) {
    if (entry.code == code) return entry.text;
  }
  return std::string();
}

std::string ErrorText(std::int32_t code) {
  return ErrorText(static_cast<TBackupErrorCode>(code));
}

}  // namespace norv
