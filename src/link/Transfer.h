#pragma once
// Read from Radio, Write to Radio and the connect-and-check procedure of the service commands:
// finding the radio, checking its identity, model, firmware version and band against the
// current data, the transfer plan, and the worker that moves the blocks while it reports its
// progress to an observer.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/TextFormat.h"
#include "data/ModelCatalog.h"
#include "data/RadioData.h"
#include "editors/radio/TimeStamp.h"
#include "link/RadioProtocol.h"

namespace rv {

class CQTXDoc;
class DocumentUi;

/// Direction of a transfer: 0 read, 1 write.
enum class TransferDirection { Read = 0, Write = 1 };

/// Message numbers of the radio link (language keys S01nnnnn).
struct LinkMessage {
    static constexpr int kReadDone = 1136;    ///< the radio was read
    static constexpr int kWriteDone = 1137;   ///< the radio was written
    static constexpr int kReadFailed = 1138;  ///< block read failed (%s address, %s cause)
    /// block write failed (%s address, %s cause, %s what the radio holds)
    static constexpr int kWriteFailed = 1139;
    static constexpr int kVersionHigher = 1140;   ///< radio firmware newer than the program
    static constexpr int kVersionLower = 1141;    ///< radio firmware older than the program
    static constexpr int kBandMismatch = 1142;    ///< radio band differs (%s radio range)
    static constexpr int kNoRadio = 1143;         ///< no radio answered / it refused the mode
    static constexpr int kIdentityFailed = 1146;  ///< identity query failed (%s item, %s cause)
    static constexpr int kModelRefused = 1172;    ///< radio of another or an unknown model
    static constexpr int kPortDenied = 1191;      ///< no permission to open the port (%s)
    static constexpr int kPortBusy = 1192;        ///< port used by another program (%s)
    static constexpr int kPortMissing = 1193;     ///< no such port (%s)
    static constexpr int kPortFailed = 1194;      ///< the port could not be opened (%s)
    static constexpr int kPortIndicator = 2231;   ///< status bar port pane (%d port number)
    /// Causes of a failed exchange, filled into the messages above and below.
    static constexpr int kCauseNoAnswer = 1240;
    static constexpr int kCauseShortAnswer = 1241;
    static constexpr int kCauseChecksum = 1242;
    static constexpr int kCauseRefused = 1243;
    static constexpr int kCauseLineError = 1244;
    static constexpr int kCauseGarbled = 1245;
    /// Names of the identity items (model name, range, signalling, version, model ID).
    static constexpr int kItemModelName = 1250;
    static constexpr int kItemRange = 1251;
    static constexpr int kItemSignal = 1252;
    static constexpr int kItemVersion = 1253;
    static constexpr int kItemModelId = 1254;
    static constexpr int kStampPlace = 1255;  ///< "the programming time stamp"
    /// Names of the radio modes a connection asks for.
    static constexpr int kModeRead = 1256;
    static constexpr int kModeWrite = 1257;
    static constexpr int kModeAdjust = 1258;
    static constexpr int kModeRefused = 1260;       ///< the radio refused a mode (%s mode)
    static constexpr int kModeFailed = 1261;        ///< a mode change failed (%s mode, %s cause)
    static constexpr int kHandshakeRefused = 1262;  ///< the radio refused the connection (%s port)
    static constexpr int kHandshakeFailed = 1263;   ///< wrong handshake answer (%s port, %s cause)
    /// What a radio holds after a write that did not finish: one stretch (%s to %s), two
    /// stretches (%s to %s, %s to %s), or nothing new.
    static constexpr int kHoldsOneStretch = 1264;
    static constexpr int kHoldsTwoStretches = 1265;
    static constexpr int kHoldsOld = 1266;
    static constexpr int kReadInterrupted = 1267;     ///< a read was interrupted
    static constexpr int kWriteInterrupted = 1268;    ///< a write was interrupted (%s holds)
    static constexpr int kConnectInterrupted = 1269;  ///< interrupted before any transfer
    static constexpr int kEndNotConfirmed = 1270;     ///< the radio did not confirm mode 1
    /// What a radio holds: several stretches hold the new configuration (%s the list); some
    /// (%s) and one block that may hold either (%s); only a block that may hold either (%s).
    static constexpr int kHoldsNewList = 3000;
    static constexpr int kHoldsNewAndEither = 3001;
    static constexpr int kHoldsEitherOnly = 3002;
    static constexpr int kStretch = 3003;   ///< one stretch of addresses (%s to %s)
    static constexpr int kListJoin = 3004;  ///< two parts of a list joined (%s, %s)
    /// No radio answered on the port given (%s the port), on any of the ports searched (%s
    /// the list), or the search found no serial port at all.
    static constexpr int kNoRadioOnPort = 3601;
    static constexpr int kNoRadioOnPorts = 3602;
    static constexpr int kNoSerialPort = 3603;
    static constexpr int kPortWithNumber = 3604;  ///< a numbered port (%s number, %s device)
};
/// Interface texts of the transfer screen (language keys S02nnnnn).
struct LinkText {
    static constexpr int kReadTitle = 1601;      ///< screen title when reading
    static constexpr int kWriteTitle = 1602;     ///< screen title when writing
    static constexpr int kReadProgress = 1604;   ///< status while reading (%d percent)
    static constexpr int kWriteProgress = 1605;  ///< status while writing (%d percent)
};

/// How a connection or a transfer ended.
enum class LinkStatus {
    Ok,              ///< done
    NoRadio,         ///< no port opened or no radio answered (the screen stays open)
    IdentityFailed,  ///< the identity query failed
    ModelRefused,    ///< the radio's model may not be read or written
    VersionRefused,  ///< the radio's firmware version differs
    BandMismatch,    ///< the radio's band differs from the current range
    ModeRefused,     ///< the radio refused or did not take the transfer mode
    BlockFailed,     ///< a block read or write failed (address says which)
    Interrupted,     ///< stopped on request; the connection was ended first
};

/// A stretch of image addresses, both ends included.
struct AddressRange {
    uint16_t first = 0;
    uint16_t last = 0;
    bool operator==(const AddressRange&) const = default;
};

/// Outcome of a connection or a transfer: what to tell the user, as a value.
struct LinkResult {
    LinkStatus status = LinkStatus::Ok;
    int message = 0;       ///< message number to show; 0 for none
    std::string argument;  ///< text the message is formatted with (range, device), if any
    long number = 0;       ///< number the message is formatted with (address, port), if any
    AnswerFault cause = AnswerFault::None;  ///< why the radio's answer failed, if it did
    int item = 0;  ///< the identity item or the mode the failed command asked for
    /// Write: the addresses the radio has acknowledged, in plan order.
    std::vector<AddressRange> written{};
    /// Write: the block whose acknowledgement was lost or garbled; it may hold either
    /// configuration.
    std::optional<AddressRange> uncertain{};
    bool endConfirmed = true;  ///< false when the radio did not confirm the end (mode 1)
    /// No radio after a search of every port: the devices looked at (none: no serial port).
    std::optional<std::vector<std::string>> portsSearched{};
    bool Ok() const { return status == LinkStatus::Ok; }
    /// The message text of the current language with its values filled in.
    std::string Text() const;
};

/// Items joined as the language joins a list ("a, b, c").
std::string ListText(const std::vector<std::string>& items);
/// The stretches of a write plan as a list ("A to B, C to D").
std::string StretchListText(const std::vector<AddressRange>& stretches);
/// A device as the user knows it: "COM1 (/dev/ttyUSB0)" when a port number names it, else the
/// device path alone.
std::string PortText(const std::string& device);

/// The language text of a cause (message 1240 to 1245); "" for AnswerFault::None.
std::string CauseText(AnswerFault cause);

/// Receives the progress and the end of a transfer. Called on the worker thread; the GUI turns
/// each call into a blocking queued signal so that its handlers run on the UI thread while the
/// worker waits.
class ITransferObserver {
public:
    virtual ~ITransferObserver() = default;
    /// After every block: percent done (read: text 1604, write: text 1605).
    virtual void OnTransferProgress(TransferDirection direction, int percent) = 0;
    /// After every block: blocks done of the blocks this transfer moves (a write counts the
    /// blocks it sends and the time stamp).
    virtual void OnTransferBlocks(TransferDirection direction, size_t done, size_t total)
    {
        (void)direction, (void)done, (void)total;
    }
    /// Once, when the worker has ended: success (message 1136 or 1137) or the failing block
    /// (1138 or 1139 with its address). The port is closed by then.
    virtual void OnTransferFinished(TransferDirection direction, const LinkResult& result) = 0;
};

/// One block of a transfer: image address and byte count.
struct TransferBlock {
    uint16_t address = 0;
    uint16_t count = 0;
};

/// One area of the image that Write to Radio sends.
struct TransferArea {
    uint16_t first;    ///< first image address
    uint16_t last;     ///< last image address (inclusive)
    bool serviceOnly;  ///< sent only at the service user levels
};

/// Bytes per block of a transfer.
inline constexpr uint16_t kTransferBlockSize = 16;
/// Read from Radio reads the whole memory in blocks of 16.
inline constexpr size_t kReadBlockCount = kImageSize / kTransferBlockSize;
/// The areas Write to Radio sends, in order: the configuration, the test frequencies' tail
/// (service levels only) and the channels. Addresses 0-31, 40-119 and 825-1407 (factory,
/// tuning and embedded records) are never written; the time stamp follows last.
inline constexpr TransferArea kWriteAreas[] = {
    {120, 783, false},
    {784, 824, true},
    {1408, 2047, false},
};
/// The programming time stamp block, sent after the areas.
inline constexpr TransferBlock kStampBlock{32, kTimeStampSize};

/// Blocks of the areas sent at a user level (without the time stamp).
constexpr size_t WriteAreaBlockCount(bool serviceLevel)
{
    size_t n = 0;
    for (const TransferArea& a : kWriteAreas)
        if (serviceLevel || !a.serviceOnly)
            n += (a.last - a.first + kTransferBlockSize) / kTransferBlockSize;
    return n;
}

/// Every block of a write in order, the time stamp last.
template <size_t N>
constexpr std::array<TransferBlock, N> MakeWritePlan(bool serviceLevel)
{
    std::array<TransferBlock, N> plan{};
    size_t k = 0;
    for (const TransferArea& a : kWriteAreas) {
        if (a.serviceOnly && !serviceLevel) continue;
        for (unsigned at = a.first; at <= a.last; at += kTransferBlockSize) {
            const unsigned left = a.last + 1u - at;
            plan[k++] = {
                static_cast<uint16_t>(at),
                static_cast<uint16_t>(left < kTransferBlockSize ? left : kTransferBlockSize)};
        }
    }
    plan[k] = kStampBlock;
    return plan;
}

/// The write plans: 83 blocks below the service levels, 86 at a service level.
inline constexpr auto kUserWritePlan = MakeWritePlan<WriteAreaBlockCount(false) + 1>(false);
inline constexpr auto kServiceWritePlan = MakeWritePlan<WriteAreaBlockCount(true) + 1>(true);
static_assert(kUserWritePlan.size() == 83 && kServiceWritePlan.size() == 86);
static_assert(kUserWritePlan[41].address == 776 && kUserWritePlan[41].count == 8);
static_assert(kServiceWritePlan[44].address == 816 && kServiceWritePlan[44].count == 9);
static_assert(kUserWritePlan.back().address == 32 && kUserWritePlan.back().count == 8);

/// The write plan for a user level.
std::span<const TransferBlock> WritePlan(bool serviceLevel);
/// Read progress after block k (0-based): k * 1600 / 2032, 0 after the first, 100 after the last.
constexpr int ReadProgress(size_t k)
{
    return static_cast<int>(k * 1600 / 2032);
}
static_assert(ReadProgress(0) == 0 && ReadProgress(kReadBlockCount - 1) == 100);

/// Results of CheckRadio.
enum class CheckCode : int { Accepted = 0, ModelRefused = 1, VersionRefused = 2 };

/// What CheckRadio decided, the message for a refusal, and the radio's range when accepted.
struct RadioCheck {
    CheckCode code = CheckCode::Accepted;
    int message = 0;
    FreqRangeRecord range;  ///< decoded from the radio's range record (Accepted only)
};

/// Checks a radio's identity for a direction: a write needs the radio's model ID to equal the
/// current one, a read a known model; then the firmware version must compare equal to "1.01"
/// (1140 newer, 1141 older). Changes nothing.
RadioCheck CheckRadio(TransferDirection direction, const RadioIdentity& identity);
/// The radio's range record decoded as the range table holds ranges.
FreqRangeRecord RadioRangeOf(const RadioIdentity& identity);
/// The result for a port that could not be used, or for no radio found (1143).
LinkResult NoRadioResult(PortError error, const std::string& device);

// Steps of a connection that the service procedures share with Read and Write.
/// Opens the port given (a number or a device path) with the patient handshake, or searches
/// the stored port and then ports 1 to 16; sets ComPort to the number found. On failure no
/// port is open and the result says why (1143 no radio, 1191 to 1194 the port, 1262/1263 the
/// handshake).
LinkResult FindPort(CRadioProtocol& link, const std::string& port, int& number);
/// The result of a failed identity query (1146 with the item and the cause).
LinkResult IdentityFailure(const CRadioProtocol& link);
/// Queries the identity, checks the model and version for a direction and decodes the
/// radio's range; the port is closed on failure.
LinkResult QueryAndCheck(CRadioProtocol& link, TransferDirection direction,
                         RadioIdentity& identity, FreqRangeRecord& range);
/// The result for a radio of another range (1142 with the radio's range).
LinkResult BandMismatch(const FreqRangeRecord& range);
/// The result for a mode the radio did not take (1260 refused, 1261 failed).
LinkResult ModeFailure(const CRadioProtocol& link, RadioMode mode);
/// Ends a connection whose mode change was tried: mode 1, then the port is closed;
/// result.endConfirmed says whether the radio confirmed the end.
void EndAndClose(CRadioProtocol& link, LinkResult& result);
/// Adds a block to the stretches a write has sent, joining it to the last when they touch.
void NoteWritten(std::vector<AddressRange>& written, const TransferBlock& block);

/// One Read from Radio or Write to Radio: the connection made on the UI thread (Connect), the
/// blocks moved on a worker thread (Run), and the result taken over on the UI thread
/// (CommitRead, CommitWrite).
class CTransfer {
public:
    /// A transfer in a direction. A write sends RadioData's memory image, which the caller has
    /// stored (PrepareImage) after the data were validated; a read fills a buffer of its own.
    explicit CTransfer(TransferDirection direction);

    /// Finds the radio (on port when given: a number or a device path, else the stored port
    /// and then ports 1 to 16), sets ComPort to the port found, queries and checks the
    /// identity and the band, and switches the radio to mode 2 (read) or 3 (write). A write
    /// first applies the adjustments for older firmware to the image and takes the time
    /// stamp. Settings and data keep their values on every failure; the port is then closed.
    LinkResult Connect(const std::string& port = {});
    /// The worker: moves every block of the plan, reporting progress after each, then ends
    /// the connection with mode 1, closes the port and reports the end. Call once after
    /// Connect succeeded; a read leaves its data in Buffer() only.
    LinkResult Run(ITransferObserver& observer);
    /// After a successful read: the radio's identity (model, name, signalling, version, range;
    /// the previous range kept) goes into the settings, the range table is reloaded and the
    /// memory goes into RadioData's image, which is unpacked (LoadFromImage). Close the views
    /// first. Does nothing unless the read succeeded.
    void CommitRead();
    /// After a successful write: the radio information block takes image 16 to 119, which
    /// now holds the new time stamp. Does nothing unless the write succeeded.
    void CommitWrite();

    /// A flag that asks the transfer to stop (set by a signal handler, for instance). It is
    /// looked at between the steps of the connection and after every block: the block under
    /// way is finished, the connection ended with mode 1, the port closed, and the result says
    /// Interrupted and what the radio holds. The flag must outlive the transfer.
    void SetStopRequest(const std::atomic<bool>* stop) { stop_ = stop; }

    /// A write sends this image instead of RadioData's memory image (the firmware adjustments
    /// and the new time stamp go into it). It must outlive the transfer. Lets several writes
    /// run at once, each on its own copy.
    void UseImage(Image& image) { image_ = &image; }
    /// The image a write sends.
    Image& SentImage() const;
    /// Changed blocks only: a write sends only the blocks of its plan whose bytes differ from
    /// what the radio holds (held, read from it just before), then the time stamp. Null (the
    /// default) sends every block. held must outlive the transfer.
    void SetHeldImage(const Image* held) { held_ = held; }
    /// Blocks the last write sent, the time stamp included.
    size_t BlocksSent() const { return blocksSent_; }
    /// After Connect: the blocks Run will move (a write: those it sends and the time stamp).
    size_t BlocksToMove() const;
    /// Blocks of the last write's plan, the time stamp included.
    size_t PlanBlocks() const { return planBlocks_; }
    /// A restore: the image is sent as it is, with its own time stamp and without the
    /// adjustments for older firmware.
    void SendAsIs(bool asIs) { asIs_ = asIs; }
    /// Moves the blocks over link (a write session's, open and locked for all of its steps)
    /// instead of a link of its own: Connect opens it when it is closed and otherwise makes
    /// only the handshake again; the end of the transfer puts the radio back to mode 1 and
    /// leaves the port open. link must outlive the transfer. greeted: the radio has just
    /// answered a handshake on link, so Connect goes on with the identity at once.
    void UseLink(CRadioProtocol& link, bool greeted = false);
    /// A read of only the 16-byte blocks that hold these stretches (the verify of a write of
    /// the changed blocks); the other bytes of Buffer() stay zero. Empty (the default) reads
    /// the whole memory.
    void SetReadRanges(std::vector<AddressRange> ranges) { readRanges_ = std::move(ranges); }

    /// The direction given at construction.
    TransferDirection Direction() const { return direction_; }
    /// The memory read from the radio (zeros until Run).
    const Image& Buffer() const { return buffer_; }
    /// What the radio reported about itself (after Connect).
    const RadioIdentity& Identity() const { return identity_; }
    /// The radio's range, decoded (after a successful Connect).
    const FreqRangeRecord& RadioRange() const { return radioRange_; }
    /// The time stamp a write sends (zero until Connect of a write).
    const TimeStamp& Stamp() const { return stamp_; }
    /// Port number the radio was found on (0 when it was given as a device path).
    int PortNumber() const { return portNumber_; }
    /// The link the transfer uses.
    CRadioProtocol& Link() { return *link_; }

private:
    LinkResult Fail(LinkResult result);
    LinkResult RunRead(ITransferObserver& observer);
    LinkResult RunWrite(ITransferObserver& observer);
    /// The blocks a read moves (their numbers) and those a write sends, the stamp last.
    std::vector<size_t> ReadPlan() const;
    std::vector<TransferBlock> SendPlan() const;
    bool StopRequested() const { return stop_ && stop_->load(); }
    /// Puts the radio back to mode 1 and closes the port; result notes when that failed.
    LinkResult EndConnection(LinkResult result);
    /// After the time stamp's acknowledgement was lost: reads the stamp back; true when the
    /// radio holds it.
    bool StampArrived();

    TransferDirection direction_;
    CRadioProtocol ownLink_;
    CRadioProtocol* link_ = &ownLink_;
    bool greeted_ = false;  ///< the session's link has just made its handshake
    Image buffer_{};
    RadioIdentity identity_;
    FreqRangeRecord radioRange_;
    TimeStamp stamp_{};
    int portNumber_ = 0;
    bool serviceLevel_ = false;  // user level of the write, read when it connected
    bool connected_ = false;
    bool succeeded_ = false;
    const std::atomic<bool>* stop_ = nullptr;
    Image* image_ = nullptr;       // null: RadioData's memory image
    const Image* held_ = nullptr;  // changed blocks only: what the radio holds
    size_t blocksSent_ = 0;
    size_t planBlocks_ = 0;
    bool asIs_ = false;
    std::vector<AddressRange> readRanges_;  // empty: the whole memory
};

/// Connects the service commands (Adjustment with mode 6, Base Band and Write Tune Data with
/// mode 3) through link: finds the radio, checks its identity (a write check for mode 3),
/// requires the current range for modes 3 and 6, takes the radio's identity into the
/// settings, closes the views, loads the default set when the model changed (keeping the
/// radio's version), resets the channel data when the range changed, refreshes the main
/// window and switches the mode. On success the port stays open: the caller ends with
/// SetRadioMode(1) and Close.
LinkResult IdentifyRadio(CRadioProtocol& link, RadioMode mode, CQTXDoc& document, DocumentUi& ui,
                         const std::string& port = {});

}  // namespace rv
