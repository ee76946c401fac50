#include "link/Transfer.h"

#include <algorithm>

#include "data/Document.h"
#include "data/MemoryMap.h"
#include "editors/radio/RadioInfoBlock.h"
#include "link/PortNames.h"
#include "base/Settings.h"
#include "base/TextFormat.h"

namespace rv {

namespace {

// The range text "%d-%d" of a range record.
std::string RangeText(const FreqRangeRecord& r) { return FormatRange(r.low, r.high); }

LinkResult Result(LinkStatus status, int message) { return {status, message, {}, 0}; }

// The port given by the user, or a search; the found port open and handshaken. Sets ComPort
// to the port number found.
LinkResult FindPort(CRadioProtocol& link, const std::string& port, int& number)
{
    number = 0;
    if (!port.empty()) {
        const std::string device = ResolvePort(port, number);
        if (!link.ConnectDevice(device, true)) {
            const bool opened = link.OpenError() == PortError::None && !device.empty();
            return NoRadioResult(opened ? PortError::None
                                        : device.empty() ? PortError::NotFound : link.OpenError(),
                                 device.empty() ? port : device);
        }
    } else {
        number = link.FindRadio();
        if (number == 0) {
            // Of the open failures of a search only a refused permission tells the user more
            // than that no radio answered.
            const bool denied = link.SearchError() == PortError::AccessDenied;
            return NoRadioResult(denied ? PortError::AccessDenied : PortError::None,
                                 link.SearchErrorDevice());
        }
    }
    if (number > 0) Settings().SetComPort(number);
    return {};
}

// Identity query and checks shared by the transfer and IdentifyRadio: the identity, the model
// and version check and the decoded range. The port is closed on failure.
LinkResult QueryAndCheck(CRadioProtocol& link, TransferDirection direction,
                         RadioIdentity& identity, FreqRangeRecord& range)
{
    identity = {};
    if (!link.QueryIdentity(CRadioProtocol::kReferenceVersion, identity, kRadioRangeSize)) {
        link.Close();
        return Result(LinkStatus::IdentityFailed, LinkMessage::kIdentityFailed);
    }
    const RadioCheck check = CheckRadio(direction, identity);
    if (check.code != CheckCode::Accepted) {
        link.Close();
        return Result(check.code == CheckCode::ModelRefused ? LinkStatus::ModelRefused
                                                            : LinkStatus::VersionRefused,
                      check.message);
    }
    range = check.range;
    return {};
}

LinkResult BandMismatch(const FreqRangeRecord& range)
{
    LinkResult r = Result(LinkStatus::BandMismatch, LinkMessage::kBandMismatch);
    r.argument = RangeText(range);
    return r;
}

}  // namespace

std::string LinkResult::Text() const
{
    if (message == 0) return {};
    const std::string text = Settings().LoadMessage(message);
    if (!argument.empty()) return FormatTextString(text, argument);
    switch (message) {
        case LinkMessage::kReadFailed:
        case LinkMessage::kWriteFailed:
        case LinkMessage::kPortIndicator: return FormatTextNumber(text, number);
        default: return text;
    }
}

std::span<const TransferBlock> WritePlan(bool serviceLevel)
{
    if (serviceLevel) return kServiceWritePlan;
    return kUserWritePlan;
}

FreqRangeRecord RadioRangeOf(const RadioIdentity& identity)
{
    std::array<uint8_t, kRadioRangeSize> bytes;
    bytes.fill(0xFF);
    std::copy_n(identity.range.begin(), std::min(identity.range.size(), bytes.size()),
                bytes.begin());
    return CModelCatalog::RangeFromRadio(bytes);
}

RadioCheck CheckRadio(TransferDirection direction, const RadioIdentity& identity)
{
    const CSettings& s = Settings();
    RadioCheck check;
    const bool modelOk = direction == TransferDirection::Write ? identity.modelId == s.ModelID()
                                                              : s.IsKnownModel(identity.modelId);
    if (!modelOk) {
        check.code = CheckCode::ModelRefused;
        check.message = LinkMessage::kModelRefused;
        return check;
    }
    // The range table of the radio's model is loaded when its identity is taken over, not
    // here: a check that is followed by a refusal or a failed read must leave the table
    // matching the model the data belong to.
    if (identity.versionCompare != 0) {
        check.code = CheckCode::VersionRefused;
        check.message = identity.versionCompare > 0 ? LinkMessage::kVersionHigher
                                                    : LinkMessage::kVersionLower;
        return check;
    }
    check.range = RadioRangeOf(identity);
    return check;
}

LinkResult NoRadioResult(PortError error, const std::string& device)
{
    LinkResult r = Result(LinkStatus::NoRadio, LinkMessage::kNoRadio);
    switch (error) {
        case PortError::None: return r;
        case PortError::AccessDenied: r.message = LinkMessage::kPortDenied; break;
        case PortError::Busy: r.message = LinkMessage::kPortBusy; break;
        case PortError::NotFound: r.message = LinkMessage::kPortMissing; break;
        case PortError::NotSerial:
        case PortError::Failed: r.message = LinkMessage::kPortFailed; break;
    }
    r.argument = device;
    return r;
}

CTransfer::CTransfer(TransferDirection direction) : direction_(direction) {}

LinkResult CTransfer::Fail(LinkResult result)
{
    link_.Close();
    return result;
}

LinkResult CTransfer::Connect(const std::string& port)
{
    connected_ = succeeded_ = false;
    link_.Close();
    if (LinkResult r = FindPort(link_, port, portNumber_); !r.Ok()) return r;
    if (LinkResult r = QueryAndCheck(link_, direction_, identity_, radioRange_); !r.Ok())
        return r;

    // The radio must be of the range the data are for; a missing number counts as 0.
    CSettings& s = Settings();
    int low = 0, high = 0;
    ParseRange(s.FreqRange(), low, high);
    if (low != radioRange_.low || high != radioRange_.high) return Fail(BandMismatch(radioRange_));

    if (direction_ == TransferDirection::Read) {
        // The radio's identity is taken into the settings together with its memory, when the
        // read has succeeded (CommitRead).
        if (!link_.SetRadioMode(RadioMode::Read))
            return Fail(Result(LinkStatus::ModeRefused, LinkMessage::kNoRadio));
    } else {
        serviceLevel_ = s.IsServiceLevel();
        if (!s.IsSecondEdition())
            ApplyFirmwareAdjustments(Radio().MemoryImage(), identity_.version);
        stamp_ = CurrentTimeStamp();
        if (!link_.SetRadioMode(RadioMode::Write))
            return Fail(Result(LinkStatus::ModeRefused, LinkMessage::kNoRadio));
    }
    connected_ = true;
    return {};
}

LinkResult CTransfer::Run(ITransferObserver& observer)
{
    LinkResult result;
    if (!connected_) {
        result = Result(LinkStatus::NoRadio, LinkMessage::kNoRadio);
    } else {
        connected_ = false;
        result = direction_ == TransferDirection::Read ? RunRead(observer) : RunWrite(observer);
    }
    link_.Close();
    observer.OnTransferFinished(direction_, result);
    return result;
}

LinkResult CTransfer::RunRead(ITransferObserver& observer)
{
    for (size_t k = 0; k < kReadBlockCount; ++k) {
        const uint16_t address = static_cast<uint16_t>(k * kTransferBlockSize);
        if (!link_.ReadBlock(address, kTransferBlockSize, buffer_.data() + address)) {
            LinkResult r = Result(LinkStatus::BlockFailed, LinkMessage::kReadFailed);
            r.number = address;
            return r;
        }
        observer.OnTransferProgress(direction_, ReadProgress(k));
    }
    link_.SetRadioMode(RadioMode::End);
    succeeded_ = true;
    return Result(LinkStatus::Ok, LinkMessage::kReadDone);
}

LinkResult CTransfer::RunWrite(ITransferObserver& observer)
{
    Image& image = Radio().MemoryImage();
    const std::span<const TransferBlock> plan = WritePlan(serviceLevel_);
    const size_t total = plan.size() - 1;  // the time stamp is not counted
    for (size_t n = 0; n < plan.size(); ++n) {
        const TransferBlock& b = plan[n];
        const bool stamp = n == total;
        const uint8_t* source = stamp ? stamp_.data() : image.data() + b.address;
        if (!link_.WriteBlock(b.address, b.count, source)) {
            LinkResult r = Result(LinkStatus::BlockFailed, LinkMessage::kWriteFailed);
            r.number = b.address;
            return r;
        }
        if (!stamp) observer.OnTransferProgress(direction_, static_cast<int>((n + 1) * 100 / total));
    }
    std::copy(stamp_.begin(), stamp_.end(), image.begin() + kStampBlock.address);
    link_.SetRadioMode(RadioMode::End);
    succeeded_ = true;
    return Result(LinkStatus::Ok, LinkMessage::kWriteDone);
}

void CTransfer::CommitRead()
{
    if (direction_ != TransferDirection::Read || !succeeded_) return;
    succeeded_ = false;
    CSettings& s = Settings();
    s.SetModelID(identity_.modelId);
    s.SetModelName(identity_.modelName);
    s.SetSignal(static_cast<int>(identity_.signal));
    s.SetRadioVersion(identity_.version);
    s.SetPrevFreqRange(s.FreqRange());
    s.SetFreqRange(RangeText(radioRange_));
    ModelCatalog().LoadRangeTable();
    RadioData& radio = Radio();
    radio.MemoryImage() = buffer_;
    radio.MemoryMap().LoadFromImage(radio.MemoryImage());
}

void CTransfer::CommitWrite()
{
    if (direction_ != TransferDirection::Write || !succeeded_) return;
    succeeded_ = false;
    CRadioInfoBlock& info = Radio().RadioInfo();
    info.Raw().CopyFrom(Radio().MemoryImage().data() + CRadioInfoBlock::kImageAddress);
}

LinkResult IdentifyRadio(CRadioProtocol& link, RadioMode mode, CQTXDoc& document,
                         DocumentUi& ui, const std::string& port)
{
    link.Close();
    int number = 0;
    if (LinkResult r = FindPort(link, port, number); !r.Ok()) return r;
    RadioIdentity identity;
    FreqRangeRecord range;
    const TransferDirection direction =
        mode == RadioMode::Write ? TransferDirection::Write : TransferDirection::Read;
    if (LinkResult r = QueryAndCheck(link, direction, identity, range); !r.Ok()) return r;

    CSettings& s = Settings();
    const std::string rangeText = RangeText(range);
    if ((mode == RadioMode::Write || mode == RadioMode::Adjust) && s.FreqRange() != rangeText) {
        link.Close();
        return BandMismatch(range);
    }
    const bool modelChanged = identity.modelId != s.ModelID();
    const bool rangeChanged = s.FreqRange() != rangeText;
    s.SetModelID(identity.modelId);
    s.SetModelName(identity.modelName);
    s.SetSignal(static_cast<int>(identity.signal));
    s.SetRadioVersion(identity.version);
    s.SetFreqRange(rangeText);
    ModelCatalog().LoadRangeTable();

    ui.CloseAllViews();
    if (modelChanged) {
        document.LoadDefaultSet(1);
        s.SetRadioVersion(identity.version);
    }
    ui.Refresh();
    if (rangeChanged) {
        Radio().ResetChannelData();
        ui.Refresh();
    }
    if (!link.SetRadioMode(mode)) {
        link.Close();
        return Result(LinkStatus::ModeRefused, LinkMessage::kNoRadio);
    }
    return {};
}

}  // namespace rv
