#include "link/Transfer.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <utility>

#include "base/Settings.h"
#include "base/TextFormat.h"
#include "data/Document.h"
#include "data/MemoryMap.h"
#include "editors/radio/RadioInfoBlock.h"
#include "link/PortNames.h"

namespace rv {

namespace {

// The range text "%d-%d" of a range record.
std::string RangeText(const FreqRangeRecord& r)
{
    return FormatRange(r.low, r.high);
}

LinkResult Result(LinkStatus status, int message)
{
    LinkResult r;
    r.status = status;
    r.message = message;
    return r;
}

// The result for a radio that did not complete the handshake on device: no answer at all is
// "no radio"; a refusal and a wrong answer say so.
LinkResult HandshakeResult(AnswerFault fault, const std::string& device)
{
    LinkResult r = NoRadioResult(PortError::None, device);
    if (fault == AnswerFault::NoAnswer || fault == AnswerFault::None) return r;
    r.message = fault == AnswerFault::Refused ? LinkMessage::kHandshakeRefused
                                              : LinkMessage::kHandshakeFailed;
    r.argument = device;
    r.cause = fault;
    return r;
}

int ItemText(int item)
{
    using frame::IdentityItem;
    switch (static_cast<IdentityItem>(item)) {
        case IdentityItem::ModelName:
            return LinkMessage::kItemModelName;
        case IdentityItem::Range:
            return LinkMessage::kItemRange;
        case IdentityItem::Signal:
            return LinkMessage::kItemSignal;
        case IdentityItem::Version:
            return LinkMessage::kItemVersion;
        case IdentityItem::ModelId:
            return LinkMessage::kItemModelId;
    }
    return 0;
}

int ModeText(int mode)
{
    switch (static_cast<RadioMode>(mode)) {
        case RadioMode::Read:
            return LinkMessage::kModeRead;
        case RadioMode::Write:
            return LinkMessage::kModeWrite;
        case RadioMode::Adjust:
            return LinkMessage::kModeAdjust;
        case RadioMode::End:
            break;
    }
    return 0;
}

std::string Message(int n)
{
    return n ? Settings().LoadMessage(n) : std::string();
}

// What the radio holds after a write that ended early: the stretches acknowledged hold the new
// configuration, a block whose acknowledgement was lost may hold either, the rest the old one.
std::string HoldsText(const std::vector<AddressRange>& written,
                      const std::optional<AddressRange>& uncertain)
{
    if (uncertain) {
        const std::string either = StretchListText({*uncertain});
        if (written.empty())
            return FillStrings(Message(LinkMessage::kHoldsEitherOnly), {either});
        return FillStrings(Message(LinkMessage::kHoldsNewAndEither),
                           {StretchListText(written), either});
    }
    if (written.empty()) return Message(LinkMessage::kHoldsOld);
    if (written.size() > 2)
        return FillStrings(Message(LinkMessage::kHoldsNewList), {StretchListText(written)});
    std::vector<std::string> ends;
    for (const AddressRange& r : written) {
        ends.push_back(AddressText(r.first));
        ends.push_back(AddressText(r.last));
    }
    return FillStrings(Message(written.size() == 1 ? LinkMessage::kHoldsOneStretch
                                                   : LinkMessage::kHoldsTwoStretches),
                       ends);
}

std::string Fill(const std::string& text, const std::vector<std::string>& values)
{
    return FillStrings(text, values);
}

}  // namespace

// The port given by the user, or a search; the found port open and handshaken. Sets ComPort
// to the port number found.
LinkResult FindPort(CRadioProtocol& link, const std::string& port, int& number)
{
    number = 0;
    if (!port.empty()) {
        const std::string device = ResolvePort(port, number);
        if (!link.ConnectDevice(device, true)) {
            const bool opened = link.OpenError() == PortError::None && !device.empty();
            if (opened) return HandshakeResult(link.LastFault(), device);
            return NoRadioResult(device.empty() ? PortError::NotFound : link.OpenError(),
                                 device.empty() ? port : device);
        }
    } else {
        number = link.FindRadio();
        if (number == 0) {
            // Of the open failures of a search only a refused permission tells the user more
            // than that no radio answered; of the handshakes, one that was answered wrongly.
            if (link.SearchError() == PortError::AccessDenied)
                return NoRadioResult(PortError::AccessDenied, link.SearchErrorDevice());
            LinkResult r = HandshakeResult(link.HandshakeFault(), link.HandshakeFaultDevice());
            if (r.message == LinkMessage::kNoRadio) {
                // Nothing answered anywhere: the message lists the devices looked at.
                r.argument.clear();
                r.portsSearched.emplace();
                for (const PortName& p : PortTable())
                    if (!p.device.empty()) r.portsSearched->push_back(p.device);
            }
            return r;
        }
    }
    if (number > 0) {
        // Several radios may be connected at once, each on its own thread.
        static std::mutex settingsMutex;
        const std::lock_guard lock(settingsMutex);
        Settings().SetComPort(number);
    }
    return {};
}

// Identity query and checks shared by the transfer and IdentifyRadio: the identity, the model
// and version check and the decoded range. The port is closed on failure.
LinkResult IdentityFailure(const CRadioProtocol& link)
{
    LinkResult r = Result(LinkStatus::IdentityFailed, LinkMessage::kIdentityFailed);
    r.cause = link.LastFault();
    r.item = static_cast<int>(link.FailedIdentityItem());
    return r;
}

LinkResult QueryAndCheck(CRadioProtocol& link, TransferDirection direction,
                         RadioIdentity& identity, FreqRangeRecord& range)
{
    identity = {};
    if (!link.QueryIdentity(CRadioProtocol::kReferenceVersion, identity, kRadioRangeSize)) {
        link.Close();
        return IdentityFailure(link);
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

// The radio did not take a mode: refused, or the change failed for another cause.
LinkResult ModeFailure(const CRadioProtocol& link, RadioMode mode)
{
    const AnswerFault cause = link.LastFault();
    LinkResult r = Result(LinkStatus::ModeRefused, cause == AnswerFault::Refused
                                                       ? LinkMessage::kModeRefused
                                                       : LinkMessage::kModeFailed);
    r.cause = cause;
    r.item = static_cast<int>(mode);
    return r;
}

// Ends a connection whose mode change was tried: mode 1 (the radio may have switched even
// when its answer was lost), then the port is closed.
void EndAndClose(CRadioProtocol& link, LinkResult& result)
{
    result.endConfirmed = link.SetRadioMode(RadioMode::End);
    link.Close();
}

// Adds a block to the stretches a write has sent, joining it to the last when they touch.
void NoteWritten(std::vector<AddressRange>& written, const TransferBlock& block)
{
    const uint16_t last = static_cast<uint16_t>(block.address + block.count - 1);
    if (!written.empty() && written.back().last + 1 == block.address)
        written.back().last = last;
    else
        written.push_back({block.address, last});
}

std::string CauseText(AnswerFault cause)
{
    switch (cause) {
        case AnswerFault::None:
            return {};
        case AnswerFault::NoAnswer:
            return Message(LinkMessage::kCauseNoAnswer);
        case AnswerFault::ShortAnswer:
            return Message(LinkMessage::kCauseShortAnswer);
        case AnswerFault::ChecksumError:
            return Message(LinkMessage::kCauseChecksum);
        case AnswerFault::Refused:
            return Message(LinkMessage::kCauseRefused);
        case AnswerFault::LineError:
            return Message(LinkMessage::kCauseLineError);
        case AnswerFault::Garbled:
            return Message(LinkMessage::kCauseGarbled);
    }
    return {};
}

std::string LinkResult::Text() const
{
    if (message == 0) return {};
    std::string text = Message(message);
    if (text.empty()) return text;
    switch (message) {
        case LinkMessage::kNoRadio:
            if (portsSearched) {
                std::vector<std::string> ports;
                for (const std::string& device : *portsSearched) ports.push_back(PortText(device));
                text = ports.empty()
                           ? Message(LinkMessage::kNoSerialPort)
                           : FillStrings(Message(LinkMessage::kNoRadioOnPorts), {ListText(ports)});
            } else if (!argument.empty()) {
                text = FillStrings(Message(LinkMessage::kNoRadioOnPort), {PortText(argument)});
            }
            break;
        case LinkMessage::kReadFailed:
            text = Fill(text, {AddressText(number), CauseText(cause)});
            break;
        case LinkMessage::kWriteFailed: {
            std::string place = AddressText(number);
            if (number == kStampBlock.address) place += ", " + Message(LinkMessage::kStampPlace);
            text = Fill(text, {place, CauseText(cause), HoldsText(written, uncertain)});
            break;
        }
        case LinkMessage::kIdentityFailed:
            text = Fill(text, {Message(ItemText(item)), CauseText(cause)});
            break;
        case LinkMessage::kModeRefused:
            text = Fill(text, {Message(ModeText(item))});
            break;
        case LinkMessage::kModeFailed:
            text = Fill(text, {Message(ModeText(item)), CauseText(cause)});
            break;
        case LinkMessage::kHandshakeFailed:
            text = Fill(text, {argument, CauseText(cause)});
            break;
        case LinkMessage::kWriteInterrupted:
            text = Fill(text, {HoldsText(written, uncertain)});
            break;
        case LinkMessage::kPortIndicator:
            text = FormatTextNumber(text, number);
            break;
        default:
            if (!argument.empty()) text = FormatTextString(text, argument);
            break;
    }
    if (!endConfirmed) {
        const std::string note = Message(LinkMessage::kEndNotConfirmed);
        if (!note.empty()) text += " " + note;
    }
    return text;
}

std::string ListText(const std::vector<std::string>& items)
{
    std::string list;
    for (const std::string& one : items)
        list = list.empty() ? one : FillStrings(Message(LinkMessage::kListJoin), {list, one});
    return list;
}

std::string StretchListText(const std::vector<AddressRange>& stretches)
{
    std::vector<std::string> items;
    for (const AddressRange& r : stretches)
        items.push_back(FillStrings(Message(LinkMessage::kStretch),
                                    {AddressText(r.first), AddressText(r.last)}));
    return ListText(items);
}

std::string PortText(const std::string& device)
{
    const std::vector<PortName> table = PortTable();
    for (size_t i = 0; i < table.size(); ++i)
        if (!device.empty() && table[i].device == device)
            return FillStrings(Message(LinkMessage::kPortWithNumber),
                               {std::to_string(i + 1), device});
    return device;
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
        check.message =
            identity.versionCompare > 0 ? LinkMessage::kVersionHigher : LinkMessage::kVersionLower;
        return check;
    }
    check.range = RadioRangeOf(identity);
    return check;
}

LinkResult NoRadioResult(PortError error, const std::string& device)
{
    LinkResult r = Result(LinkStatus::NoRadio, LinkMessage::kNoRadio);
    switch (error) {
        case PortError::None:
            break;  // the port opened; nothing answered on it
        case PortError::AccessDenied:
            r.message = LinkMessage::kPortDenied;
            break;
        case PortError::Busy:
            r.message = LinkMessage::kPortBusy;
            break;
        case PortError::NotFound:
            r.message = LinkMessage::kPortMissing;
            break;
        case PortError::NotSerial:
        case PortError::Failed:
            r.message = LinkMessage::kPortFailed;
            break;
    }
    r.argument = device;
    return r;
}

CTransfer::CTransfer(TransferDirection direction) : direction_(direction) {}

LinkResult CTransfer::Fail(LinkResult result)
{
    link_->Close();
    return result;
}

LinkResult CTransfer::EndConnection(LinkResult result)
{
    // A session's port stays open (and locked) for its next step.
    if (link_ != &ownLink_) {
        result.endConfirmed = link_->SetRadioMode(RadioMode::End);
        return result;
    }
    EndAndClose(*link_, result);
    return result;
}

void CTransfer::UseLink(CRadioProtocol& link, bool greeted)
{
    link_ = &link;
    greeted_ = greeted;
}

LinkResult CTransfer::Connect(const std::string& port)
{
    connected_ = succeeded_ = false;
    const LinkResult interrupted =
        Result(LinkStatus::Interrupted, LinkMessage::kConnectInterrupted);
    if (link_ != &ownLink_ && link_->IsOpen()) {
        // The next step of a session: the port is still open and locked; only the handshake
        // is made again, unless the radio has just answered the one that opened the session.
        const bool greeted = std::exchange(greeted_, false);
        if (!greeted && !link_->HandshakePatient()) {
            const AnswerFault fault = link_->LastFault();
            const std::string device = link_->PortName();
            link_->Close();
            return HandshakeResult(fault, device);
        }
    } else {
        link_->Close();
        if (LinkResult r = FindPort(*link_, port, portNumber_); !r.Ok()) return r;
    }
    if (StopRequested()) return Fail(interrupted);
    if (LinkResult r = QueryAndCheck(*link_, direction_, identity_, radioRange_); !r.Ok())
        return r;
    if (StopRequested()) return Fail(interrupted);

    // The radio must be of the range the data are for; a missing number counts as 0.
    CSettings& s = Settings();
    int low = 0, high = 0;
    ParseRange(s.FreqRange(), low, high);
    if (low != radioRange_.low || high != radioRange_.high) return Fail(BandMismatch(radioRange_));

    RadioMode mode = RadioMode::Read;
    if (direction_ == TransferDirection::Write) {
        // The radio's identity is taken into the settings together with its memory when a
        // read has succeeded (CommitRead); a write adjusts the image for older firmware.
        mode = RadioMode::Write;
        serviceLevel_ = s.IsServiceLevel();
        if (asIs_) {
            // A backup goes back as it came from the radio, its own time stamp included.
            std::copy_n(SentImage().begin() + kStampBlock.address, stamp_.size(), stamp_.begin());
        } else {
            if (!s.IsSecondEdition()) ApplyFirmwareAdjustments(SentImage(), identity_.version);
            stamp_ = CurrentTimeStamp();
        }
    }
    if (!link_->SetRadioMode(mode)) return EndConnection(ModeFailure(*link_, mode));
    if (StopRequested()) {
        return EndConnection(direction_ == TransferDirection::Read
                                 ? Result(LinkStatus::Interrupted, LinkMessage::kReadInterrupted)
                                 : Result(LinkStatus::Interrupted, LinkMessage::kWriteInterrupted));
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
    if (link_ == &ownLink_) link_->Close();
    observer.OnTransferFinished(direction_, result);
    return result;
}

std::vector<size_t> CTransfer::ReadPlan() const
{
    // The blocks to read in address order: every one, or those that hold the ranges asked for.
    std::vector<size_t> blocks;
    for (size_t k = 0; k < kReadBlockCount; ++k) {
        const size_t first = k * kTransferBlockSize, last = first + kTransferBlockSize - 1;
        if (readRanges_.empty() ||
            std::any_of(readRanges_.begin(), readRanges_.end(),
                        [&](const AddressRange& r) { return r.first <= last && first <= r.last; }))
            blocks.push_back(k);
    }
    return blocks;
}

std::vector<TransferBlock> CTransfer::SendPlan() const
{
    const Image& image = SentImage();
    const std::span<const TransferBlock> fullPlan = WritePlan(serviceLevel_);
    // Changed blocks only: the blocks the radio already holds are left out; the order of
    // those sent and the time stamp last stay as the full plan has them.
    std::vector<TransferBlock> plan;
    for (size_t n = 0; n < fullPlan.size(); ++n) {
        const TransferBlock& b = fullPlan[n];
        const bool stamp = n + 1 == fullPlan.size();
        if (!stamp && held_ &&
            std::equal(image.begin() + b.address, image.begin() + b.address + b.count,
                       held_->begin() + b.address))
            continue;
        plan.push_back(b);
    }
    return plan;
}

size_t CTransfer::BlocksToMove() const
{
    return direction_ == TransferDirection::Read ? ReadPlan().size() : SendPlan().size();
}

LinkResult CTransfer::RunRead(ITransferObserver& observer)
{
    const std::vector<size_t> blocks = ReadPlan();
    for (size_t n = 0; n < blocks.size(); ++n) {
        const size_t k = blocks[n];
        if (n > 0 && StopRequested())
            return EndConnection(Result(LinkStatus::Interrupted, LinkMessage::kReadInterrupted));
        const uint16_t address = static_cast<uint16_t>(k * kTransferBlockSize);
        if (!link_->ReadBlock(address, kTransferBlockSize, buffer_.data() + address)) {
            LinkResult r = Result(LinkStatus::BlockFailed, LinkMessage::kReadFailed);
            r.number = address;
            r.cause = link_->LastFault();
            return EndConnection(r);
        }
        observer.OnTransferProgress(
            direction_, readRanges_.empty() ? ReadProgress(k)
                                            : static_cast<int>((n + 1) * 100 / blocks.size()));
        observer.OnTransferBlocks(direction_, n + 1, blocks.size());
    }
    succeeded_ = true;
    LinkResult done = Result(LinkStatus::Ok, LinkMessage::kReadDone);
    done.endConfirmed = link_->SetRadioMode(RadioMode::End);
    return done;
}

bool CTransfer::StampArrived()
{
    TimeStamp back{};
    if (!link_->SetRadioMode(RadioMode::Read)) return false;
    return link_->ReadBlock(kStampBlock.address, kStampBlock.count, back.data()) && back == stamp_;
}

LinkResult CTransfer::RunWrite(ITransferObserver& observer)
{
    Image& image = SentImage();
    const std::vector<TransferBlock> plan = SendPlan();
    blocksSent_ = 0;
    planBlocks_ = WritePlan(serviceLevel_).size();
    const size_t total = plan.size() - 1;  // the time stamp is not counted
    std::vector<AddressRange> written;
    for (size_t n = 0; n < plan.size(); ++n) {
        if (n > 0 && StopRequested()) {
            LinkResult r = Result(LinkStatus::Interrupted, LinkMessage::kWriteInterrupted);
            r.written = written;
            return EndConnection(r);
        }
        const TransferBlock& b = plan[n];
        const bool stamp = n == total;
        const uint8_t* source = stamp ? stamp_.data() : image.data() + b.address;
        if (!link_->WriteBlock(b.address, b.count, source)) {
            LinkResult r = Result(LinkStatus::BlockFailed, LinkMessage::kWriteFailed);
            r.number = b.address;
            r.cause = link_->LastFault();
            r.written = written;
            // A block whose answer was lost or garbled may have been stored; only one the
            // radio refused outright certainly was not.
            if (r.cause != AnswerFault::Refused)
                r.uncertain = AddressRange{
                    b.address, static_cast<uint16_t>(b.address + b.count - 1)};
            // Only the acknowledgements of the stamp may have been lost: the radio is then
            // fully programmed, which reading the stamp back shows.
            if (!stamp || !StampArrived()) return EndConnection(r);
        }
        ++blocksSent_;
        if (!stamp) {
            NoteWritten(written, b);
            observer.OnTransferProgress(direction_,
                                        total ? static_cast<int>((n + 1) * 100 / total) : 100);
        }
        observer.OnTransferBlocks(direction_, n + 1, plan.size());
    }
    std::copy(stamp_.begin(), stamp_.end(), image.begin() + kStampBlock.address);
    succeeded_ = true;
    LinkResult done = Result(LinkStatus::Ok, LinkMessage::kWriteDone);
    done.written = written;
    done.endConfirmed = link_->SetRadioMode(RadioMode::End);
    return done;
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
    info.Raw().CopyFrom(SentImage().data() + CRadioInfoBlock::kImageAddress);
}

Image& CTransfer::SentImage() const
{
    return image_ ? *image_ : Radio().MemoryImage();
}

LinkResult IdentifyRadio(CRadioProtocol& link, RadioMode mode, CQTXDoc& document, DocumentUi& ui,
                         const std::string& port)
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
        LinkResult r = ModeFailure(link, mode);
        EndAndClose(link, r);
        return r;
    }
    return {};
}

}  // namespace rv
