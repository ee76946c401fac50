#include "ui/InvalidLogPane.h"

#include <QHeaderView>

#include "base/CommandIds.h"
#include "data/InvalidLog.h"
#include "ui/FormBuilder.h"
#include "ui/QtText.h"

namespace rv {

CInvalidLogPane::CInvalidLogPane(CInvalidLog& log, QWidget* parent) : QTreeWidget(parent), log_(log)
{
    setObjectName("InvalidLogPane");
    SetControlId(this, Id(Command::InvalidView));
    setColumnCount(2);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAlternatingRowColors(true);
    header()->setStretchLastSection(true);
    Retranslate();
    log_.onChanged = [this] { Refresh(); };
    Refresh();
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (item) emit entryActivated(item->data(0, Qt::UserRole).value<quint32>());
    });
}

CInvalidLogPane::~CInvalidLogPane()
{
    log_.onChanged = nullptr;
}

void CInvalidLogPane::Retranslate()
{
    setHeaderLabels(
        {UiText(ShellText::kInvalidName, "Name"), UiText(ShellText::kInvalidMessage, "Message")});
}

void CInvalidLogPane::Refresh()
{
    clear();
    for (const CInvalidLog::Row& row : log_.Rows()) {
        auto* item = new QTreeWidgetItem(this, {ToQ(row.name), ToQ(row.message)});
        item->setData(0, Qt::UserRole, QVariant::fromValue(row.key));
    }
    if (columnWidth(0) < 160) setColumnWidth(0, 160);
}

}  // namespace rv
