#include "service/Tuning.h"

#include <cctype>
#include <cstdio>

#include "base/Settings.h"
#include "base/TextService.h"

namespace rv {

namespace {

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find(separator, start);
        parts.push_back(
            text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return parts;
}

// A number as "%d" reads it: leading blanks, an optional sign, digits.
std::optional<int> LeadingNumber(const std::string& text, size_t& used)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    const size_t digits = i;
    long long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) &&
           value < 100000000)
        value = value * 10 + (text[i++] - '0');
    if (i == digits) return std::nullopt;
    used = i;
    return static_cast<int>(negative ? -value : value);
}

bool IsFullServiceEntry(int id)
{
    for (uint16_t e : kFullServiceEntries)
        if (e == id) return true;
    return false;
}

TuneResult Failure(int message, std::string step, AnswerFault cause)
{
    TuneResult r;
    r.ok = false;
    r.message = message;
    r.step = std::move(step);
    r.cause = cause;
    return r;
}

std::string StepText(int n)
{
    return Settings().LoadMessage(n);
}

}  // namespace

bool TuneDefinition::HasSubItems() const
{
    for (const auto& g : groups)
        if (!g.empty()) return true;
    return false;
}

TuneGroup TuneDefinition::StartGroup() const
{
    if (!Group(TuneGroup::Wide).empty()) return TuneGroup::Wide;
    if (!Group(TuneGroup::Middle).empty()) return TuneGroup::Middle;
    return TuneGroup::Narrow;
}

std::vector<TuneDefinition> ParseTuneDefinitions(const std::string& text)
{
    std::string compact;
    for (char c : text)
        if (c != ' ') compact += c;
    std::vector<TuneDefinition> out;
    for (const std::string& pair : Split(compact, ';')) {
        size_t used = 0;
        const std::optional<int> id = LeadingNumber(pair, used);
        if (!id || used >= pair.size() || pair[used] != ',') continue;
        const std::string rest = pair.substr(used + 1);
        const std::optional<int> flags = LeadingNumber(rest, used);
        if (!flags) continue;
        TuneDefinition d;
        d.id = *id;
        d.flags = static_cast<uint16_t>(*flags);
        for (size_t g = 0; g < kTuneGroupCount; ++g)
            for (unsigned k = 0; k < kTuneSubItemsPerGroup; ++k) {
                const unsigned bit = static_cast<unsigned>(g) * kTuneSubItemsPerGroup + k;
                if (!(d.flags & (1u << bit))) continue;
                const long item = static_cast<long>(d.id) + bit;
                if (item < 0 || item > 0xFFFF) continue;
                // An item the table lacks has no byte in the record: it is not offered.
                if (!FindTuneItemOffset(static_cast<uint16_t>(item))) continue;
                d.groups[g].push_back({static_cast<uint16_t>(item), k});
            }
        out.push_back(std::move(d));
    }
    return out;
}

std::vector<TuneEntry> ParseTuneEntries(const std::string& text)
{
    std::vector<TuneEntry> out;
    for (const std::string& item : Split(text, ';')) {
        const size_t dot = item.find('.');
        if (dot == std::string::npos) continue;
        size_t used = 0;
        const std::optional<int> id = LeadingNumber(item.substr(0, dot), used);
        if (!id) continue;
        out.push_back({*id, item.substr(dot + 1)});
    }
    return out;
}

std::vector<TuneEntry> TuneEntryList(const CTextService& texts, bool fullServiceLevel)
{
    std::vector<TuneEntry> entries = ParseTuneEntries(
        texts.LoadText(texts.EditionFlag() ? TuneText::kEditionEntryList : TuneText::kEntryList));
    if (!fullServiceLevel)
        std::erase_if(entries, [](const TuneEntry& e) { return IsFullServiceEntry(e.id); });
    return entries;
}

std::optional<TuneDefinition> FindTuneDefinition(const CTextService& texts, int id)
{
    for (TuneDefinition& d : ParseTuneDefinitions(texts.LoadText(
             texts.EditionFlag() ? TuneText::kEditionDefinitions : TuneText::kDefinitions)))
        if (d.id == id) return std::move(d);
    return std::nullopt;
}

std::vector<std::string> TunePointNames(const CTextService& texts)
{
    const std::string list = texts.LoadText(TuneText::kPointNames);
    std::vector<std::string> names;
    if (list.empty()) return names;
    for (const std::string& item : Split(list, ';'))
        names.push_back(item.substr(0, item.find(',')));
    return names;
}

std::string TuneItemStep(uint16_t item)
{
    char number[16];
    std::snprintf(number, sizeof number, "0x%04X", item);
    return FillStrings(StepText(TuneMessage::kStepItem), {number});
}

std::string TuneResult::Text() const
{
    if (message == 0) return {};
    std::string text = Settings().LoadMessage(message);
    if (message == TuneMessage::kSendFailed || message == TuneMessage::kReadFailed)
        text = FillStrings(text, {step, CauseText(cause)});
    return text;
}

TuneResult CAdjustment::ReadValue(uint16_t item, std::array<uint8_t, 2>& value)
{
    std::array<uint8_t, 2> read{};
    const int r = link_.ReadTuneValue(item, read.data(), static_cast<uint16_t>(read.size()));
    if (r < 0) {
        TuneResult f =
            Failure(LinkMessage::kNoRadio, StepText(TuneMessage::kStepMode), link_.LastFault());
        f.modeRefused = true;
        return f;
    }
    if (r == 0) return Failure(TuneMessage::kReadFailed, TuneItemStep(item), link_.LastFault());
    value = read;
    return {};
}

void CAdjustment::BeginVisit()
{
    std::copy_n(block_.Record(), working_.size(), working_.begin());
}

TuneResult CAdjustment::SendValue(uint16_t item, int value)
{
    const int v = ClampTuneValue(value);
    const std::array<uint8_t, 2> bytes = {static_cast<uint8_t>(v), 0};
    if (!link_.SetTuneValue(item, bytes.data(), static_cast<uint16_t>(bytes.size())))
        return Failure(TuneMessage::kSendFailed, TuneItemStep(item), link_.LastFault());
    if (const std::optional<size_t> offset = FindTuneItemOffset(item)) working_[*offset] = bytes[0];
    return {};
}

TuneResult CAdjustment::SendVolume(int value)
{
    const int v = ClampTuneValue(value);
    const std::array<uint8_t, 2> bytes = {static_cast<uint8_t>(v), 0};
    if (!link_.SetTuneValue(kTuneVolumeItem, bytes.data(), static_cast<uint16_t>(bytes.size())))
        return Failure(TuneMessage::kSendFailed, StepText(TuneMessage::kStepVolume),
                       link_.LastFault());
    return {};
}

TuneResult CAdjustment::SwitchTransmit(uint16_t item, bool on)
{
    if (!link_.SwitchTestState(TransmitVariant(item), on ? 1 : 0))
        return Failure(TuneMessage::kSendFailed, StepText(TuneMessage::kStepSwitch),
                       link_.LastFault());
    return {};
}

TuneResult CAdjustment::EndVisit(bool keep)
{
    if (!link_.EndTuning(keep))
        return Failure(TuneMessage::kSendFailed,
                       StepText(keep ? TuneMessage::kStepEndKeep : TuneMessage::kStepEndDiscard),
                       link_.LastFault());
    if (keep) std::copy(working_.begin(), working_.end(), block_.Record());
    return {};
}

bool CAdjustment::End()
{
    const bool ended = link_.IsOpen() && link_.SetRadioMode(RadioMode::End);
    link_.Close();
    return ended;
}

LinkResult WriteTuneData(CRadioProtocol& link, const CTuneBlock& block,
                         const std::function<void(int percent)>& progress)
{
    LinkResult result;
    for (uint16_t k = 0; k < kTuneDataBlockCount; ++k) {
        const uint16_t offset = static_cast<uint16_t>(k * kTransferBlockSize);
        const uint16_t address = static_cast<uint16_t>(CTuneBlock::kImageAddress + offset);
        if (!link.WriteBlock(address, kTransferBlockSize, block.Record() + offset)) {
            result.status = LinkStatus::BlockFailed;
            result.message = LinkMessage::kWriteFailed;
            result.number = address;
            result.cause = link.LastFault();
            break;
        }
        const uint16_t last = static_cast<uint16_t>(address + kTransferBlockSize - 1);
        if (result.written.empty())
            result.written.push_back({address, last});
        else
            result.written.back().last = last;
        if (progress) progress((k + 1) * 100 / kTuneDataBlockCount);
    }
    if (result.Ok()) result.message = TuneMessage::kWritten;
    result.endConfirmed = link.SetRadioMode(RadioMode::End);
    link.Close();
    return result;
}

}  // namespace rv
