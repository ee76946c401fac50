// The only translation unit that includes SimpleIni; built header-only without conversion,
// since every file of the program is UTF-8 (or plain ASCII) text.
#define SI_NO_CONVERSION
// Debian's SimpleIni.h holds the template definitions only under SI_IMPLEMENTATION; without it
// every program that reads an INI file fails to link.
#define SI_IMPLEMENTATION
#include "base/IniFile.h"

#include <SimpleIni.h>

#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

#include "base/AtomicFile.h"

namespace rv {

namespace {

// The comment and blank lines after the last key or section line. SimpleIni keeps a comment
// only in front of a section or key and would drop these when the file is written back.
// A text without any key or section is all trailer.
std::string TrailingComments(std::string_view text)
{
    size_t keep = 0;  // just past the last line that is a key or a section
    // Lines end at '\n' or at '\r', as they do for the parser: a lone '\r' ends a line too.
    for (size_t pos = 0; pos < text.size();) {
        size_t newline = text.find_first_of("\r\n", pos);
        size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        std::string_view line = text.substr(pos, next - pos);
        size_t first = line.find_first_not_of(" \t\r\n");
        if (first != std::string_view::npos && line[first] != ';' && line[first] != '#') keep = next;
        pos = next;
    }
    std::string_view tail = text.substr(keep);
    if (tail.find_first_of(";#") == std::string_view::npos) return {};
    return std::string(tail);
}

}  // namespace

struct CIniFile::Impl {
    // Multi-key mode keeps repeated keys as they are in the file: reading gives the first one
    // (as the Windows profile functions do) and writing another key keeps every line.
    CSimpleIniA ini{false, true, false};
    std::string trailer;  ///< comments after the last entry, written back by Save
    bool onlyComments = false;  ///< the loaded text had no entry: trailer goes first
    Impl() { ini.SetQuotes(true); }
};

CIniFile::CIniFile() : impl_(std::make_unique<Impl>()) {}
CIniFile::~CIniFile() = default;
CIniFile::CIniFile(CIniFile&&) noexcept = default;
CIniFile& CIniFile::operator=(CIniFile&&) noexcept = default;

bool CIniFile::Load(const std::string& path)
{
    impl_->ini.Reset();
    impl_->trailer.clear();
    impl_->onlyComments = false;
    std::string text;
    if (!ReadWholeFile(path, text)) return false;
    return LoadText(text);
}

bool CIniFile::LoadText(const std::string& text)
{
    impl_->ini.Reset();
    std::string_view body(text);
    if (body.size() >= 3 && body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    // The parser ends a text at a zero byte; what follows one is not part of the document.
    body = body.substr(0, body.find('\0'));
    impl_->trailer = TrailingComments(body);
    impl_->onlyComments = impl_->trailer.size() == body.size();
    // A text of comments only is kept whole in the trailer (SimpleIni would keep a part of it).
    if (impl_->onlyComments) body = {};
    return impl_->ini.LoadData(body.data(), body.size()) >= 0;
}

std::string CIniFile::GetString(const std::string& section, const std::string& key,
                                const std::string& def) const
{
    const char* v = impl_->ini.GetValue(section.c_str(), key.c_str(), nullptr);
    return v ? std::string(v) : def;
}

int CIniFile::GetInt(const std::string& section, const std::string& key, int def) const
{
    const char* v = impl_->ini.GetValue(section.c_str(), key.c_str(), nullptr);
    if (!v) return def;
    char* end = nullptr;
    long n = std::strtol(v, &end, 10);
    if (end == v) return def;
    if (n > INT32_MAX) return INT32_MAX;
    if (n < INT32_MIN) return INT32_MIN;
    return static_cast<int>(n);
}

bool CIniFile::HasKey(const std::string& section, const std::string& key) const
{
    return impl_->ini.GetValue(section.c_str(), key.c_str(), nullptr) != nullptr;
}

std::vector<std::string> CIniFile::Sections() const
{
    CSimpleIniA::TNamesDepend names;
    impl_->ini.GetAllSections(names);
    names.sort(CSimpleIniA::Entry::LoadOrder());
    std::vector<std::string> out;
    for (const auto& e : names) out.emplace_back(e.pItem);
    return out;
}

std::vector<std::string> CIniFile::Keys(const std::string& section) const
{
    CSimpleIniA::TNamesDepend names;
    impl_->ini.GetAllKeys(section.c_str(), names);
    names.sort(CSimpleIniA::Entry::LoadOrder());
    std::vector<std::string> out;
    for (const auto& e : names) out.emplace_back(e.pItem);
    return out;
}

void CIniFile::SetString(const std::string& section, const std::string& key,
                         const std::string& value)
{
    // An existing key keeps the spelling it has in the file.
    std::string name = key;
    for (const std::string& existing : Keys(section))
        if (strcasecmp(existing.c_str(), key.c_str()) == 0) name = existing;
    // Replaces every line of a repeated key by one, at the place of the first.
    impl_->ini.SetValue(section.c_str(), name.c_str(), value.c_str(), nullptr, true);
}

bool CIniFile::Save(const std::string& path) const
{
    std::string out;
    if (impl_->ini.Save(out) < 0) return false;
    if (impl_->onlyComments) {
        std::string head = impl_->trailer;
        if (!head.empty() && head.back() != '\n' && !out.empty()) head += '\n';
        out = head + out;
    } else if (!impl_->trailer.empty()) {
        if (!out.empty() && out.back() != '\n') out += '\n';
        out += impl_->trailer;
    }
    return WriteFileAtomic(path, out);
}

std::string CIniFile::ReadString(const std::string& path, const std::string& section,
                                 const std::string& key, const std::string& def)
{
    CIniFile f;
    f.Load(path);
    return f.GetString(section, key, def);
}

int CIniFile::ReadInt(const std::string& path, const std::string& section, const std::string& key,
                      int def)
{
    CIniFile f;
    f.Load(path);
    return f.GetInt(section, key, def);
}

bool CIniFile::WriteString(const std::string& path, const std::string& section,
                           const std::string& key, const std::string& value)
{
    CIniFile f;
    // A file that exists but cannot be read is left alone rather than replaced by one key.
    if (!f.Load(path) && ::access(path.c_str(), F_OK) == 0) return false;
    f.SetString(section, key, value);
    return f.Save(path);
}

}  // namespace rv
