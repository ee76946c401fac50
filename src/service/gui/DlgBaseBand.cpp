#include "service/gui/DlgBaseBand.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/ComboHelpers.h"
#include "ui/FormBuilder.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

namespace {

void Report(QWidget* parent, const TuneResult& r)
{
    if (r.message)
        Prompt().Show(parent, ToQ(r.Text()),
                      r.ok ? CPrompt::Icon::Information : CPrompt::Icon::Warning);
}

}  // namespace

CDlgBaseBand::CDlgBaseBand(CRadioProtocol& link, CTuneBlock& block, QWidget* parent)
    : QDialog(parent), link_(link), block_(block)
{
    setWindowTitle(UiText(BaseBandText::kTitle, "Base Band"));
    SetControlId(this, BaseBandText::kTitle);
    auto* layout = new QVBoxLayout(this);
    allow_ = new QCheckBox(UiText(BaseBandText::kAllow, "Allow Base Band Tune"), this);
    allow_->setAccessibleName(allow_->text());
    allow_->setChecked(BaseBandAllowed(block_));
    layout->addWidget(allow_);

    auto* pages = new QHBoxLayout;
    rx_ = new QRadioButton(UiText(BaseBandText::kRx, "RX"), this);
    tx_ = new QRadioButton(UiText(BaseBandText::kTx, "TX"), this);
    rx_->setAccessibleName(rx_->text());
    tx_->setAccessibleName(tx_->text());
    tx_->setChecked(true);
    pages->addWidget(rx_);
    pages->addWidget(tx_);
    pages->addStretch();
    layout->addLayout(pages);

    auto* box = new QGroupBox(this);
    auto* grid = new QGridLayout(box);
    pageLabel_ = new QLabel(box);
    QFont bold = pageLabel_->font();
    bold.setBold(true);
    pageLabel_->setFont(bold);
    grid->addWidget(pageLabel_, 0, 0, 1, 4);
    int choices = 0, switches = 0;
    for (const BaseBandControl& c : kBaseBandControls) {
        if (c.isSwitch) {
            auto* check = new QCheckBox(UiText(c.id, ""), box);
            check->setAccessibleName(check->text());
            switches_[c.id] = check;
            const int row = 1 + (choices + 1) / 2 + switches / 2;
            grid->addWidget(check, row, (switches % 2) * 2, 1, 2);
            ++switches;
            connect(check, &QCheckBox::clicked, this, [this, id = c.id] { edited_.insert(id); });
        } else {
            auto* label = new QLabel(UiText(c.id - 1, ""), box);
            auto* combo = new QComboBox(box);
            FillComboBox(combo, c.id);
            combo->setAccessibleName(label->text());
            label->setBuddy(combo);
            combos_[c.id] = combo;
            labels_[c.id] = label;
            const int row = 1 + choices / 2;
            grid->addWidget(label, row, (choices % 2) * 2);
            grid->addWidget(combo, row, (choices % 2) * 2 + 1);
            ++choices;
            connect(combo, &QComboBox::activated, this, [this, id = c.id] { edited_.insert(id); });
        }
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addWidget(box);

    auto* buttons = new QHBoxLayout;
    read_ = new QPushButton(UiText(BaseBandText::kRead, "READ"), this);
    write_ = new QPushButton(UiText(BaseBandText::kWrite, "WRITE"), this);
    auto* cancel = new QPushButton(UiText(ShellText::kCancel, "Cancel"), this);
    for (QPushButton* b : {read_, write_, cancel}) {
        b->setAccessibleName(b->text());
        buttons->addWidget(b);
    }
    buttons->insertStretch(0);
    layout->addLayout(buttons);

    connect(allow_, &QCheckBox::toggled, this, &CDlgBaseBand::UpdateEnabling);
    connect(rx_, &QRadioButton::clicked, this, [this] { ChoosePage(BaseBandPage::Rx); });
    connect(tx_, &QRadioButton::clicked, this, [this] { ChoosePage(BaseBandPage::Tx); });
    connect(read_, &QPushButton::clicked, this, &CDlgBaseBand::Read);
    connect(write_, &QPushButton::clicked, this, &CDlgBaseBand::Write);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    ShowPage();
}

void CDlgBaseBand::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (readOnShow_) {
        readOnShow_ = false;
        // The radio is read once the screen stands, so that its message shows over it.
        QTimer::singleShot(0, this, &CDlgBaseBand::Read);
    }
}

QComboBox* CDlgBaseBand::Combo(int id) const
{
    const auto it = combos_.find(id);
    return it == combos_.end() ? nullptr : it->second;
}

QCheckBox* CDlgBaseBand::Switch(int id) const
{
    const auto it = switches_.find(id);
    return it == switches_.end() ? nullptr : it->second;
}

void CDlgBaseBand::ShowPage()
{
    const QString caption = page_ == BaseBandPage::Tx ? tx_->text() : rx_->text();
    pageLabel_->setText(caption);
    for (const BaseBandControl& c : kBaseBandControls) {
        const std::optional<uint32_t> value = GetBaseBandValue(block_, page_, c.id);
        if (!value) {
            // No bits on this page (the control is disabled): a choice shows nothing.
            if (!c.isSwitch) combos_[c.id]->setCurrentIndex(-1);
            continue;
        }
        if (c.isSwitch) {
            switches_[c.id]->setChecked(*value != 0);
        } else if (!SelectComboValue(combos_[c.id], static_cast<int>(*value))) {
            combos_[c.id]->setCurrentIndex(-1);  // a stored value the list lacks
        }
    }
    edited_.clear();
    UpdateEnabling();
}

// Only what the user changed is stored: a value the list lacks stays as it is.
void CDlgBaseBand::StorePage(BaseBandPage page)
{
    for (int id : edited_) {
        if (QCheckBox* check = Switch(id)) {
            SetBaseBandValue(block_, page, id, check->isChecked() ? 1 : 0);
        } else if (QComboBox* combo = Combo(id)) {
            const int value = ComboValue(combo);
            if (value >= 0) SetBaseBandValue(block_, page, id, static_cast<uint32_t>(value));
        }
    }
    edited_.clear();
}

void CDlgBaseBand::UpdateEnabling()
{
    const bool allowed = allow_->isChecked();
    rx_->setEnabled(allowed);
    tx_->setEnabled(allowed);
    for (const BaseBandControl& c : kBaseBandControls) {
        const bool on = BaseBandEnabled(c, page_, allowed);
        if (c.isSwitch) {
            switches_[c.id]->setEnabled(on);
        } else {
            combos_[c.id]->setEnabled(on);
            labels_[c.id]->setEnabled(on);
        }
    }
}

void CDlgBaseBand::ChoosePage(BaseBandPage page)
{
    (page == BaseBandPage::Tx ? tx_ : rx_)->setChecked(true);
    if (page == page_) return;
    StorePage(page_);
    page_ = page;
    ShowPage();
}

void CDlgBaseBand::Read()
{
    const TuneResult r = ReadBaseBand(link_, block_);
    Report(this, r);
    if (r.ok) ShowPage();
}

void CDlgBaseBand::Write()
{
    StorePage(page_);
    Report(this, WriteBaseBand(link_, block_));
}

}  // namespace rv
