#pragma once
// The framed command protocol of the radio on top of the serial port: the exchange with its
// retries and waits, the handshake, mode changes, block reads and writes, the identity query,
// the tuning commands, and the search for the port a radio is attached to.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "link/ComPort.h"
#include "link/Frame.h"

namespace rv {

using frame::RadioMode;

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
/// judged complete by its length, then checked as its command requires.
class CRadioProtocol : public CComPort {
public:
    /// Line settings of the radio's programming port.
    static constexpr unsigned kBaud = 9600;
    static constexpr unsigned kDataBits = 8;
    /// Waits and limits of an exchange.
    static constexpr std::chrono::milliseconds kAnswerDelay{30};    ///< request to first read
    static constexpr uint32_t kReadTimeoutMs = 70;                  ///< read time-out
    static constexpr int kAttempts = 3;                             ///< exchanges per command
    static constexpr int kPatientRounds = 4;                        ///< patient handshake rounds
    static constexpr std::chrono::milliseconds kPatientPause{20};   ///< between those rounds
    static constexpr std::chrono::milliseconds kSettleDelay{50};    ///< after configuring
    static constexpr std::chrono::milliseconds kWriteDelay{10};     ///< before each block write
    /// Reference version of every identity check; its first 4 characters are compared.
    static constexpr const char* kReferenceVersion = "1.01.16.001";

    /// One exchange with up to `attempts` tries: purge, write, wait 30 ms, read answerLength
    /// bytes with the read time-out. True when a try returned exactly answerLength bytes.
    bool Transact(const uint8_t* request, size_t requestLength, uint8_t* answer,
                  size_t answerLength, int attempts = kAttempts);
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
    /// false; items before it stay set in identity.
    bool QueryIdentity(const std::string& referenceVersion, RadioIdentity& identity,
                       size_t rangeLength = frame::kRangeLength);
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

private:
    bool TransactAck(const uint8_t* request, size_t requestLength, frame::Command command);
    void NoteOpenError(PortError error, const std::string& device);

    PortError searchError_ = PortError::None;
    std::string searchErrorDevice_;
};

/// Compares the first 4 bytes of a version answer with the first 4 characters of a reference
/// version, as unsigned bytes: -1, 0 or +1.
int CompareVersion(const uint8_t* versionBytes, const std::string& reference);

}  // namespace rv
