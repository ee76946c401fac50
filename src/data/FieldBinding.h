#pragma once
// Binds the members of a category's text form (VoxFields, KeyFields, ...) to the keys of the
// record's field table, so that the form is filled and stored by the field engine: a string
// member holds the field's shown text, a bool or integer member its stored number.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "data/FieldTable.h"

namespace rv {

/// One member of a text form and the key of its field.
template <class Form>
struct FieldBinding {
    std::string_view key;
    std::variant<std::string Form::*, bool Form::*, uint8_t Form::*, uint32_t Form::*> member;
};

/// Fills the bound members from the record.
template <class Form>
void ReadBound(const FieldTable& table, std::span<const FieldBinding<Form>> binding,
               std::span<const uint8_t> record, const CTextService& texts, Form& form)
{
    for (const FieldBinding<Form>& b : binding) {
        const auto field = FindField(table, b.key);
        if (!field) continue;
        std::visit(
            [&](auto member) {
                using Member = std::remove_reference_t<decltype(form.*member)>;
                if constexpr (std::is_same_v<Member, std::string>)
                    form.*member = GetText(*field, record, texts);
                else
                    form.*member = static_cast<Member>(GetNumber(*field, record));
            },
            b.member);
    }
}

/// Stores the bound members into the record. A text equal to what the record showed keeps
/// the field's bits; a text the field refuses keeps them too. Returns the refused keys.
template <class Form>
std::vector<std::string> WriteBound(const FieldTable& table,
                                    std::span<const FieldBinding<Form>> binding, const Form& form,
                                    std::span<uint8_t> record, const CTextService& texts)
{
    // Texts are compared with what the record showed before the first write.
    const std::vector<uint8_t> before(record.begin(), record.end());
    std::vector<std::string> refused;
    for (const FieldBinding<Form>& b : binding) {
        const auto field = FindField(table, b.key);
        if (!field) continue;
        const bool stored = std::visit(
            [&](auto member) {
                using Member = std::remove_cvref_t<decltype(form.*member)>;
                if constexpr (std::is_same_v<Member, std::string>) {
                    const std::string& text = form.*member;
                    return text == GetText(*field, before, texts) ||
                           SetText(*field, record, text, texts);
                } else {
                    return SetValue(*field, record, static_cast<uint32_t>(form.*member));
                }
            },
            b.member);
        if (!stored) refused.emplace_back(b.key);
    }
    return refused;
}

}  // namespace rv
