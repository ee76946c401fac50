#include "ui/ComboHelpers.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "base/Settings.h"
#include "ui/QtText.h"

namespace rv {

void FillComboBox(QComboBox* combo, const std::vector<ChoiceEntry>& entries)
{
    QSignalBlocker block(combo);
    combo->clear();
    for (const ChoiceEntry& e : entries) combo->addItem(ToQ(e.text), e.value);
}

void FillComboBox(QComboBox* combo, int listId)
{
    FillComboBox(combo, Settings().ChoiceEntries(listId));
}

bool SelectComboValue(QComboBox* combo, int value)
{
    const int index = combo->findData(value);
    combo->setCurrentIndex(index);
    return index >= 0;
}

int ComboValue(const QComboBox* combo, int none)
{
    const QVariant data = combo->currentData();
    return data.isValid() ? data.toInt() : none;
}

void FillItemCombo(QComboBox* combo, const std::vector<ItemEntry>& entries)
{
    QSignalBlocker block(combo);
    combo->clear();
    for (const ItemEntry& e : entries) combo->addItem(ToQ(e.text), QVariant::fromValue(e.id));
}

bool SelectItemById(QComboBox* combo, uint32_t id)
{
    const int index = combo->findData(QVariant::fromValue(id));
    combo->setCurrentIndex(index);
    return index >= 0;
}

uint32_t SelectedItemId(const QComboBox* combo)
{
    const QVariant data = combo->currentData();
    return data.isValid() ? data.value<uint32_t>() : 0;
}

}  // namespace rv
