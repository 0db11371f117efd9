#pragma once
// Turns the paths given to "create" into archive entries, and the host's
// paths into the names the file system objects take (Windows-1252, "\").
#include <filesystem>
#include <string>
#include <vector>

#include "backup/ArchiveWriter.h"
#include "platform/Errors.h"

namespace norv::tool {

// A host path whose name Windows-1252 cannot hold (or, on Linux, that is
// not UTF-8); the message names it.
class HostNameError : public Exception {
 public:
  explicit HostNameError(const std::string& hostPath);
};

struct SourceFile {
  ArchiveEntry entry;              // both names in Windows-1252
  std::filesystem::path hostPath;  // the file as the host names it
};

// Every regular file under `paths` (files as given, directories recursed),
// stored as PREFIX "\" and its path relative to the given path's parent,
// with backslashes. Files of one path are sorted by stored name; paths keep
// their order. Throws UsageError for a path that does not exist and
// HostNameError for a file whose name has no Windows-1252 form.
std::vector<SourceFile> CollectSources(const std::vector<std::string>& paths,
                                       const std::string& prefix);

// A path from the command line as a host path. On Windows the command line
// is Windows-1252 text (the ANSI code page of the machines the archives are
// made for); the path is made from its wide form, never from narrow bytes.
std::filesystem::path HostPath(const std::string& argument);

// A path from the command line in the system's own form: Windows-1252 (from
// the host's UTF-8 on Linux), "/" replaced by "\", so that volume names are
// formed from the last path component only. Throws HostNameError.
std::string SystemName(const std::string& argument);

// The name of an archive to read next to a destination that maps drive
// names: absolute, in a form the mapping leaves alone, so that "X:\..."
// opens that very file and its later volumes sit beside it.
std::string UnmappedSystemName(const std::string& argument);

}  // namespace norv::tool
