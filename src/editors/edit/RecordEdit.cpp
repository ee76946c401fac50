#include "editors/edit/RecordEdit.h"

#include "data/RadioData.h"
#include "editors/channel/ChannelGrid.h"
#include "editors/dtmf/DtmfFieldTable.h"
#include "editors/emergency/EmergencyBlock.h"
#include "editors/general/MicFieldTable.h"
#include "editors/general/MiscFieldTable.h"
#include "editors/general/ModeBlock.h"
#include "editors/general/VolumeFieldTable.h"
#include "editors/general/VoxBlock.h"
#include "editors/keys/KeyBlock.h"
#include "editors/personality/PersonalityFieldTable.h"
#include "editors/radio/RadioInfoFieldTable.h"
#include "editors/scan/ScanData.h"

namespace rv {

namespace {

/// An edit of a record whose fields have no rule beyond their own range.
EditResult Plain(const FieldTable& table, std::string_view record, size_t index, CRawRecord& raw,
                 std::string_view key, std::string_view text, const CTextService& texts,
                 const std::optional<FrequencyLimits>& band = std::nullopt)
{
    const std::string prefix = RecordPrefix(record, index);
    const auto target = TargetOf(table, key, prefix);
    if (!target) return EditResult::Refused(EditMessage::kBadValue, {prefix + std::string(key)});
    return EditPlainField(*target, BytesOf(raw), text, texts, band);
}

template <class T>
T* Item(ItemList<T>& list, size_t index)
{
    return index >= 1 && index <= list.size() ? list[index - 1].get() : nullptr;
}

}  // namespace

std::optional<EditResult> EditRecordField(RadioData& radio, std::string_view record, size_t index,
                                          std::string_view key, std::string_view text,
                                          const CTextService& texts)
{
    const BandLimits band = CurrentBandLimits();
    if (index == 0) {
        if (record == "radio_info")
            return Plain(kRadioInfoFieldTable, record, 0, radio.RadioInfo().Raw(), key, text,
                         texts, FrequencyLimits{band.LowUnits(), band.HighUnits()});
        if (record == "keys")
            return EditKeyField(BytesOf(radio.Keys().Raw()), radio.Vox().VoxOn(), key, text,
                                texts);
        if (record == "volume")
            return Plain(kVolumeFieldTable, record, 0, radio.Volume().Raw(), key, text, texts);
        if (record == "microphone")
            return Plain(kMicFieldTable, record, 0, radio.Mic().Raw(), key, text, texts);
        if (record == "vox")
            return EditVoxField(BytesOf(radio.Vox().Raw()), BytesOf(radio.Keys().Raw()), key,
                                text, texts);
        if (record == "misc")
            return Plain(kMiscFieldTable, record, 0, radio.Misc().Raw(), key, text, texts);
        if (record == "mode") return EditModeField(BytesOf(radio.Mode().Raw()), key, text, texts);
        if (record == "emergency") return EditEmergencyField(radio.Emergency(), key, text, texts);
        return std::nullopt;
    }
    if (record == "channels") {
        CChannelData* channel = Item(radio.Channels(), index);
        if (!channel) return std::nullopt;
        return EditChannelField(*channel, index, key, text, band, texts);
    }
    if (record == "personalities") {
        CPersonalityData* p = Item(radio.Personalities(), index);
        if (!p) return std::nullopt;
        return Plain(kPersonalityFieldTable, record, index, p->Raw(), key, text, texts);
    }
    if (record == "dtmf_systems") {
        CDtmfSystemData* d = Item(radio.DtmfSystems(), index);
        if (!d) return std::nullopt;
        return Plain(kDtmfFieldTable, record, index, d->Raw(), key, text, texts);
    }
    if (record == "scan_lists") {
        CScanData* s = Item(radio.ScanLists(), index);
        if (!s) return std::nullopt;
        return EditScanField(*s, index, key, text, texts);
    }
    return std::nullopt;
}

}  // namespace rv
