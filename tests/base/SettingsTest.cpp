// The settings object: remembered values of "Settings.ini", the choice of the language file,
// the text service over it, per-model hide values, the user level and the model predicates,
// and what is written back at exit.

#include "base/Settings.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "base/ChoiceList.h"
#include "base/IniFile.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::TempHome;

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A language file with known texts, installed as the fallback file "QTX_E.lng".
constexpr const char* kTestLanguage =
    "[Setting]\n"
    "Language=English\n"
    "LanguageList=English,Deutsch\n"
    "HelpFile=help_E.html\n"
    "S0100001=One\\nTwo\\nThree\n"
    "S0100002=\\nLeading\\nSecond\n"
    "S0100003=No break\n"
    "S0100004=Ends\\n\n"
    "S0200010=0.Off;1.On\n"
    "S0200011=1:1:16:1:0:1:0\n"
    "S0200012=1250:625:2500:1000:0:1:3\n"
    "S0201039=English,0;Deutsch,1\n"
    "S0300510=RV205\n"
    "S0300300=RV305\n"
    "S0300310=RV385\n"
    "[RV205]\n"
    "S0001076=1\n"
    "[rv305]\n"
    "S0001080=2\n";

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Only the test's own language files: the shipped translations would match too.
        for (const auto& e : std::filesystem::directory_iterator(home.Dir()))
            if (e.path().extension() == ".lng") std::filesystem::remove(e.path());
        home.Write("QTX_E.lng", kTestLanguage);
        Settings().SetReadOnly(false);
        Settings().Init(home.Dir());
    }
    void TearDown() override { Settings().SetReadOnly(false); }

    std::string SettingsFile() const { return ReadText(home.Path("Settings.ini")); }

    TempHome home;
};

// ---- the shipped language files ----

/// The texts of a language file's [Setting] section by key.
std::map<std::string, std::string> ShippedTexts(const std::string& path)
{
    std::map<std::string, std::string> texts;
    std::istringstream in(ReadText(path));
    std::string line;
    bool setting = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') setting = line.rfind("[Setting]", 0) == 0;
        const size_t eq = line.find('=');
        if (setting && line.size() > 1 && line[0] == 'S' && eq != std::string::npos)
            texts[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return texts;
}

/// The stored values of a choice list in order (empty for a text that is no list).
std::vector<int> StoredValues(const std::string& list)
{
    std::vector<int> values;
    for (const ChoiceEntry& e : ParseChoiceList(list)) values.push_back(e.value);
    return values;
}

TEST(ShippedLanguages, EveryTextIsTranslatedWithTheSameStoredValues)
{
    TempHome home;
    const auto english = ShippedTexts(home.Path("QTX_E.lng"));
    const auto chinese = ShippedTexts(home.Path("QTX_S.lng"));
    ASSERT_FALSE(english.empty());
    for (const auto& [key, text] : english) {
        auto it = chinese.find(key);
        if (it == chinese.end()) {
            ADD_FAILURE() << key << " has no Chinese text";
            continue;
        }
        EXPECT_FALSE(it->second.empty()) << key;
        // A choice list must store the same values in both languages.
        if (key.rfind("S02", 0) == 0) {
            EXPECT_EQ(StoredValues(it->second), StoredValues(text)) << key;
        }
    }
    for (const auto& [key, text] : chinese)
        EXPECT_TRUE(english.count(key)) << key << " has no English text";
}

// ---- remembered values ----

TEST_F(SettingsTest, InitReadsTheRememberedValues)
{
    home.Write("Settings.ini",
               "[setting]\nsignal=1\ncomport=4\nmodelname=RV-305\nMODELID=RV305\n"
               "FreqRange=450-520\nLanguage=0\n");
    Settings().SetRadioVersion("1.01.20.000");
    Settings().SetLastRangeAnswer(7);
    Settings().Init(home.Dir());
    const CSettings& s = Settings();
    EXPECT_EQ(s.Signal(), 1);
    EXPECT_EQ(s.ComPort(), 4);
    EXPECT_EQ(s.ModelName(), "RV-305");
    EXPECT_EQ(s.ModelID(), "RV305");
    EXPECT_EQ(s.FreqRange(), "450-520");
    EXPECT_EQ(s.CurrentRangeLow(), 450);
    EXPECT_EQ(s.CurrentRangeHigh(), 520);
    EXPECT_EQ(s.ProgramDir(), home.Dir());
    // What is not remembered starts afresh.
    EXPECT_EQ(s.RadioVersion(), kProgramDataVersion);
    EXPECT_EQ(s.LastRangeAnswer(), 6);
    EXPECT_EQ(s.PrevFreqRange(), "");
}

TEST_F(SettingsTest, MissingSettingsFileGivesTheDefaults)
{
    std::filesystem::remove(home.Path("Settings.ini"));
    Settings().Init(home.Dir().substr(0, home.Dir().size() - 1));  // without the trailing '/'
    const CSettings& s = Settings();
    EXPECT_EQ(s.ProgramDir(), home.Dir());
    EXPECT_EQ(s.Signal(), 0);
    EXPECT_EQ(s.ComPort(), 1);
    EXPECT_EQ(s.ModelID(), "");
    EXPECT_EQ(s.ModelName(), "");
    EXPECT_EQ(s.FreqRange(), "");
    EXPECT_EQ(s.CurrentRangeLow(), 0);
    EXPECT_EQ(s.CurrentRangeHigh(), 0);
    EXPECT_EQ(s.LanguageName(), "English");
    EXPECT_EQ(s.UserLevel(), 0);
}

// ---- language selection ----

TEST_F(SettingsTest, LanguageIsChosenByItsOwnListWhateverTheFileName)
{
    // Sorted first, but its own list has English at index 1: not the file for index 1.
    home.Write("AAA.lng",
               "[Setting]\nLanguage=Deutsch\nLanguageList=Deutsch,English\nS0200128=Falsch\n");
    home.Write("zz_second.lng",
               "\xEF\xBB\xBF[Setting]\nLanguage=Deutsch\nLanguageList=English, Deutsch\n"
               "HelpFile=hilfe.html\nS0200128=Titel\n");
    std::filesystem::create_directory(home.Path("folder.lng"));

    Settings().SelectLanguage(1);
    const CSettings& s = Settings();
    EXPECT_EQ(s.LanguageFile(), home.Path("zz_second.lng"));
    EXPECT_EQ(s.LanguageName(), "Deutsch");
    EXPECT_EQ(s.LanguageIndex(), 1);
    EXPECT_TRUE(s.LanguageLoaded());
    EXPECT_EQ(s.LoadText(128), "Titel");
    EXPECT_EQ(s.HelpFile(), "hilfe.html");
    EXPECT_EQ(s.LanguageNames(), (std::vector<std::string>{"English", "Deutsch"}));
    EXPECT_EQ(CIniFile::ReadInt(home.Path("Settings.ini"), "Setting", "Language", -1), 1);

    // The index remembered in the settings file is applied at start-up.
    Settings().Init(home.Dir());
    EXPECT_EQ(Settings().LanguageName(), "Deutsch");
    EXPECT_EQ(Settings().LoadText(128), "Titel");
}

TEST_F(SettingsTest, NoMatchingLanguageFallsBackToEnglish)
{
    for (int index : {5, -1, 1}) {
        SCOPED_TRACE(index);
        Settings().SelectLanguage(index);  // no file names Deutsch as its own language
        const CSettings& s = Settings();
        EXPECT_EQ(s.LanguageIndex(), 0);
        EXPECT_EQ(s.LanguageName(), "English");
        EXPECT_EQ(s.LanguageFile(), home.Path("QTX_E.lng"));
        EXPECT_EQ(s.LoadText(10), "0.Off;1.On");
        EXPECT_EQ(CIniFile::ReadInt(home.Path("Settings.ini"), "Setting", "Language", -1), 0);
    }
}

TEST_F(SettingsTest, WithoutAnyLanguageFileEveryTextIsEmpty)
{
    std::filesystem::remove(home.Path("QTX_E.lng"));
    Settings().SelectLanguage(0);
    const CSettings& s = Settings();
    EXPECT_FALSE(s.LanguageLoaded());
    EXPECT_EQ(s.LanguageFile(), home.Path("QTX_E.lng"));
    EXPECT_EQ(s.LoadText(10), "");
    EXPECT_EQ(s.LoadMessage(1), "");
    EXPECT_EQ(s.GetChoiceText(10, 1), "");
    EXPECT_FALSE(s.IsKnownModel(""));
    EXPECT_FALSE(s.IsKnownModel("RV205"));
}

TEST_F(SettingsTest, MissingOrUnreadableLanguageFileIsNamedWithItsFolder)
{
    EXPECT_EQ(Settings().LanguageProblem(), "") << "the shipped file is read";
    // Missing, and a folder where the file should be: neither can be read.
    std::filesystem::remove(home.Path("QTX_E.lng"));
    for (bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "a folder" : "missing");
        if (folder) std::filesystem::create_directory(home.Path("QTX_E.lng"));
        Settings().Init(home.Dir());
        const std::string text = Settings().LanguageProblem();
        EXPECT_NE(text.find("language file QTX_E.lng"), std::string::npos) << text;
        EXPECT_NE(text.find("folder " + home.Dir()), std::string::npos) << text;
    }
}

struct FillCase {
    const char* format;
    std::vector<std::string> values;
    const char* expected;
};

class FillStringsTest : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillStringsTest, FillsEachPlaceholderOnceInOrder)
{
    const FillCase& c = GetParam();
    EXPECT_EQ(FillStrings(c.format, c.values), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FillStringsTest,
    ::testing::Values(FillCase{"%s to %s", {"120", "743"}, "120 to 743"},
                      FillCase{"no value", {"x"}, "no value"},
                      FillCase{"%s and %s", {"a"}, "a and "},
                      // A value is never read as a placeholder: a file name may hold "%s".
                      FillCase{
                          "file %s: %s", {"/tmp/50%s.dat", "gone"}, "file /tmp/50%s.dat: gone"},
                      FillCase{"100%% of %s", {"it"}, "100% of it"},
                      FillCase{"%d stays, %s goes", {"x"}, "%d stays, x goes"},
                      FillCase{"ends with %", {}, "ends with %"}));

TEST_F(SettingsTest, HelpFileStaysWhenTheNewLanguageNamesNone)
{
    home.Write("de.lng", "[Setting]\nLanguage=Deutsch\nLanguageList=English,Deutsch\n");
    Settings().SelectLanguage(1);
    EXPECT_EQ(Settings().LanguageFile(), home.Path("de.lng"));
    EXPECT_EQ(Settings().HelpFile(), "help_E.html");
}

TEST_F(SettingsTest, ReadOnlySettingsAreNeverWritten)
{
    home.Write("de.lng", "[Setting]\nLanguage=Deutsch\nLanguageList=English,Deutsch\n");
    const std::string before = SettingsFile();
    Settings().SetReadOnly(true);
    Settings().Init(home.Dir());
    Settings().SelectLanguage(1);
    Settings().SetModelID("RV385");
    EXPECT_TRUE(Settings().SaveAtExit());
    EXPECT_EQ(SettingsFile(), before);
    EXPECT_EQ(Settings().LanguageName(), "Deutsch");
}

// ---- texts ----

struct MessageCase {
    int number;
    const char* expected;
};

class SettingsMessageTest : public SettingsTest,
                            public ::testing::WithParamInterface<MessageCase> {};

TEST_P(SettingsMessageTest, OnlyTheFirstBackslashNAfterTheStartBreaksTheLine)
{
    EXPECT_EQ(Settings().LoadMessage(GetParam().number), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Messages, SettingsMessageTest,
                         ::testing::Values(MessageCase{1, "One\nTwo\\nThree"},
                                           MessageCase{2, "\\nLeading\nSecond"},
                                           MessageCase{3, "No break"},
                                           MessageCase{4, "Ends\n"},
                                           MessageCase{99, ""}));

TEST_F(SettingsTest, TextsByKindAndNumber)
{
    const CSettings& s = Settings();
    EXPECT_EQ(s.LoadText(10), "0.Off;1.On");
    EXPECT_EQ(s.LoadText(1), "");  // S0100001 is a message, not an interface text
    EXPECT_EQ(s.LoadModelText(510), "RV205");
    EXPECT_EQ(s.LoadModelText(ModelText::SecondEdition), "RV385");
    EXPECT_EQ(s.LoadModelText(10), "");
}

TEST_F(SettingsTest, LongMessagesAreCutAt255Characters)
{
    home.Write("QTX_E.lng", "[Setting]\nS0100001=" + std::string(300, 'x') + "\nS0200001=" +
                                std::string(30000, 'y') + "\n");
    Settings().Init(home.Dir());
    EXPECT_EQ(Settings().LoadMessage(1).size(), 255u);
    EXPECT_EQ(Settings().LoadText(1).size(), 25599u);
}

TEST_F(SettingsTest, ChoiceListsByNumber)
{
    const CSettings& s = Settings();
    EXPECT_EQ(s.GetChoiceText(10, 1), "On");
    EXPECT_EQ(s.GetChoiceText(11, 15), "16");
    EXPECT_EQ(s.GetChoiceText(12, 2), "2.500");
    EXPECT_EQ(s.GetChoiceText(12, 3), "");
    EXPECT_EQ(s.GetChoiceText(404, 0), "");
    EXPECT_EQ(s.GetChoiceValue(12, "1.875"), 1);
    EXPECT_EQ(s.GetChoiceValue(10, "Maybe"), 0xFF);
    EXPECT_EQ(s.GetChoiceValue(404, "On"), 0xFF);
    EXPECT_EQ(s.ChoiceEntries(11).size(), 16u);
    EXPECT_EQ(s.FillChoiceList(1039), (std::vector<std::string>{"English", "Deutsch"}));
}

TEST_F(SettingsTest, HideValuesBelongToTheCurrentModel)
{
    CSettings& s = Settings();
    struct Case {
        const char* model;
        int hide1076;
        int hide1080;
    };
    for (const Case& c : {Case{"RV205", 1, 0}, Case{"RV305", 0, 2}, Case{"RV385", 0, 0},
                          Case{"", 0, 0}, Case{"Setting", 0, 0}}) {
        SCOPED_TRACE(c.model);
        s.SetModelID(c.model);
        EXPECT_EQ(s.HideValue(1076), c.hide1076);
        EXPECT_EQ(s.HideValue(1080), c.hide1080);
        EXPECT_EQ(s.TranslateControl(1076).disabled, c.hide1076 != 0);
    }
}

TEST_F(SettingsTest, TranslateControlGivesTextListAndRange)
{
    Settings().SetModelID("RV385");
    ControlTexts list = Settings().TranslateControl(10);
    EXPECT_EQ(list.text, "0.Off;1.On");
    EXPECT_EQ(list.entries.size(), 2u);
    EXPECT_FALSE(list.range.has_value());
    ControlTexts numeric = Settings().TranslateControl(12);
    ASSERT_TRUE(numeric.range.has_value());
    EXPECT_EQ(numeric.range->divisor, 1000);
    EXPECT_FALSE(numeric.disabled);
}

// ---- user level and models ----

TEST_F(SettingsTest, UserLevelIsReadAtEachUse)
{
    struct Case {
        const char* level;  // nullptr: no key
        int expected;
        bool service;
        bool full;
    };
    const CSettings& s = Settings();
    for (const Case& c : {Case{"0", 0, false, false}, Case{"73915026", kServiceLevel, true, false},
                          Case{"62740183", kFullServiceLevel, true, true},
                          Case{"12345", 12345, false, false}, Case{"abc", 0, false, false},
                          Case{nullptr, 0, false, false}}) {
        SCOPED_TRACE(c.level ? c.level : "(missing)");
        if (c.level)
            home.Write("Settings.ini", std::string("[User Mode]\nLevel=") + c.level + "\n");
        else
            home.Write("Settings.ini", "[Setting]\nComPort=1\n");
        // No Init in between: the level is taken from the file every time.
        EXPECT_EQ(s.UserLevel(), c.expected);
        EXPECT_EQ(s.IsServiceLevel(), c.service);
        EXPECT_EQ(s.IsFullServiceLevel(), c.full);
    }
}

TEST_F(SettingsTest, KnownModelsAndEdition)
{
    struct Case {
        const char* model;
        bool known;
        bool edition;
        bool first;
        bool second;
    };
    CSettings& s = Settings();
    for (const Case& c : {Case{"RV205", true, false, false, false},
                          Case{"RV305", true, true, true, false},
                          Case{"RV385", true, true, false, true},
                          Case{"RV999", false, false, false, false},
                          Case{"", false, false, false, false}}) {
        SCOPED_TRACE(c.model);
        EXPECT_EQ(s.IsKnownModel(c.model), c.known);
        s.SetModelID(c.model);
        EXPECT_EQ(s.EditionFlag(), c.edition);
        EXPECT_EQ(s.IsFirstEdition(), c.first);
        EXPECT_EQ(s.IsSecondEdition(), c.second);
    }
}

TEST_F(SettingsTest, EmptyModelTextsMatchNoModel)
{
    home.Write("QTX_E.lng", "[Setting]\nLanguage=English\n");
    Settings().Init(home.Dir());
    Settings().SetModelID("");
    EXPECT_FALSE(Settings().IsKnownModel(""));
    EXPECT_FALSE(Settings().EditionFlag());
}

// ---- written at exit ----

TEST_F(SettingsTest, SaveAtExitWritesTheIdentityAndKeepsTheRest)
{
    home.Write("Settings.ini",
               "; remembered between runs\n[Setting]\nLanguage=1\nModelID=RV205\n"
               "[User Mode]\nLevel=73915026\n; last line\n");
    Settings().Init(home.Dir());
    CSettings& s = Settings();
    s.SetSignal(1);
    s.SetComPort(3);
    s.SetModelID("RV305");
    s.SetModelName("RV-305");
    s.SetFreqRange("450-520");
    ASSERT_TRUE(s.SaveAtExit());

    const std::string path = home.Path("Settings.ini");
    EXPECT_EQ(CIniFile::ReadString(path, "Setting", "Signal"), "1");
    EXPECT_EQ(CIniFile::ReadString(path, "Setting", "ComPort"), "3");
    EXPECT_EQ(CIniFile::ReadString(path, "Setting", "ModelID"), "RV305");
    EXPECT_EQ(CIniFile::ReadString(path, "Setting", "ModelName"), "RV-305");
    EXPECT_EQ(CIniFile::ReadString(path, "Setting", "FreqRange"), "450-520");
    EXPECT_EQ(CIniFile::ReadString(path, "User Mode", "Level"), "73915026");
    const std::string text = SettingsFile();
    EXPECT_NE(text.find("; remembered between runs"), std::string::npos) << text;
    EXPECT_NE(text.find("; last line"), std::string::npos) << text;

    // The next start sees what was saved.
    Settings().Init(home.Dir());
    EXPECT_EQ(Settings().ModelID(), "RV305");
    EXPECT_EQ(Settings().FreqRange(), "450-520");
    EXPECT_EQ(Settings().ComPort(), 3);
}

TEST_F(SettingsTest, DeclinedNewRangeSavesThePreviousRange)
{
    struct Case {
        int answer;
        const char* saved;
    };
    for (const Case& c : {Case{7, "400-470"}, Case{6, "136-174"}}) {
        SCOPED_TRACE(c.answer);
        CSettings& s = Settings();
        s.SetPrevFreqRange("400-470");
        s.SetFreqRange("136-174");
        s.SetLastRangeAnswer(c.answer);
        ASSERT_TRUE(s.SaveAtExit());
        EXPECT_EQ(CIniFile::ReadString(home.Path("Settings.ini"), "Setting", "FreqRange"), c.saved);
        EXPECT_EQ(s.FreqRange(), "136-174") << "only the file gets the previous range";
    }
}

TEST_F(SettingsTest, SaveAtExitLeavesASettingsPathItCannotRead)
{
    std::filesystem::remove(home.Path("Settings.ini"));
    ASSERT_EQ(::mkdir(home.Path("Settings.ini").c_str(), 0755), 0);
    EXPECT_FALSE(Settings().SaveAtExit());
    EXPECT_TRUE(std::filesystem::is_directory(home.Path("Settings.ini")));
}

}  // namespace
}  // namespace rv
