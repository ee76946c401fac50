#include "editors/keys/KeyBlock.h"

#include "base/Settings.h"

namespace rv {

namespace {

/// Default function codes of bytes 0 to 5 (SK1 long press differs in the editions).
constexpr uint8_t kDefaultFunctions[6] = {29, 28, 66, 75, 66, 80};
constexpr uint8_t kEditionSk1Long = 0;
/// Bit of byte 10 that the defaults clear.
constexpr unsigned kFlagsDefaultClearBit = 0;

/// The four side-key bytes (the functions that depend on VOX).
constexpr size_t kSideKeys[] = {CKeyBlock::Offset::kSk1Short, CKeyBlock::Offset::kSk1Long,
                                CKeyBlock::Offset::kSk2Short, CKeyBlock::Offset::kSk2Long};

std::string TextOf(uint8_t code)
{
    return Settings().GetChoiceText(CKeyBlock::kFunctionList, code);
}

uint8_t CodeOf(const std::string& text)
{
    return static_cast<uint8_t>(Settings().GetChoiceValue(CKeyBlock::kFunctionList, text));
}

}  // namespace

uint8_t PairedTopKeyCode(uint8_t changedCode, uint8_t otherCode)
{
    constexpr auto a = static_cast<uint8_t>(KeyFunction::TopKeyPairA);
    constexpr auto b = static_cast<uint8_t>(KeyFunction::TopKeyPairB);
    if (changedCode == a) return b;
    if (changedCode == b) return a;
    if (otherCode == a || otherCode == b) return static_cast<uint8_t>(KeyFunction::None);
    return otherCode;
}

bool SideKeyAllowed(uint8_t code, bool voxOn)
{
    return voxOn || code != static_cast<uint8_t>(KeyFunction::Vox);
}

bool KeyFunctionOffered(uint8_t code)
{
    if (code != static_cast<uint8_t>(KeyFunction::Restricted)) return true;
    const CSettings& s = Settings();
    return !(s.EditionFlag() || s.IsModel(ModelText::Rv205));
}

CKeyBlock::CKeyBlock() : CPlainBlock(kRecordSize) { SetDefaults(); }

void CKeyBlock::SetDefaults()
{
    record_.Fill(0xFF);
    for (size_t i = 0; i < std::size(kDefaultFunctions); ++i) record_[i] = kDefaultFunctions[i];
    if (Settings().EditionFlag()) record_[Offset::kSk1Long] = kEditionSk1Long;
    record_.SetBit(Offset::kFlags, kFlagsDefaultClearBit, false);
}

void CKeyBlock::OnNotice(const NoticeRecord& notice)
{
    // VOX switched off: a side key may no longer start VOX.
    if (notice.code != NoticeCode::VoxChanged || notice.key != 0) return;
    for (size_t offset : kSideKeys)
        if (record_[offset] == static_cast<uint8_t>(KeyFunction::Vox))
            record_[offset] = static_cast<uint8_t>(KeyFunction::None);
}

KeyFields CKeyBlock::ToFields() const
{
    KeyFields f;
    f.TkShortText = TextOf(record_[Offset::kTkShort]);
    f.TkLongText = TextOf(record_[Offset::kTkLong]);
    f.Sk1ShortText = TextOf(record_[Offset::kSk1Short]);
    f.Sk1LongText = TextOf(record_[Offset::kSk1Long]);
    f.Sk2ShortText = TextOf(record_[Offset::kSk2Short]);
    f.Sk2LongText = TextOf(record_[Offset::kSk2Long]);
    return f;
}

void CKeyBlock::FromFields(const KeyFields& f)
{
    record_[Offset::kTkShort] = CodeOf(f.TkShortText);
    record_[Offset::kTkLong] = CodeOf(f.TkLongText);
    record_[Offset::kSk1Short] = CodeOf(f.Sk1ShortText);
    record_[Offset::kSk1Long] = CodeOf(f.Sk1LongText);
    record_[Offset::kSk2Short] = CodeOf(f.Sk2ShortText);
    record_[Offset::kSk2Long] = CodeOf(f.Sk2LongText);
}

}  // namespace rv
