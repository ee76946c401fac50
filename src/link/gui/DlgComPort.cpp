#include "link/gui/DlgComPort.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "link/PortNames.h"
#include "link/PortProbe.h"
#include "ui/GuiCommands.h"
#include "base/Settings.h"
#include "ui/QtText.h"

namespace rv {

namespace {

/// Why a port cannot be chosen, as the screen says it.
QString ReasonText(const PortChoice& port)
{
    if (port.device.empty()) return UiText(ComPortText::kNoDevice, "not present");
    switch (port.error) {
    case PortError::None: return {};
    case PortError::Busy: return UiText(ComPortText::kBusy, "in use by another program");
    case PortError::AccessDenied:
        return UiText(ComPortText::kNoAccess, "no permission (join the dialout group)");
    case PortError::NotFound: return UiText(ComPortText::kNoDevice, "not present");
    default: return UiText(ComPortText::kCannotOpen, "cannot be opened");
    }
}

}  // namespace

CDlgComPort::CDlgComPort(int storedPort, QWidget* parent) : QDialog(parent), ports_(ProbePorts())
{
    setObjectName("DlgComPort");
    setWindowTitle(UiText(ComPortText::kCaption, "Communication Port"));

    auto* box = new QGroupBox(UiText(ComPortText::kGroup, "Port of the programming cable"), this);
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(18);
    group_ = new QButtonGroup(this);
    group_->setExclusive(true);
    constexpr int kRows = kMaxPortNumber / 2;
    for (const PortChoice& port : ports_) {
        QString label = QStringLiteral("COM%1").arg(port.number);
        auto* button = new QRadioButton(label, box);
        button->setObjectName(QStringLiteral("port%1").arg(port.number));
        auto* detail = new QLabel(box);
        detail->setObjectName(QStringLiteral("device%1").arg(port.number));
        if (port.Usable()) {
            detail->setText(QString::fromStdString(port.device));
        } else {
            detail->setText(ReasonText(port));
            detail->setEnabled(false);
            button->setEnabled(false);
        }
        detail->setToolTip(port.device.empty() ? detail->text()
                                               : QString::fromStdString(port.device));
        button->setToolTip(detail->toolTip());
        group_->addButton(button, port.number);
        const int row = (port.number - 1) % kRows;
        const int column = (port.number - 1) / kRows * 2;
        grid->addWidget(button, row, column);
        grid->addWidget(detail, row, column + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    // The stored port is chosen only when it can be opened now; otherwise nothing is.
    if (storedPort >= 1 && storedPort <= kMaxPortNumber && ports_[storedPort - 1].Usable())
        group_->button(storedPort)->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(UiText(ShellText::kOk, "OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(UiText(ShellText::kCancel, "Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(buttons);
}

int CDlgComPort::SelectedPort() const
{
    const int id = group_->checkedId();
    return id > 0 ? id : 0;
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
