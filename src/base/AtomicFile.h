#pragma once
// Atomic replacement of a file: the new contents go to a temporary file in the same folder,
// which is flushed and then renamed over the old file. A failed write leaves the old file.

#include <span>
#include <string>

namespace rv {

/// Writes bytes to path atomically; false (and errno set) when any step fails.
bool WriteFileAtomic(const std::string& path, std::span<const unsigned char> bytes);
/// Writes text to path atomically.
bool WriteFileAtomic(const std::string& path, const std::string& text);
/// Whole contents of a file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& out);

}  // namespace rv
