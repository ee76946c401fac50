#include "link/SafeWrite.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>

#include "base/Settings.h"
#include "data/DataFile.h"
#include "data/Document.h"
#include "data/FieldTable.h"
#include "editors/radio/RadioInfoBlock.h"
#include "report/RecordTables.h"

namespace rv {

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxListedFields = 12;

// "0x0091": an address as the differences list gives it.
std::string ByteAddressText(size_t address)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04zX", address);
    return buf;
}

std::string ByteText(uint8_t b)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", b);
    return buf;
}

// Makes the folder (and its parents) and checks that files can be made in it.
bool UsableFolder(const std::string& folder)
{
    std::error_code ec;
    fs::create_directories(folder, ec);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string WithSlash(std::string dir)
{
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

std::string Safe(const std::string& text)
{
    std::string out;
    for (char c : text) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '.';
        out += ok ? c : '-';
    }
    return out.empty() ? std::string("-") : out;
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The time "YYYYMMDD-HHMMSS" at the end of a backup's name (before ".dat" and a "-N" suffix).
bool ParseNameTime(const std::string& name, std::time_t& when, std::string& serial)
{
    // <model>_<range>_<serial>_<date>-<time>[-N].dat
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".dat") != 0) return false;
    const std::string stem = name.substr(0, name.size() - 4);
    const size_t us = stem.rfind('_');
    if (us == std::string::npos || stem.size() - us - 1 < 15) return false;
    const std::string stamp = stem.substr(us + 1, 15);
    std::tm tm{};
    if (std::sscanf(stamp.c_str(), "%4d%2d%2d-%2d%2d%2d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday,
                    &tm.tm_hour, &tm.tm_min, &tm.tm_sec) != 6)
        return false;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    when = std::mktime(&tm);
    const std::string head = stem.substr(0, us);
    const size_t prev = head.rfind('_');
    serial = prev == std::string::npos ? std::string() : head.substr(prev + 1);
    return true;
}

std::string RecordName(const RecordEntry& r, const CSettings& texts)
{
    std::string name = r.kind->table->title ? texts.LoadText(r.kind->table->title) : std::string();
    if (name.empty()) name = std::string(r.kind->table->name);
    if (r.index) name += " " + std::to_string(r.index);
    return name;
}

}  // namespace

std::vector<std::string> BackupFolderCandidates(const std::string& programDir,
                                                bool preferProgramDir)
{
    std::vector<std::string> folders;
    // An installed program's resources are shared: even a user who may write there (root)
    // keeps backups in the user's data folder.
    if (preferProgramDir || !Settings().Installed())
        folders.push_back(WithSlash(programDir) + "Backups");
    if (preferProgramDir) return folders;
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        data = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        data = std::string(home) + "/.local/share";
    if (!data.empty()) folders.push_back(WithSlash(data) + "rvcps/Backups");
    return folders;
}

std::string BackupFolder(const std::string& programDir, bool preferProgramDir, std::string& tried)
{
    const std::vector<std::string> folders = BackupFolderCandidates(programDir, preferProgramDir);
    if (folders.empty()) {  // installed, and the user has no home folder
        tried = WithSlash(programDir) + "Backups";
        return {};
    }
    tried = folders.front();  // the folder the user expects backups in
    for (const std::string& folder : folders)
        if (UsableFolder(folder)) return folder;
    return {};
}

std::string BackupFileName(const std::string& modelName, const std::string& range,
                           const std::string& serial, std::time_t when)
{
    std::tm tm{};
    localtime_r(&when, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    return Safe(modelName) + "_" + Safe(range) + "_" + Safe(serial) + "_" + stamp + ".dat";
}

std::string SerialNumberOf(const Image& image)
{
    const size_t at = CRadioInfoBlock::kImageAddress + CRadioInfoBlock::Offset::kSerialNumber;
    std::string serial;
    for (size_t i = 0; i < CRadioInfoBlock::Offset::kSerialNumberWidth; ++i) {
        const uint8_t c = image[at + i];
        if (c == 0 || c == 0xFF) break;
        serial += static_cast<char>(c);
    }
    return serial;
}

std::string SaveBackup(const std::string& folder, const Image& image, const std::string& modelName,
                       const std::string& range, const std::string& sourceFile, std::string& tried)
{
    // Backups of several radios may be saved at once: the free name is chosen and taken
    // under one lock, so that two of the same second never get the same name.
    static std::mutex nameMutex;
    const std::lock_guard lock(nameMutex);
    const std::string name =
        BackupFileName(modelName, range, SerialNumberOf(image), std::time(nullptr));
    const std::string stem = WithSlash(folder) + name.substr(0, name.size() - 4);
    std::string path = stem + ".dat";
    for (int n = 2; Exists(path) && n < 100; ++n) path = stem + "-" + std::to_string(n) + ".dat";
    tried = path;
    if (Exists(path)) return {};
    CDataFile file;
    file.SetHeader(CQTXDoc::BuildHeader());
    const std::string source = fs::path(sourceFile).filename().string();
    std::string comment =
        source.empty()
            ? Settings().LoadMessage(SafeWriteMessage::kBackupCommentUnsaved)
            : Settings().LoadMessage(SafeWriteMessage::kBackupComment, {source});
    if (comment.empty()) comment = " ";
    if (!file.Write(path, {}, image, comment)) return {};
    return path;
}

std::vector<BackupEntry> ListBackups(const std::string& folder)
{
    std::vector<BackupEntry> list;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        BackupEntry e;
        e.name = it->path().filename().string();
        if (!ParseNameTime(e.name, e.time, e.serial)) continue;  // not named as a backup
        e.path = it->path().string();
        e.comment = CDataFile::ReadComment(e.path);
        list.push_back(std::move(e));
    }
    std::sort(list.begin(), list.end(), [](const BackupEntry& a, const BackupEntry& b) {
        if (a.time != b.time) return a.time > b.time;
        return a.name > b.name;
    });
    return list;
}

std::vector<AddressRange> WrittenRanges(bool serviceLevel)
{
    std::vector<AddressRange> ranges;
    for (const TransferBlock& b : WritePlan(serviceLevel)) {
        const uint16_t last = static_cast<uint16_t>(b.address + b.count - 1);
        if (!ranges.empty() && ranges.back().last + 1 == b.address)
            ranges.back().last = last;
        else
            ranges.push_back({b.address, last});
    }
    return ranges;
}

std::vector<AddressRange> VerifyRanges(bool changedOnly, const std::vector<AddressRange>& written,
                                       bool serviceLevel)
{
    if (!changedOnly) return WrittenRanges(serviceLevel);
    std::vector<AddressRange> ranges = written;
    ranges.push_back(
        {kStampBlock.address, static_cast<uint16_t>(kStampBlock.address + kStampBlock.count - 1)});
    return ranges;
}

ImageDifference CompareRanges(const Image& sent, const Image& held,
                              std::span<const AddressRange> ranges, DifferenceSource source)
{
    ImageDifference d;
    std::vector<bool> differs(sent.size(), false);
    for (const AddressRange& r : ranges)
        for (size_t a = r.first; a <= r.last && a < sent.size(); ++a)
            if (sent[a] != held[a]) {
                differs[a] = true;
                ++d.count;
                if (d.first < 0 || static_cast<long>(a) < d.first) d.first = static_cast<long>(a);
            }
    if (d.count == 0) return d;

    // The records' places come from the radio data's layout; the bytes decoded are the two
    // images' own.
    const CSettings& texts = Settings();
    std::vector<bool> named(sent.size(), false);
    std::multimap<size_t, std::string> lines;  // by address, so that the list is in address order
    for (const RecordEntry& r : AllRecords(Radio())) {
        const FieldTable& table = *r.kind->table;
        const size_t base = r.address;
        if (base + table.recordSize > sent.size()) continue;
        bool touched = false;
        for (size_t i = 0; i < table.recordSize && !touched; ++i) touched = differs[base + i];
        if (!touched) continue;
        const std::span<const uint8_t> a(sent.data() + base, table.recordSize);
        const std::span<const uint8_t> b(held.data() + base, table.recordSize);
        for (const FieldRef& f : Fields(table)) {
            const size_t at = base + f.Offset();
            bool hit = false;
            for (size_t i = 0; i < f.def->width; ++i)
                if (differs[at + i]) hit = true;
            if (!hit) continue;
            std::string was = GetText(f, a, texts), now = GetText(f, b, texts);
            if (was == now) continue;  // bits outside this field's share of the byte
            // An erased or unreadable value has no text: then both sides are shown as their
            // bytes, so that the two values are given in one form.
            if (was.empty() || now.empty()) {
                was = "0x" + HexText(a.subspan(f.Offset(), f.def->width));
                now = "0x" + HexText(b.subspan(f.Offset(), f.def->width));
            }
            for (size_t i = 0; i < f.def->width; ++i)
                named[at + i] = named[at + i] || differs[at + i];
            std::string label = LabelText(f, texts);
            if (label.empty()) label = f.Key();
            const std::string place = RecordName(r, texts) + ", " + label;
            lines.emplace(at, source == DifferenceSource::File
                                  ? texts.LoadMessage(SafeWriteMessage::kFieldDifferenceFile, {place, now, was})
                                  : texts.LoadMessage(SafeWriteMessage::kFieldDifference,
                                                      {place, was, now}));
        }
    }
    for (size_t a = 0; a < sent.size(); ++a)
        if (differs[a] && !named[a])
            lines.emplace(a, texts.LoadMessage(source == DifferenceSource::File
                                                   ? SafeWriteMessage::kByteDifferenceFile
                                                   : SafeWriteMessage::kByteDifferenceSent,
                                               {ByteAddressText(a), ByteText(held[a]),
                                                ByteText(sent[a])}));
    for (auto& [at, line] : lines) d.fields.push_back(std::move(line));
    return d;
}

std::string DifferenceText(const ImageDifference& difference, DifferenceSource source)
{
    const CSettings& texts = Settings();
    std::string list;
    for (size_t i = 0; i < difference.fields.size() && i < kMaxListedFields; ++i)
        list += "\n  " + difference.fields[i];
    if (difference.fields.size() > kMaxListedFields)
        list += "\n  " +
                texts.LoadMessage(SafeWriteMessage::kMoreFields,
                                  {std::to_string(difference.fields.size() - kMaxListedFields)});
    return texts.LoadMessage(
        source == DifferenceSource::File ? SafeWriteMessage::kFileMismatch
                                         : SafeWriteMessage::kVerifyMismatch,
        {AddressText(difference.first), std::to_string(difference.count), list});
}

}  // namespace rv
