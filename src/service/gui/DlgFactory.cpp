#include "service/gui/DlgFactory.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "base/FrequencyText.h"
#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "editors/radio/RadioInfoFieldTable.h"
#include "link/SafeWrite.h"
#include "service/gui/LinkPrompt.h"
#include "ui/GuiCommands.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

namespace {

using C = CDlgFactory::Control;

constexpr FormRow kRows[] = {
    {4810, ControlKind::Label, "Model Name"},
    {C::kModelName, ControlKind::Edit, ""},
    {4814, ControlKind::Label, "Serial Number"},
    {C::kSerialNumber, ControlKind::Edit, ""},
    {4818, ControlKind::Label, "Lower Band Edge[MHz]"},
    {C::kLowerEdge, ControlKind::Edit, ""},
    {4820, ControlKind::Label, "Upper Band Edge[MHz]"},
    {C::kUpperEdge, ControlKind::Edit, ""},
    {4851, ControlKind::Label, "Frequency Range ID"},
    {C::kRangeId, ControlKind::Edit, ""},
    {4849, ControlKind::Label, "U/V Band Flag"},
    {C::kBandFlag, ControlKind::Combo, ""},
    {4847, ControlKind::Label, "Signaling Type"},
    {C::kSignalType, ControlKind::Combo, ""},
    {4853, ControlKind::Label, "Firmware Version"},
    {C::kFirmwareVersion, ControlKind::ReadOnly, ""},
    {4857, ControlKind::Label, "MODELID"},
    {C::kModelId, ControlKind::ReadOnly, ""},
};

constexpr FieldControl kFields[] = {
    {C::kModelName, "model_name"},   {C::kSerialNumber, "serial_number"},
    {C::kLowerEdge, "lower_edge"},   {C::kUpperEdge, "upper_edge"},
    {C::kRangeId, "range_id"},       {C::kBandFlag, "band_flag"},
    {C::kSignalType, "signal_type"},
};

/// Controls only the full service level may change.
constexpr int kFullServiceControls[] = {C::kBandFlag, C::kRangeId, C::kLowerEdge, C::kUpperEdge,
                                        C::kSignalType};

constexpr uint32_t kLowestEdge = 100u * 100000u;    // 100 MHz in 10 Hz units
constexpr uint32_t kHighestEdge = 1000u * 100000u;  // below 1000 MHz

/// Tool tip of Write before a Read.
constexpr int kWriteAfterReadTip = 41401;

/// The boxes whose typed text is checked before it is stored.
constexpr int kCheckedBoxes[] = {C::kModelName, C::kLowerEdge, C::kUpperEdge, C::kRangeId};

QWidget* MakeFormWidget(QWidget* parent)
{
    auto* form = new QWidget(parent);
    form->setObjectName("FactoryForm");
    return form;
}

QPushButton* MakeButton(QWidget* parent, int id, const char* english)
{
    auto* button = new QPushButton(parent);
    SetControlId(button, id, english);
    button->setText(UiText(id, english));
    button->setAccessibleName(PlainCommandText(button->text()));
    return button;
}

QString Operation()
{
    return PlainCommandText(UiText(CDlgFactory::kFormId, "Factory Mode"));
}

}  // namespace

CDlgFactory::CDlgFactory(QWidget* parent)
    : QDialog(parent),
      controls_(BuildForm(MakeFormWidget(this), kFormId, kRows)),
      binding_(kRadioInfoFieldTable, controls_, kFields)
{
    setObjectName("DlgFactory");
    setWindowTitle(UiText(kFormId, "Factory Mode"));
    auto* form = findChild<QWidget*>("FactoryForm");

    if (auto* e = controls_.Get<QLineEdit>(C::kModelName))
        e->setMaxLength(static_cast<int>(CRadioInfoBlock::Offset::kModelNameWidth));
    if (auto* e = controls_.Get<QLineEdit>(C::kSerialNumber))
        e->setMaxLength(static_cast<int>(CRadioInfoBlock::Offset::kSerialNumberWidth));
    if (auto* e = controls_.Get<QLineEdit>(C::kRangeId)) {
        e->setMaxLength(3);
        e->setValidator(new QIntValidator(0, 127, e));
    }
    for (int id : {C::kLowerEdge, C::kUpperEdge})
        if (auto* e = controls_.Get<QLineEdit>(id)) e->setMaxLength(10);
    NameFormControls(controls_);

    // Manual Tune Switch: shown, not sent to the radio.
    auto* tune = new QGroupBox(UiText(C::kManualTuneGroup, "Manual Tune Switch"), this);
    SetControlId(tune, C::kManualTuneGroup, "Manual Tune Switch");
    auto* open = new QRadioButton(UiText(C::kManualTuneOpen, "Open"), tune);
    auto* shut = new QRadioButton(UiText(C::kManualTuneClose, "Close"), tune);
    SetControlId(open, C::kManualTuneOpen, "Open");
    SetControlId(shut, C::kManualTuneClose, "Close");
    shut->setChecked(true);
    for (QRadioButton* r : {open, shut})
        r->setAccessibleName(PlainCommandText(tune->title()) + QStringLiteral(": ") +
                             PlainCommandText(r->text()));
    auto* tuneLayout = new QHBoxLayout(tune);
    tuneLayout->addWidget(open);
    tuneLayout->addWidget(shut);
    QPushButton* writeTune = MakeButton(tune, C::kWriteTuneSwitch, "Write Tune Switch");
    tuneLayout->addStretch();
    tuneLayout->addWidget(writeTune);

    QPushButton* read = MakeButton(this, C::kRead, "Read");
    QPushButton* write = MakeButton(this, C::kWrite, "Write");
    QPushButton* close = MakeButton(this, C::kClose, "Close");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(read);
    buttons->addWidget(write);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form);
    layout->addWidget(tune);
    layout->addLayout(buttons);
    setMinimumWidth(440);

    connect(read, &QPushButton::clicked, this, [this] { Read(); });
    connect(write, &QPushButton::clicked, this, [this] { Write(); });
    connect(writeTune, &QPushButton::clicked, this, [this] { WriteTuneSwitch(); });
    connect(close, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
    if (auto* e = controls_.Get<QLineEdit>(C::kModelName))
        connect(e, &QLineEdit::editingFinished, this, [this] { CheckModelName(); });

    binding_.Fill(Settings());
    ShowRecord();
    if (auto* e = controls_.Get<QLineEdit>(C::kFirmwareVersion))
        e->setText(ToQ(Settings().RadioVersion()));
    if (auto* e = controls_.Get<QLineEdit>(C::kModelId)) e->setText(ToQ(Settings().ModelID()));
    UpdateEnabling();
}

QAbstractButton* CDlgFactory::Button(int id) const
{
    for (QAbstractButton* b : findChildren<QAbstractButton*>())
        if (ControlIdOf(b) == id) return b;
    return nullptr;
}

void CDlgFactory::ShowRecord()
{
    binding_.Load(BytesOf(Radio().RadioInfo().Raw()), Settings());
    // The model name as stored, without the blanks around it; shown so, it is no edit.
    if (auto* e = controls_.Get<QLineEdit>(C::kModelName))
        e->setText(ToQ(FactoryModelName(Radio().RadioInfo())));
    binding_.TakeShown();
    for (int id : kCheckedBoxes)
        if (auto* e = controls_.Get<QLineEdit>(id)) shown_[id] = e->text();
}

void CDlgFactory::UpdateEnabling()
{
    const bool full = Settings().IsFullServiceLevel();
    for (int id : kFullServiceControls)
        if (QWidget* w = controls_.Control(id)) EnableControl(w, full);
    // Factory data are written over only after they were read from the radio in this visit.
    if (QAbstractButton* write = Button(C::kWrite)) {
        write->setEnabled(read_);
        write->setToolTip(read_ ? QString()
                                : UiText(kWriteAfterReadTip,
                                         "Read the radio first: its factory data are written "
                                         "over only after they were read in this visit."));
    }
}

bool CDlgFactory::Typed(int id) const
{
    const auto* e = controls_.Get<QLineEdit>(id);
    const auto it = shown_.find(id);
    return e && (it == shown_.end() || e->text() != it->second);
}

bool CDlgFactory::CheckModelName()
{
    auto* e = controls_.Get<QLineEdit>(C::kModelName);
    if (!e || !Typed(C::kModelName) || !e->text().trimmed().isEmpty()) return true;
    ShowMessage(this, FactoryMessage::kEmptyModelName, CPrompt::Icon::Warning);
    // Also once the message box has handed the focus back to where it came from.
    e->setFocus();
    QTimer::singleShot(0, e, [e] { e->setFocus(); });
    return false;
}

bool CDlgFactory::RefuseTyped(int id, const QString& message, bool closing)
{
    auto* e = controls_.Get<QLineEdit>(id);
    if (closing) {
        QString label = e->accessibleName();
        const std::string question = Settings().LoadMessage(FactoryMessage::kCloseWithoutValue,
                                                            {FromQ(label), FromQ(e->text())});
        if (Prompt().AskYesNo(this, ToQ(question)) == CPrompt::Answer::Yes) {
            e->setText(shown_[id]);
            return true;
        }
    } else {
        Prompt().Show(this, message, CPrompt::Icon::Warning);
    }
    e->setFocus();
    e->selectAll();
    return false;
}

bool CDlgFactory::TakeFields(bool closing)
{
    if (auto* e = controls_.Get<QLineEdit>(C::kModelName);
        e && Typed(C::kModelName) && e->text().trimmed().isEmpty()) {
        if (!closing) return CheckModelName();
        if (!RefuseTyped(C::kModelName, {}, true)) return false;
    }
    for (int id : {C::kLowerEdge, C::kUpperEdge}) {
        auto* e = controls_.Get<QLineEdit>(id);
        if (!e || !Typed(id)) continue;
        const std::optional<uint32_t> units = ExactFrequencyUnits(FromQ(e->text().trimmed()), 0);
        if (!units || *units < kLowestEdge || *units >= kHighestEdge) {
            const QString message = ToQ(Settings().LoadMessage(kBadBandEdge, {FromQ(e->text())}));
            if (!RefuseTyped(id, message, closing)) return false;
        }
    }
    if (auto* e = controls_.Get<QLineEdit>(C::kRangeId);
        e && Typed(C::kRangeId) && e->text().isEmpty()) {
        if (!RefuseTyped(C::kRangeId, ToQ(Settings().LoadMessage(kBadBandEdge + 1)), closing))
            return false;
    }
    // The name as typed, without the blanks around it.
    if (auto* e = controls_.Get<QLineEdit>(C::kModelName); e && Typed(C::kModelName))
        e->setText(e->text().trimmed());
    binding_.Store(BytesOf(Radio().RadioInfo().Raw()), Settings());
    for (int id : kCheckedBoxes)
        if (auto* e = controls_.Get<QLineEdit>(id)) shown_[id] = e->text();
    return true;
}

bool CDlgFactory::Read()
{
    RadioIdentity identity;
    LinkResult result;
    {
        CWaitCursor wait;
        result = FactoryRead(link_, Radio().RadioInfo(), identity);
    }
    if (!identity.version.empty() || !identity.modelId.empty()) {
        if (auto* e = controls_.Get<QLineEdit>(C::kFirmwareVersion))
            e->setText(ToQ(identity.version));
        if (auto* e = controls_.Get<QLineEdit>(C::kModelId)) e->setText(ToQ(identity.modelId));
    }
    if (result.Ok()) {
        ShowRecord();
        read_ = true;
        readRecord_.Raw().CopyFrom(Radio().RadioInfo().Raw().Data());
        UpdateEnabling();
    }
    ReportLinkResult(this, Operation(), result);
    return result.Ok();
}

bool CDlgFactory::Write()
{
    if (!read_ || !TakeFields()) return false;
    // The radio's factory record as it is now: the backup, and what the write changes.
    CRadioInfoBlock onRadio;
    RadioIdentity identity;
    LinkResult result;
    {
        CWaitCursor wait;
        result = FactoryReadBackup(link_, onRadio, identity);
    }
    if (!result.Ok()) {
        Prompt().Show(
            this, ToQ(Settings().LoadMessage(FactoryMessage::kBackupReadFailed, {result.Text()})),
            CPrompt::Icon::Warning);
        return false;
    }
    std::string tried;
    const std::string folder = BackupFolder(Settings().ProgramDir(), false, tried);
    const std::string saved =
        folder.empty() ? std::string() : SaveFactoryBackup(folder, onRadio, tried);
    if (saved.empty()) {
        Prompt().Show(this, ToQ(Settings().LoadMessage(FactoryMessage::kBackupNotSaved, {tried})),
                      CPrompt::Icon::Warning);
        return false;
    }
    lastBackup_ = saved;
    // Another radio on the cable, or data changed since Read: nothing is written over unseen.
    if (!SameFactoryData(onRadio, readRecord_)) {
        std::string changes;
        for (const std::string& line :
             FactoryChangeLines(onRadio, FactoryWriteRecord(Radio().RadioInfo()), Settings()))
            changes += line + "\n";
        const std::string question =
            Settings().LoadMessage(FactoryMessage::kOtherRadioData, {changes});
        if (Prompt().AskYesNo(this, ToQ(question)) != CPrompt::Answer::Yes) return false;
    }
    {
        CWaitCursor wait;
        result = FactoryWrite(link_, Radio().RadioInfo(), identity);
    }
    if (result.Ok()) readRecord_.Raw().CopyFrom(Radio().RadioInfo().Raw().Data());
    ReportLinkResult(this, Operation(), result);
    return result.Ok();
}

bool CDlgFactory::WriteTuneSwitch()
{
    LinkResult result;
    {
        CWaitCursor wait;
        result = FactoryProbe(link_);
    }
    if (!result.Ok()) ReportLinkResult(this, Operation(), result);
    return result.Ok();
}

void CDlgFactory::done(int result)
{
    if (closing_) return;
    if (!TakeFields(true)) return;
    closing_ = true;
    changes_ = ResolveFactoryClose(Radio().RadioInfo(), [this](int, const std::string& text) {
        return Prompt().AskYesNo(this, ToQ(text)) == CPrompt::Answer::Yes;
    });
    QDialog::done(result);
}

void RunFactoryMode(IMainShell& shell)
{
    if (!Settings().IsServiceLevel()) return;
    FactoryChanges changes;
    {
        CDlgFactory dialog(shell.Window());
        dialog.exec();
        changes = dialog.Changes();
    }
    if (changes.Any()) {
        ApplyFactoryChanges(
            changes, Radio().RadioInfo(), shell.Document(), [&shell](int, const std::string& text) {
                return Prompt().AskYesNo(shell.Window(), ToQ(text)) == CPrompt::Answer::Yes;
            });
    }
    shell.RefreshAll();
}

}  // namespace rv
