#pragma once
// The personality view: one personality at a time on the personality sheet, moved between the
// personalities by the record commands. The active page is remembered from one personality
// view to the next.

#include "editors/personality/PersonalityData.h"
#include "editors/personality/gui/PersonalitySheet.h"
#include "ui/ListItemView.h"

namespace rv {

class CViewPersonality : public CListItemViewOf<CPersonalityData, CPersonalitySheet> {
    Q_OBJECT
public:
    /// Opens on the first personality (an empty list first gets a default personality); the
    /// Signaling page belongs to the model that has transmit signalling.
    explicit CViewPersonality(QWidget* parent = nullptr);
};

}  // namespace rv
