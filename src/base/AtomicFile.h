#pragma once
// Atomic replacement of a file: the new contents go to a temporary file in the same folder,
// which is flushed and then renamed over the old file. A failed write leaves the old file. A
// file that exists keeps its permissions (and its owner where the user may keep it), and a
// path that is a symbolic link is written through to the file it points at.
//
// Also: why a file cannot be read or written, said by its cause, for the messages that name it.

#include <cstdint>
#include <span>
#include <string>

namespace rv {

/// Writes bytes to path atomically; false (and errno set) when any step fails.
bool WriteFileAtomic(const std::string& path, std::span<const unsigned char> bytes);
/// Writes text to path atomically.
bool WriteFileAtomic(const std::string& path, const std::string& text);
/// Whole contents of a file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& out);

/// The file a path names once every symbolic link is followed (the path itself when it is no
/// link; the target of a link that points nowhere yet). WriteFileAtomic writes there.
std::string ResolveLinkTarget(const std::string& path);

/// Why a file cannot be used.
enum class FileProblem {
    None,          ///< the file can be used
    Missing,       ///< no such file (or its folder does not exist)
    NoPermission,  ///< the user may not read (or write) it
    IsFolder,      ///< the path names a folder
    TooLarge,      ///< larger than the limit given
    NoFolder,      ///< (writing) the folder it would go into does not exist
    Other,         ///< anything else the system refused
};

/// Whether a file can be read: it exists, is no folder, is at most maxSize bytes long and may
/// be opened for reading.
FileProblem CheckReadableFile(const std::string& path, uint64_t maxSize);
/// Whether WriteFileAtomic could replace or create the file: the path is no folder and a new
/// file can be made in the folder of the file the path stands for. Leaves nothing behind.
FileProblem CheckWritableFile(const std::string& path);

}  // namespace rv
