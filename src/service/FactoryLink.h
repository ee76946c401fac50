#pragma once
// Factory Mode: reading and writing the factory fields of the radio information record on a
// connection of its own, the questions asked when the Factory screen closes, and what the main
// window applies afterwards (model name, a learnt frequency range with the default set, the
// signalling type).

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "data/ModelCatalog.h"
#include "link/Transfer.h"

namespace rv {

class CQTXDoc;
class CTextService;
class CRadioInfoBlock;

/// The blocks Factory Read moves (image address, byte count): model name to language, the
/// band edges, the serial number.
inline constexpr TransferBlock kFactoryReadPlan[] = {{16, 16}, {40, 8}, {72, 16}};
/// The blocks Factory Write sends, in this order: the read blocks' first two, the factory
/// marker, the model ID, then the serial number.
inline constexpr TransferBlock kFactoryWritePlan[] = {
    {16, 16}, {40, 8}, {104, 4}, {108, 12}, {72, 16}};

/// The blocks read before a Factory Write as its backup: the read blocks and the factory marker
/// with the model ID, everything the write replaces.
inline constexpr TransferBlock kFactoryBackupPlan[] = {{16, 16}, {40, 8}, {72, 16}, {104, 16}};

/// Message numbers of the Factory screen.
struct FactoryMessage {
    static constexpr int kEmptyModelName = 1223;    ///< the model name may not be empty
    static constexpr int kModelNameDiffers = 1225;  ///< %s radio, %s current: take it?
    static constexpr int kSignalDiffers = 1226;     ///< %s radio, %s current: take it?
    static constexpr int kBandDiffers = 1227;       ///< %s radio, %s current: take it?
    /// the backup read before a write failed, nothing written (%s the read's message)
    static constexpr int kBackupReadFailed = 3401;
    /// the backup could not be saved, nothing written (%s the file)
    static constexpr int kBackupNotSaved = 3402;
    /// the radio holds other factory data than Read showed: %s the changes; write?
    static constexpr int kOtherRadioData = 3403;
    /// a typed value is no valid value: %s the field, %s the text; close without it?
    static constexpr int kCloseWithoutValue = 3404;
};

/// Reads the factory fields: finds the radio (port as CTransfer::Connect takes it), queries
/// its identity (no model or version check), read mode, the three blocks, mode 1. Only when
/// every block arrived do the bytes go into info; on any failure info is unchanged. identity
/// holds what the radio reported (its version and model ID) once the query succeeded.
LinkResult FactoryRead(CRadioProtocol& link, CRadioInfoBlock& info, RadioIdentity& identity,
                       const std::string& port = {});
/// Writes the factory fields: the factory marker and the first 12 characters of the current
/// model ID go into a copy of info, which is sent in the order of kFactoryWritePlan in write
/// mode; mode 1 follows. When every block was acknowledged info takes the copy. A failing
/// block stops the write (1139 with its address and what the radio holds).
LinkResult FactoryWrite(CRadioProtocol& link, CRadioInfoBlock& info, RadioIdentity& identity,
                        const std::string& port = {});
/// The backup read of a Factory Write: finds the radio, queries its identity, and reads the
/// blocks of kFactoryBackupPlan into `radioRecord` (which starts all zero); mode 1 follows.
/// On failure `radioRecord` is left as it was.
LinkResult FactoryReadBackup(CRadioProtocol& link, CRadioInfoBlock& radioRecord,
                             RadioIdentity& identity, const std::string& port = {});
/// The record a Factory Write sends for `info`: info with the factory marker and the first 12
/// characters of the current model ID.
CRadioInfoBlock FactoryWriteRecord(const CRadioInfoBlock& info);
/// True when both records hold the same bytes in every block Factory Read moves
/// (kFactoryReadPlan): the factory values the screen shows.
bool SameFactoryData(const CRadioInfoBlock& a, const CRadioInfoBlock& b);
/// The factory values that differ between what the radio holds and what a write sends, one
/// line each in the screen's order: "Serial Number: SN-000123 → ----------------".
std::vector<std::string> FactoryChangeLines(const CRadioInfoBlock& radioRecord,
                                            const CRadioInfoBlock& sent, const CTextService& texts);
/// The file name of a factory backup: "Factory_<model>_<serial>_YYYYMMDD-HHMMSS.txt" in local
/// time; characters other than letters, digits, '-' and '.' become '-'. It does not end in
/// ".dat": a factory record is never offered as a configuration backup to restore.
std::string FactoryBackupFileName(const CRadioInfoBlock& radioRecord, std::time_t when);
/// The text of a factory backup: each factory value by its key, then the hexadecimal bytes of
/// each block of kFactoryBackupPlan by its image address.
std::string FactoryBackupText(const CRadioInfoBlock& radioRecord, const CTextService& texts);
/// Saves the factory record read before a write in `folder` (atomically; an existing file is
/// never replaced). The path written, or "" when it failed (then `tried` names the file).
std::string SaveFactoryBackup(const std::string& folder, const CRadioInfoBlock& radioRecord,
                              std::string& tried);

/// Write Tune Switch: finds the radio and closes the port; nothing else is sent.
LinkResult FactoryProbe(CRadioProtocol& link, const std::string& port = {});

/// The values the Factory screen found different from the settings and the user took.
struct FactoryChanges {
    bool modelName = false;
    bool band = false;
    bool signal = false;
    bool Any() const { return modelName || band || signal; }
    bool operator==(const FactoryChanges&) const = default;
};

/// "%d-%d" of the record's band edges (packed decimal, 10 Hz units, in whole MHz).
std::string FactoryBandText(const CRadioInfoBlock& info);
/// The model name as the screen shows it: up to the first zero byte, blanks trimmed.
std::string FactoryModelName(const CRadioInfoBlock& info);

/// True when a packed-decimal band edge is a frequency of 100 to 999 MHz.
bool IsValidBandEdge(uint32_t bcd);

/// Closing the Factory screen: for the model name (1225), the band (1227) and the signalling
/// type (1226), in this order, asks when the record differs from the settings. Yes marks the
/// value as changed; No puts the settings' value back into the record. An empty model name and
/// band edges that are no frequencies of 100 to 999 MHz can become no model name or range: they
/// are not asked about and stay in the record as they are.
FactoryChanges ResolveFactoryClose(CRadioInfoBlock& info, const AskYesNoFn& ask);

/// What applying the changes did to the frequency range.
enum class FactoryRangeOutcome {
    Unchanged,  ///< the band was not changed
    Taken,      ///< the range was known or added: it is the current range now
    Declined,   ///< the user did not add the new range: the current range stays
};

/// After the Factory screen closed: a changed model name becomes the model name, a changed
/// signalling type (record byte 14) the signalling; a changed band goes through the
/// new-range question (804) and becomes the current range when it was known or added, and in
/// every case the default set is loaded (the views are closed first). The values are taken
/// from info before anything is reset.
FactoryRangeOutcome ApplyFactoryChanges(const FactoryChanges& changes, const CRadioInfoBlock& info,
                                        CQTXDoc& document, const AskYesNoFn& ask);

}  // namespace rv
