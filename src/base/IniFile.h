#pragma once
// The one gateway to INI files ("Settings.ini", "Model.dat", "*.lng") with Windows profile
// semantics: case-insensitive sections and keys, ';' and ',' kept inside values, whitespace
// trimmed, one pair of enclosing quotes removed. Writing changes only the lines of the keys
// written: every other key, comment, blank line, spacing and line end of the file stays.

#include <memory>
#include <string>
#include <vector>

namespace rv {

class CIniFile {
public:
    CIniFile();
    ~CIniFile();
    CIniFile(CIniFile&&) noexcept;
    CIniFile& operator=(CIniFile&&) noexcept;

    /// Loads a file; a missing file gives an empty document and returns false. A UTF-8 byte
    /// order mark is skipped.
    bool Load(const std::string& path);
    /// Loads from text (for tests and embedded defaults).
    bool LoadText(const std::string& text);
    /// The string of section/key, or def when missing.
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def = {}) const;
    /// The leading integer of section/key ("12abc" is 12), or def when missing or not a number.
    int GetInt(const std::string& section, const std::string& key, int def = 0) const;
    bool HasKey(const std::string& section, const std::string& key) const;
    /// Names of the sections, in file order.
    std::vector<std::string> Sections() const;
    /// Names of the keys of a section, in file order.
    std::vector<std::string> Keys(const std::string& section) const;
    /// Sets section/key in memory (creating section and key when needed).
    void SetString(const std::string& section, const std::string& key, const std::string& value);

    /// Reads one value straight from a file (profile semantics: missing file gives def).
    static std::string ReadString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& def = {});
    static int ReadInt(const std::string& path, const std::string& section, const std::string& key,
                       int def = 0);
    /// Writes one value into a file, keeping everything else in it; the file is replaced
    /// atomically. Returns false when the file cannot be written.
    static bool WriteString(const std::string& path, const std::string& section,
                            const std::string& key, const std::string& value);
    /// Saves the whole document atomically.
    bool Save(const std::string& path) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace rv
