#include "editors/channel/gui/PageChanBasic.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "base/CommandIds.h"
#include "base/Settings.h"
#include "base/TextFormat.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelAlias.h"
#include "editors/channel/ChannelFieldTable.h"
#include "editors/channel/ChannelRules.h"
#include "ui/ComboHelpers.h"
#include "ui/DecimalInput.h"
#include "ui/CustomFormView.h"
#include "ui/GuiCommands.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

namespace {

using C = ChannelControl;

constexpr int Id(C c)
{
    return static_cast<int>(c);
}

/// Most characters of a frequency box, an analog tone box and a digital code box.
constexpr int kFreqBoxLength = 9;
constexpr int kCtcssLength = 5;
constexpr int kDcsLength = 3;

/// Widest the page's form grows.
constexpr int kFormMaxWidth = 900;
/// Group boxes of the two sides.
constexpr int kRxGroupId = 3664;
constexpr int kTxGroupId = 3673;

constexpr FormRow kGeneralRows[] = {
    {3690, ControlKind::Label, "Alias"},           {Id(C::Alias), ControlKind::Edit, ""},
    {3660, ControlKind::Label, "Channel Spacing"}, {Id(C::Spacing), ControlKind::Combo, ""},
    {3662, ControlKind::Label, "Power Level"},     {Id(C::Power), ControlKind::Combo, ""},
};

// The frequency list of a side sits below its box; only one of the two is shown. The list's
// label shares the box label's text.
constexpr FormRow kSideRows[] = {
    {kRxGroupId, ControlKind::Group, "Receive"},
    {3665, ControlKind::Label, "Frequency[MHz]"},
    {Id(C::RxFreqBox), ControlKind::Edit, ""},
    {3665, ControlKind::Label, "Frequency[MHz]"},
    {Id(C::RxFreqList), ControlKind::Combo, ""},
    {3667, ControlKind::Label, "RX Type"},
    {Id(C::RxType), ControlKind::Combo, ""},
    {3669, ControlKind::Label, "CTCSS[Hz]"},
    {Id(C::RxCtcss), ControlKind::Combo, ""},
    {3671, ControlKind::Label, "CDCSS"},
    {Id(C::RxDcs), ControlKind::Combo, ""},
    {Id(C::CopyRxToTx), ControlKind::Button, "Copy RX to TX"},
    {0, ControlKind::EndGroup, ""},
    {0, ControlKind::Column, ""},
    {kTxGroupId, ControlKind::Group, "Transmit"},
    {3674, ControlKind::Label, "Frequency[MHz]"},
    {Id(C::TxFreqBox), ControlKind::Edit, ""},
    {3674, ControlKind::Label, "Frequency[MHz]"},
    {Id(C::TxFreqList), ControlKind::Combo, ""},
    {3676, ControlKind::Label, "TX Type"},
    {Id(C::TxType), ControlKind::Combo, ""},
    {3678, ControlKind::Label, "CTCSS[Hz]"},
    {Id(C::TxCtcss), ControlKind::Combo, ""},
    {3680, ControlKind::Label, "CDCSS"},
    {Id(C::TxDcs), ControlKind::Combo, ""},
    {0, ControlKind::EndGroup, ""},
};

/// The boxes bound to fields of the channel record.
constexpr FieldControl kBoundFields[] = {
    {Id(C::Spacing), "spacing"},
    {Id(C::Power), "power"},
};

/// The hand-made controls and the field each shows (both frequency controls of a side: the
/// box of normal bands and the list of licence-free bands).
constexpr FieldControl kShownFields[] = {
    {Id(C::RxFreqBox), "rx_frequency"},
    {Id(C::RxFreqList), "rx_frequency"},
    {Id(C::RxType), "rx_type"},
    {Id(C::RxCtcss), "rx_ctcss"},
    {Id(C::RxDcs), "rx_dcs"},
    {Id(C::TxFreqBox), "tx_frequency"},
    {Id(C::TxFreqList), "tx_frequency"},
    {Id(C::TxType), "tx_type"},
    {Id(C::TxCtcss), "tx_ctcss"},
    {Id(C::TxDcs), "tx_dcs"},
};

/// Controls that commit when they lose the focus.
constexpr C kCommitOnFocus[] = {C::Alias,   C::Spacing,    C::Power,     C::RxFreqBox, C::RxType,
                                C::RxCtcss, C::RxDcs,      C::TxFreqBox, C::TxType,    C::TxCtcss,
                                C::TxDcs,   C::RxFreqList, C::TxFreqList};

QStringList ToList(const std::vector<std::string>& texts)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& t : texts) list << ToQ(t);
    return list;
}

/// Selects the entry that shows text; an editable box shows the text even when no entry does.
void SelectText(QComboBox* combo, const std::string& text)
{
    const QString q = ToQ(text);
    const int at = combo->findText(q, Qt::MatchExactly);
    combo->setCurrentIndex(at);
    if (at < 0 && combo->isEditable()) combo->setEditText(q);
}

/// Packs a stored frequency and its step code into the item data of a list entry.
QVariant StoredEntryData(uint32_t bcd, uint8_t step)
{
    return QVariant::fromValue((static_cast<qulonglong>(step) << 32) | bcd);
}

/// Fills a licence-free frequency list with the band's entries and selects the stored
/// frequency. A stored frequency the band's list does not offer (a channel from a radio or a
/// file) gets an entry of its own, in frequency order, that stands for the stored value and
/// its step code: the channel keeps it unless the user picks another entry.
void FillFrequencyList(QComboBox* combo, const std::vector<std::string>& entries, uint32_t stored,
                       uint8_t storedStep)
{
    combo->clear();
    for (const std::string& e : entries) combo->addItem(ToQ(e));
    if (entries.empty()) return;
    if (stored == kNoFrequency) {
        combo->setCurrentIndex(0);
        return;
    }
    if (LicenceFreeListIndex(entries, stored) < 0) {
        const uint32_t units = FromBcd(stored);
        int at = 1;
        while (at < combo->count() && FreqTextToUnitsTruncated(FromQ(combo->itemText(at))) < units)
            ++at;
        combo->insertItem(at, ToQ(FormatBcdFrequency(stored)), StoredEntryData(stored, storedStep));
    }
    combo->setCurrentIndex(combo->findText(ToQ(FormatBcdFrequency(stored)), Qt::MatchExactly));
}

/// What a licence-free list stores: the stored frequency and step while the list still shows
/// it, the value an extra entry stands for, otherwise the fixed frequency picked.
FrequencyEntry ListValue(const QComboBox* combo, uint32_t stored, uint8_t storedStep)
{
    const int index = combo->currentIndex();
    const bool showsStored = stored == kNoFrequency
                                 ? index == 0
                                 : FromQ(combo->currentText()) == FormatBcdFrequency(stored);
    FrequencyEntry entry;
    if (showsStored || index < 0) {
        entry.bcd = stored;
        if (stored != kNoFrequency) entry.step = storedStep;
        entry.text = FormatBcdFrequency(stored);
        return entry;
    }
    if (const QVariant data = combo->currentData(); data.isValid()) {
        const qulonglong packed = data.toULongLong();
        entry.bcd = static_cast<uint32_t>(packed & 0xFFFFFFFFu);
        entry.step = static_cast<uint8_t>(packed >> 32);
        entry.text = FormatBcdFrequency(entry.bcd);
        return entry;
    }
    return LicenceFreeSelection(FromQ(combo->currentText()), CurrentStepEdition());
}

}  // namespace

QString ChannelAlias(uint32_t channelId)
{
    return ToQ(Radio().ChannelAlias(channelId));
}

void SetChannelAlias(uint32_t channelId, const QString& alias)
{
    Radio().SetChannelAlias(channelId, FitChannelAlias(FromQ(alias)));
}

bool ReportFrequencyChange(const QString& where, const QString& typed, const FrequencyEntry& stored,
                           const BandLimits& band)
{
    const FrequencyNotice notice = FrequencyChangeNotice(FromQ(typed), stored, band);
    if (notice.message == 0) return false;
    const char* english =
        notice.message == kMsgFrequencyAboveBand   ? "%s MHz is above the band; set to %s"
        : notice.message == kMsgFrequencyBelowBand ? "%s MHz is below the band; set to %s"
                                                   : "%s MHz is not on a channel step; set to %s";
    std::string text = Settings().LoadMessage(notice.message, {notice.typed, notice.stored});
    if (text.empty())
        text = FormatTextString(FormatTextString(english, notice.typed), notice.stored);
    if (IMainShell* shell = CCustomFormView::Shell()) shell->LogEvent(where, ToQ(text));
    return true;
}

CPageChanBasic::CPageChanBasic(QWidget* parent)
    : CRecordPageOf("PageChanBasic", kChannelBasicPageId, kFormMaxWidth, parent),
      choices_(kChannelFieldTable, general_, {})
{
    QWidget* content = Content();
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* general = new QWidget(content);
    auto* sides = new QWidget(content);
    general_ = BuildForm(general, kChannelBasicPageId, kGeneralRows);
    sides_ = BuildForm(sides, kChannelBasicPageId, kSideRows);
    choices_ = CFieldFormBinding(kChannelFieldTable, general_, kBoundFields);
    for (const FieldControl& f : kShownFields)
        CCustomFormView::SetFieldKey(sides_.Control(f.controlId), f.key);
    general->layout()->setContentsMargins(0, 0, 0, 0);
    sides->layout()->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(general);
    layout->addWidget(sides);
    layout->addStretch(1);

    // Alias: the characters and length an alias takes (the same rule cuts imported names).
    auto* alias = Get<QLineEdit>(C::Alias);
    alias->setMaxLength(static_cast<int>(kAliasMaxLength));
    alias->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x{%1}-\\x{%2}]*")
                               .arg(static_cast<uint32_t>(kAliasFirstCode), 0, 16)
                               .arg(static_cast<uint32_t>(kAliasLastCode), 0, 16)),
        alias));
    // The radio has no room for an alias: say so where it is typed.
    alias->setToolTip(UiText(kAliasNoteText,
                             "The alias is saved in the data file, never sent to the radio."));
    for (C box : {C::RxFreqBox, C::TxFreqBox}) {
        auto* edit = Get<QLineEdit>(box);
        edit->setMaxLength(kFreqBoxLength);
        edit->setValidator(NewDecimalValidator(edit));
    }
    for (C tone : {C::RxCtcss, C::RxDcs, C::TxCtcss, C::TxDcs}) {
        auto* combo = Get<QComboBox>(tone);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        const bool analog = tone == C::RxCtcss || tone == C::TxCtcss;
        combo->lineEdit()->setMaxLength(analog ? kCtcssLength : kDcsLength);
        combo->lineEdit()->setValidator(
            analog ? NewDecimalValidator(combo)
                   : new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-7]*")),
                                                     combo));
    }
    for (C c : kCommitOnFocus)
        if (QWidget* w = Control(c)) w->installEventFilter(this);
    Connect();
    Init();
}

QWidget* CPageChanBasic::Control(ChannelControl id) const
{
    if (QWidget* w = general_.Control(Id(id))) return w;
    return sides_.Control(Id(id));
}

void CPageChanBasic::Connect()
{
    // A type list's selection change writes the page back and applies the enable rules.
    for (C c : {C::RxType, C::TxType, C::RxFreqList, C::TxFreqList})
        connect(Get<QComboBox>(c), &QComboBox::activated, this, [this, c] {
            if (loading_) return;
            WriteBack();
            // Picking a receive frequency of "None" takes the transmit frequency with it.
            ApplyRules(c == C::RxFreqList);
            WriteBack();
            RaiseCommitted(Id(c));
        });
    for (C c : {C::Spacing, C::Power, C::RxCtcss, C::RxDcs, C::TxCtcss, C::TxDcs})
        connect(Get<QComboBox>(c), &QComboBox::activated, this, [this, c] {
            if (!loading_) Commit(c);
        });
    // Typing the receive frequency: an empty box empties and disables the transmit box.
    connect(Get<QLineEdit>(C::RxFreqBox), &QLineEdit::textEdited, this, [this] {
        if (!loading_) ApplyRules(true);
    });
    for (C c : {C::RxFreqBox, C::TxFreqBox})
        connect(Get<QLineEdit>(c), &QLineEdit::returnPressed, this, [this, c] { Commit(c); });
    connect(Get<QPushButton>(C::CopyRxToTx), &QPushButton::clicked, this, [this] {
        CChannelData* channel = Record();
        if (!channel) return;
        WriteBack();
        CopyRxToTx(*channel);
        Init();
        Load();
        RaiseCommitted(Id(C::CopyRxToTx));
    });
}

bool CPageChanBasic::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && !loading_) {
        // Opening a drop-down's list is no commit.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason)
            if (auto* w = qobject_cast<QWidget*>(watched)) Commit(static_cast<C>(ControlIdOf(w)));
    }
    return QWidget::eventFilter(watched, event);
}

void CPageChanBasic::Init()
{
    loading_ = true;
    TranslateDialog(this, kChannelBasicPageId);
    band_ = CurrentBandLimits();
    licenceFree_ = IsLicenceFreeBand(band_.lowMHz);

    const QStringList ctcss = ToList(PageCtcssChoices());
    const QStringList dcs = ToList(PageDcsChoices());
    for (C c : {C::RxCtcss, C::TxCtcss, C::RxDcs, C::TxDcs}) {
        auto* combo = Get<QComboBox>(c);
        const QString text = combo->currentText();
        combo->clear();
        combo->addItems(c == C::RxCtcss || c == C::TxCtcss ? ctcss : dcs);
        combo->setEditText(text);
    }
    const std::vector<std::string> fixed = LicenceFreeListEntries(band_.lowMHz);
    for (C c : {C::RxFreqList, C::TxFreqList})
        FillFrequencyList(Get<QComboBox>(c), fixed, kNoFrequency, 0);
    // Show either the boxes or the lists, with their labels.
    for (C c : {C::RxFreqBox, C::TxFreqBox, C::RxFreqList, C::TxFreqList}) {
        const bool isList = c == C::RxFreqList || c == C::TxFreqList;
        const bool shown = isList == licenceFree_;
        Control(c)->setVisible(shown);
        QLabel* label = sides_.LabelOf(Id(c));
        if (label) label->setVisible(shown);
    }
    loading_ = false;
}

void CPageChanBasic::ClearControls()
{
    for (C c : {C::Alias, C::RxFreqBox, C::TxFreqBox}) Get<QLineEdit>(c)->clear();
    choices_.Clear();
    for (C c : {C::RxType, C::TxType, C::RxFreqList, C::TxFreqList})
        Get<QComboBox>(c)->setCurrentIndex(-1);
    for (C c : {C::RxCtcss, C::RxDcs, C::TxCtcss, C::TxDcs}) {
        Get<QComboBox>(c)->setCurrentIndex(-1);
        Get<QComboBox>(c)->setEditText(QString());
    }
}

void CPageChanBasic::Load()
{
    CChannelData* channel = Record();
    loading_ = true;
    setEnabled(channel != nullptr);
    if (!channel) {
        fields_ = ChannelFields{};
        ClearControls();
        loading_ = false;
        return;
    }
    // Shown, not repaired: a tone index outside its table stays in the record as it came.
    fields_ = channel->ShowFields();
    fields_.Alias = FromQ(ChannelAlias(channel->id_));
    Get<QLineEdit>(C::Alias)->setText(ToQ(fields_.Alias));
    choices_.Load(channel->Raw().Bytes(), Settings());
    SelectText(Get<QComboBox>(C::RxType), fields_.RxTypeText);
    SelectText(Get<QComboBox>(C::TxType), fields_.TxTypeText);
    SelectText(Get<QComboBox>(C::RxCtcss), fields_.RxCtcssText);
    SelectText(Get<QComboBox>(C::RxDcs), fields_.RxDcsText);
    SelectText(Get<QComboBox>(C::TxCtcss), fields_.TxCtcssText);
    SelectText(Get<QComboBox>(C::TxDcs), fields_.TxDcsText);
    Get<QLineEdit>(C::RxFreqBox)->setText(ToQ(FormatBcdFrequency(fields_.RxFreq)));
    Get<QLineEdit>(C::TxFreqBox)->setText(ToQ(FormatBcdFrequency(fields_.TxFreq)));
    const std::vector<std::string> entries = LicenceFreeListEntries(band_.lowMHz);
    FillFrequencyList(Get<QComboBox>(C::RxFreqList), entries, fields_.RxFreq, fields_.RxStep);
    FillFrequencyList(Get<QComboBox>(C::TxFreqList), entries, fields_.TxFreq, fields_.TxStep);
    // Loading only shows: what the rules would clear stays in the record until the user
    // changes the receive frequency.
    ApplyRules(false);
    loading_ = false;
}

void CPageChanBasic::ApplyRules(bool clearTransmit)
{
    const bool wasLoading = loading_;
    loading_ = true;
    BasicPageState state;
    state.licenceFree = licenceFree_;
    if (licenceFree_) {
        state.rxSet = Get<QComboBox>(C::RxFreqList)->currentIndex() > 0;
        state.txSet = Get<QComboBox>(C::TxFreqList)->currentIndex() > 0;
    } else {
        state.rxSet = !Get<QLineEdit>(C::RxFreqBox)->text().trimmed().isEmpty();
        state.txSet = !Get<QLineEdit>(C::TxFreqBox)->text().trimmed().isEmpty();
    }
    state.rxType = ToneTypeOfText(kRxTypeList, FromQ(Get<QComboBox>(C::RxType)->currentText()));
    state.txType = ToneTypeOfText(kTxTypeList, FromQ(Get<QComboBox>(C::TxType)->currentText()));
    BasicPageEnables enables = BasicPageEnableRules(state);
    if (clearTransmit && enables.clearTx && state.txSet) {
        if (licenceFree_)
            Get<QComboBox>(C::TxFreqList)->setCurrentIndex(0);
        else
            Get<QLineEdit>(C::TxFreqBox)->clear();
        state.txSet = false;
        enables = BasicPageEnableRules(state);
    }
    for (C c : {C::RxFreqBox, C::TxFreqBox, C::RxFreqList, C::TxFreqList, C::RxType, C::RxCtcss,
                C::RxDcs, C::TxType, C::TxCtcss, C::TxDcs})
        EnableControl(Control(c), enables.Enabled(c));
    loading_ = wasLoading;
}

FrequencyEntry CPageChanBasic::CommitBox(QLineEdit* box)
{
    const QString typed = box->text().trimmed();
    FrequencyEntry entry = CommitFrequencyBox(FromQ(typed), band_);
    const QString text = ToQ(entry.text);
    if (typed != text) {
        const size_t number = Radio().ChannelNumberOf(ItemId());
        QString where = UiText(Id(Command::Channel), "Channel");
        if (number > 0) where += QStringLiteral(" %1").arg(number);
        if (!box->accessibleName().isEmpty()) where += QStringLiteral(", ") + box->accessibleName();
        ReportFrequencyChange(where, typed, entry, band_);
    }
    if (box->text() != text) box->setText(text);
    if (entry.clamped) PostClampMessage();
    return entry;
}

void CPageChanBasic::PostClampMessage()
{
    // Shown after the focus change that committed the box has finished.
    if (messagePending_) return;
    messagePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            messagePending_ = false;
            ShowMessage(this, kMsgFrequencyClamped, CPrompt::Icon::Warning);
        },
        Qt::QueuedConnection);
}

FrequencyEntry CPageChanBasic::BoxValue(QLineEdit* box, uint32_t stored, uint8_t storedStep)
{
    // The box rule (rounding, band clamp, step fit) is for what the user typed: a box that
    // still shows the stored frequency gives it back as it is, on or off the step grid, inside
    // or outside the band.
    if (FromQ(box->text()) != FormatBcdFrequency(stored)) return CommitBox(box);
    FrequencyEntry entry;
    entry.bcd = stored;
    if (stored != kNoFrequency) entry.step = storedStep;
    entry.text = FormatBcdFrequency(stored);
    return entry;
}

void CPageChanBasic::WriteBack()
{
    CChannelData* channel = Record();
    if (!channel) return;
    // Spacing and power by their fields: a box that still shows what it was loaded with
    // keeps the stored bits.
    choices_.Store(BytesOf(channel->Raw()), Settings());
    // What the channel shows now; a control that still shows it is no edit.
    const ChannelFields shown = channel->ShowFields();
    ChannelFields edited = shown;
    edited.Alias = FromQ(Get<QLineEdit>(C::Alias)->text());
    SetChannelAlias(channel->id_, ToQ(edited.Alias));

    FrequencyEntry rx, tx;
    if (licenceFree_) {
        rx = ListValue(Get<QComboBox>(C::RxFreqList), shown.RxFreq, shown.RxStep);
        tx = ListValue(Get<QComboBox>(C::TxFreqList), shown.TxFreq, shown.TxStep);
    } else {
        rx = BoxValue(Get<QLineEdit>(C::RxFreqBox), shown.RxFreq, shown.RxStep);
        tx = BoxValue(Get<QLineEdit>(C::TxFreqBox), shown.TxFreq, shown.TxStep);
    }
    edited.RxFreq = rx.bcd;
    edited.TxFreq = tx.bcd;
    if (rx.step) edited.RxStep = *rx.step;
    if (tx.step) edited.TxStep = *tx.step;

    edited.RxTypeText = FromQ(Get<QComboBox>(C::RxType)->currentText());
    edited.TxTypeText = FromQ(Get<QComboBox>(C::TxType)->currentText());
    edited.RxCtcssText = FromQ(Get<QComboBox>(C::RxCtcss)->currentText());
    edited.RxDcsText = FromQ(Get<QComboBox>(C::RxDcs)->currentText());
    edited.TxCtcssText = FromQ(Get<QComboBox>(C::TxCtcss)->currentText());
    edited.TxDcsText = FromQ(Get<QComboBox>(C::TxDcs)->currentText());
    channel->FromFields(edited, band_, ChannelEdits::Between(shown, edited));
    fields_ = edited;
    if (UpdateChannelInUse(*channel)) Raise(UsedChangedNotice(*channel, Sender()));
}

void CPageChanBasic::Commit(ChannelControl id)
{
    if (!Record()) return;
    WriteBack();
    ApplyRules(false);
    RaiseCommitted(Id(id));
}

void CPageChanBasic::OnNotice(const NoticeRecord& notice)
{
    switch (notice.code) {
        case NoticeCode::Added:
        case NoticeCode::Deleted:
            Load();
            break;
        case NoticeCode::RowCommitted:
            if (notice.flags == kRowCommittedFlags) {
                Init();
                Load();
            }
            break;
        default:
            break;
    }
}

}  // namespace rv
