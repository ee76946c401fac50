#include "service/gui/DlgTuning.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QVBoxLayout>

#include "base/Settings.h"
#include "service/TestFreqBlock.h"
#include "service/gui/DlgBaseBand.h"
#include "ui/FormBuilder.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

namespace {

constexpr int kIdRole = Qt::UserRole + 1;

void Report(QWidget* parent, const TuneResult& r)
{
    if (r.message)
        Prompt().Show(parent, ToQ(r.Text()),
                      r.ok ? CPrompt::Icon::Information : CPrompt::Icon::Warning);
}

QLabel* Caption(int id, const char* english, QWidget* parent)
{
    return new QLabel(UiText(id, english), parent);
}

}  // namespace

// ---- Tuning ----

CDlgTuning::CDlgTuning(CAdjustment& session, const CTestFreqBlock& points, QWidget* parent)
    : QDialog(parent), session_(session), points_(points)
{
    setWindowTitle(UiText(TuningText::kTitle, "Tuning"));
    SetControlId(this, TuningText::kTitle);
    auto* layout = new QVBoxLayout(this);
    auto* caption = Caption(TuningText::kEntries, "Tuning Entries", this);
    layout->addWidget(caption);
    list_ = new QListWidget(this);
    list_->setAccessibleName(caption->text());
    SetControlId(list_, TuneText::kEntryList);
    caption->setBuddy(list_);
    for (const TuneEntry& e : TuneEntryList(Settings(), Settings().IsFullServiceLevel())) {
        auto* item = new QListWidgetItem(ToQ(e.text), list_);
        item->setData(kIdRole, e.id);
    }
    if (list_->count()) list_->setCurrentRow(0);
    list_->setMinimumSize(300, 320);
    layout->addWidget(list_);

    auto* buttons = new QHBoxLayout;
    baseBand_ = new QPushButton(UiText(TuningText::kBaseBand, "Base band"), this);
    baseBand_->setAccessibleName(baseBand_->text());
    auto* ok = new QPushButton(UiText(TuningText::kOk, "OK"), this);
    ok->setAccessibleName(ok->text());
    buttons->addWidget(baseBand_);
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);

    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        OpenEntry(item->data(kIdRole).toInt(), item->text());
    });
    connect(baseBand_, &QPushButton::clicked, this, &CDlgTuning::OpenBaseBand);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CDlgTuning::OpenEntry(int id, const QString& text)
{
    const std::optional<TuneDefinition> definition = FindTuneDefinition(Settings(), id);
    if (!definition || !definition->HasSubItems()) {
        ShowMessage(this, TuneMessage::kNoSubItems, CPrompt::Icon::Warning);
        return;
    }
    if (TunePointNames(Settings()).empty()) {
        ShowMessage(this, TuneMessage::kNoPointNames, CPrompt::Icon::Warning);
        return;
    }
    const uint16_t first = definition->Group(definition->StartGroup()).front().item;
    std::array<uint8_t, 2> value{};
    const TuneResult r = session_.ReadValue(first, value);
    if (!r.ok) {
        Report(this, r);
        return;
    }
    CDlgTuneSubItem screen(session_, text, *definition, value, points_, this);
    screen.exec();
}

void CDlgTuning::OpenBaseBand()
{
    // The base-band bytes are block reads and writes, which the radio takes in write mode;
    // the next tuning read puts it back into adjustment mode.
    CRadioProtocol& link = session_.Link();
    if (!link.SetRadioMode(RadioMode::Write)) {
        ShowMessage(this, LinkMessage::kNoRadio, CPrompt::Icon::Warning);
        return;
    }
    {
        CDlgBaseBand screen(link, session_.Block(), this);
        screen.exec();
    }
    link.SetRadioMode(RadioMode::Adjust);
}

// ---- Tune Sub Item ----

CDlgTuneSubItem::CDlgTuneSubItem(CAdjustment& session, const QString& title,
                                 const TuneDefinition& definition, std::array<uint8_t, 2> value,
                                 const CTestFreqBlock& points, QWidget* parent)
    : QDialog(parent),
      session_(session),
      definition_(definition),
      points_(points),
      names_(TunePointNames(Settings()))
{
    setWindowTitle(title);
    SetControlId(this, TuningText::kSubItemTitle);
    session_.BeginVisit();
    auto* layout = new QVBoxLayout(this);

    // Channel spacing.
    auto* spacingBox = new QGroupBox(UiText(TuningText::kSpacing, "Channel Spacing"), this);
    auto* spacingRow = new QHBoxLayout(spacingBox);
    auto* spacingGroup = new QButtonGroup(this);
    const struct {
        TuneGroup group;
        int id;
        const char* english;
    } groups[] = {{TuneGroup::Wide, TuningText::kWide, "Wide"},
                  {TuneGroup::Middle, TuningText::kMiddle, "Middle"},
                  {TuneGroup::Narrow, TuningText::kNarrow, "Narrow"}};
    const bool hasMiddle = !definition_.Group(TuneGroup::Middle).empty();
    const bool wideAndNarrow = !definition_.Group(TuneGroup::Wide).empty() &&
                               !definition_.Group(TuneGroup::Narrow).empty();
    for (const auto& g : groups) {
        auto* button = new QPushButton(UiText(g.id, g.english), spacingBox);
        button->setCheckable(true);
        button->setAccessibleName(button->text());
        spacingGroup->addButton(button);
        spacingRow->addWidget(button);
        spacing_[static_cast<size_t>(g.group)] = button;
        if (hasMiddle)
            button->setEnabled(!definition_.Group(g.group).empty());
        else
            button->setEnabled(wideAndNarrow);
        connect(button, &QPushButton::clicked, this, [this, group = g.group] {
            if (group != group_) ChooseGroup(group);
        });
    }
    spacing_[static_cast<size_t>(TuneGroup::Middle)]->setVisible(hasMiddle);
    layout->addWidget(spacingBox);

    // The points of the group and their frequencies.
    tabs_ = new QTabBar(this);
    tabs_->setAccessibleName(UiText(TuningText::kPoint, "Tuning Point"));
    tabs_->setExpanding(false);
    SetControlId(tabs_, TuneText::kPointNames);
    layout->addWidget(tabs_);
    auto* freq = new QGridLayout;
    auto* rxCaption = Caption(TuningText::kRxFrequency, "RX Frequency[MHz]", this);
    auto* txCaption = Caption(TuningText::kTxFrequency, "TX Frequency[MHz]", this);
    rx_ = new QLabel(this);
    tx_ = new QLabel(this);
    rx_->setAccessibleName(rxCaption->text());
    tx_->setAccessibleName(txCaption->text());
    rx_->setMinimumWidth(90);
    freq->addWidget(rxCaption, 0, 0);
    freq->addWidget(rx_, 0, 1);
    freq->addWidget(txCaption, 1, 0);
    freq->addWidget(tx_, 1, 1);
    freq->setColumnStretch(2, 1);
    layout->addLayout(freq);

    // The value bar and the tuning volume.
    auto* bars = new QHBoxLayout;
    auto* valueBox = new QGroupBox(UiText(TuningText::kValueGroup, "Tuning Value"), this);
    auto* valueLayout = new QGridLayout(valueBox);
    value_ = new QSlider(Qt::Horizontal, valueBox);
    value_->setRange(kTuneValueMin, kTuneValueMax);
    value_->setSingleStep(1);
    value_->setPageStep(10);
    value_->setAccessibleName(valueBox->title());
    SetControlId(value_, 7081);
    value_->setMinimumWidth(260);
    valueText_ = new QLabel(valueBox);
    valueLayout->addWidget(valueText_, 0, 0, 1, 3);
    valueLayout->addWidget(Caption(TuningText::kValueMin, "0", valueBox), 1, 0);
    valueLayout->addWidget(value_, 1, 1);
    valueLayout->addWidget(Caption(TuningText::kValueMax, "255", valueBox), 1, 2);
    valueLayout->setRowStretch(2, 1);
    valueLayout->setColumnStretch(1, 1);
    bars->addWidget(valueBox, 1, Qt::AlignTop);

    auto* volumeBox = new QGroupBox(UiText(TuningText::kVolumeGroup, "Tuning Volume"), this);
    auto* volumeLayout = new QVBoxLayout(volumeBox);
    volume_ = new QSlider(Qt::Vertical, volumeBox);
    volume_->setRange(kTuneValueMin, kTuneValueMax);
    volume_->setSingleStep(8);
    volume_->setPageStep(24);
    volume_->setValue(kTuneVolumeStart);
    volume_->setAccessibleName(volumeBox->title());
    volume_->setMinimumHeight(140);
    SetControlId(volume_, 7077);
    volumeText_ = new QLabel(volumeBox);
    volumeLayout->addWidget(volumeText_, 0, Qt::AlignHCenter);
    volumeLayout->addWidget(Caption(TuningText::kVolumeMax, "255", volumeBox), 0, Qt::AlignHCenter);
    volumeLayout->addWidget(volume_, 1, Qt::AlignHCenter);
    volumeLayout->addWidget(Caption(TuningText::kVolumeMin, "0", volumeBox), 0, Qt::AlignHCenter);
    volumeBox->setEnabled(definition_.IsReceive());
    bars->addWidget(volumeBox);
    layout->addLayout(bars);

    // The transmitter switch, OK and Cancel.
    auto* row = new QHBoxLayout;
    transmit_ = new QPushButton(this);
    transmit_->setCheckable(true);
    SetControlId(transmit_, TuningText::kTransmit);
    transmit_->setEnabled(!definition_.IsReceive());
    row->addWidget(transmit_);
    row->addStretch();
    ok_ = new QPushButton(UiText(TuningText::kOk, "OK"), this);
    cancel_ = new QPushButton(UiText(ShellText::kCancel, "Cancel"), this);
    ok_->setAccessibleName(ok_->text());
    cancel_->setAccessibleName(cancel_->text());
    row->addWidget(ok_);
    row->addWidget(cancel_);
    layout->addLayout(row);

    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (!filling_) ChooseTab(index);
    });
    connect(value_, &QSlider::valueChanged, this, [this](int v) {
        valueText_->setText(UiText(TuningText::kValue, "Value:") + QStringLiteral(" %1").arg(v));
        // Keys and clicks on the bar end at once; a drag ends when the thumb is released.
        if (!filling_ && !value_->isSliderDown()) SendValue();
    });
    connect(value_, &QSlider::sliderReleased, this, &CDlgTuneSubItem::SendValue);
    connect(volume_, &QSlider::valueChanged, this, [this](int v) {
        volumeText_->setText(UiText(TuningText::kVolume, "Volume:") + QStringLiteral(" %1").arg(v));
        if (!volume_->isSliderDown()) SendVolume();
    });
    connect(volume_, &QSlider::sliderReleased, this, &CDlgTuneSubItem::SendVolume);
    connect(transmit_, &QPushButton::toggled, this, &CDlgTuneSubItem::SwitchTransmit);
    connect(ok_, &QPushButton::clicked, this, &CDlgTuneSubItem::accept);
    connect(cancel_, &QPushButton::clicked, this, &CDlgTuneSubItem::reject);

    volumeText_->setText(UiText(TuningText::kVolume, "Volume:") +
                         QStringLiteral(" %1").arg(kTuneVolumeStart));
    group_ = definition_.StartGroup();
    spacing_[static_cast<size_t>(group_)]->setChecked(true);
    if (definition_.Group(group_).empty()) {  // nothing to adjust: only Cancel is left
        for (QWidget* w : std::initializer_list<QWidget*>{spacingBox, tabs_, valueBox, volumeBox,
                                                          transmit_, ok_})
            w->setEnabled(false);
        return;
    }
    current_ = definition_.Group(group_).front();
    FillTabs();
    ShowPoint();
    SetBarValue(value[0]);
    UpdateTransmitCaption();
}

void CDlgTuneSubItem::FillTabs()
{
    filling_ = true;
    while (tabs_->count()) tabs_->removeTab(0);
    for (const TuneSubItem& s : definition_.Group(group_))
        tabs_->addTab(s.point < names_.size() ? ToQ(names_[s.point]) : QString());
    tabs_->setCurrentIndex(0);
    filling_ = false;
}

void CDlgTuneSubItem::ShowPoint()
{
    rx_->setText(ToQ(CTestFreqBlock::FrequencyText(points_.PointRxBcd(current_.point))));
    tx_->setText(ToQ(CTestFreqBlock::FrequencyText(points_.PointTxBcd(current_.point))));
}

void CDlgTuneSubItem::SetBarValue(int value)
{
    filling_ = true;
    value_->setValue(value);
    valueText_->setText(UiText(TuningText::kValue, "Value:") + QStringLiteral(" %1").arg(value));
    filling_ = false;
    sentValue_ = value;
}

void CDlgTuneSubItem::ChooseGroup(TuneGroup group)
{
    const std::vector<TuneSubItem>& items = definition_.Group(group);
    if (items.empty() || finished_) return;
    TransmitOff();
    group_ = group;
    spacing_[static_cast<size_t>(group)]->setChecked(true);
    current_ = items.front();
    FillTabs();
    ChooseTab(0);
}

void CDlgTuneSubItem::ChooseTab(int index)
{
    const std::vector<TuneSubItem>& items = definition_.Group(group_);
    if (index < 0 || static_cast<size_t>(index) >= items.size() || finished_) return;
    if (items[static_cast<size_t>(index)].item != current_.item) TransmitOff();
    current_ = items[static_cast<size_t>(index)];
    ShowPoint();
    UpdateTransmitCaption();
    std::array<uint8_t, 2> value{};
    const TuneResult r = session_.ReadValue(current_.item, value);
    if (!r.ok) {
        FailAndClose(r);
        return;
    }
    SetBarValue(value[0]);
}

void CDlgTuneSubItem::SendValue()
{
    const int v = ClampTuneValue(value_->value());
    if (finished_ || v == sentValue_) return;
    const TuneResult r = session_.SendValue(current_.item, v);
    if (!r.ok) {
        FailAndClose(r);
        return;
    }
    sentValue_ = v;
}

void CDlgTuneSubItem::SendVolume()
{
    const int v = ClampTuneValue(volume_->value());
    if (finished_ || v == sentVolume_) return;
    const TuneResult r = session_.SendVolume(v);
    if (!r.ok) {
        FailAndClose(r);
        return;
    }
    sentVolume_ = v;
}

void CDlgTuneSubItem::SwitchTransmit(bool on)
{
    if (finished_) return;
    const TuneResult r = session_.SwitchTransmit(current_.item, on);
    if (!r.ok && on) {
        // The radio did not switch on: the button shows that it is off.
        const QSignalBlocker block(transmit_);
        transmit_->setChecked(false);
        Report(this, r);
    } else if (!r.ok) {
        Report(this, r);
    }
    UpdateTransmitCaption();
}

// The transmitter is switched off before the item changes or the visit ends, so that it never
// keeps sending for an item the screen no longer shows.
void CDlgTuneSubItem::TransmitOff()
{
    if (!transmit_->isChecked()) return;
    session_.SwitchTransmit(current_.item, false);
    const QSignalBlocker block(transmit_);
    transmit_->setChecked(false);
    UpdateTransmitCaption();
}

void CDlgTuneSubItem::UpdateTransmitCaption()
{
    const int id = TransmitCaption(TransmitVariant(current_.item), transmit_->isChecked());
    transmit_->setText(UiText(id, "Transmit"));
    transmit_->setAccessibleName(transmit_->text());
}

void CDlgTuneSubItem::FailAndClose(const TuneResult& result)
{
    if (finished_) return;
    finished_ = true;
    Report(this, result);
    if (result.message != LinkMessage::kNoRadio) session_.EndVisit(false);
    QDialog::reject();
}

void CDlgTuneSubItem::Finish(bool keep)
{
    if (finished_) return;
    TransmitOff();
    finished_ = true;
    const TuneResult r = session_.EndVisit(keep);
    if (!r.ok) Report(this, r);
}

void CDlgTuneSubItem::accept()
{
    Finish(true);
    QDialog::accept();
}

void CDlgTuneSubItem::reject()
{
    Finish(false);
    QDialog::reject();
}

}  // namespace rv
