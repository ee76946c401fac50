#include "base/Settings.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/AtomicFile.h"
#include "base/Bytes.h"

namespace rv {

namespace {

constexpr const char* kSettingSection = "Setting";
constexpr const char* kUserModeSection = "User Mode";

std::string Key(const char* prefix, int n)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%05d", prefix, n);
    return buf;
}

std::vector<std::string> SplitComma(const std::string& s)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find(',', start);
        if (end == std::string::npos) end = s.size();
        std::string item = s.substr(start, end - start);
        size_t a = item.find_first_not_of(" \t");
        size_t b = item.find_last_not_of(" \t");
        out.push_back(a == std::string::npos ? std::string() : item.substr(a, b - a + 1));
        start = end + 1;
    }
    return out;
}

std::string WithSlash(std::string dir)
{
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

bool IsFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

/// A folder holds the program's resources when the model catalogue or the English language
/// file is there.
bool HoldsResources(const std::string& dir)
{
    return IsFile(dir + "Model.dat") || IsFile(dir + "QTX_E.lng");
}

/// The user's home folder: $HOME, or the password database's entry when it is unset.
std::string HomeDir()
{
    if (const char* home = std::getenv("HOME"); home && *home == '/') return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir == '/')
        return pw->pw_dir;
    return {};
}

/// Makes a folder and its parents (mode 0700 for the new ones, as the user's configuration
/// folders are). True when it is there afterwards.
bool MakeFolders(const std::string& dir)
{
    std::string path;
    for (size_t pos = 0; pos != std::string::npos;) {
        pos = dir.find('/', pos + 1);
        path = dir.substr(0, pos);
        if (path.empty()) continue;
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

ProgramPaths LocateProgramPaths(const std::string& exeDir)
{
    const std::string dir = WithSlash(exeDir.empty() ? std::string("./") : exeDir);
    ProgramPaths paths{dir, dir, false};
    if (HoldsResources(dir)) return paths;
    const std::string shared = dir + kInstalledResourceDir;
    if (!HoldsResources(shared)) return paths;
    // "<prefix>/bin/../share/rvcps/" as "<prefix>/share/rvcps/" when the prefix resolves.
    char resolved[PATH_MAX];
    paths.resourceDir = WithSlash(::realpath(shared.c_str(), resolved) ? resolved : shared);
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        config = xdg;
    else if (const std::string home = HomeDir(); !home.empty())
        config = WithSlash(home) + ".config";
    // Without any home the settings are only read, from the shipped file.
    paths.configDir = config.empty() ? std::string() : WithSlash(config) + "rvcps/";
    paths.installed = true;
    return paths;
}

std::string ExecutableDir()
{
    std::vector<char> buf(PATH_MAX + 1);
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return "./";
    const std::string path(buf.data(), static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

CSettings& CSettings::Instance()
{
    static CSettings settings;
    return settings;
}

void CSettings::Init(const std::string& programDir)
{
    const std::string dir = WithSlash(programDir);
    Init(ProgramPaths{dir, dir, false});
}

void CSettings::Init(const ProgramPaths& paths)
{
    bool readOnly = readOnly_;
    *this = CSettings();
    readOnly_ = readOnly;
    programDir_ = WithSlash(paths.resourceDir);
    installed_ = paths.installed;
    const std::string shipped = programDir_ + "Settings.ini";
    settingsPath_ = shipped;
    if (installed_ && !paths.configDir.empty()) {
        const std::string own = WithSlash(paths.configDir) + "Settings.ini";
        if (IsFile(own)) {
            settingsPath_ = own;
        } else if (!readOnly_) {
            // First start of this user: the shipped settings become the user's own. When that
            // fails (no home, a full disk) the shipped ones are read and nothing is kept.
            std::string text;
            if (MakeFolders(paths.configDir) &&
                ReadWholeFile(shipped, text) && WriteFileAtomic(own, text))
                settingsPath_ = own;
        }
    } else if (!installed_ && !paths.configDir.empty()) {
        settingsPath_ = WithSlash(paths.configDir) + "Settings.ini";
    }
    CIniFile ini;
    ini.Load(SettingsPath());
    signal_ = ini.GetInt(kSettingSection, "Signal", 0);
    comPort_ = ini.GetInt(kSettingSection, "ComPort", 1);
    modelName_ = ini.GetString(kSettingSection, "ModelName").substr(0, 100);
    modelId_ = ini.GetString(kSettingSection, "ModelID").substr(0, 100);
    freqRange_ = ini.GetString(kSettingSection, "FreqRange").substr(0, 100);
    SelectLanguage(ini.GetInt(kSettingSection, "Language", 0));
}

bool CSettings::SaveAtExit() const
{
    if (readOnly_) return true;
    CIniFile ini;
    // A settings file that exists but cannot be read is kept rather than replaced by five keys.
    if (!ini.Load(SettingsPath()) && ::access(SettingsPath().c_str(), F_OK) == 0) return false;
    ini.SetString(kSettingSection, "Signal", std::to_string(signal_));
    ini.SetString(kSettingSection, "ModelID", modelId_);
    ini.SetString(kSettingSection, "ModelName", modelName_);
    ini.SetString(kSettingSection, "ComPort", std::to_string(comPort_));
    ini.SetString(kSettingSection, "FreqRange",
                  lastRangeAnswer_ == 7 ? prevFreqRange_ : freqRange_);
    return ini.Save(SettingsPath());
}

void CSettings::SelectLanguage(int index)
{
    std::vector<std::string> files;
    if (DIR* dir = opendir(programDir_.empty() ? "." : programDir_.c_str())) {
        while (dirent* e = readdir(dir)) {
            std::string name = e->d_name;
            if (name.size() < 4 || name[0] == '.') continue;
            std::string ext = name.substr(name.size() - 4);
            std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
            if (ext != ".lng") continue;
            struct stat st {};
            std::string path = programDir_ + name;
            if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
            files.push_back(path);
        }
        closedir(dir);
    }
    // Directory order is not stable; sort so that the same files always give the same choice.
    std::sort(files.begin(), files.end());
    languageFile_.clear();
    for (const std::string& path : files) {
        CIniFile f;
        if (!f.Load(path)) continue;
        std::string name = f.GetString(kSettingSection, "Language", "English");
        std::vector<std::string> list = SplitComma(f.GetString(kSettingSection, "LanguageList"));
        if (index >= 0 && index < static_cast<int>(list.size()) && list[index] == name) {
            languageFile_ = path;
            languageName_ = name;
            languageIndex_ = index;
            language_ = std::move(f);
            break;
        }
    }
    if (languageFile_.empty()) {
        languageIndex_ = 0;
        languageName_ = "English";
        languageFile_ = programDir_ + "QTX_E.lng";
        languageLoaded_ = language_.Load(languageFile_);
    } else {
        languageLoaded_ = true;
    }
    helpFile_ = language_.GetString(kSettingSection, "HelpFile", helpFile_);
    if (!readOnly_)
        CIniFile::WriteString(SettingsPath(), kSettingSection, "Language",
                              std::to_string(languageIndex_));
}

std::string CSettings::UserFilesDir() const
{
    if (!installed_) return programDir_;
    const std::string home = HomeDir();
    return home.empty() ? std::string("./") : WithSlash(home);
}

std::string CSettings::LanguageProblem() const
{
    if (languageLoaded_) return {};
    const size_t slash = languageFile_.rfind('/');
    const std::string name =
        slash == std::string::npos ? languageFile_ : languageFile_.substr(slash + 1);
    const std::string folder = programDir_.empty() ? std::string("./") : programDir_;
    return "The language file " + name + " is missing from the program folder " + folder +
           " or cannot be read, so the program has none of its texts. Put the program's "
           "language files back into that folder, or name the folder that holds them with "
           "--home.";
}

std::string CSettings::Locale() const
{
    return language_.GetString(kSettingSection, "Locale");
}

std::vector<std::string> CSettings::LanguageNames() const
{
    std::string list = language_.GetString(kSettingSection, "LanguageList");
    if (list.empty()) return {languageName_};
    return SplitComma(list);
}

std::string CSettings::LoadText(int n) const
{
    return language_.GetString(kSettingSection, Key("S02", n)).substr(0, 25599);
}

std::string CSettings::LoadMessage(int n) const
{
    std::string s = language_.GetString(kSettingSection, Key("S01", n)).substr(0, 255);
    size_t pos = s.find("\\n", 1);
    // The two characters "\n" become one line break.
    if (pos != std::string::npos) {
        s[pos] = '\n';
        s.erase(pos + 1, 1);
    }
    return s;
}

std::string CSettings::LoadMessage(int n, const std::vector<std::string>& values) const
{
    return FillStrings(LoadMessage(n), values);
}

std::string FillStrings(const std::string& format, const std::vector<std::string>& values)
{
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (format[i + 1] == 's') {
                if (next < values.size()) out += values[next];
                ++next;
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

std::string CSettings::LoadModelText(int n) const
{
    return language_.GetString(kSettingSection, Key("S03", n)).substr(0, 255);
}

int CSettings::HideValue(int n) const
{
    if (modelId_.empty()) return 0;
    return language_.GetInt(modelId_, Key("S00", n), 0);
}

int CSettings::GetChoiceValue(int list, const std::string& text) const
{
    return ChoiceValueOf(LoadText(list), text).value_or(0xFF);
}

std::vector<ChoiceEntry> CSettings::ChoiceEntries(int list) const
{
    return ParseChoiceList(LoadText(list));
}

std::vector<std::string> CSettings::FillChoiceList(int list) const
{
    return SplitChoiceNames(LoadText(list));
}

ControlTexts CSettings::TranslateControl(int controlId) const
{
    ControlTexts t;
    std::string text = LoadText(controlId);
    t.disabled = HideValue(controlId) != 0;
    t.range = ParseRangeDescriptor(text);
    t.entries = ParseChoiceList(text);
    t.text = text;
    return t;
}

int CSettings::UserLevel() const
{
    return CIniFile::ReadInt(SettingsPath(), kUserModeSection, "Level", 0);
}

bool CSettings::SafeWrite() const
{
    return CIniFile::ReadInt(SettingsPath(), kSettingSection, "SafeWrite", 1) != 0;
}

bool CSettings::SetSafeWrite(bool on) const
{
    if (readOnly_) return true;
    return CIniFile::WriteString(SettingsPath(), kSettingSection, "SafeWrite", on ? "1" : "0");
}

bool CSettings::ChangedOnly() const
{
    return CIniFile::ReadInt(SettingsPath(), kSettingSection, "ChangedOnly", 1) != 0;
}

bool CSettings::SetChangedOnly(bool on) const
{
    if (readOnly_) return true;
    return CIniFile::WriteString(SettingsPath(), kSettingSection, "ChangedOnly", on ? "1" : "0");
}

bool CSettings::IsServiceLevel() const
{
    int level = UserLevel();
    return level == kFullServiceLevel || level == kServiceLevel;
}

bool CSettings::IsKnownModel(const std::string& modelId) const
{
    if (modelId.empty()) return false;
    for (ModelText t : {ModelText::Rv205, ModelText::FirstEdition, ModelText::SecondEdition})
        if (modelId == LoadModelText(t)) return true;
    return false;
}

bool CSettings::EditionFlag() const
{
    return IsFirstEdition() || IsSecondEdition();
}

bool CSettings::IsFirstEdition() const
{
    return !modelId_.empty() && modelId_ == LoadModelText(ModelText::FirstEdition);
}

bool CSettings::IsSecondEdition() const
{
    return !modelId_.empty() && modelId_ == LoadModelText(ModelText::SecondEdition);
}

int CSettings::CurrentRangeLow() const
{
    int low = 0, high = 0;
    ParseRange(freqRange_, low, high);
    return low;
}

int CSettings::CurrentRangeHigh() const
{
    int low = 0, high = 0;
    ParseRange(freqRange_, low, high);
    return high;
}

}  // namespace rv
