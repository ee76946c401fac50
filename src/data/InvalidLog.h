#pragma once
// The invalid log: the list of broken references between items (two columns, name and
// message), keyed so that the item that logged an entry can withdraw it again.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/Notice.h"

namespace rv {

class CInvalidLog {
public:
    struct Row {
        uint32_t key = 0;
        std::string name;
        std::string message;
        int field = 0;  ///< control id of the field that holds the broken reference
    };

    /// Adds the notice's entry unless its key is already listed or the current model hides
    /// the field (HideValue of itemTextId). Returns true when a row was added.
    bool Add(const NoticeRecord& notice);
    /// Removes the row with this key; true when there was one.
    bool Withdraw(uint32_t key);
    void Clear();
    bool Empty() const { return rows_.empty(); }
    const std::vector<Row>& Rows() const { return rows_; }
    bool Contains(uint32_t key) const { return Find(key) != nullptr; }
    /// The row with this key, nullptr when none.
    const Row* Find(uint32_t key) const;

    /// Called after every change of the rows (the main window redraws its pane).
    std::function<void()> onChanged;

private:
    void Changed();
    std::vector<Row> rows_;
};

}  // namespace rv
