#pragma once
// The trace of "extract --trace": one line per event of the restore, as it
// fires, fields separated by one TAB, texts as raw bytes. Scripts and tests
// read it, so its lines stay as they are:
//   restore-file  FILENAME  FA  DORESTORE      (as proposed)
//   progress      FILENAME  PERCENT  CONTINUE  (as it arrives)
//   file-restored FILENAME  POSITION
//   need-disk     DISKID  ANSWER
//   error         CODE  TEXT
//   result        0|1    or    exception  MESSAGE
#include <cstdint>
#include <ostream>
#include <string>

namespace norv::tool {

class TracePrinter {
 public:
  // Prints nothing when not `enabled`.
  TracePrinter(std::ostream& out, bool enabled) : out_(out), enabled_(enabled) {}
  bool Enabled() const { return enabled_; }

  void RestoreFile(const std::string& fileName, std::int32_t fa, bool doRestore);
  void Progress(const std::string& fileName, int percent, bool continueFlag);
  void FileRestored(const std::string& fileName, std::int64_t position);
  void NeedDisk(unsigned diskId, bool answer);
  void Error(std::int32_t code, const std::string& text);
  void Result(bool result);
  void Exception(const std::string& message);

 private:
  // Writes one line and flushes it, so that it precedes whatever the
  // restore does next (including messages on stderr).
  template <typename... Fields>
  void Line(const Fields&... fields);

  std::ostream& out_;
  bool enabled_;
};

}  // namespace norv::tool
