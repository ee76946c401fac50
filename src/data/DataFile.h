#pragma once
// The data file: one radio configuration on disk (also the format of the per-model default
// sets). Layout, all integers little-endian:
//
//   offset 0     "QTX"                      magic, no terminating zero
//   offset 3     header, 116 bytes          tag XH (CDataFileHeader below)
//   offset 119   XM  u32 n  n bytes         comment text, no terminating zero
//                XF  u32 m  m bytes         extra chunk: the maintenance board and the
//                                           channel names (DataFileExtra below)
//                XE  u32 2048  2048 bytes   the memory image
//
// A chunk tag is 'X', a second letter, then two bytes 0x10.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/Bytes.h"

namespace rv {

/// Chunk tags as little-endian u32 values.
inline constexpr uint32_t kTagXH = 0x10104858;  ///< header
inline constexpr uint32_t kTagXM = 0x10104D58;  ///< comment
inline constexpr uint32_t kTagXF = 0x10104658;  ///< extra data
inline constexpr uint32_t kTagXE = 0x10104558;  ///< memory image
/// The three bytes a data file begins with.
inline constexpr std::array<uint8_t, 3> kDataFileMagic = {'Q', 'T', 'X'};
/// Bytes of the memory image in the XE chunk.
inline constexpr size_t kDataFileImageSize = 2048;
/// Bytes of the extra (XF) chunk this program writes: the maintenance board. Files of other
/// origins may have an empty extra chunk.
inline constexpr size_t kDataFileBoardSize = 240;

// Header, 116 bytes (file offset 3 + offset):
//
//   0    tag XH (u32)            4   header length = 116 (u32)     8  reserved (4)
//   12   model ID, 16, zero-terminated (at most 15 characters)
//   28   model name, 16, zero-terminated (at most 15 characters)
//   44   low end of the range, MHz (u16)    46  high end of the range, MHz (u16)
//   48   reserved (4)
//   52   radio version, 16 (read as at most 16 characters)
//   68   program data version, 16, zero-terminated ("1.01.16.001")
//   84   band code (u8)          85  signalling value, low byte     86  reserved (30)
class CDataFileHeader {
public:
    /// Bytes of the header.
    static constexpr size_t kSize = 116;

    /// Offsets of the header's fields.
    struct Offset {
        static constexpr size_t Tag = 0;
        static constexpr size_t Length = 4;
        static constexpr size_t ModelId = 12;
        static constexpr size_t ModelName = 28;
        static constexpr size_t RangeLow = 44;
        static constexpr size_t RangeHigh = 46;
        static constexpr size_t RadioVersion = 52;
        static constexpr size_t DataVersion = 68;
        static constexpr size_t BandCode = 84;
        static constexpr size_t Signal = 85;
        static constexpr size_t Reserved = 86;
    };
    /// Width of each text field; model ID and name keep one byte for the terminating zero.
    static constexpr size_t kTextWidth = 16;
    static constexpr size_t kNameMaxLength = kTextWidth - 1;
    static_assert(Offset::ModelName + kTextWidth <= Offset::RangeLow);
    static_assert(Offset::RangeHigh + 2 <= Offset::RadioVersion);
    static_assert(Offset::DataVersion + kTextWidth <= Offset::BandCode);
    static_assert(Offset::Reserved + 30 == kSize);

    /// All zero (no tag).
    CDataFileHeader() : raw_(kSize, 0) {}
    /// A header of the given bytes (kSize of them).
    explicit CDataFileHeader(std::span<const uint8_t, kSize> bytes);
    /// Tag XH, length 116, the fields given, the program data version; reserved bytes zero.
    static CDataFileHeader Make(const std::string& modelId, const std::string& modelName, int low,
                                int high, const std::string& radioVersion, uint8_t bandCode,
                                int signal);

    /// True when the header begins with tag XH.
    bool HasTag() const { return raw_.U32(Offset::Tag) == kTagXH; }
    /// The stored header length (116 in every file this program writes).
    uint32_t Length() const { return raw_.U32(Offset::Length); }
    /// Model ID, at most 15 characters.
    std::string ModelId() const { return raw_.Text(Offset::ModelId, kNameMaxLength); }
    /// Model name, at most 15 characters.
    std::string ModelName() const { return raw_.Text(Offset::ModelName, kNameMaxLength); }
    /// Low end of the frequency range, whole MHz.
    int RangeLow() const { return raw_.U16(Offset::RangeLow); }
    /// High end of the frequency range, whole MHz.
    int RangeHigh() const { return raw_.U16(Offset::RangeHigh); }
    /// The range as "%d-%d".
    std::string RangeText() const { return FormatRange(RangeLow(), RangeHigh()); }
    /// Version text of the radio the data came from, at most 16 characters.
    std::string RadioVersion() const { return raw_.Text(Offset::RadioVersion, kTextWidth); }
    /// Version of the program data layout ("1.01.16.001").
    std::string DataVersion() const { return raw_.Text(Offset::DataVersion, kNameMaxLength); }
    /// Band code of the range in the model's range table (0: not listed).
    uint8_t BandCode() const { return raw_[Offset::BandCode]; }
    /// Signalling value (low byte).
    uint8_t Signal() const { return raw_[Offset::Signal]; }

    /// The 116 header bytes.
    const CRawRecord& Raw() const { return raw_; }
    CRawRecord& Raw() { return raw_; }
    bool operator==(const CDataFileHeader&) const = default;

private:
    CRawRecord raw_;
};

/// Reads and writes data files. Holds the header the next Write puts into the file.
class CDataFile {
public:
    /// File offset of the header and of the comment chunk.
    static constexpr size_t kHeaderOffset = kDataFileMagic.size();
    static constexpr size_t kCommentOffset = kHeaderOffset + CDataFileHeader::kSize;
    /// Bytes of a chunk's tag and length.
    static constexpr size_t kChunkHeaderSize = 8;
    /// Files larger than this are not data files of this program and are refused unread.
    static constexpr size_t kMaxFileSize = 16u << 20;

    /// Takes the header for the next Write; false (header unchanged) unless it has tag XH.
    bool SetHeader(const CDataFileHeader& header);
    /// The same from raw bytes; false unless there are 116 of them beginning with tag XH.
    bool SetHeader(std::span<const uint8_t> bytes);
    /// The header the next Write puts into the file.
    const CDataFileHeader& Header() const { return header_; }

    /// The header of a file: magic, then 116 readable bytes beginning with tag XH.
    static std::optional<CDataFileHeader> ReadHeader(const std::string& path);
    /// The comment of a file (chunk XM right after the header); "" when there is none or the
    /// file is not a data file.
    static std::string ReadComment(const std::string& path);
    /// Reads a data file's memory image (and its extra chunk when extra is given). The image
    /// is replaced only on success. Accepted: magic; chunk XM; optionally chunk XF of any
    /// length the file really holds (its bytes go to extra); then chunk XE of exactly 2048
    /// bytes. An XE chunk of any other length is refused, since a shorter one would leave part
    /// of the image undefined and a longer one does not fit the radio's memory.
    static bool Read(const std::string& path, std::vector<uint8_t>* extra,
                     std::array<uint8_t, kDataFileImageSize>& image);
    /// Writes magic, the held header, the comment (when comment is empty: the comment of the
    /// file already at path, if any), the XF chunk with extra and the XE chunk with the image.
    /// The file is replaced atomically: on failure the old file stays as it was.
    bool Write(const std::string& path, std::span<const uint8_t> extra,
               const std::array<uint8_t, kDataFileImageSize>& image,
               const std::string& comment) const;
    /// The bytes Write puts into a file.
    std::vector<uint8_t> Serialize(std::span<const uint8_t> extra,
                                   const std::array<uint8_t, kDataFileImageSize>& image,
                                   const std::string& comment) const;

private:
    CDataFileHeader header_;
};

/// What the extra (XF) chunk holds: things of the configuration that are kept in the data file
/// but never go to the radio. Layout by the chunk's length m:
///
///   m = 0      nothing: an empty board and no channel names
///   m = 240    the maintenance board alone (every file with a board saved before the channel
///              names were kept)
///   m > 240    the board (240 bytes, all zero when empty), then the additions:
///                u16  layout version (1; a later layout only appends entry kinds)
///                entries up to the chunk's end, each: u8 kind, u16 n, then n bytes
///                  kind 1, channel names: for each channel in list order, u8 length, then
///                  that many bytes of text (channels after the last named one are left out)
///              Entries of a kind this program does not know are kept as they are and
///              written back, so a file of a later version keeps what it added.
///
/// A writer uses the shortest form that holds the contents, so a configuration without names
/// is saved byte for byte as before.
struct DataFileExtra {
    /// Entry kinds of the additions.
    static constexpr uint8_t kChannelNames = 1;
    /// The layout version this program writes.
    static constexpr uint16_t kLayoutVersion = 1;
    /// Longest text of one channel name the layout holds.
    static constexpr size_t kMaxNameBytes = 255;

    std::array<uint8_t, kDataFileBoardSize> board{};  ///< the maintenance board
    std::vector<std::string> channelNames;            ///< by channel position; "" for none
    /// Entries of kinds this program does not know, in file order: kind and bytes.
    std::vector<std::pair<uint8_t, std::vector<uint8_t>>> otherEntries;
    bool operator==(const DataFileExtra&) const = default;
};

/// The bytes of the extra chunk for its contents, in the shortest form (see DataFileExtra);
/// names longer than kMaxNameBytes are cut there.
std::vector<uint8_t> PackExtra(const DataFileExtra& extra);
/// The contents of an extra chunk's bytes; nothing when the bytes are none of the forms above
/// (a length from 1 to 239, version 0, an entry or a name running past the chunk's end).
std::optional<DataFileExtra> UnpackExtra(std::span<const uint8_t> bytes);

/// One line of a data file's header as `info`, `dump` and compare show it.
struct HeaderField {
    const char* key;                  ///< fixed identifier, the same in every language
    std::string text;                 ///< the value as printed
    std::optional<long long> number;  ///< set for numeric fields (JSON numbers)
};
/// The header fields of a data file, followed by its comment.
std::vector<HeaderField> HeaderFields(const CDataFileHeader& header, const std::string& comment);

}  // namespace rv
