#include "backup/ResourceStrings.h"

namespace norv {

std::string ErrorText(std::int32_t code) {
  static constexpr const char* kTexts[] = {SReadFileError,     SOverwriteError, SReadArchiveError,
                                           SWriteArchiveError, SInvalidArchive, SCompressionError,
                                           STempFileError};
  if (code < 1 || code > 7) return std::string();
  return kTexts[code - 1];
}

}  // namespace norv
