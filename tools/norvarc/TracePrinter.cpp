#include "tools/norvarc/TracePrinter.h"

namespace norv::tool {

template <typename... Fields>
void TracePrinter::Line(const Fields&... fields) {
  if (!enabled_) return;
  bool first = true;
  ((out_ << (first ? "" : "\t") << fields, first = false), ...);
  out_ << '\n';
  out_.flush();
}

void TracePrinter::RestoreFile(const std::string& fileName, std::int32_t fa, bool doRestore) {
  Line("restore-file", fileName, fa, doRestore ? 1 : 0);
}

void TracePrinter::Progress(const std::string& fileName, int percent, bool continueFlag) {
  Line("progress", fileName, percent, continueFlag ? 1 : 0);
}

void TracePrinter::FileRestored(const std::string& fileName, std::int64_t position) {
  Line("file-restored", fileName, position);
}

void TracePrinter::NeedDisk(unsigned diskId, bool answer) {
  Line("need-disk", diskId, answer ? 1 : 0);
}

void TracePrinter::Error(std::int32_t code, const std::string& text) {
  Line("error", code, text);
}

void TracePrinter::Result(bool result) {
  Line("result", result ? 1 : 0);
}

void TracePrinter::Exception(const std::string& message) {
  Line("exception", message);
}

}  // namespace norv::tool
