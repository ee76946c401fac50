#include "shell/DlgAbout.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "base/Settings.h"
#include "base/TextFormat.h"
#include "ui/FormBuilder.h"
#include "ui/QtText.h"

namespace rv {

CDlgAbout::CDlgAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName("DlgAbout");
    SetControlId(this, kFormId);
    setWindowTitle(UiText(ShellText::kAboutCaption, "About rvcps"));

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    auto* title = new QLabel(UiText(ShellText::kProgramTitle, "rvcps"), this);
    QFont big = title->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    title->setFont(big);
    const QString version = QApplication::applicationVersion();
    auto* versionLabel = new QLabel(
        ToQ(FormatTextString(TextOr(Settings().LoadText(ShellText::kAboutVersion), "Version %s"),
                             FromQ(version))),
        this);
    versionLabel->setObjectName("AboutVersion");
    auto* text = new QLabel(UiText(ShellText::kAboutText,
                                   "Programs the RV family of hand-held radios: reads and writes "
                                   "the radio's configuration, keeps it in data files and prints "
                                   "it."),
                            this);
    text->setWordWrap(true);

    auto* texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(versionLabel);
    texts->addWidget(text);
    texts->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(texts, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(UiText(ShellText::kOk, "OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

}  // namespace rv
