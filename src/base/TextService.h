#pragma once
// The text service the record conversions use: interface texts and choice lists of a language
// file, and whether the current model is one of the editions (their records use other choice
// lists). The settings object is the program's text service; a language file or a table of
// texts held in memory serves tools and tests that have no program directory.

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "base/IniFile.h"

namespace rv {

/// Interface text of the number shown for a stored value that no entry of its choice list has
/// ("(value %d)").
inline constexpr int kUnlistedValueText = 39300;

class CTextService {
public:
    virtual ~CTextService() = default;
    /// Interface text n ("S02%05d"), "" when missing.
    virtual std::string LoadText(int n) const = 0;
    /// True for the models of model texts 300 and 310 (the editions).
    virtual bool EditionFlag() const = 0;

    /// Shown text of a stored value in choice list n; "" when no entry has it.
    std::string GetChoiceText(int list, int value) const;
    /// Stored value of a shown text in choice list n; nullopt when no entry shows it.
    std::optional<int> ChoiceValue(int list, std::string_view text) const;
    /// The text that shows a stored value no entry has: text 39300 with the number for its
    /// "%d" ("(value 9)"); the bare number when the language file lacks the text.
    std::string UnlistedValueText(long long value) const;
    /// The number in a text made by UnlistedValueText; nullopt for any other text.
    std::optional<long long> ParseUnlistedValue(std::string_view text) const;
};

/// Texts held in memory, for tools and tests: no language file and no program directory.
class CTextTable : public CTextService {
public:
    CTextTable() = default;
    std::string LoadText(int n) const override;
    bool EditionFlag() const override { return edition_; }
    /// Sets interface text n.
    void Set(int n, std::string text) { texts_[n] = std::move(text); }
    void SetEdition(bool edition) { edition_ = edition; }

private:
    std::map<int, std::string> texts_;
    bool edition_ = false;
};

/// The texts of one language file read straight from its path, for a given model ID.
class CLanguageTexts : public CTextService {
public:
    /// Reads the language file; a missing file gives no texts (Loaded() false). The model ID
    /// decides EditionFlag by the file's model texts 300 and 310.
    explicit CLanguageTexts(const std::string& path, std::string modelId = {});
    bool Loaded() const { return loaded_; }
    std::string LoadText(int n) const override;
    bool EditionFlag() const override;

private:
    CIniFile file_;
    std::string modelId_;
    bool loaded_ = false;
};

}  // namespace rv
