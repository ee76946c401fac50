#include "ui/LogPane.h"

#include <QDateTime>
#include <QHeaderView>

#include "base/CommandIds.h"
#include "ui/FormBuilder.h"
#include "ui/QtText.h"

namespace rv {

CLogPane::CLogPane(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName("LogPane");
    SetControlId(this, Id(Command::LogView));
    setColumnCount(3);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    header()->setStretchLastSection(true);
    Retranslate();
    setColumnWidth(0, 140);
    setColumnWidth(1, 200);
}

void CLogPane::Retranslate()
{
    setHeaderLabels({UiText(ShellText::kLogTime, "Time"),
                     UiText(ShellText::kLogOperation, "Operation"),
                     UiText(ShellText::kLogResult, "Result")});
}

void CLogPane::AddEvent(const QString& operation, const QString& result)
{
    const QString time = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss");
    auto* item = new QTreeWidgetItem(this, {time, operation, result});
    // A long operation (a file's path) or result is read whole in its tool tip.
    item->setToolTip(1, operation);
    item->setToolTip(2, result);
    while (topLevelItemCount() > kMaxRows) delete takeTopLevelItem(0);
    scrollToItem(item);
}

}  // namespace rv
