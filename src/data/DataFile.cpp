#include "data/DataFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "base/AtomicFile.h"
#include "base/Settings.h"

namespace rv {

namespace {

/// Reads at most `limit` bytes from the start of a regular file; false when it cannot be
/// opened, is not a regular file or is larger than kMaxFileSize.
bool LoadPrefix(const std::string& path, size_t limit, std::vector<uint8_t>& out)
{
    out.clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (static_cast<unsigned long long>(st.st_size) > CDataFile::kMaxFileSize) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const size_t want = std::min(limit, static_cast<size_t>(st.st_size));
    out.resize(want);
    in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(want));
    out.resize(static_cast<size_t>(in.gcount()));
    return !in.bad();
}

bool HasMagic(const std::vector<uint8_t>& data)
{
    return data.size() >= kDataFileMagic.size() &&
           std::equal(kDataFileMagic.begin(), kDataFileMagic.end(), data.begin());
}

/// A chunk found in a file: its tag, and where and how long its contents are.
struct Chunk {
    uint32_t tag = 0;
    size_t offset = 0;
    size_t length = 0;
};

/// The chunk at pos whose contents lie wholly inside data; nothing when the file ends first.
std::optional<Chunk> ChunkAt(const std::vector<uint8_t>& data, size_t pos)
{
    if (pos > data.size() || data.size() - pos < CDataFile::kChunkHeaderSize) return std::nullopt;
    Chunk c;
    c.tag = GetU32(&data[pos]);
    const uint32_t length = GetU32(&data[pos + 4]);
    c.offset = pos + CDataFile::kChunkHeaderSize;
    if (length > data.size() - c.offset) return std::nullopt;
    c.length = length;
    return c;
}

void AppendU32(std::vector<uint8_t>& out, uint32_t v)
{
    uint8_t b[4];
    PutU32(b, v);
    out.insert(out.end(), b, b + 4);
}

void AppendChunk(std::vector<uint8_t>& out, uint32_t tag, std::span<const uint8_t> bytes)
{
    AppendU32(out, tag);
    AppendU32(out, static_cast<uint32_t>(bytes.size()));
    // Grown first, then copied: an empty chunk copies nothing.
    const size_t at = out.size();
    out.resize(at + bytes.size());
    std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<ptrdiff_t>(at));
}

}  // namespace

CDataFileHeader::CDataFileHeader(std::span<const uint8_t, kSize> bytes) : raw_(kSize, 0)
{
    raw_.CopyFrom(bytes.data());
}

CDataFileHeader CDataFileHeader::Make(const std::string& modelId, const std::string& modelName,
                                      int low, int high, const std::string& radioVersion,
                                      uint8_t bandCode, int signal)
{
    CDataFileHeader h;
    CRawRecord& r = h.raw_;
    r.SetU32(Offset::Tag, kTagXH);
    r.SetU32(Offset::Length, static_cast<uint32_t>(kSize));
    r.SetText(Offset::ModelId, kTextWidth, std::string_view(modelId).substr(0, kNameMaxLength));
    r.SetText(Offset::ModelName, kTextWidth,
              std::string_view(modelName).substr(0, kNameMaxLength));
    r.SetU16(Offset::RangeLow, static_cast<uint16_t>(low));
    r.SetU16(Offset::RangeHigh, static_cast<uint16_t>(high));
    r.SetText(Offset::RadioVersion, kTextWidth, radioVersion);
    r.SetText(Offset::DataVersion, kTextWidth,
              std::string_view(kProgramDataVersion).substr(0, kNameMaxLength));
    r[Offset::BandCode] = bandCode;
    r[Offset::Signal] = static_cast<uint8_t>(signal & 0xFF);
    return h;
}

bool CDataFile::SetHeader(const CDataFileHeader& header)
{
    if (!header.HasTag()) return false;
    header_ = header;
    return true;
}

bool CDataFile::SetHeader(std::span<const uint8_t> bytes)
{
    if (bytes.size() != CDataFileHeader::kSize) return false;
    return SetHeader(CDataFileHeader(bytes.first<CDataFileHeader::kSize>()));
}

std::optional<CDataFileHeader> CDataFile::ReadHeader(const std::string& path)
{
    std::vector<uint8_t> data;
    if (!LoadPrefix(path, kCommentOffset, data)) return std::nullopt;
    if (!HasMagic(data) || data.size() < kCommentOffset) return std::nullopt;
    CDataFileHeader header(std::span<const uint8_t, CDataFileHeader::kSize>(
        data.data() + kHeaderOffset, CDataFileHeader::kSize));
    if (!header.HasTag()) return std::nullopt;
    return header;
}

std::string CDataFile::ReadComment(const std::string& path)
{
    std::vector<uint8_t> data;
    if (!LoadPrefix(path, kMaxFileSize, data) || !HasMagic(data)) return {};
    std::optional<Chunk> c = ChunkAt(data, kCommentOffset);
    if (!c || c->tag != kTagXM || c->length == 0) return {};
    return std::string(reinterpret_cast<const char*>(data.data() + c->offset), c->length);
}

bool CDataFile::Read(const std::string& path, std::vector<uint8_t>* extra,
                     std::array<uint8_t, kDataFileImageSize>& image)
{
    std::vector<uint8_t> data;
    if (!LoadPrefix(path, kMaxFileSize, data) || !HasMagic(data)) return false;
    if (data.size() < kCommentOffset) return false;
    std::optional<Chunk> comment = ChunkAt(data, kCommentOffset);
    if (!comment || comment->tag != kTagXM) return false;
    std::optional<Chunk> next = ChunkAt(data, comment->offset + comment->length);
    if (!next) return false;
    if (next->tag == kTagXF) {
        if (extra) extra->assign(data.begin() + next->offset,
                                 data.begin() + next->offset + next->length);
        next = ChunkAt(data, next->offset + next->length);
        if (!next) return false;
    } else if (extra) {
        extra->clear();
    }
    if (next->tag != kTagXE || next->length != kDataFileImageSize) return false;
    std::copy_n(data.begin() + next->offset, kDataFileImageSize, image.begin());
    return true;
}

std::vector<uint8_t> CDataFile::Serialize(std::span<const uint8_t> extra,
                                          const std::array<uint8_t, kDataFileImageSize>& image,
                                          const std::string& comment) const
{
    std::vector<uint8_t> out(kDataFileMagic.begin(), kDataFileMagic.end());
    out.reserve(kCommentOffset + 3 * kChunkHeaderSize + comment.size() + extra.size() +
                kDataFileImageSize);
    out.insert(out.end(), header_.Raw().Bytes().begin(), header_.Raw().Bytes().end());
    AppendChunk(out, kTagXM,
                std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(comment.data()),
                                         comment.size()));
    AppendChunk(out, kTagXF, extra);
    AppendChunk(out, kTagXE, image);
    return out;
}

bool CDataFile::Write(const std::string& path, std::span<const uint8_t> extra,
                      const std::array<uint8_t, kDataFileImageSize>& image,
                      const std::string& comment) const
{
    if (!header_.HasTag()) return false;
    const std::string text = comment.empty() ? ReadComment(path) : comment;
    const std::vector<uint8_t> bytes = Serialize(extra, image, text);
    return WriteFileAtomic(path, std::span<const unsigned char>(bytes.data(), bytes.size()));
}

std::vector<uint8_t> PackExtra(const DataFileExtra& extra)
{
    std::vector<std::string> names = extra.channelNames;
    while (!names.empty() && names.back().empty()) names.pop_back();
    const bool emptyBoard =
        std::all_of(extra.board.begin(), extra.board.end(), [](uint8_t b) { return b == 0; });
    if (names.empty() && extra.otherEntries.empty()) {
        if (emptyBoard) return {};
        return {extra.board.begin(), extra.board.end()};
    }
    std::vector<uint8_t> out(extra.board.begin(), extra.board.end());
    const auto appendU16 = [&out](size_t v) {
        out.push_back(static_cast<uint8_t>(v & 0xFF));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    appendU16(DataFileExtra::kLayoutVersion);
    const auto appendEntry = [&](uint8_t kind, const std::vector<uint8_t>& bytes) {
        out.push_back(kind);
        appendU16(bytes.size());
        out.insert(out.end(), bytes.begin(), bytes.end());
    };
    if (!names.empty()) {
        std::vector<uint8_t> entry;
        for (const std::string& name : names) {
            const size_t n = std::min(name.size(), DataFileExtra::kMaxNameBytes);
            entry.push_back(static_cast<uint8_t>(n));
            entry.insert(entry.end(), name.begin(), name.begin() + static_cast<ptrdiff_t>(n));
        }
        // A u16 length holds the names of every channel the radio can have (16 x 256 bytes).
        if (entry.size() <= 0xFFFF) appendEntry(DataFileExtra::kChannelNames, entry);
    }
    for (const auto& [kind, bytes] : extra.otherEntries)
        if (kind != DataFileExtra::kChannelNames && bytes.size() <= 0xFFFF)
            appendEntry(kind, bytes);
    return out;
}

std::optional<DataFileExtra> UnpackExtra(std::span<const uint8_t> bytes)
{
    DataFileExtra extra;
    if (bytes.empty()) return extra;
    if (bytes.size() < kDataFileBoardSize) return std::nullopt;
    std::copy_n(bytes.begin(), kDataFileBoardSize, extra.board.begin());
    if (bytes.size() == kDataFileBoardSize) return extra;
    std::span<const uint8_t> rest = bytes.subspan(kDataFileBoardSize);
    if (rest.size() < 2 || GetU16(rest.data()) == 0) return std::nullopt;
    rest = rest.subspan(2);
    bool namesSeen = false;
    while (!rest.empty()) {
        if (rest.size() < 3) return std::nullopt;
        const uint8_t kind = rest[0];
        const size_t n = GetU16(rest.data() + 1);
        if (rest.size() - 3 < n) return std::nullopt;
        const std::span<const uint8_t> entry = rest.subspan(3, n);
        rest = rest.subspan(3 + n);
        if (kind != DataFileExtra::kChannelNames) {
            extra.otherEntries.emplace_back(kind,
                                            std::vector<uint8_t>(entry.begin(), entry.end()));
            continue;
        }
        if (namesSeen) return std::nullopt;
        namesSeen = true;
        for (size_t at = 0; at < entry.size();) {
            const size_t length = entry[at];
            if (entry.size() - at - 1 < length) return std::nullopt;
            extra.channelNames.emplace_back(reinterpret_cast<const char*>(&entry[at + 1]),
                                            length);
            at += 1 + length;
        }
    }
    return extra;
}

std::vector<HeaderField> HeaderFields(const CDataFileHeader& header, const std::string& comment)
{
    auto number = [](const char* key, long long v) {
        return HeaderField{key, std::to_string(v), v};
    };
    return {
        {"model_id", header.ModelId(), std::nullopt},
        {"model_name", header.ModelName(), std::nullopt},
        {"range", header.RangeText(), std::nullopt},
        number("range_low", header.RangeLow()),
        number("range_high", header.RangeHigh()),
        number("band_code", header.BandCode()),
        number("signal", header.Signal()),
        {"radio_version", header.RadioVersion(), std::nullopt},
        {"data_version", header.DataVersion(), std::nullopt},
        {"comment", comment, std::nullopt},
    };
}

}  // namespace rv
