#include "base/TextService.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "base/ChoiceList.h"

namespace rv {

namespace {

constexpr const char* kSettingSection = "Setting";
/// Longest interface text a language file gives.
constexpr size_t kMaxTextLength = 25599;
/// Where the number goes in the unlisted-value text.
constexpr std::string_view kNumberMark = "%d";

std::string TextKey(const char* prefix, int n)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%05d", prefix, n);
    return buf;
}

/// The unlisted-value text split at its "%d" (a text without one shows the bare number).
struct NumberPattern {
    std::string before, after;
};

NumberPattern PatternOf(const std::string& text)
{
    const size_t mark = text.find(kNumberMark);
    if (mark == std::string::npos) return {};
    return {text.substr(0, mark), text.substr(mark + kNumberMark.size())};
}

}  // namespace

std::string CTextService::GetChoiceText(int list, int value) const
{
    return ChoiceTextOf(LoadText(list), value);
}

std::optional<int> CTextService::ChoiceValue(int list, std::string_view text) const
{
    return ChoiceValueOf(LoadText(list), text);
}

std::string CTextService::UnlistedValueText(long long value) const
{
    // The language text is never used as a printf format: only its "%d" is replaced.
    const NumberPattern p = PatternOf(LoadText(kUnlistedValueText));
    return p.before + std::to_string(value) + p.after;
}

std::optional<long long> CTextService::ParseUnlistedValue(std::string_view text) const
{
    const NumberPattern p = PatternOf(LoadText(kUnlistedValueText));
    if (text.size() <= p.before.size() + p.after.size()) return std::nullopt;
    if (text.substr(0, p.before.size()) != p.before) return std::nullopt;
    if (text.substr(text.size() - p.after.size()) != p.after) return std::nullopt;
    const std::string number(
        text.substr(p.before.size(), text.size() - p.before.size() - p.after.size()));
    // Digits with an optional sign and nothing else.
    const size_t digits = number[0] == '-' ? 1 : 0;
    if (number.size() == digits ||
        number.find_first_not_of("0123456789", digits) != std::string::npos)
        return std::nullopt;
    errno = 0;
    const long long value = std::strtoll(number.c_str(), nullptr, 10);
    if (errno == ERANGE) return std::nullopt;
    return value;
}

std::string CTextTable::LoadText(int n) const
{
    const auto it = texts_.find(n);
    return it == texts_.end() ? std::string() : it->second;
}

CLanguageTexts::CLanguageTexts(const std::string& path, std::string modelId)
    : modelId_(std::move(modelId))
{
    loaded_ = file_.Load(path);
}

std::string CLanguageTexts::LoadText(int n) const
{
    return file_.GetString(kSettingSection, TextKey("S02", n)).substr(0, kMaxTextLength);
}

bool CLanguageTexts::EditionFlag() const
{
    if (modelId_.empty()) return false;
    for (int modelText : {300, 310})
        if (file_.GetString(kSettingSection, TextKey("S03", modelText)) == modelId_) return true;
    return false;
}

}  // namespace rv
