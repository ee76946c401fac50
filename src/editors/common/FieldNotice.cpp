#include "editors/common/FieldNotice.h"

#include "base/Settings.h"

namespace rv {

NoticeRecord FieldCommittedNotice(int controlId, int pageCaptionId, const void* sender)
{
    NoticeRecord n;
    n.sender = sender;
    n.code = NoticeCode::FieldCommitted;
    n.itemTextId = static_cast<uint32_t>(controlId);
    n.name = Settings().LoadText(controlId - 1);
    n.message = Settings().LoadText(pageCaptionId);
    return n;
}

}  // namespace rv
