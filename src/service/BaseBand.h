#pragma once
// The base-band parameters of the tuning record (offsets 169 to 191, image 1001 to 1023): the
// controls of the Base Band screen with the bits they show on its transmit and receive pages,
// their enabling, and the reading and writing of the 23 bytes on a connection in mode 3.

#include <cstdint>
#include <optional>

#include "data/FieldTable.h"
#include "link/RadioProtocol.h"
#include "service/TuneBlock.h"
#include "service/Tuning.h"

namespace rv {

/// The page the Base Band screen shows.
enum class BaseBandPage { Tx, Rx };

/// Interface texts of the Base Band screen (language keys S02nnnnn).
struct BaseBandText {
    static constexpr int kTitle = 7100;
    static constexpr int kAllow = 7111;  ///< switch "Allow Base Band Tune" (byte 169 bit 0)
    static constexpr int kRx = 7112;
    static constexpr int kTx = 7113;
    static constexpr int kPageLabel = 7114;
    static constexpr int kWrite = 7142;
    static constexpr int kRead = 7143;
};

/// On which pages a control may be enabled (with the switch on).
enum class BaseBandPages { Both, TxOnly, RxOnly };

/// A control of the Base Band screen: a choice field (its choice list has its number, its
/// label is number - 1) or a switch.
struct BaseBandControl {
    int id = 0;
    bool isSwitch = false;
    BaseBandPages pages = BaseBandPages::Both;
};

/// The controls in screen order. Their bits on each page are the rows "tx_<id>" and "rx_<id>"
/// of the tuning field table; a control without a row on a page stores nothing there.
inline constexpr BaseBandControl kBaseBandControls[] = {
    {7116, false, BaseBandPages::Both},   {7118, false, BaseBandPages::RxOnly},
    {7120, false, BaseBandPages::TxOnly}, {7123, false, BaseBandPages::Both},
    {7125, false, BaseBandPages::Both},   {7129, false, BaseBandPages::RxOnly},
    {7131, false, BaseBandPages::RxOnly}, {7133, false, BaseBandPages::Both},
    {7135, false, BaseBandPages::Both},   {7137, false, BaseBandPages::Both},
    {7139, false, BaseBandPages::Both},   {7141, false, BaseBandPages::TxOnly},
    {7126, true, BaseBandPages::Both},    {7127, true, BaseBandPages::Both},
    {7144, true, BaseBandPages::Both},    {7145, true, BaseBandPages::Both},
};

/// The base-band bytes as the radio's memory holds them: 16 at 1001, then 7 at 1017.
inline constexpr uint16_t kBaseBandAddress =
    CTuneBlock::kImageAddress + CTuneBlock::Offset::kBaseBand;
inline constexpr uint16_t kBaseBandFirstCount = 16;
inline constexpr uint16_t kBaseBandSecondCount = 7;
static_assert(kBaseBandAddress == 1001);
static_assert(CTuneBlock::Offset::kBaseBand + kBaseBandFirstCount + kBaseBandSecondCount ==
              CTuneBlock::kRecordSize);

/// The field of a control on a page; nothing when the control has no bits there.
std::optional<FieldRef> BaseBandField(BaseBandPage page, int control);
/// The value a control shows on a page (nothing when it has no bits there).
std::optional<uint32_t> GetBaseBandValue(const CTuneBlock& block, BaseBandPage page, int control);
/// Stores a control's value into its bits of a page; other bits keep their values. Nothing
/// happens for a control without bits on the page or a value that does not fit them.
void SetBaseBandValue(CTuneBlock& block, BaseBandPage page, int control, uint32_t value);
/// The switch "Allow Base Band Tune": bit 0 of byte 169 (shown, never stored back).
bool BaseBandAllowed(const CTuneBlock& block);
/// Whether a control is enabled: the switch is on, the page is one of the control's pages,
/// and the control has bits on the shown page (an edit would otherwise be dropped).
bool BaseBandEnabled(const BaseBandControl& control, BaseBandPage page, bool allowed);

/// Reads 16 bytes at 1001 and 7 at 1017; only when both arrived do they replace the record's
/// base-band bytes (1154), else the record is unchanged (1156 naming the block).
TuneResult ReadBaseBand(CRadioProtocol& link, CTuneBlock& block);
/// Writes the record's base-band bytes: 16 at 1001, then 7 at 1017 (1153; 1155 naming the
/// block that was not acknowledged).
TuneResult WriteBaseBand(CRadioProtocol& link, const CTuneBlock& block);

}  // namespace rv
