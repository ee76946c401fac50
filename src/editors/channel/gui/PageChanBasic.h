#pragma once
// The Basic page of the channel sheet: alias, spacing, power, the receive and transmit
// frequencies (boxes in the normal bands, fixed lists in the licence-free bands), tone types
// and tones, and the copy-receive-to-transmit button. Every field is written back when it
// loses the focus or changes its selection, and the page reports it as a committed field.

#include <QWidget>
#include <cstdint>
#include <vector>

#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelFields.h"
#include "editors/channel/FrequencyText.h"
#include "ui/FieldForm.h"
#include "ui/FormBuilder.h"
#include "ui/RecordSheet.h"

class QComboBox;
class QLineEdit;

namespace rv {

class CPageChanBasic : public CRecordPageOf<CChannelData, &RadioData::FindChannel> {
    Q_OBJECT
public:
    explicit CPageChanBasic(QWidget* parent = nullptr);

    /// Captions, tone choices, band limits and the licence-free lists (re-initialise).
    void Init();
    /// Fills the controls from the channel and applies the enable rules.
    void Load() override;
    /// Writes the controls back into the channel (and reports a change of its in-use state).
    /// Only what the controls show differently from the channel is written; the rest of the
    /// record keeps its bytes.
    void WriteBack() override;
    /// Reacts to a notice of another view: reloads on add and delete, re-initialises after a
    /// row of the channel list was committed.
    void OnNotice(const NoticeRecord& notice) override;

    /// The control with this id (ChannelControl values), nullptr when none.
    QWidget* Control(ChannelControl id) const;
    /// True when the band uses the fixed frequency lists.
    bool LicenceFree() const { return licenceFree_; }
    /// The text form as last loaded or written back.
    const ChannelFields& Fields() const { return fields_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <class T>
    T* Get(ChannelControl id) const
    {
        return qobject_cast<T*>(Control(id));
    }
    void Connect();
    /// Writes back and reports the field as committed.
    void Commit(ChannelControl id);
    /// Enable rules from the controls' current state; with clearTransmit (the user changed the
    /// receive frequency) the transmit side is emptied when the receive side has none.
    void ApplyRules(bool clearTransmit);
    /// The value of a frequency box: committed (converted, range-checked, on a step), the text
    /// rewritten; a clamp posts the band message.
    FrequencyEntry CommitBox(QLineEdit* box);
    /// The value a frequency box gives on write-back: the stored frequency and step while the
    /// box still shows the stored frequency, otherwise CommitBox.
    FrequencyEntry BoxValue(QLineEdit* box, uint32_t stored, uint8_t storedStep);
    void PostClampMessage();
    void ClearControls();

    CFormControls general_;
    CFormControls sides_;
    /// The spacing and power boxes, bound to their fields. The frequencies and tones go
    /// through their rules (band clamp, step fit, tone words) in the text form.
    CFieldFormBinding choices_;
    ChannelFields fields_;
    BandLimits band_;
    bool licenceFree_ = false;
    bool loading_ = false;
    bool messagePending_ = false;
};

/// The alias of a channel as typed in this program run (kept by the radio data object; the
/// radio does not keep aliases).
QString ChannelAlias(uint32_t channelId);
/// Remembers the alias of a channel for this program run.
void SetChannelAlias(uint32_t channelId, const QString& alias);
/// Tells the user when a committed frequency was stored as another value than typed (clamped
/// into the band, fitted to a step): the message goes to the status bar and the log, under
/// `where` (the channel and field). True when there was something to tell.
bool ReportFrequencyChange(const QString& where, const QString& typed, const FrequencyEntry& stored,
                           const BandLimits& band);

}  // namespace rv
