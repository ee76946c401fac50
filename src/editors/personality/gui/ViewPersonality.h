#pragma once
// The personality view: one personality at a time on the personality sheet, moved between the
// personalities by the record commands (first, previous, next, last, add, delete, go to N).
// The active page is remembered from one personality view to the next.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "editors/personality/PersonalityData.h"
#include "ui/CustomFormView.h"
#include "ui/NavigationBar.h"

namespace rv {

class CPersonalitySheet;

class CViewPersonality : public CCustomFormView, public IRecordList {
    Q_OBJECT
public:
    /// Form number of the view (caption text and help topic).
    static constexpr int kFormId = kPersonalityFormId;

    /// Opens on the first personality (an empty list first gets a default personality).
    explicit CViewPersonality(QWidget* parent = nullptr);
    ~CViewPersonality() override;

    /// The pages load the current personality again.
    void Reload() override;
    /// The pages write back.
    void Store() override;
    /// Reloads the pages when an item was added or deleted.
    void OnNotice(const NoticeRecord& notice) override;
    /// Record commands 0 to 6 on the personality list.
    void Navigate(int command, int number) override;

    // IRecordList.
    int RecordCount() const override;
    int CurrentRecord() const override;

    /// The current personality, nullptr when none.
    CPersonalityData* Current() const;
    /// The sheet of the pages.
    CPersonalitySheet* Sheet() const { return sheet_; }
    /// Index of the page the next personality view opens on.
    static int RememberedPage();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowIndex(std::optional<size_t> index);
    void UpdateTitle();

    CPersonalitySheet* sheet_;
    uint32_t currentId_ = 0;
    size_t lastIndex_ = 0;
};

}  // namespace rv
