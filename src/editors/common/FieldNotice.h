#pragma once
// The notice a category page raises when one of its fields was committed: every category
// editor reports a committed field the same way.

#include "data/Notice.h"

namespace rv {

/// Notice of a committed field (code 0): itemTextId = the control, name = caption of the
/// control one below it (its label), message = the page caption.
NoticeRecord FieldCommittedNotice(int controlId, int pageCaptionId, const void* sender);

}  // namespace rv
