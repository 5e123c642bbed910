#pragma once

#include <cstddef>
#include <string>

namespace VSTGUI {

// Reads a regular file of at most cap bytes whole into text. False for a missing,
// empty or unreadable file, one larger than cap, and anything that is not a regular
// file (a directory, FIFO or device is refused before it is read). At most cap + 1
// bytes are read, whatever the file says its size is.
bool readRegularFile (const char* path, size_t cap, std::string& text) noexcept;

} // namespace VSTGUI
