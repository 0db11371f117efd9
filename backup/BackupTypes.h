#pragma once
// The component's enumerations (held in one byte each, ordinals as stored in
// form descriptions) and its event types.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Stream.h"

namespace norv {

enum TBackupMode : std::uint8_t { bmAll = 0, bmIncremental = 1 };
enum TRestoreMode : std::uint8_t {
  rmAll = 0,
  rmNoOverwrite = 1,
  rmNewer = 2,
  rmExisting = 3,
  rmExistingNewer = 4
};
enum TCompressionLevel : std::uint8_t { clFastest = 0, clNone = 1, clDefault = 2, clMax = 3 };

// Integer subrange 0..100.
using TPercentage = int;

using TFileStream = FileStream;
class TBackupFile;

using TProgressEvent = std::function<void(TBackupFile& Sender, std::string Filename,
                                          TPercentage Percent, bool& Continue)>;
using TNeedDiskEvent =
    std::function<void(TBackupFile& Sender, std::uint16_t DiskID, bool& Continue)>;
using TRestoreFileEvent = std::function<void(TBackupFile& Sender, std::string& Filename,
                                             std::int32_t FA, bool& DoRestore)>;
using TFileRestoredEvent =
    std::function<void(TBackupFile& Sender, std::string& Filename, TFileStream& Stream)>;
using TBackupErrorEvent =
    std::function<void(TBackupFile& Sender, const std::int32_t Error, std::string ErrString)>;

}  // namespace norv
