#include "data/InvalidLog.h"

#include <algorithm>

#include "base/Settings.h"

namespace rv {

bool CInvalidLog::Add(const NoticeRecord& notice)
{
    if (Contains(notice.key)) return false;
    if (Settings().HideValue(static_cast<int>(notice.itemTextId)) != 0) return false;
    rows_.push_back({notice.key, notice.name, notice.message, static_cast<int>(notice.itemTextId)});
    Changed();
    return true;
}

bool CInvalidLog::Withdraw(uint32_t key)
{
    auto it = std::find_if(rows_.begin(), rows_.end(), [key](const Row& r) { return r.key == key; });
    if (it == rows_.end()) return false;
    rows_.erase(it);
    Changed();
    return true;
}

void CInvalidLog::Clear()
{
    if (rows_.empty()) return;
    rows_.clear();
    Changed();
}

const CInvalidLog::Row* CInvalidLog::Find(uint32_t key) const
{
    auto it = std::find_if(rows_.begin(), rows_.end(), [key](const Row& r) { return r.key == key; });
    return it == rows_.end() ? nullptr : &*it;
}

void CInvalidLog::Changed()
{
    if (onChanged) onChanged();
}

}  // namespace rv
