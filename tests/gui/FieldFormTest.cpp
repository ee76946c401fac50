// A single-record view made of a field table and a form layout only: the VOX record shown in
// the controls bound by key, written back with only the fields the user changed.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <array>

#include "base/Settings.h"
#include "editors/emergency/EmergencyFieldTable.h"
#include "editors/general/VoxFieldTable.h"
#include "support/TestSupport.h"
#include "ui/FieldForm.h"

namespace rv {
namespace {

constexpr int kForm = 4420;
constexpr FormRow kRows[] = {
    {4427, ControlKind::Check, "VOX Inhibit On Receive"},
    {4429, ControlKind::Label, "VOX Gain Level"},
    {4430, ControlKind::Combo, ""},
    {4428, ControlKind::Check, "VOX Proceed Tone"},
    {4431, ControlKind::Label, "VOX Delay Time[s]"},
    {4432, ControlKind::Combo, ""},
};
constexpr FieldControl kFields[] = {
    {4427, "inhibit_on_receive"},
    {4430, "gain_level"},
    {4428, "proceed_tone"},
    {4432, "delay_time"},
};

class VoxFormView : public test::HomeTest {
protected:
    /// A VOX view on `record` (two bytes kept by the test).
    std::unique_ptr<CRecordFormView> Open()
    {
        return std::make_unique<CRecordFormView>(kForm, kVoxFieldTable, kRows, kFields,
                                                 [this] { return std::span<uint8_t>(record); });
    }
    std::string Text(std::string_view key) const
    {
        return GetText(*FindField(kVoxFieldTable, key), record, Settings());
    }
    template <class T>
    T* Get(const CRecordFormView& view, int id) const
    {
        return view.Controls().Get<T>(id);
    }
    std::array<uint8_t, 2> record{};
};

struct StoredVox {
    const char* name;
    std::array<uint8_t, 2> bytes;
};

class VoxFormLooking : public VoxFormView, public ::testing::WithParamInterface<StoredVox> {};

// Opening, showing and storing without an edit gives every byte back as it was, unused bits
// and values no entry has included.
TEST_P(VoxFormLooking, ShowsEveryFieldAndStoresTheBytesUnchanged)
{
    record = GetParam().bytes;
    auto view = Open();
    EXPECT_EQ(Get<QCheckBox>(*view, 4427)->isChecked(), (record[0] & 0x01) != 0);
    EXPECT_EQ(Get<QCheckBox>(*view, 4428)->isChecked(), (record[0] & 0x10) != 0);
    EXPECT_EQ(Get<QComboBox>(*view, 4430)->currentText().toStdString(), Text("gain_level"));
    EXPECT_EQ(Get<QComboBox>(*view, 4432)->currentText().toStdString(), Text("delay_time"));
    view->Store();
    view->Reload();
    view->Store();
    EXPECT_EQ(record, GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Records, VoxFormLooking,
                         ::testing::Values(StoredVox{"Zero", {0x00, 0x00}},
                                           StoredVox{"Typical", {0x13, 0x05}},
                                           StoredVox{"AllSet", {0xFF, 0xFF}},
                                           StoredVox{"DelayNoEntryHas", {0x04, 0xEE}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VoxFormView, StoresOnlyTheFieldTheUserChanged)
{
    record = {0xE5, 0x05};  // bits 5 to 7 of byte 0 are no field: they stay
    auto view = Open();
    auto* delay = Get<QComboBox>(*view, 4432);
    ASSERT_GT(delay->count(), 2);
    const int other = delay->currentIndex() == 1 ? 2 : 1;
    delay->setCurrentIndex(other);
    view->Store();
    EXPECT_EQ(record[0], 0xE5);
    EXPECT_NE(record[1], 0x05);
    EXPECT_EQ(Text("delay_time"), delay->itemText(other).toStdString());

    Get<QCheckBox>(*view, 4427)->setChecked(false);
    view->Store();
    EXPECT_EQ(record[0], 0xE4);
    view->Reload();
    EXPECT_FALSE(Get<QCheckBox>(*view, 4427)->isChecked());
    EXPECT_EQ(delay->currentIndex(), other);
}

// A number box bound to a numeric field takes the range of the field's list: a number typed
// beyond the range is held to its end, and a stored number outside the range stays stored
// until the user changes the box.
TEST_F(VoxFormView, NumberBoxKeepsToTheRangeOfItsField)
{
    constexpr int kDuration = 7328;  // "Alarm Duration[s]", 1 to 255
    constexpr FormRow rows[] = {
        {7327, ControlKind::Label, "Alarm Duration[s]"},
        {kDuration, ControlKind::Number, ""},
    };
    constexpr FieldControl fields[] = {{kDuration, "alarm_duration"}};
    const size_t at = FindField(kEmergencyFieldTable, "alarm_duration")->def->offset;
    std::vector<uint8_t> bytes(kEmergencyFieldTable.recordSize, 0xFF);
    const auto open = [&] {
        return std::make_unique<CRecordFormView>(kDuration, kEmergencyFieldTable, rows, fields,
                                                 [&] { return std::span<uint8_t>(bytes); });
    };

    bytes[at] = 10;
    auto view = open();
    auto* box = view->Controls().Get<CRangeSpinBox>(kDuration);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->StoredValue(), 10);
    box->setValue(300);
    view->Store();
    EXPECT_EQ(bytes[at], 255);
    box->setValue(0);
    view->Store();
    EXPECT_EQ(bytes[at], 1);

    bytes[at] = 0;  // no number of the range stores 0
    view = open();
    view->Store();
    EXPECT_EQ(bytes[at], 0);
}

}  // namespace
}  // namespace rv
