#pragma once
// What keeps a write from losing a radio: the backup of the radio's configuration taken with a
// read before anything is written (its folder, its name, its file, the list of backups), and
// the comparison of what a write sent with what a read afterwards finds in the radio, down to
// the fields of the records that differ.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <vector>

#include "data/RadioData.h"
#include "link/Transfer.h"

namespace rv {

/// Message numbers of backup and verify (language keys S01nnnnn).
struct SafeWriteMessage {
    /// the backup folder cannot be made or written (%s folder)
    static constexpr int kBackupFolderFailed = 1380;
    /// the backup read failed, nothing written (%s the read's own message)
    static constexpr int kBackupReadFailed = 1381;
    /// the backup could not be saved, nothing written (%s file)
    static constexpr int kBackupSaveFailed = 1382;
    static constexpr int kBackupSaved = 1383;  ///< the backup was saved (%s file)
    /// verify found a difference (%s first address, %s byte count, %s fields)
    static constexpr int kVerifyMismatch = 1384;
    /// the read-back after the write failed (%s the read's own message)
    static constexpr int kVerifyReadFailed = 1385;
    /// how to put the backup back (%s backup file)
    static constexpr int kRestoreHint = 1386;
    static constexpr int kBackupComment = 1387;  ///< comment of a backup file (%s data file)
    /// comment of a backup taken before writing a configuration that has no file yet
    static constexpr int kBackupCommentUnsaved = 3605;
    static constexpr int kNoBackups = 1388;      ///< no backups in the folder (%s folder)
    static constexpr int kVerifyEqual = 1389;    ///< the radio holds what the file says
    /// bytes outside every field (%s address)
    static constexpr int kUnnamedBytes = 1390;
    /// one differing field (%s record and label, %s sent, %s held)
    static constexpr int kFieldDifference = 1391;
    /// further differing fields not listed (%s count)
    static constexpr int kMoreFields = 1392;
    /// changed blocks only: blocks sent (%s) of the plan's (%s), the time stamp included
    static constexpr int kChangedBlocks = 1786;
    /// a byte no field covers differs from a file's / from what was sent (%s address, %s the
    /// radio's byte, %s the other)
    static constexpr int kByteDifferenceFile = 3020;
    static constexpr int kByteDifferenceSent = 3021;
    /// a field differs from a file's (%s record and label, %s the radio's value, %s the file's)
    static constexpr int kFieldDifferenceFile = 3022;
    /// the radio differs from a file (%s first address, %s byte count, %s the differences)
    static constexpr int kFileMismatch = 3034;
};

/// The folder backups go into: "Backups" in the program directory when it can be made and
/// written there (always when preferProgramDir, as under --home; never for an installed
/// program, whose resources are shared), otherwise $XDG_DATA_HOME/rvcps/Backups
/// (~/.local/share when unset). Creates the folder. Empty when
/// none could be made; then `tried` names the folder that failed.
std::string BackupFolder(const std::string& programDir, bool preferProgramDir, std::string& tried);
/// The folders BackupFolder tries, in order, without making any.
std::vector<std::string> BackupFolderCandidates(const std::string& programDir,
                                                bool preferProgramDir);

/// The file name of a backup: "<model>_<range>_<serial>_YYYYMMDD-HHMMSS.dat" in local time.
/// Characters other than letters, digits, '-' and '.' become '-'; an empty serial is "-".
std::string BackupFileName(const std::string& modelName, const std::string& range,
                           const std::string& serial, std::time_t when);

/// The serial number a radio's memory holds (radio information record), as text.
std::string SerialNumberOf(const Image& image);

/// Saves a read memory as a backup data file in folder (atomically; an existing file is never
/// replaced: a second backup of the same second gets "-2", "-3" ...). The header is the
/// current settings' (the radio's model and range), the comment names the data file written.
/// The path written, or "" when it failed (then `path` holds the file tried).
std::string SaveBackup(const std::string& folder, const Image& image, const std::string& modelName,
                       const std::string& range, const std::string& sourceFile, std::string& tried);

/// One backup file.
struct BackupEntry {
    std::string path;
    std::string name;      ///< file name
    std::time_t time = 0;  ///< from the name (local time); 0 when the name has none
    std::string serial;    ///< from the name
    std::string comment;   ///< the file's comment ("" when it cannot be read)
};
/// The backups in a folder (data files named as BackupFileName names them), newest first (by
/// the time in the name, then name).
std::vector<BackupEntry> ListBackups(const std::string& folder);

/// What a comparison of the sent bytes with the radio's found.
struct ImageDifference {
    long first = -1;   ///< first differing address; -1 when equal
    size_t count = 0;  ///< differing bytes
    /// The differing fields, "channel 3, RX frequency: sent 433.50000, radio holds 400.32500",
    /// in address order; bytes outside every field as their address.
    std::vector<std::string> fields;
    bool Equal() const { return count == 0; }
};

/// The stretches a write sends at a user level (its plan), the time stamp included.
std::vector<AddressRange> WrittenRanges(bool serviceLevel);

/// What the verify of a write compares: the stretches the write sent (a successful write's
/// LinkResult::written) and the time stamp; with changedOnly false, the whole plan of the user
/// level (WrittenRanges).
std::vector<AddressRange> VerifyRanges(bool changedOnly, const std::vector<AddressRange>& written,
                                       bool serviceLevel);

/// What the bytes a radio is compared with are: what a write sent, or a data file's.
enum class DifferenceSource { Sent, File };

/// Compares sent and held byte for byte over the ranges, naming the differing fields through
/// the record tables of the radio data (its layout only: the bytes compared are sent's and
/// held's) with their values as texts (both as hex when either has no text), and each
/// differing byte no field covers with its address and both bytes in hex.
ImageDifference CompareRanges(const Image& sent, const Image& held,
                              std::span<const AddressRange> ranges,
                              DifferenceSource source = DifferenceSource::Sent);

/// The message of a difference (1384 after a write, 3034 against a file), the fields listed up
/// to a limit.
std::string DifferenceText(const ImageDifference& difference,
                           DifferenceSource source = DifferenceSource::Sent);

}  // namespace rv
