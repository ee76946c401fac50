// The only translation unit that includes SimpleIni; built header-only without conversion,
// since every file of the program is UTF-8 (or plain ASCII) text.
#define SI_NO_CONVERSION
#include "shell/IniFile.h"

#include <SimpleIni.h>

#include <unistd.h>

#include <cstdlib>

#include "shell/AtomicFile.h"

namespace rv {

struct CIniFile::Impl {
    CSimpleIniA ini{false, false, false};
    Impl() { ini.SetQuotes(true); }
};

CIniFile::CIniFile() : impl_(std::make_unique<Impl>()) {}
CIniFile::~CIniFile() = default;
CIniFile::CIniFile(CIniFile&&) noexcept = default;
CIniFile& CIniFile::operator=(CIniFile&&) noexcept = default;

bool CIniFile::Load(const std::string& path)
{
    impl_->ini.Reset();
    std::string text;
    if (!ReadWholeFile(path, text)) return false;
    return LoadText(text);
}

bool CIniFile::LoadText(const std::string& text)
{
    impl_->ini.Reset();
    std::string_view body(text);
    if (body.size() >= 3 && body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
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
    impl_->ini.SetValue(section.c_str(), key.c_str(), value.c_str());
}

bool CIniFile::Save(const std::string& path) const
{
    std::string out;
    if (impl_->ini.Save(out) < 0) return false;
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
