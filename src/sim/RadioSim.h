#pragma once
// A simulated radio on a pseudo-terminal: it answers every command of the programming protocol
// from a 2048-byte memory, its identity items and its tuning values, optionally at the real
// line rate, and can be told to misbehave (no answer, short answer, wrong checksum, refused
// mode, line error) on chosen commands. Tests run it in-process; the rvsim program wraps it.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace rv::sim {

/// Size of the simulated radio's memory.
inline constexpr size_t kMemorySize = 2048;
using Memory = std::array<uint8_t, kMemorySize>;

/// What goes wrong on a faulty command.
enum class FaultKind {
    NoAnswer,     ///< the radio ignores the command
    ShortAnswer,  ///< the command takes effect, only the first half of the answer is sent
    BadChecksum,  ///< the command takes effect; the answer's checksum is wrong (or, in an
                  ///< answer without one, its second letter)
    RefuseMode,   ///< the command is refused with a complete negative answer (02 'A' 'n' c1 c2 03)
    LineError,    ///< the command takes effect and is answered, but the line reports an error
    /// a block write is acknowledged as usual, but the radio stores its first byte inverted
    CorruptWrite,
    /// the command takes effect, but its answer is lost on the way back
    LostAnswer,
};

/// One fault: it hits commands of one kind from the at-th on, `times` of them. With an
/// argument it hits only the commands that name it, counted among themselves: the block
/// address of a block read or write, the item of an identity query or a tuning command, the
/// mode of a mode change.
struct SimFault {
    FaultKind kind = FaultKind::NoAnswer;
    std::string command = "*";  ///< two letters ("Eb", "Ma") or "*" for every command
    int at = 1;                 ///< 1-based number of the first command of that kind it hits
    int times = 1;              ///< consecutive commands hit; 0 = every one from `at` on
    /// only commands naming this address, item or mode
    std::optional<uint32_t> argument = std::nullopt;
};

/// The address, item or mode a request names (what SimFault::argument matches); nothing for
/// a command without one.
std::optional<uint32_t> RequestArgument(const std::vector<uint8_t>& request);

/// The identity items the radio reports.
struct SimIdentity {
    std::string modelName = "RV-205";  ///< item 0x03 (12 bytes)
    /// item 0x05: band code, low and high edge, packed decimal little-endian (400-470 MHz).
    std::array<uint8_t, 9> range = {0x01, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x47};
    uint8_t signal = 2;                ///< item 0x07
    std::string version = "1.01.16.001";  ///< item 0x21 (16 bytes)
    std::string modelId = "RV205";     ///< item 0x22 (16 bytes)
};

/// The range record for whole-MHz edges and a band code.
std::array<uint8_t, 9> MakeRangeRecord(int lowMhz, int highMhz, uint8_t bandCode);

/// How the simulated radio behaves.
struct SimOptions {
    SimIdentity identity;
    bool paced = false;            ///< bytes take their line time in both directions
    unsigned baud = 9600;          ///< line rate when paced (11 bits a byte: start, 8, 2 stop)
    std::chrono::microseconds latency{0};  ///< time between a request and its answer
    bool acceptWithAc = false;     ///< mode changes are accepted with 'A' 'c' instead of 'A' 'a'
    /// The header bytes of block-read and identity answers differ from the request's fields
    /// (and from one answer to the next), as a radio may fill them; otherwise they repeat the
    /// request.
    bool foreignHeaders = false;
    std::string logPath;           ///< frame log file ("" none, "-" standard error)
    /// Called on the radio's thread with every request as it arrives, before it is answered
    /// (a test sends a signal to the program at a chosen step this way).
    std::function<void(const std::vector<uint8_t>& request)> onRequest;
    std::vector<SimFault> faults;
};

/// One frame on the line, as the radio saw or sent it.
struct SimFrame {
    double seconds = 0;        ///< time since Start
    bool fromRadio = false;    ///< false: request received, true: answer sent
    std::vector<uint8_t> bytes;
    std::string note;          ///< fault applied or reason for no answer
};

class CRadioSim {
public:
    /// A radio with a memory of 0xFF and the given options; nothing runs until Start.
    explicit CRadioSim(SimOptions options = {});
    /// Stops the radio.
    ~CRadioSim();
    CRadioSim(const CRadioSim&) = delete;
    CRadioSim& operator=(const CRadioSim&) = delete;

    /// Opens the pseudo-terminal pair and starts serving it on a thread; false on failure.
    bool Start();
    /// Stops serving and closes the pseudo-terminal.
    void Stop();
    /// Device path of the program's end of the pseudo-terminal.
    const std::string& DevicePath() const { return devicePath_; }

    /// A copy of the radio's memory.
    Memory GetMemory() const;
    /// Replaces the radio's memory.
    void SetMemory(const Memory& memory);
    /// Loads the memory from a data file or a raw image of 2048 bytes; false when neither.
    bool LoadMemory(const std::string& path);
    /// Saves the memory as a raw image, or as a data file with the radio's identity.
    bool SaveMemory(const std::string& path, bool raw) const;

    /// The mode the radio is in (1 after start).
    uint16_t Mode() const;
    /// The frames seen and sent so far.
    std::vector<SimFrame> FrameLog() const;
    /// The requests received so far, in order.
    std::vector<std::vector<uint8_t>> Requests() const;
    /// Number of commands of one kind received ("Eb"; "*" counts all).
    int CommandCount(const std::string& command) const;
    /// Adds a fault (also while running).
    void AddFault(const SimFault& fault);
    /// Removes all faults.
    void ClearFaults();
    /// Changes the identity (also while running).
    void SetIdentity(const SimIdentity& identity);
    /// A tuning value (items never set read as 0x0080).
    uint16_t TuneValue(uint16_t item) const;
    void SetTuneValue(uint16_t item, uint16_t value);
    /// The last test state switched by the program ('a'/'b' and on/off), 0 when none.
    char TestVariant() const;
    uint8_t TestState() const;

private:
    void Serve();
    size_t FrameLength(const std::vector<uint8_t>& in) const;
    void Handle(const std::vector<uint8_t>& request, std::chrono::steady_clock::time_point arrived);
    std::vector<uint8_t> Answer(const std::vector<uint8_t>& request, std::string& note);
    void ForeignHeader(uint8_t* header, size_t length);
    const SimFault* FaultFor(const std::vector<uint8_t>& request);
    void Send(std::vector<uint8_t> bytes, const std::string& note);
    void Log(bool fromRadio, const std::vector<uint8_t>& bytes, const std::string& note);
    void SleepUntil(std::chrono::steady_clock::time_point t) const;
    std::chrono::nanoseconds ByteTime() const;

    SimOptions options_;
    int master_ = -1;
    int slaveKeep_ = -1;  // keeps the slave open so the master never sees a hang-up
    int wakeRead_ = -1, wakeWrite_ = -1;
    std::string devicePath_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::chrono::steady_clock::time_point start_{};
    std::chrono::steady_clock::time_point rxFree_{}, txFree_{};

    mutable std::mutex mutex_;  // guards everything below
    Memory memory_{};
    uint16_t mode_ = 1;
    std::map<std::string, int> counts_;
    std::map<std::pair<std::string, uint32_t>, int> argumentCounts_;  // by command and argument
    uint32_t answers_ = 0;  // answers with a header sent so far
    std::map<uint16_t, uint16_t> tune_;
    char testVariant_ = 0;
    uint8_t testState_ = 0;
    std::vector<SimFrame> log_;
    FILE* logFile_ = nullptr;
};

}  // namespace rv::sim
