#include "service/gui/LinkPrompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>

#include "ui/CustomFormView.h"
#include "ui/FormBuilder.h"
#include "ui/GuiCommands.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

QString LinkResultText(const LinkResult& result)
{
    const std::string text = result.Text();
    if (!text.empty()) return ToQ(text);
    return result.message ? QStringLiteral("#%1").arg(result.message) : QString();
}

void ReportLinkResult(QWidget* parent, const QString& operation, const LinkResult& result)
{
    CPrompt::Icon icon = CPrompt::Icon::Error;
    if (result.Ok())
        icon = CPrompt::Icon::Information;
    else if (result.status == LinkStatus::NoRadio || result.status == LinkStatus::BandMismatch)
        icon = CPrompt::Icon::Warning;
    const QString text = LinkResultText(result);
    if (IMainShell* shell = CCustomFormView::Shell()) shell->LogEvent(operation, text);
    if (!text.isEmpty()) Prompt().Show(parent, text, icon);
}

void NameFormControls(const CFormControls& controls)
{
    for (int id : controls.Ids()) {
        QWidget* control = controls.Control(id);
        if (!control || qobject_cast<QLabel*>(control) || qobject_cast<QGroupBox*>(control))
            continue;
        QString name;
        if (const QLabel* label = controls.LabelOf(id))
            name = label->text();
        else if (const auto* button = qobject_cast<QAbstractButton*>(control))
            name = button->text();
        name = PlainCommandText(name);
        if (!name.isEmpty()) control->setAccessibleName(name);
    }
}

CWaitCursor::CWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
CWaitCursor::~CWaitCursor()
{
    QApplication::restoreOverrideCursor();
}

}  // namespace rv
