#include "service/EmbeddedLink.h"

#include <array>

#include "base/Bytes.h"
#include "base/Settings.h"
#include "data/ModelCatalog.h"

namespace rv {

namespace {

uint16_t BlockAddress(size_t k)
{
    return static_cast<uint16_t>(CEmbeddedBlock::kImageAddress + k * kTransferBlockSize);
}

LinkResult BlockFailure(const CRadioProtocol& link, int message, uint16_t address)
{
    LinkResult r;
    r.status = LinkStatus::BlockFailed;
    r.message = message;
    r.number = address;
    r.cause = link.LastFault();
    return r;
}

// The port, the identity and its checks, the mode: the radio must be a known model of the
// firmware version this program supports, of the current model ID and the current range.
LinkResult Connect(CRadioProtocol& link, RadioMode mode, RadioIdentity& identity,
                   const std::string& port)
{
    link.Close();
    int number = 0;
    if (LinkResult r = FindPort(link, port, number); !r.Ok()) return r;
    FreqRangeRecord range;
    if (LinkResult r = QueryAndCheck(link, TransferDirection::Read, identity, range); !r.Ok())
        return r;
    const CSettings& s = Settings();
    if (identity.modelId != s.ModelID()) {
        link.Close();
        LinkResult r;
        r.status = LinkStatus::ModelRefused;
        r.message = LinkMessage::kModelRefused;
        return r;
    }
    if (FormatRange(range.low, range.high) != s.FreqRange()) {
        link.Close();
        return BandMismatch(range);
    }
    if (!link.SetRadioMode(mode)) {
        LinkResult r = ModeFailure(link, mode);
        EndAndClose(link, r);
        return r;
    }
    return {};
}

LinkResult Finish(CRadioProtocol& link, int message, std::vector<AddressRange> written = {})
{
    LinkResult done;
    done.message = message;
    done.written = std::move(written);
    done.endConfirmed = link.SetRadioMode(RadioMode::End);
    link.Close();
    return done;
}

}  // namespace

LinkResult EmbeddedRead(CRadioProtocol& link, CEmbeddedBlock& block, RadioIdentity& identity,
                        const std::string& port)
{
    if (LinkResult r = Connect(link, RadioMode::Read, identity, port); !r.Ok()) return r;
    std::array<uint8_t, CEmbeddedBlock::kRecordSize> buffer{};
    for (size_t k = 0; k < kEmbeddedBlockCount; ++k) {
        const uint16_t address = BlockAddress(k);
        if (!link.ReadBlock(address, kTransferBlockSize, buffer.data() + k * kTransferBlockSize)) {
            LinkResult r = BlockFailure(link, LinkMessage::kReadFailed, address);
            EndAndClose(link, r);
            return r;
        }
    }
    LinkResult done = Finish(link, LinkMessage::kReadDone);
    block.Raw().CopyFrom(buffer.data());
    return done;
}

LinkResult EmbeddedWrite(CRadioProtocol& link, const CEmbeddedBlock& block, const std::string& port)
{
    RadioIdentity identity;
    if (LinkResult r = Connect(link, RadioMode::Write, identity, port); !r.Ok()) return r;
    std::vector<AddressRange> written;
    for (size_t k = 0; k < kEmbeddedBlockCount; ++k) {
        const TransferBlock b{BlockAddress(k), kTransferBlockSize};
        if (!link.WriteBlock(b.address, b.count, block.Raw().Data() + k * kTransferBlockSize)) {
            LinkResult r = BlockFailure(link, LinkMessage::kWriteFailed, b.address);
            r.written = written;
            EndAndClose(link, r);
            return r;
        }
        NoteWritten(written, b);
    }
    return Finish(link, LinkMessage::kWriteDone, written);
}

LinkResult EmbeddedWritePassword(CRadioProtocol& link, const CEmbeddedBlock& block,
                                 const std::string& port)
{
    RadioIdentity identity;
    if (LinkResult r = Connect(link, RadioMode::Write, identity, port); !r.Ok()) return r;
    const TransferBlock b{CEmbeddedBlock::kImageAddress, kEmbeddedPasswordCount};
    if (!link.WriteBlock(b.address, b.count,
                         block.Raw().Data() + CEmbeddedBlock::Offset::kPassword)) {
        LinkResult r = BlockFailure(link, LinkMessage::kWriteFailed, b.address);
        EndAndClose(link, r);
        return r;
    }
    std::vector<AddressRange> written;
    NoteWritten(written, b);
    return Finish(link, LinkMessage::kWriteDone, written);
}

void TakeEmbeddedIdentity(const RadioIdentity& identity)
{
    CSettings& s = Settings();
    s.SetModelName(identity.modelName);
    s.SetSignal(static_cast<int>(identity.signal));
    s.SetRadioVersion(identity.version);
    const FreqRangeRecord range = RadioRangeOf(identity);
    s.SetFreqRange(FormatRange(range.low, range.high));
}

PasswordOutcome CheckPassword(const std::string& password,
                              const std::function<std::optional<std::string>()>& ask,
                              const std::function<void()>& wrong)
{
    if (password.empty()) return PasswordOutcome::Accepted;
    for (int attempt = 0; attempt < kPasswordAttempts; ++attempt) {
        const std::optional<std::string> entry = ask ? ask() : std::nullopt;
        if (!entry) return PasswordOutcome::Cancelled;
        if (*entry == password) return PasswordOutcome::Accepted;
        if (wrong) wrong();
    }
    return PasswordOutcome::Refused;
}

PasswordChange CheckPasswordChange(const std::string& current, std::string_view oldEntry,
                                   std::string_view newEntry, std::string_view confirm)
{
    if (oldEntry != current) return PasswordChange::OldWrong;
    if (newEntry != confirm) return PasswordChange::ConfirmDiffers;
    return PasswordChange::Accepted;
}

int PasswordChangeMessage(PasswordChange change)
{
    switch (change) {
        case PasswordChange::Accepted:
            return EmbeddedMessage::kPasswordChanged;
        case PasswordChange::OldWrong:
            return EmbeddedMessage::kOldWrong;
        case PasswordChange::ConfirmDiffers:
            return EmbeddedMessage::kConfirmDiffers;
    }
    return 0;
}

}  // namespace rv
