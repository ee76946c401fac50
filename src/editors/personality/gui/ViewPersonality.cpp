#include "editors/personality/gui/ViewPersonality.h"

#include "base/CommandIds.h"
#include "base/Settings.h"
#include "editors/personality/PersonalityRules.h"

namespace rv {

namespace {
constexpr ListItemKind<CPersonalityData> kPersonalities{
    &RadioData::Personalities, &RunPersonalityCommand, &OpenPersonalityList,
    SingleItemDelete::NoCurrent};
}  // namespace

CViewPersonality::CViewPersonality(QWidget* parent)
    : CListItemViewOf(kPersonalityFormId, Id(Command::Personality), "Personality", kPersonalities,
                      new CPersonalitySheet(Settings().IsModel(ModelText::Rv205)), parent)
{
    setObjectName("ViewPersonality");
}

}  // namespace rv
