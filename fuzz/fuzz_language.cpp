// Language files from outside: INI parsing, every kind of text lookup of the settings object,
// hide values, choice lists and model texts, and writing one key into such a file.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "base/IniFile.h"
#include "base/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace rv;
    const std::string text(reinterpret_cast<const char*>(data), size);

    // The INI layer on its own.
    CIniFile ini;
    ini.LoadText(text);
    for (const std::string& section : ini.Sections())
        for (const std::string& key : ini.Keys(section)) {
            (void)ini.GetString(section, key);
            (void)ini.GetInt(section, key);
        }

    // Writing one key into the file keeps it readable and the key reads back.
    const std::string scratch = fuzz::WriteScratchFile("scratch.ini", data, size);
    if (CIniFile::WriteString(scratch, "Fuzz Section", "FuzzKey", "fuzz value") &&
        CIniFile::ReadString(scratch, "Fuzz Section", "FuzzKey") != "fuzz value")
        std::abort();

    // The settings object's lookups with the input as the language file.
    fuzz::WriteScratchFile("QTX_E.lng", data, size);
    CSettings& settings = Settings();
    settings.SelectLanguage(0);
    (void)settings.LanguageNames();
    for (const std::string& key : ini.Keys("Setting")) {
        if (key.size() != 8 || key[0] != 'S' || key[1] != '0') continue;
        const int n = std::atoi(key.c_str() + 3);
        (void)settings.LoadText(n);
        (void)settings.LoadMessage(n);
        (void)settings.LoadModelText(n);
        (void)settings.GetChoiceText(n, 0);
        (void)settings.GetChoiceText(n, n);
        (void)settings.GetChoiceValue(n, "1");
        (void)settings.FillChoiceList(n);
        (void)settings.TranslateControl(n);
    }
    for (const std::string& model : ini.Sections()) {
        settings.SetModelID(model);
        for (const std::string& key : ini.Keys(model))
            if (key.size() > 3) (void)settings.HideValue(std::atoi(key.c_str() + 3));
        (void)settings.EditionFlag();
        (void)settings.IsKnownModel(model);
    }
    settings.SetModelID("RV205");
    return 0;
}
