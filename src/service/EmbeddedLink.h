#pragma once
// The embedded messages on the radio: Read, Write and Write Password on the view's own
// connection, each checking that the radio is of the current model and range; and the rules of
// the password screens.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "link/Transfer.h"
#include "service/EmbeddedBlock.h"

namespace rv {

/// The record lies in the radio's memory where it lies in the image: Read and Write move
/// kEmbeddedBlockCount blocks of 16 bytes at 1024 + 16k; Write Password sends record bytes 0
/// to 7 (the password) to 1024 to 1031.
inline constexpr uint16_t kEmbeddedBlockCount = 9;
inline constexpr uint16_t kEmbeddedPasswordCount = 8;
static_assert(kEmbeddedBlockCount * kTransferBlockSize == CEmbeddedBlock::kRecordSize);

/// Message numbers of the embedded view and its screens.
struct EmbeddedMessage {
    static constexpr int kPasswordChanged = 1169;  ///< the new password is taken
    static constexpr int kConfirmDiffers = 1170;   ///< new and confirmation differ
    static constexpr int kOldWrong = 1171;         ///< the old password is wrong
    static constexpr int kWrongPassword = 1176;    ///< the password entered is wrong
};

/// Reads the record: finds the radio, queries and checks its identity (a known model, the
/// firmware version, the current model ID, the current range), read mode, 9 blocks, mode 1.
/// Only when all arrived do they replace block's record; on any failure the record is
/// unchanged. identity holds what the radio reported.
LinkResult EmbeddedRead(CRadioProtocol& link, CEmbeddedBlock& block, RadioIdentity& identity,
                        const std::string& port = {});
/// Writes the whole record in 9 blocks after the same checks, in write mode; a failing block
/// stops the write (1139 with its address and what the radio holds).
LinkResult EmbeddedWrite(CRadioProtocol& link, const CEmbeddedBlock& block,
                         const std::string& port = {});
/// Writes the password (record bytes 0 to 7) after the same checks, in write mode.
LinkResult EmbeddedWritePassword(CRadioProtocol& link, const CEmbeddedBlock& block,
                                 const std::string& port = {});
/// After a successful read: the radio's model name, signalling, version and range become the
/// current ones (the model ID and the range were checked to be the current ones already).
void TakeEmbeddedIdentity(const RadioIdentity& identity);

/// How the password question of Write ended.
enum class PasswordOutcome {
    Accepted,   ///< no password is set, or an entry matched it
    Cancelled,  ///< the user cancelled the question
    Refused,    ///< three wrong entries
};
/// Asks for the password up to three times: ask returns the entry or nothing for Cancel; an
/// entry that is not exactly the password (as loaded, without the padding blanks) calls
/// wrong and asks again. An empty password is accepted without asking.
inline constexpr int kPasswordAttempts = 3;
PasswordOutcome CheckPassword(const std::string& password,
                              const std::function<std::optional<std::string>()>& ask,
                              const std::function<void()>& wrong);

/// What the Change Password screen does with its three entries.
enum class PasswordChange {
    Accepted,        ///< 1169: the new password is taken
    OldWrong,        ///< 1171: all three are cleared, the focus goes to Old
    ConfirmDiffers,  ///< 1170: New and Confirm are cleared, the focus goes to New
};
PasswordChange CheckPasswordChange(const std::string& current, std::string_view oldEntry,
                                   std::string_view newEntry, std::string_view confirm);
/// The message number of a change outcome.
int PasswordChangeMessage(PasswordChange change);

}  // namespace rv
