#pragma once
// What a restored name may be. Archives are made for Windows machines, so a
// name that Windows cannot write is refused on every platform: by the
// restore (error 1, no event), by the reader behind "norvarc test" and by
// the writer before it stores the name.
#include <cstddef>
#include <string>
#include <string_view>

namespace norv::names {

// Longest full path Windows creates (MAX_PATH less its terminating zero),
// longest directory part (room left for an 8.3 name) and longest component.
inline constexpr std::size_t kMaxPath = 259;
inline constexpr std::size_t kMaxDirectory = 247;
inline constexpr std::size_t kMaxComponent = 255;
// A restored file is first written beside its target under the target's
// name with this suffix; the path and file name limits leave room for it.
inline constexpr std::string_view kTemporarySuffix = ".norvtmp";

// Why the entry stored as `storedName` cannot be restored below
// `workingDestination` (as restore::DestinationName places it), or "" when
// it can. Refused: a part below the destination that starts with a
// separator, holds a further ":", a "/" or an empty component; a component that
// climbs out (".."), holds a character Windows forbids in names (<>:"|?*,
// bytes 0x00-0x1F), is a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9,
// CONIN$, CONOUT$, with any extension, in any case), ends in a dot or a
// blank, or is longer than kMaxComponent; a destination path longer than
// kMaxPath or a directory part longer than kMaxDirectory, where the file's
// temporary name counts for the path and the file name.
std::string WhyRefused(const std::string& workingDestination, const std::string& storedName,
                       bool fullPath);

// Whether `component` (no separators) names a Windows device.
bool IsDeviceName(std::string_view component);

}  // namespace norv::names
