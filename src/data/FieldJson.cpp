#include "data/FieldJson.h"

#include <limits>

namespace rv {

namespace {

using Json = nlohmann::ordered_json;

/// The JSON of a value: a number or a string.
Json ValueJson(const FieldValue& value)
{
    if (const auto* number = std::get_if<uint32_t>(&value)) return *number;
    return std::get<std::string>(value);
}

/// The value a JSON member gives; nullopt for any other JSON type or a number out of range.
std::optional<FieldValue> ValueOf(const Json& json)
{
    if (json.is_string()) return FieldValue{json.get<std::string>()};
    if (json.is_number_unsigned()) {
        const auto v = json.get<uint64_t>();
        if (v > std::numeric_limits<uint32_t>::max()) return std::nullopt;
        return FieldValue{static_cast<uint32_t>(v)};
    }
    if (json.is_number_integer()) {
        const auto v = json.get<int64_t>();
        if (v < 0 || v > std::numeric_limits<uint32_t>::max()) return std::nullopt;
        return FieldValue{static_cast<uint32_t>(v)};
    }
    if (json.is_boolean()) return FieldValue{static_cast<uint32_t>(json.get<bool>())};
    return std::nullopt;
}

}  // namespace

Json RecordToJson(const FieldTable& table, std::span<const uint8_t> record,
                  const CTextService& texts)
{
    Json object = Json::object();
    for (const FieldRef& field : Fields(table)) {
        Json member = Json::object();
        member["value"] = ValueJson(GetValue(field, record));
        member["text"] = GetText(field, record, texts);
        object[field.Key()] = std::move(member);
    }
    object[kRawJsonKey] = HexText(record);
    return object;
}

std::vector<std::string> RecordFromJson(const FieldTable& table, const Json& object,
                                        std::span<uint8_t> record, const CTextService& texts)
{
    std::vector<std::string> refused;
    if (!object.is_object()) return refused;
    for (const FieldRef& field : Fields(table)) {
        const std::string key = field.Key();
        const auto it = object.find(key);
        if (it == object.end()) continue;
        bool stored = false;
        if (it->is_object()) {
            if (const auto value = it->find("value"); value != it->end()) {
                const auto v = ValueOf(*value);
                stored = v && SetValue(field, record, *v);
            } else if (const auto text = it->find("text"); text != it->end() && text->is_string()) {
                stored = SetText(field, record, text->get<std::string>(), texts);
            }
        } else if (const auto v = ValueOf(*it)) {
            stored = SetValue(field, record, *v);
        }
        if (!stored) refused.push_back(key);
    }
    return refused;
}

}  // namespace rv
