#pragma once
// Shared set-up of the fuzz harnesses: a private program directory with the language file,
// the model catalogue and the settings, and the settings object initialised on it read-only.

#include <cstddef>
#include <cstdint>
#include <string>

namespace rv::fuzz {

/// The program directory of this fuzzing process (made on first use, removed at exit), with
/// the settings initialised on it; with a trailing '/'.
const std::string& ProgramDir();
/// Writes bytes to a file of the program directory (truncating it) and returns its path.
std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size);

}  // namespace rv::fuzz
