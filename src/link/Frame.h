#pragma once
// The frames of the radio's programming protocol, shared by the program's side of the link and
// the simulated radio. Every frame starts with STX and ends with ETX (a block-read answer's last
// byte and a tuning answer's last byte are not checked); a command is named by two letters; wider
// numbers are little-endian.

#include <array>
#include <cstddef>
#include <cstdint>

namespace rv::frame {

inline constexpr uint8_t kStx = 0x02;
inline constexpr uint8_t kEtx = 0x03;

/// The two letters that name a command or an answer.
struct Command {
    char first;
    char second;
    constexpr bool operator==(const Command&) const = default;
};

inline constexpr Command kHandshake{'P', 'a'};
inline constexpr Command kSetMode{'M', 'a'};
inline constexpr Command kReadBlock{'E', 'b'};
inline constexpr Command kWriteBlock{'E', 'a'};
inline constexpr Command kQueryIdentity{'B', 'b'};
inline constexpr Command kGetTune{'V', 'b'};
inline constexpr Command kTuneAnswer{'V', 'c'};
inline constexpr Command kSetTune{'V', 'a'};
inline constexpr Command kEndTuneKeep{'V', 'j'};
inline constexpr Command kEndTuneDiscard{'V', 'k'};
inline constexpr char kTestState = 'O';
/// Acknowledgement letters: 'A' 'a' accepts; 'A' 'c' also accepts a mode change; 'A' 'n' is
/// the radio's refusal of the command it names.
inline constexpr Command kAck{'A', 'a'};
inline constexpr Command kAckAlternative{'A', 'c'};
inline constexpr Command kRefusal{'A', 'n'};

/// Radio modes set with kSetMode.
enum class RadioMode : uint16_t {
    End = 1,      ///< end of a connection
    Read = 2,     ///< the image is read
    Write = 3,    ///< the image or tuning data are written
    Adjust = 6,   ///< adjustment (tuning) of analogue values
};

/// The identity items of the radio and their data lengths.
enum class IdentityItem : uint8_t {
    ModelName = 0x03,
    Range = 0x05,
    Signal = 0x07,
    Version = 0x21,
    ModelId = 0x22,
};
inline constexpr size_t kModelNameLength = 12;
inline constexpr size_t kRangeLength = 9;
inline constexpr size_t kSignalLength = 1;
inline constexpr size_t kVersionLength = 16;
inline constexpr size_t kModelIdLength = 16;

/// Byte that makes the 8-bit sum of the covered bytes and itself zero.
constexpr uint8_t Checksum(const uint8_t* bytes, size_t count)
{
    unsigned sum = 0;
    for (size_t i = 0; i < count; ++i) sum += bytes[i];
    return static_cast<uint8_t>(0x100u - (sum & 0xFFu));
}
static_assert([] {
    constexpr uint8_t abc[] = {0x61, 0x62, 0x63};
    return Checksum(abc, 3) == 0xDA;
}());

/// Acknowledgement of a command that returns no data (6 bytes):
///   0    1   2   3     4      5
///   STX 'A' 'a' cmd1  cmd2   ETX
struct Ack {
    struct Offset {
        static constexpr size_t kStx = 0, kAnswer = 1, kCommand = 3, kEtx = 5;
    };
    static constexpr size_t kSize = 6;
};
/// The acknowledgement frame with the given answer letters for a command.
constexpr std::array<uint8_t, Ack::kSize> MakeAck(Command command, Command answer = kAck)
{
    return {kStx,
            static_cast<uint8_t>(answer.first),
            static_cast<uint8_t>(answer.second),
            static_cast<uint8_t>(command.first),
            static_cast<uint8_t>(command.second),
            kEtx};
}

/// Handshake request (4 bytes): STX 'P' 'a' ETX.
struct HandshakeRequest {
    static constexpr size_t kSize = 4;
};

/// Short command with a 16-bit argument (6 bytes): mode change, tuning read, end of tuning,
/// identity query, test state.
///   0    1    2    3..4        5
///   STX  c1   c2   argument    ETX
struct ShortRequest {
    struct Offset {
        static constexpr size_t kStx = 0, kCommand = 1, kArgument = 3, kEtx = 5;
    };
    static constexpr size_t kSize = 6;
};

/// Block read request (10 bytes):
///   0    1   2    3..6       7..8     9
///   STX 'E' 'b'   address    count    ETX
struct ReadRequest {
    struct Offset {
        static constexpr size_t kStx = 0, kCommand = 1, kAddress = 3, kCount = 7, kEtx = 9;
    };
    static constexpr size_t kSize = 10;
    static_assert(Offset::kEtx + 1 == kSize);
};

/// Block read answer (n + 11 bytes): a header the program does not check, the data, and a
/// checksum over offsets 1 to n + 8.
///   0      1..8     9..n+8   n+9        n+10
///   start  header   data     checksum   end
struct ReadAnswer {
    struct Offset {
        static constexpr size_t kStart = 0, kHeader = 1, kData = 9;
    };
    static constexpr size_t kHeaderLength = 8;
    static constexpr size_t Size(size_t n) { return n + 11; }
    static constexpr size_t ChecksumAt(size_t n) { return n + 9; }
    static_assert(Offset::kHeader + kHeaderLength == Offset::kData);
};

/// Block write request (n + 11 bytes); the length field (n + 5) comes before the address:
///   0    1   2    3..4    5..8      9..n+8   n+9        n+10
///   STX 'E' 'a'   n+5     address   data     checksum   ETX
struct WriteRequest {
    struct Offset {
        static constexpr size_t kStx = 0, kCommand = 1, kLength = 3, kAddress = 5, kData = 9;
    };
    static constexpr size_t Size(size_t n) { return n + 11; }
    static constexpr size_t ChecksumAt(size_t n) { return n + 9; }
    static constexpr uint16_t LengthField(size_t n) { return static_cast<uint16_t>(n + 5); }
    static_assert(Offset::kAddress + 4 == Offset::kData);
};

/// Identity answer (n + 9 bytes); STX, the checksum over offsets 1 to n + 6 and ETX are checked:
///   0    1..6     7..n+6   n+7        n+8
///   STX  header   data     checksum   ETX
struct IdentityAnswer {
    struct Offset {
        static constexpr size_t kStx = 0, kHeader = 1, kData = 7;
    };
    static constexpr size_t kHeaderLength = 6;
    static constexpr size_t Size(size_t n) { return n + 9; }
    static constexpr size_t ChecksumAt(size_t n) { return n + 7; }
    static_assert(Offset::kHeader + kHeaderLength == Offset::kData);
};

/// Tuning value answer (count + 6 bytes); the last byte is not checked:
///   0    1   2    3..4   5..count+4   count+5
///   STX 'V' 'c'   item   value        end
struct TuneAnswer {
    struct Offset {
        static constexpr size_t kStx = 0, kCommand = 1, kItem = 3, kData = 5;
    };
    static constexpr size_t Size(size_t count) { return count + 6; }
};

/// Tuning value request (count + 6 bytes), no checksum:
///   0    1   2    3..4   5..count+4   count+5
///   STX 'V' 'a'   item   value        ETX
struct SetTuneRequest {
    struct Offset {
        static constexpr size_t kStx = 0, kCommand = 1, kItem = 3, kData = 5;
    };
    static constexpr size_t Size(size_t count) { return count + 6; }
};

/// Test state request (6 bytes): STX 'O' variant state 00 ETX.
struct TestStateRequest {
    struct Offset {
        static constexpr size_t kStx = 0, kCommand = 1, kVariant = 2, kState = 3, kEtx = 5;
    };
    static constexpr size_t kSize = 6;
};

}  // namespace rv::frame
