#include "report/ConfigCompare.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string_view>
#include <variant>

#include "data/Document.h"
#include "data/FieldTable.h"
#include "data/MemoryMap.h"
#include "editors/channel/ChannelData.h"

namespace rv {

ConfigSnapshot TakeSnapshot(RadioData& radio, HeaderLines header)
{
    ConfigSnapshot s;
    s.header = std::move(header);
    for (const RecordEntry& r : AllRecords(radio))
        s.records.push_back({r.kind, r.index, r.address, {r.bytes.begin(), r.bytes.end()}});
    s.image = radio.MemoryImage();
    return s;
}

ConfigSnapshot SnapshotOfImage(const Image& image, HeaderLines header)
{
    ConfigSnapshot s;
    s.header = std::move(header);
    s.image = image;
    const ImageListCounts counts = CountListItems(image, kChannelListHead);
    for (const RecordKind& kind : RecordKinds()) {
        size_t count = 1;
        if (kind.listName) {
            const std::string_view list = kind.listName;
            count = list == "channels"        ? counts.channels
                    : list == "personalities" ? counts.personalities
                    : list == "scan_lists"    ? counts.scanLists
                                              : counts.dtmfSystems;
        }
        const size_t size = kind.table->recordSize;
        for (size_t k = 0; k < count; ++k) {
            const size_t address = kind.address + k * size;
            s.records.push_back({&kind,
                                 kind.listName ? k + 1 : 0,
                                 address,
                                 {image.begin() + address, image.begin() + address + size}});
        }
    }
    return s;
}

HeaderLines HeaderLinesOf(const CDataFileHeader& header, const std::string& comment)
{
    HeaderLines lines;
    for (const HeaderField& f : HeaderFields(header, comment)) lines.emplace_back(f.key, f.text);
    return lines;
}

SnapshotFile ReadSnapshotFile(const std::string& path)
{
    const std::optional<CDataFileHeader> header = CDataFile::ReadHeader(path);
    if (!header) return {std::nullopt, DocMessage::kReadFailed};
    if (const int message = CQTXDoc::CheckHeader(*header); message != 0)
        return {std::nullopt, message};
    Image image{};
    if (!CDataFile::Read(path, nullptr, image)) return {std::nullopt, DocMessage::kReadFailed};
    return {SnapshotOfImage(image, HeaderLinesOf(*header, CDataFile::ReadComment(path))), 0};
}

namespace {

/// Marks the image bytes that some field of the snapshot's records covers.
void MarkFields(const ConfigSnapshot& s, std::vector<bool>& covered)
{
    for (const ConfigSnapshot::Record& r : s.records)
        for (const FieldRef& f : Fields(*r.kind->table))
            for (size_t k = 0; k < f.def->width; ++k) {
                const size_t at = r.address + f.Offset() + k;
                if (at < covered.size()) covered[at] = true;
            }
}

/// A tone field and the tone-type field of the same side whose types use it: a tone of a side
/// whose type is not CTCSS (or not DCS) is not sent or heard, so it is no difference.
struct ToneUse {
    std::string_view tone;
    std::string_view type;
    ToneType first;  ///< the types that use the tone, first to last
    ToneType last;
};
constexpr ToneUse kToneUses[] = {
    {"rx_ctcss", "rx_type", ToneType::Analog, ToneType::Analog},
    {"rx_dcs", "rx_type", ToneType::Digital, ToneType::DigitalInverted},
    {"tx_ctcss", "tx_type", ToneType::Analog, ToneType::Analog},
    {"tx_dcs", "tx_type", ToneType::Digital, ToneType::DigitalInverted},
};

/// False for a tone field whose side's type does not use it; true for every other field.
bool FieldInUse(const std::vector<DecodedField>& fields, const std::string& key)
{
    for (const ToneUse& use : kToneUses) {
        if (use.tone != key) continue;
        for (const DecodedField& f : fields) {
            if (f.key != use.type || !std::holds_alternative<uint32_t>(f.value)) continue;
            const uint32_t type = std::get<uint32_t>(f.value);
            return type >= static_cast<uint32_t>(use.first) &&
                   type <= static_cast<uint32_t>(use.last);
        }
    }
    return true;
}

std::string HexByte(uint8_t b)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X", b);
    return buf;
}

}  // namespace

std::vector<Difference> CompareConfigs(const ConfigSnapshot& a, const ConfigSnapshot& b,
                                       const CTextService& texts)
{
    std::vector<Difference> out;
    // Header lines by key, in A's order, then lines only B has.
    for (const auto& lineA : a.header) {
        const std::string& key = lineA.first;
        const std::string& textA = lineA.second;
        auto it = std::find_if(b.header.begin(), b.header.end(),
                               [&](const auto& line) { return line.first == key; });
        const std::string textB = it == b.header.end() ? std::string() : it->second;
        if (textA != textB) out.push_back({DifferenceKind::Header, "", 0, key, key, textA, textB});
    }
    for (const auto& lineB : b.header) {
        const std::string& key = lineB.first;
        const std::string& textB = lineB.second;
        const bool inA = std::any_of(a.header.begin(), a.header.end(),
                                     [&](const auto& line) { return line.first == key; });
        if (!inA) out.push_back({DifferenceKind::Header, "", 0, key, key, "", textB});
    }

    // Records matched by kind and item number; each side's records are in image order.
    std::map<std::pair<const RecordKind*, size_t>, const ConfigSnapshot::Record*> inB;
    for (const ConfigSnapshot::Record& r : b.records) inB[{r.kind, r.index}] = &r;
    std::map<std::pair<const RecordKind*, size_t>, bool> matched;
    std::vector<Difference> records;
    for (const ConfigSnapshot::Record& ra : a.records) {
        const std::string name =
            ra.kind->table->name.data() ? std::string(ra.kind->table->name) : std::string();
        auto it = inB.find({ra.kind, ra.index});
        if (it == inB.end()) {
            records.push_back(
                {DifferenceKind::Record, name, ra.index, "", "", "A", "", ra.address});
            continue;
        }
        matched[{ra.kind, ra.index}] = true;
        const ConfigSnapshot::Record& rb = *it->second;
        const std::vector<DecodedField> fa = Decode(*ra.kind->table, ra.bytes, texts);
        const std::vector<DecodedField> fb = Decode(*rb.kind->table, rb.bytes, texts);
        for (size_t i = 0; i < fa.size() && i < fb.size(); ++i) {
            if (fa[i].value == fb[i].value && fa[i].text == fb[i].text) continue;
            // A tone neither side uses is no difference; where only one side uses it, the
            // other side shows none (its type difference is listed too).
            const bool usedA = FieldInUse(fa, fa[i].key), usedB = FieldInUse(fb, fb[i].key);
            if (!usedA && !usedB) continue;
            std::string ta = usedA ? fa[i].text : std::string();
            std::string tb = usedB ? fb[i].text : std::string();
            // Same text, other bits (a kept value the views show alike): show the numbers.
            // A tone text made from bits another field shares (the unused side's tone shows
            // the table's first entry): the other field carries the difference.
            if (ta == tb && fa[i].field.def->codec) continue;
            if (ta == tb && usedA && usedB) {
                ta = std::holds_alternative<uint32_t>(fa[i].value)
                         ? std::to_string(std::get<uint32_t>(fa[i].value))
                         : std::get<std::string>(fa[i].value);
                tb = std::holds_alternative<uint32_t>(fb[i].value)
                         ? std::to_string(std::get<uint32_t>(fb[i].value))
                         : std::get<std::string>(fb[i].value);
            }
            records.push_back({DifferenceKind::Field, name, ra.index, fa[i].key, fa[i].label, ta,
                               tb, ra.address + fa[i].field.Offset()});
        }
    }
    for (const ConfigSnapshot::Record& rb : b.records)
        if (!matched.count({rb.kind, rb.index}))
            records.push_back({DifferenceKind::Record, std::string(rb.kind->table->name), rb.index,
                               "", "", "", "B", rb.address});

    // Image bytes no field of either side covers.
    std::vector<bool> covered(kImageSize, false);
    MarkFields(a, covered);
    MarkFields(b, covered);
    for (size_t at = 0; at < kImageSize; ++at)
        if (!covered[at] && a.image[at] != b.image[at])
            records.push_back({DifferenceKind::Byte, "", 0, "", "", HexByte(a.image[at]),
                               HexByte(b.image[at]), at});
    std::stable_sort(records.begin(), records.end(), [](const Difference& x, const Difference& y) {
        return x.address < y.address;
    });
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

std::string DifferenceLine(const Difference& d, const std::string& onlyInA,
                           const std::string& onlyInB)
{
    std::string where = d.record;
    if (d.index) where += " " + std::to_string(d.index);
    switch (d.kind) {
        case DifferenceKind::Header:
            return "header, " + d.key + ": " + d.a + " \u2192 " + d.b;
        case DifferenceKind::Record:
            return where + ": " + (d.a.empty() ? onlyInB : onlyInA);
        case DifferenceKind::Byte: {
            char buf[32];
            std::snprintf(buf, sizeof buf, "0x%03zX: ", d.address);
            return std::string(buf) + d.a + " \u2192 " + d.b;
        }
        case DifferenceKind::Field:
            break;
    }
    return where + ", " + (d.label.empty() ? d.key : d.label) + ": " + d.a + " \u2192 " + d.b;
}

}  // namespace rv
