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
#include <vector>

#include "base/AtomicFile.h"

namespace rv {

namespace {

// ---- editing the text of a file in place ----
// A key is written by changing its line in the file's own text, so that comments, blank lines,
// the order of the entries, the spacing around '=' and the line ends stay as the user or the
// installer left them; only the value of that key changes.

struct Line {
    std::string_view body;  ///< the line without its end
    std::string_view end;   ///< "\n", "\r\n", "\r" or "" for the last line
};

std::vector<Line> SplitLines(std::string_view text)
{
    std::vector<Line> lines;
    for (size_t pos = 0; pos < text.size();) {
        // Lines end at '\n' or at '\r', as they do for the parser: a lone '\r' ends a line too.
        const size_t stop = text.find_first_of("\r\n", pos);
        if (stop == std::string_view::npos) {
            lines.push_back({text.substr(pos), {}});
            break;
        }
        size_t next = stop + 1;
        if (text[stop] == '\r' && next < text.size() && text[next] == '\n') ++next;
        lines.push_back({text.substr(pos, stop - pos), text.substr(stop, next - stop)});
        pos = next;
    }
    return lines;
}

std::string_view Trim(std::string_view s)
{
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const size_t last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool IsComment(std::string_view trimmed)
{
    return !trimmed.empty() && (trimmed[0] == ';' || trimmed[0] == '#');
}

// The name of a section line ("[ Name ]" gives "Name"); false for any other line.
bool SectionName(std::string_view line, std::string_view& name)
{
    const std::string_view t = Trim(line);
    if (t.empty() || t[0] != '[') return false;
    const size_t close = t.find(']');
    if (close == std::string_view::npos) return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

// The key of a key line and the place of its '='; false for any other line.
bool KeyName(std::string_view line, std::string_view& key, size_t& equals)
{
    const std::string_view t = Trim(line);
    if (t.empty() || IsComment(t) || t[0] == '[') return false;
    equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    key = Trim(line.substr(0, equals));
    return !key.empty();
}

// The value as it is written after '=': quoted when reading would otherwise lose its outer
// spaces or a pair of enclosing quotes; line breaks become spaces (a value is one line).
std::string WrittenValue(std::string value)
{
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';
    if (value.empty()) return value;
    const bool padded = value.front() == ' ' || value.front() == '\t' || value.back() == ' ' ||
                        value.back() == '\t';
    const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    return padded || quoted ? '"' + value + '"' : value;
}

// The text with section/key set to value: the key's first line in the section keeps its place
// and its spelling and gets the new value, later lines of the same key go; a new key follows
// the last entry of the section; a new section goes at the end.
std::string SetInText(std::string_view text, const std::string& section, const std::string& key,
                      const std::string& value)
{
    const std::vector<Line> lines = SplitLines(text);
    const std::string newline = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    const std::string written = WrittenValue(value);

    std::string out;
    out.reserve(text.size() + key.size() + written.size() + section.size() + 8);
    bool inSection = section.empty();  // keys before the first section have the section ""
    bool replaced = false;
    size_t insertAt = std::string::npos;  // where a new key goes: after the section's last entry
    bool breakFirst = false;              // that entry is the last line and has no line end
    for (const Line& line : lines) {
        std::string_view name;
        size_t equals = 0;
        if (SectionName(line.body, name)) {
            inSection = SameName(name, section);
            out.append(line.body).append(line.end);
            if (inSection && insertAt == std::string::npos) {
                insertAt = out.size();
                breakFirst = line.end.empty();
            }
            continue;
        }
        if (inSection && KeyName(line.body, name, equals) && SameName(name, key)) {
            if (replaced) continue;  // a repeated key is left as one line
            replaced = true;
            // The spacing after '=' stays as it was.
            size_t valueAt = equals + 1;
            while (valueAt < line.body.size() &&
                   (line.body[valueAt] == ' ' || line.body[valueAt] == '\t'))
                ++valueAt;
            out.append(line.body.substr(0, valueAt)).append(written);
            out.append(line.end.empty() ? std::string_view() : line.end);
            continue;
        }
        // A '[' line without ']' would make the parser read the lines after it as the name of
        // a section; it is kept as a comment so that the key written can be read back.
        const std::string_view trimmed = Trim(line.body);
        if (!trimmed.empty() && trimmed[0] == '[') out += "; ";
        out.append(line.body).append(line.end);
        if (inSection && KeyName(line.body, name, equals)) {
            insertAt = out.size();
            breakFirst = line.end.empty();  // the file's last line has no line end
        }
    }
    if (replaced) return out;

    const std::string entry = key + "=" + written + newline;
    if (insertAt != std::string::npos) {
        out.insert(insertAt, breakFirst ? newline + entry : entry);
        return out;
    }
    if (section.empty()) return entry + out;
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += newline;
    // A blank line before the new section, unless the text ends with one already.
    if (!out.empty() && !lines.empty() && !Trim(lines.back().body).empty()) out += newline;
    out += "[" + section + "]" + newline + entry;
    return out;
}

}  // namespace

struct CIniFile::Impl {
    // Multi-key mode keeps repeated keys as they are in the file: reading gives the first one
    // (as the Windows profile functions do) and writing another key keeps every line.
    CSimpleIniA ini{false, true, false};
    std::string text;  ///< the document's text as Save writes it: the file with its changes
    bool byteOrderMark = false;  ///< the file began with a UTF-8 byte order mark
    Impl() { ini.SetQuotes(true); }
};

CIniFile::CIniFile() : impl_(std::make_unique<Impl>()) {}
CIniFile::~CIniFile() = default;
CIniFile::CIniFile(CIniFile&&) noexcept = default;
CIniFile& CIniFile::operator=(CIniFile&&) noexcept = default;

bool CIniFile::Load(const std::string& path)
{
    impl_->ini.Reset();
    impl_->text.clear();
    impl_->byteOrderMark = false;
    std::string text;
    if (!ReadWholeFile(path, text)) return false;
    return LoadText(text);
}

bool CIniFile::LoadText(const std::string& text)
{
    impl_->ini.Reset();
    std::string_view body(text);
    impl_->byteOrderMark = body.size() >= 3 && body.substr(0, 3) == "\xEF\xBB\xBF";
    if (impl_->byteOrderMark) body.remove_prefix(3);
    // The parser ends a text at a zero byte; what follows one is not part of the document.
    body = body.substr(0, body.find('\0'));
    impl_->text.assign(body);
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
    impl_->text = SetInText(impl_->text, section, key, value);
}

bool CIniFile::Save(const std::string& path) const
{
    if (!impl_->byteOrderMark) return WriteFileAtomic(path, impl_->text);
    return WriteFileAtomic(path, "\xEF\xBB\xBF" + impl_->text);
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
