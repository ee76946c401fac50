#pragma once
// The process-wide settings object: what the program remembers in "Settings.ini", the current
// model identity, the user level, and the text service over the selected language file.

#include <string>
#include <vector>

#include "base/ChoiceList.h"
#include "base/IniFile.h"
#include "base/TextService.h"

namespace rv {

/// User levels that unlock the service features.
inline constexpr int kFullServiceLevel = 62740183;
inline constexpr int kServiceLevel = 73915026;
/// The version text of data that started from defaults, and the reference of every check.
inline constexpr const char* kProgramDataVersion = "1.01.16.001";
/// Model texts naming the three known model IDs.
enum class ModelText : int { Rv205 = 510, FirstEdition = 300, SecondEdition = 310 };

/// What a widget needs from the language file to show one control.
struct ControlTexts {
    std::string text;                      ///< "" keeps the widget's own text
    bool disabled = false;                 ///< the hide value of the control is non-zero
    std::vector<ChoiceEntry> entries;      ///< items of the choice list with the control's id
    std::optional<RangeDescriptor> range;  ///< range descriptor for numeric fields
};

/// Where a program finds its files. Run from its build folder or with --home, everything is in
/// one program directory. Installed, the read-only resources are shared below the prefix and
/// the user's settings are the user's own.
struct ProgramPaths {
    std::string resourceDir;  ///< Model.dat, language files, default sets, help, pictures; '/' at the end
    std::string configDir;    ///< the folder of the user's Settings.ini; '/' at the end
    bool installed = false;   ///< the installed layout (resources in <prefix>/share/rvcps)
};

/// The folder of the installed resources relative to the folder of the programs.
inline constexpr const char* kInstalledResourceDir = "../share/rvcps/";

/// The paths of a program whose executable is in exeDir. A folder that holds Model.dat or the
/// English language file is a program directory (a build folder or a copied one). Otherwise,
/// when exeDir/../share/rvcps holds them, the program is installed: resources there, settings
/// in $XDG_CONFIG_HOME/rvcps (~/.config/rvcps when unset or not absolute). Otherwise exeDir
/// stays the program directory, so that a missing file is named where it was looked for.
ProgramPaths LocateProgramPaths(const std::string& exeDir);

/// The directory of the running executable, with a trailing '/'.
std::string ExecutableDir();

/// The settings object is also the program's text service (texts of the selected language file).
class CSettings : public CTextService {
public:
    /// The one settings object of the process.
    static CSettings& Instance();

    /// Reads "Settings.ini" of programDir (every field reset first) and selects the language
    /// stored there. Called at start-up, and by tests with a fresh directory.
    void Init(const std::string& programDir);
    /// The same for the paths of an installed or a program-directory program. Installed, the
    /// user's Settings.ini is made from the shipped one on first start (its folder created);
    /// read-only (the command line), a missing user file means the shipped one is read.
    void Init(const ProgramPaths& paths);
    /// Writes Signal, ModelID, ModelName, ComPort and FreqRange back to "Settings.ini" (the
    /// previous range when the last new-range answer was No). False when it cannot be written.
    bool SaveAtExit() const;

    // Files.
    /// The folder of the read-only resources (the program directory, or <prefix>/share/rvcps
    /// installed), with trailing '/'.
    const std::string& ProgramDir() const { return programDir_; }
    /// The Settings.ini that is read and written.
    const std::string& SettingsPath() const { return settingsPath_; }
    /// True for the installed layout: the resources are shared and may not be written.
    bool Installed() const { return installed_; }
    /// Where the user's own files are offered first (a trace, a report): the program
    /// directory, or the home folder when installed. With trailing '/'.
    std::string UserFilesDir() const;
    std::string ModelDatPath() const { return programDir_ + "Model.dat"; }

    // Language.
    /// Chooses the language file whose own "Language" name is the index-th of its own
    /// "LanguageList"; falls back to "English" and "QTX_E.lng". Writes "Language" to the
    /// settings file.
    void SelectLanguage(int index);
    int LanguageIndex() const { return languageIndex_; }
    const std::string& LanguageName() const { return languageName_; }
    const std::string& LanguageFile() const { return languageFile_; }
    const std::string& HelpFile() const { return helpFile_; }
    /// The locale of the current language file (key "Locale", "zh_CN"): the language of the
    /// toolkit's own texts (standard buttons, file and print dialogs); "" for English.
    std::string Locale() const;
    /// The "LanguageList" names of the current language file.
    std::vector<std::string> LanguageNames() const;
    /// True when the selected language file was found and read.
    bool LanguageLoaded() const { return languageLoaded_; }
    /// When the language file could not be read: one message naming the file and the folder,
    /// in English since the texts themselves are missing; "" when it was read.
    std::string LanguageProblem() const;

    // Texts.
    std::string LoadText(int n) const override;  ///< "S02%05d", "" when missing
    std::string LoadMessage(int n) const;  ///< "S01%05d", first "\n" after position 0 a line break
    /// LoadMessage with its "%s" filled with values in order (FillStrings).
    std::string LoadMessage(int n, const std::vector<std::string>& values) const;
    std::string LoadModelText(int n) const;  ///< "S03%05d"
    std::string LoadModelText(ModelText n) const { return LoadModelText(static_cast<int>(n)); }
    /// "S00%05d" in the section of the current model ID; 0 when missing.
    int HideValue(int n) const;
    /// Stored value of a shown text in choice list n; 0xFF when absent.
    int GetChoiceValue(int list, const std::string& text) const;
    /// Items of choice list n, as a combo box is filled with them.
    std::vector<ChoiceEntry> ChoiceEntries(int list) const;
    /// For each entry of list n the part before its first ','.
    std::vector<std::string> FillChoiceList(int list) const;
    /// What a control with this id shows: its text, hide state, list items and range.
    ControlTexts TranslateControl(int controlId) const;

    // User level, read from the settings file at each use.
    int UserLevel() const;
    bool IsServiceLevel() const;
    bool IsFullServiceLevel() const { return UserLevel() == kFullServiceLevel; }

    // Models.
    bool IsKnownModel(const std::string& modelId) const;
    /// True for the models of model texts 300 and 310.
    bool EditionFlag() const override;
    bool IsFirstEdition() const;   ///< current model is model text 300
    bool IsSecondEdition() const;  ///< current model is model text 310
    bool IsModel(ModelText t) const { return modelId_ == LoadModelText(t); }

    // Remembered values and the current model identity.
    int ComPort() const { return comPort_; }
    void SetComPort(int port) { comPort_ = port; }
    const std::string& ModelID() const { return modelId_; }
    void SetModelID(const std::string& v) { modelId_ = v; }
    const std::string& ModelName() const { return modelName_; }
    void SetModelName(const std::string& v) { modelName_ = v; }
    const std::string& FreqRange() const { return freqRange_; }
    void SetFreqRange(const std::string& v) { freqRange_ = v; }
    const std::string& PrevFreqRange() const { return prevFreqRange_; }
    void SetPrevFreqRange(const std::string& v) { prevFreqRange_ = v; }
    int Signal() const { return signal_; }
    void SetSignal(int v) { signal_ = v; }
    const std::string& RadioVersion() const { return radioVersion_; }
    void SetRadioVersion(const std::string& v) { radioVersion_ = v; }
    int LastRangeAnswer() const { return lastRangeAnswer_; }
    void SetLastRangeAnswer(int v) { lastRangeAnswer_ = v; }
    /// Low and high whole MHz of the current range (0 when missing).
    int CurrentRangeLow() const;
    int CurrentRangeHigh() const;
    /// Whether Write to Radio first reads the radio into a backup file and reads it back
    /// afterwards to verify ("SafeWrite" in "Settings.ini", on unless it holds 0).
    bool SafeWrite() const;
    /// Stores the SafeWrite choice at once (not when read-only); false when it cannot be written.
    bool SetSafeWrite(bool on) const;
    /// True when a write sends only the blocks that differ from what the backup read found
    /// ("ChangedOnly" in "Settings.ini", on unless it holds 0).
    bool ChangedOnly() const;
    /// Stores the ChangedOnly choice at once (not when read-only); false when it cannot be
    /// written.
    bool SetChangedOnly(bool on) const;
    /// When true, SaveAtExit and SelectLanguage never write (the command line reads only).
    void SetReadOnly(bool on) { readOnly_ = on; }

private:
    std::string programDir_;
    std::string settingsPath_;
    bool installed_ = false;
    int comPort_ = 1;
    std::string modelName_, modelId_, freqRange_, prevFreqRange_;
    int lastRangeAnswer_ = 6;
    int signal_ = 0;
    std::string helpFile_, languageFile_, languageName_;
    int languageIndex_ = 0;
    bool languageLoaded_ = false;
    std::string radioVersion_ = kProgramDataVersion;
    bool readOnly_ = false;
    CIniFile language_;
};

/// Fills the "%s" of a text with values in order, in one pass: a value is never read as part
/// of the text ("%" in a file name stays). "%%" is a percent sign; a "%s" without a value
/// becomes empty; other "%" stay as they are.
std::string FillStrings(const std::string& format, const std::vector<std::string>& values);

/// Shorthand for CSettings::Instance().
inline CSettings& Settings()
{
    return CSettings::Instance();
}

}  // namespace rv
