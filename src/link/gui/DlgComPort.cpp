#include "link/gui/DlgComPort.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/IniFile.h"
#include "base/Settings.h"
#include "link/PortNames.h"
#include "link/PortProbe.h"
#include "link/Transfer.h"
#include "ui/FormBuilder.h"
#include "ui/GuiCommands.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

namespace {

/// Button id of the device path choice in the group (port numbers are 1 to 16).
constexpr int kPathId = 100;

/// Why a port cannot be chosen, as the screen says it.
QString ReasonText(const PortChoice& port)
{
    if (port.device.empty()) return UiText(ComPortText::kNoDevice, "not present");
    switch (port.error) {
        case PortError::None:
            return {};
        case PortError::Busy:
            return UiText(ComPortText::kBusy, "in use by another program");
        case PortError::AccessDenied:
            return UiText(ComPortText::kNoAccess, "no permission (join the dialout group)");
        case PortError::NotFound:
            return UiText(ComPortText::kNoDevice, "not present");
        default:
            return UiText(ComPortText::kCannotOpen, "cannot be opened");
    }
}

QString PinnedMark()
{
    return UiText(ComPortText::kPinned, "(set in Settings.ini)");
}

}  // namespace

CDlgComPort::CDlgComPort(int storedPort, QWidget* parent) : QDialog(parent), ports_(ProbePorts())
{
    setObjectName("DlgComPort");
    SetControlId(this, ComPortText::kCaption);  // F1 opens the screen's help topic
    setWindowTitle(UiText(ComPortText::kCaption, "Communication Port"));

    auto* box = new QGroupBox(UiText(ComPortText::kGroup, "Port of the programming cable"), this);
    box->setAccessibleName(box->title());
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(18);
    group_ = new QButtonGroup(this);
    group_->setExclusive(true);
    constexpr int kRows = kMaxPortNumber / 2;
    for (const PortChoice& port : ports_) {
        QString label = QStringLiteral("COM%1").arg(port.number);
        auto* button = new QRadioButton(label, box);
        button->setObjectName(QStringLiteral("port%1").arg(port.number));
        button->setAccessibleName(label);
        auto* detail = new QLabel(box);
        detail->setObjectName(QStringLiteral("device%1").arg(port.number));
        QString device = QString::fromStdString(port.device);
        if (port.pinned) device += QLatin1Char(' ') + PinnedMark();
        if (port.Usable()) {
            detail->setText(device);
        } else {
            detail->setText(port.device.empty() ? ReasonText(port)
                                                : device + QStringLiteral(": ") + ReasonText(port));
            detail->setEnabled(false);
            button->setEnabled(false);
        }
        detail->setAccessibleName(detail->text());
        detail->setToolTip(detail->text());
        button->setToolTip(detail->toolTip());
        group_->addButton(button, port.number);
        const int row = (port.number - 1) % kRows;
        const int column = (port.number - 1) / kRows * 2;
        grid->addWidget(button, row, column);
        grid->addWidget(detail, row, column + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    // A device the list does not show (more than sixteen, or one elsewhere than /dev/tty*).
    pathChoice_ = new QRadioButton(UiText(ComPortText::kDevicePath, "Device path:"), box);
    pathChoice_->setObjectName("pathChoice");
    pathChoice_->setAccessibleName(pathChoice_->text());
    group_->addButton(pathChoice_, kPathId);
    path_ = new QLineEdit(box);
    path_->setObjectName("devicePath");
    path_->setPlaceholderText(UiText(ComPortText::kPathHint, "for example /dev/ttyUSB0"));
    path_->setAccessibleName(pathChoice_->text());
    path_->setClearButtonEnabled(true);
    grid->addWidget(pathChoice_, kRows, 0);
    grid->addWidget(path_, kRows, 1, 1, 3);
    connect(path_, &QLineEdit::textEdited, this, [this] {
        pathChoice_->setChecked(true);
        UpdateMeaning();
    });
    connect(group_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on) UpdateMeaning();
    });

    meaning_ = new QLabel(this);
    meaning_->setObjectName("meaning");
    meaning_->setWordWrap(true);

    // The stored port is chosen only when it can be opened now; otherwise nothing is.
    if (storedPort >= 1 && storedPort <= kMaxPortNumber && ports_[storedPort - 1].Usable())
        group_->button(storedPort)->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(UiText(ShellText::kOk, "OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(UiText(ShellText::kCancel, "Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgComPort::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(meaning_);
    layout->addWidget(buttons);
    UpdateMeaning();
}

int CDlgComPort::NumberForPath(const std::string& path) const
{
    // "3" and "COM3" name a number as everywhere else a port is given.
    int number = 0;
    ResolvePort(path, number);
    if (number >= 1 && number <= kMaxPortNumber) return number;
    for (const PortChoice& port : ports_)
        if (port.device == path) return port.number;
    for (const PortChoice& port : ports_)
        if (port.device.empty()) return port.number;
    return 0;
}

void CDlgComPort::UpdateMeaning()
{
    const int id = group_->checkedId();
    QString text;
    if (id == kPathId) {
        const std::string path = path_->text().trimmed().toStdString();
        const int number = path.empty() ? 0 : NumberForPath(path);
        if (path.empty())
            text = UiText(ComPortText::kPathEmpty, "Type the path of the serial device.");
        else if (number > 0)
            text = ToQ(FormatTextNumber(
                FormatTextString(TextOr(Settings().LoadText(ComPortText::kPathMeans),
                                        "%s is remembered as COM%d"),
                                 path),
                number));
    } else if (id >= 1 && id <= kMaxPortNumber) {
        const PortChoice& port = ports_[static_cast<size_t>(id) - 1];
        text = ToQ(FormatTextString(
            FormatTextNumber(TextOr(Settings().LoadText(ComPortText::kMeans), "COM%d means %s"),
                             id),
            port.device));
        if (port.pinned) text += QLatin1Char(' ') + PinnedMark();
    } else {
        text = UiText(ComPortText::kNoneChosen,
                      "No port is chosen: the radio is looked for on every port.");
    }
    meaning_->setText(text);
    meaning_->setAccessibleName(text);
}

int CDlgComPort::SelectedPort() const
{
    const int id = group_->checkedId();
    if (id == kPathId) return pathNumber_;
    return id > 0 ? id : 0;
}

void CDlgComPort::accept()
{
    if (group_->checkedId() != kPathId) {
        QDialog::accept();
        return;
    }
    const std::string path = path_->text().trimmed().toStdString();
    auto refuse = [this](const QString& text) {
        Prompt().Show(this, text, CPrompt::Icon::Warning);
        path_->setFocus();
    };
    if (path.empty()) {
        refuse(UiMessage(ComPortMessage::kTypePath,
                         "Type the path of the serial device of the programming cable (for "
                         "example /dev/ttyUSB0), or choose one of the listed ports."));
        return;
    }
    // "3" and "COM3" choose that number as everywhere else a port is given.
    int given = 0;
    ResolvePort(path, given);
    if (given > kMaxPortNumber) {
        refuse(ToQ(NoRadioResult(PortError::NotFound, path).Text()));
        return;
    }
    const int number = NumberForPath(path);
    const bool listed = given > 0 || (number > 0 && !ports_[number - 1].device.empty());
    if (!listed) {
        // A new device must open now, and gets the first number that names no device.
        if (const PortError error = ProbeDevice(path); error != PortError::None) {
            refuse(ToQ(NoRadioResult(error, path).Text()));
            return;
        }
        if (number == 0) {
            refuse(ToQ(Settings().LoadMessage(ComPortMessage::kNoFreeNumber, {path})));
            return;
        }
        const std::string& file = Settings().SettingsPath();
        if (!CIniFile::WriteString(file, kPortsSection, PortKey(number), path)) {
            refuse(ToQ(Settings().LoadMessage(ComPortMessage::kCannotPin, {file})));
            return;
        }
    }
    pathNumber_ = number;
    QDialog::accept();
}

void RunComPort(IMainShell& shell)
{
    CDlgComPort dialog(Settings().ComPort(), shell.Window());
    if (dialog.exec() != QDialog::Accepted) return;
    // With no port chosen 0 is stored: the next connection then searches every port.
    Settings().SetComPort(dialog.SelectedPort());
    shell.RefreshStatusBar();
}

}  // namespace rv
