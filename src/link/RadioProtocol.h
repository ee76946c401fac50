#pragma once
// The framed command protocol of the radio on top of the serial port: the exchange with its
// retries and waits, the handshake, mode changes, block reads and writes, the identity query,
// the tuning commands, and the search for the port a radio is attached to.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/ComPort.h"
#include "link/Frame.h"

namespace rv {

class CLinkTrace;
using frame::RadioMode;

/// Why an exchange with the radio failed.
enum class AnswerFault {
    None,           ///< the answer was right
    NoAnswer,       ///< nothing came within the time-out
    ShortAnswer,    ///< fewer bytes came than the answer has
    ChecksumError,  ///< a complete answer whose checksum is wrong
    Refused,        ///< the radio answered with its refusal of the command
    LineError,      ///< the port reported a framing, parity or overrun error or a break
    Garbled,        ///< a complete answer that is not the expected one, or more bytes than it
};

/// Judges a complete answer (answerLength bytes) of an exchange.
using AnswerCheck = std::function<AnswerFault(const uint8_t* answer)>;

/// What the radio reports about itself (QueryIdentity).
struct RadioIdentity {
    std::string modelName;       ///< item 0x03, up to 12 characters
    std::vector<uint8_t> range;  ///< item 0x05: band code, low and high edge (packed decimal)
    uint32_t signal = 0;         ///< item 0x07, the radio's signalling code
    std::string version;         ///< item 0x21, up to 16 characters
    int versionCompare = 0;      ///< first 4 bytes of the version against the reference: -1/0/+1
    std::string modelId;         ///< item 0x22, up to 16 characters
};

/// The link to one radio. Every command is one Transact with three attempts; an answer is
/// judged complete by its length, then checked as its command requires, and every kind of
/// fault is tried again in the same way.
///
/// An answer carries nothing that ties it to its request, so a late answer must never be taken
/// for the next one. Queued input is discarded before every request; after an attempt that
/// failed, the next request waits until the line has been quiet for the read time-out; after
/// an exchange that needed more than one attempt, the answers that the earlier attempts may
/// still bring are waited out before the next request (an answer to the first attempt can
/// have been taken for the last one); bytes beyond an answer's length spoil the exchange.
/// None of this costs time while every answer comes at the first attempt.
class CRadioProtocol : public CComPort {
public:
    /// Line settings of the radio's programming port.
    static constexpr unsigned kBaud = 9600;
    static constexpr unsigned kDataBits = 8;
    /// Waits and limits of an exchange.
    static constexpr std::chrono::milliseconds kAnswerDelay{30};   ///< request to first read
    static constexpr uint32_t kReadTimeoutMs = 70;                 ///< read time-out
    static constexpr int kAttempts = 3;                            ///< exchanges per command
    static constexpr int kPatientRounds = 4;                       ///< patient handshake rounds
    static constexpr std::chrono::milliseconds kPatientPause{20};  ///< between those rounds
    static constexpr std::chrono::milliseconds kSettleDelay{50};   ///< after configuring
    static constexpr std::chrono::milliseconds kWriteDelay{10};    ///< before each block write
    /// Reference version of every identity check; its first 4 characters are compared.
    static constexpr const char* kReferenceVersion = "1.01.16.001";

    /// Longest time a line may keep sending while it is waited out before it counts as broken.
    static constexpr std::chrono::milliseconds kDrainLimit{2000};

    /// One exchange with up to `attempts` tries: settle the line when an earlier attempt
    /// failed, purge, write, wait 30 ms, read answerLength bytes with the read time-out. True
    /// when a try returned exactly answerLength bytes and nothing beyond them.
    bool Transact(const uint8_t* request, size_t requestLength, uint8_t* answer,
                  size_t answerLength, int attempts = kAttempts);
    /// The same, with every complete answer judged by check; a wrong one is tried again like
    /// a missing one. LastFault says why the last try failed.
    bool Transact(const uint8_t* request, size_t requestLength, uint8_t* answer,
                  size_t answerLength, const AnswerCheck& check, int attempts = kAttempts);
    /// Why the last exchange failed (AnswerFault::None after a success).
    AnswerFault LastFault() const { return lastFault_; }
    /// One Transact of the handshake; true when the radio acknowledged it.
    bool Handshake();
    /// Up to four handshake exchanges 20 ms apart; a complete but wrong answer ends at once.
    bool HandshakePatient();
    /// Puts the radio into a mode; both acceptance answers count.
    bool SetRadioMode(uint16_t mode);
    bool SetRadioMode(RadioMode mode) { return SetRadioMode(static_cast<uint16_t>(mode)); }
    /// Reads count bytes of the radio's memory at address; true when the answer's checksum
    /// is right (its header bytes are not compared) and the data were copied to destination.
    bool ReadBlock(uint32_t address, uint16_t count, uint8_t* destination);
    /// Writes count bytes to the radio's memory at address after a 10 ms wait; true when
    /// acknowledged.
    bool WriteBlock(uint32_t address, uint16_t count, const uint8_t* source);
    /// Queries the five identity items in order (model name, range record of rangeLength
    /// bytes, signal code, version, model ID). The first failing item ends the query with
    /// false (FailedIdentityItem names it); items before it stay set in identity.
    bool QueryIdentity(const std::string& referenceVersion, RadioIdentity& identity,
                       size_t rangeLength = frame::kRangeLength);
    /// The identity item whose query failed last.
    frame::IdentityItem FailedIdentityItem() const { return failedItem_; }
    /// Reads a tuning value of count bytes; true when delivered.
    bool GetTuneValue(uint16_t item, uint8_t* destination, uint16_t count);
    /// Adjustment mode, then GetTuneValue: 1 delivered, 0 not, -1 when the mode was refused.
    int ReadTuneValue(uint16_t item, uint8_t* destination, uint16_t count);
    /// Sends a tuning value; true when acknowledged.
    bool SetTuneValue(uint16_t item, const uint8_t* source, uint16_t count);
    /// Ends a tuning visit, keeping ('V' 'j') or discarding ('V' 'k') the values; true when
    /// acknowledged.
    bool EndTuning(bool keep);
    /// Switches a test state (variant 'a' or 'b') on (1) or off (0); true when acknowledged.
    bool SwitchTestState(char variant, uint8_t state);

    /// Opens a device, sets the line and the 70 ms read time-out, waits 50 ms and runs the
    /// patient or the single handshake. True leaves the port open; false closes it.
    bool ConnectDevice(const std::string& device, bool patient);
    /// Finds a radio: the stored port (settings ComPort) with the patient handshake, then
    /// ports 1 to 16 with the single handshake. Returns the port number, left open and
    /// configured, or 0 with no port open (SearchError tells why the ports failed to open).
    int FindRadio();
    /// The most telling open failure of the last search or connection: AccessDenied before
    /// Busy before any other; PortError::None when every port opened.
    PortError SearchError() const { return searchError_; }
    /// The device whose open failed with SearchError.
    const std::string& SearchErrorDevice() const { return searchErrorDevice_; }
    /// The most telling handshake failure of the last search or connection on a port that
    /// opened (a refusal before a wrong answer before no answer); None when none failed.
    AnswerFault HandshakeFault() const { return handshakeFault_; }
    /// The device whose handshake failed with HandshakeFault.
    const std::string& HandshakeFaultDevice() const { return handshakeFaultDevice_; }

    /// Where this link writes every frame and failed exchange (it must outlive the link);
    /// null: the session trace (SessionTrace), if there is one.
    void SetTrace(CLinkTrace* trace) { trace_ = trace; }
    /// The trace the link writes into now; null when none.
    CLinkTrace* Trace() const;

private:
    bool TransactAck(const uint8_t* request, size_t requestLength, frame::Command command);
    void NoteOpenError(PortError error, const std::string& device);
    void NoteHandshakeFault(AnswerFault fault, const std::string& device);
    void SettleLine();

    PortError searchError_ = PortError::None;
    std::string searchErrorDevice_;
    AnswerFault handshakeFault_ = AnswerFault::None;
    std::string handshakeFaultDevice_;
    AnswerFault lastFault_ = AnswerFault::None;
    frame::IdentityItem failedItem_ = frame::IdentityItem::ModelName;
    // Set when an attempt failed or an exchange needed more than one: the line is waited out
    // (until settleAfter_, then quiet for the read time-out) before the next request.
    bool unsettled_ = false;
    IClock::TimePoint settleAfter_{};
    CLinkTrace* trace_ = nullptr;
};

/// Compares the first 4 bytes of a version answer with the first 4 characters of a reference
/// version, as unsigned bytes: -1, 0 or +1.
int CompareVersion(const uint8_t* versionBytes, const std::string& reference);

}  // namespace rv
