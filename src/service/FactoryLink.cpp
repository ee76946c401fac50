#include "service/FactoryLink.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "base/AtomicFile.h"
#include "base/Bytes.h"
#include "base/Settings.h"
#include "base/TextFormat.h"
#include "data/Document.h"
#include "editors/radio/RadioInfoBlock.h"
#include "editors/radio/RadioInfoFieldTable.h"

namespace rv {

namespace {

using Offset = CRadioInfoBlock::Offset;

LinkResult BlockFailure(const CRadioProtocol& link, int message, uint16_t address)
{
    LinkResult r;
    r.status = LinkStatus::BlockFailed;
    r.message = message;
    r.number = address;
    r.cause = link.LastFault();
    return r;
}

LinkResult Done(int message, bool endConfirmed)
{
    LinkResult r;
    r.message = message;
    r.endConfirmed = endConfirmed;
    return r;
}

// The port and the identity query of both directions: no model or version is checked.
LinkResult Connect(CRadioProtocol& link, RadioIdentity& identity, const std::string& port)
{
    link.Close();
    identity = {};
    int number = 0;
    if (LinkResult r = FindPort(link, port, number); !r.Ok()) return r;
    if (!link.QueryIdentity(CRadioProtocol::kReferenceVersion, identity, kRadioRangeSize)) {
        link.Close();
        return IdentityFailure(link);
    }
    return {};
}

// Whole MHz of a packed-decimal band edge.
int EdgeMhz(uint32_t bcd)
{
    return static_cast<int>(FromBcd(bcd) / 100000u);
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

/// Letters, digits, '-' and '.' as they are, anything else as '-'; "-" for an empty text.
std::string FileNamePart(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' ? c : '-';
    return out.empty() ? "-" : out;
}

/// The factory values a write changes, in the screen's order.
constexpr std::string_view kFactoryKeys[] = {"model_name",  "serial_number", "lower_edge",
                                             "upper_edge",  "range_id",      "band_flag",
                                             "signal_type", "model_id"};

std::string SignalText(int value)
{
    const std::string text = Settings().GetChoiceText(4848, value);
    return text.empty() ? std::to_string(value) : text;
}

/// Reads the blocks of a plan into `record` (the factory record's bytes) in one connection;
/// `record` changes only when every block arrived.
LinkResult ReadFactoryPlan(CRadioProtocol& link, RadioIdentity& identity, const std::string& port,
                           std::span<const TransferBlock> plan,
                           std::array<uint8_t, CRadioInfoBlock::kRecordSize>& record)
{
    if (LinkResult r = Connect(link, identity, port); !r.Ok()) return r;
    if (!link.SetRadioMode(RadioMode::Read)) {
        LinkResult r = ModeFailure(link, RadioMode::Read);
        EndAndClose(link, r);
        return r;
    }
    std::array<uint8_t, CRadioInfoBlock::kRecordSize> copy = record;
    for (const TransferBlock& b : plan) {
        if (!link.ReadBlock(b.address, b.count,
                            copy.data() + (b.address - CRadioInfoBlock::kImageAddress))) {
            LinkResult r = BlockFailure(link, LinkMessage::kReadFailed, b.address);
            EndAndClose(link, r);
            return r;
        }
    }
    const bool ended = link.SetRadioMode(RadioMode::End);
    link.Close();
    record = copy;
    return Done(LinkMessage::kReadDone, ended);
}

}  // namespace

LinkResult FactoryRead(CRadioProtocol& link, CRadioInfoBlock& info, RadioIdentity& identity,
                       const std::string& port)
{
    // The blocks go into a copy: the record changes only when all of them arrived.
    std::array<uint8_t, CRadioInfoBlock::kRecordSize> copy{};
    info.Raw().CopyTo(copy.data());
    LinkResult r = ReadFactoryPlan(link, identity, port, kFactoryReadPlan, copy);
    if (r.Ok()) info.Raw().CopyFrom(copy.data());
    return r;
}

LinkResult FactoryWrite(CRadioProtocol& link, CRadioInfoBlock& info, RadioIdentity& identity,
                        const std::string& port)
{
    const CRadioInfoBlock copy = FactoryWriteRecord(info);

    if (LinkResult r = Connect(link, identity, port); !r.Ok()) return r;
    if (!link.SetRadioMode(RadioMode::Write)) {
        LinkResult r = ModeFailure(link, RadioMode::Write);
        EndAndClose(link, r);
        return r;
    }
    std::vector<AddressRange> written;
    for (const TransferBlock& b : kFactoryWritePlan) {
        const uint8_t* source = copy.Raw().Data() + (b.address - CRadioInfoBlock::kImageAddress);
        if (!link.WriteBlock(b.address, b.count, source)) {
            LinkResult r = BlockFailure(link, LinkMessage::kWriteFailed, b.address);
            r.written = written;
            EndAndClose(link, r);
            return r;
        }
        NoteWritten(written, b);
    }
    const bool ended = link.SetRadioMode(RadioMode::End);
    link.Close();
    info.Raw().CopyFrom(copy.Raw().Data());
    LinkResult done = Done(LinkMessage::kWriteDone, ended);
    done.written = written;
    return done;
}

LinkResult FactoryReadBackup(CRadioProtocol& link, CRadioInfoBlock& radioRecord,
                             RadioIdentity& identity, const std::string& port)
{
    std::array<uint8_t, CRadioInfoBlock::kRecordSize> copy{};
    LinkResult r = ReadFactoryPlan(link, identity, port, kFactoryBackupPlan, copy);
    if (r.Ok()) radioRecord.Raw().CopyFrom(copy.data());
    return r;
}

CRadioInfoBlock FactoryWriteRecord(const CRadioInfoBlock& info)
{
    CRadioInfoBlock copy;
    copy.Raw().CopyFrom(info.Raw().Data());
    copy.SetFactoryMarker();
    copy.SetModelIdText(Settings().ModelID().substr(0, Offset::kModelIdWidth));
    return copy;
}

bool SameFactoryData(const CRadioInfoBlock& a, const CRadioInfoBlock& b)
{
    for (const TransferBlock& block : kFactoryReadPlan) {
        const size_t at = block.address - CRadioInfoBlock::kImageAddress;
        if (!std::equal(a.Raw().Data() + at, a.Raw().Data() + at + block.count,
                        b.Raw().Data() + at))
            return false;
    }
    return true;
}

std::vector<std::string> FactoryChangeLines(const CRadioInfoBlock& radioRecord,
                                            const CRadioInfoBlock& sent, const CTextService& texts)
{
    std::vector<std::string> lines;
    for (std::string_view key : kFactoryKeys) {
        const FieldRef field = *FindField(kRadioInfoFieldTable, key);
        const std::string before = GetText(field, radioRecord.Raw().Bytes(), texts);
        const std::string after = GetText(field, sent.Raw().Bytes(), texts);
        if (before != after)
            lines.push_back(LabelText(field, texts) + ": " + before + " \u2192 " + after);
    }
    return lines;
}

std::string FactoryBackupFileName(const CRadioInfoBlock& radioRecord, std::time_t when)
{
    std::tm tm{};
    localtime_r(&when, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    return "Factory_" + FileNamePart(FactoryModelName(radioRecord)) + "_" +
           FileNamePart(Trimmed(radioRecord.SerialNumber())) + "_" + stamp + ".txt";
}

std::string FactoryBackupText(const CRadioInfoBlock& radioRecord, const CTextService& texts)
{
    std::string out = "; factory record read from the radio before a Factory Write\n";
    for (std::string_view key : kFactoryKeys) {
        const FieldRef field = *FindField(kRadioInfoFieldTable, key);
        out += std::string(key) + "=" + GetText(field, radioRecord.Raw().Bytes(), texts) + "\n";
    }
    for (const TransferBlock& b : kFactoryBackupPlan) {
        const size_t at = b.address - CRadioInfoBlock::kImageAddress;
        char address[16];
        std::snprintf(address, sizeof address, "0x%03X=", static_cast<unsigned>(b.address));
        out += address + HexText(std::span<const uint8_t>(radioRecord.Raw().Data() + at, b.count)) +
               "\n";
    }
    return out;
}

std::string SaveFactoryBackup(const std::string& folder, const CRadioInfoBlock& radioRecord,
                              std::string& tried)
{
    namespace fs = std::filesystem;
    const std::string name = FactoryBackupFileName(radioRecord, std::time(nullptr));
    const std::string stem = (fs::path(folder) / name.substr(0, name.size() - 4)).string();
    std::string path = stem + ".txt";
    std::error_code ec;
    for (int n = 2; fs::exists(path, ec) && n < 100; ++n)
        path = stem + "-" + std::to_string(n) + ".txt";
    tried = path;
    if (fs::exists(path, ec)) return {};
    if (!WriteFileAtomic(path, FactoryBackupText(radioRecord, Settings()))) return {};
    return path;
}

LinkResult FactoryProbe(CRadioProtocol& link, const std::string& port)
{
    link.Close();
    int number = 0;
    LinkResult r = FindPort(link, port, number);
    link.Close();
    return r;
}

std::string FactoryBandText(const CRadioInfoBlock& info)
{
    return FormatRange(EdgeMhz(info.LowerEdgeBcd()), EdgeMhz(info.UpperEdgeBcd()));
}

std::string FactoryModelName(const CRadioInfoBlock& info)
{
    return Trimmed(info.ModelName());
}

bool IsValidBandEdge(uint32_t bcd)
{
    // Each nibble a decimal digit, and 100 to 999 MHz in 10 Hz units.
    for (unsigned shift = 0; shift < 32; shift += 4)
        if (((bcd >> shift) & 0xF) > 9) return false;
    const uint32_t units = FromBcd(bcd);
    return units >= 100u * 100000u && units < 1000u * 100000u;
}

FactoryChanges ResolveFactoryClose(CRadioInfoBlock& info, const AskYesNoFn& ask)
{
    const CSettings& s = Settings();
    auto yes = [&ask](int message, const std::string& radio, const std::string& current) {
        return ask && ask(message, Settings().LoadMessage(message, {radio, current}));
    };
    FactoryChanges changes;

    const std::string name = FactoryModelName(info);
    if (!name.empty() && name != s.ModelName()) {
        if (yes(FactoryMessage::kModelNameDiffers, name, s.ModelName()))
            changes.modelName = true;
        else
            info.SetModelName(s.ModelName());
    }

    const std::string band = FactoryBandText(info);
    const bool edgesValid =
        IsValidBandEdge(info.LowerEdgeBcd()) && IsValidBandEdge(info.UpperEdgeBcd());
    if (edgesValid && band != s.FreqRange()) {
        if (yes(FactoryMessage::kBandDiffers, band, s.FreqRange())) {
            changes.band = true;
        } else {
            int low = 0, high = 0;
            ParseRange(s.FreqRange(), low, high);
            info.SetLowerEdgeBcd(ToBcd(static_cast<uint32_t>(std::max(0, low)) * 100000u));
            info.SetUpperEdgeBcd(ToBcd(static_cast<uint32_t>(std::max(0, high)) * 100000u));
        }
    }

    const int signal = info.SignalType();
    if (signal != s.Signal()) {
        if (yes(FactoryMessage::kSignalDiffers, SignalText(signal), SignalText(s.Signal())))
            changes.signal = true;
        else
            info.SetSignalType(static_cast<uint8_t>(s.Signal()));
    }
    return changes;
}

FactoryRangeOutcome ApplyFactoryChanges(const FactoryChanges& changes, const CRadioInfoBlock& info,
                                        CQTXDoc& document, const AskYesNoFn& ask)
{
    CSettings& s = Settings();
    // Everything is taken from the record first: the default set replaces it.
    const std::string name = FactoryModelName(info);
    const int signal = info.SignalType();
    FreqRangeRecord range;
    range.low = range.low2 = EdgeMhz(info.LowerEdgeBcd());
    range.high = range.high2 = EdgeMhz(info.UpperEdgeBcd());
    range.bandCode = info.BandCode();

    if (changes.modelName) s.SetModelName(name);
    if (changes.signal) s.SetSignal(signal);
    if (!changes.band) return FactoryRangeOutcome::Unchanged;

    FactoryRangeOutcome outcome = FactoryRangeOutcome::Declined;
    if (ModelCatalog().AskAddRange(range, ask) != AddRangeResult::Declined) {
        s.SetPrevFreqRange(s.FreqRange());
        s.SetFreqRange(FormatRange(range.low, range.high));
        outcome = FactoryRangeOutcome::Taken;
    }
    document.LoadDefaultSet(1);
    return outcome;
}

}  // namespace rv
