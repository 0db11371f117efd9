#pragma once
// Turns the paths given to "create" into archive entries, and POSIX paths
// into the names the file system objects take.
#include <string>
#include <vector>

#include "backup/ArchiveWriter.h"

namespace norv::tool {

// Every regular file under `paths` (files as given, directories recursed),
// stored as PREFIX "\" and its path relative to the given path's parent,
// with backslashes. Files of one path are sorted by stored name; paths keep
// their order. Throws UsageError for a path that does not exist.
std::vector<ArchiveEntry> CollectSources(const std::vector<std::string>& paths,
                                         const std::string& prefix);

// A POSIX path in the system's own form, "/" replaced by "\", so that volume
// names are formed from the last path component only.
std::string SystemName(const std::string& posixPath);

}  // namespace norv::tool
