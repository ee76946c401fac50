// Forms built from a table: labels, captions, choice lists, ranges and hide values from the
// language file, English defaults where it has no text, and the combo helpers.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "base/IniFile.h"
#include "base/Settings.h"
#include "support/TestSupport.h"
#include "ui/ComboHelpers.h"
#include "ui/FormBuilder.h"

namespace rv {
namespace {

constexpr int kForm = 39000;
constexpr FormRow kRows[] = {
    {39001, ControlKind::Label, "Power"},
    {39002, ControlKind::Edit, ""},
    {39003, ControlKind::Label, "Squelch"},
    {39004, ControlKind::Combo, ""},
    {39010, ControlKind::Group, "Timing"},
    {39005, ControlKind::Label, "Delay"},
    {39006, ControlKind::Number, ""},
    {39007, ControlKind::Check, "Beep"},
    {0, ControlKind::EndGroup, ""},
    {0, ControlKind::Column, ""},
    {39008, ControlKind::Button, "Reset"},
    {39009, ControlKind::List, ""},
    {39011, ControlKind::Label, "Orphan label"},
};

class FormBuilderTest : public test::HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        Set("S0239000", "Test Form");
        Set("S0239001", "Output Power");
        Set("S0239004", "0.Open;1.Low;2.High");
        Set("S0239006", "1250:625:2500:1000:0:1:3");
        Set("S0239009", "3.Three;7.Seven");
        ASSERT_TRUE(
            CIniFile::WriteString(home.Path("QTX_E.lng"), Settings().ModelID(), "S0039007", "1"));
        Settings().Init(home.Dir());
        controls = BuildForm(&form, kForm, kRows);
    }
    void Set(const char* key, const char* value)
    {
        ASSERT_TRUE(CIniFile::WriteString(home.Path("QTX_E.lng"), "Setting", key, value));
    }
    QWidget form;
    CFormControls controls;
};

TEST_F(FormBuilderTest, TextsComeFromTheLanguageFileOrStayEnglish)
{
    EXPECT_EQ(form.windowTitle(), "Test Form");
    EXPECT_EQ(controls.Get<QLabel>(39001)->text(), "Output Power");
    EXPECT_EQ(controls.Get<QLabel>(39003)->text(), "Squelch");
    EXPECT_EQ(controls.Get<QGroupBox>(39010)->title(), "Timing");
    EXPECT_EQ(controls.Get<QPushButton>(39008)->text(), "Reset");
    EXPECT_EQ(controls.Get<QLabel>(39011)->text(), "Orphan label");
    // Labels sit beside their fields.
    EXPECT_EQ(controls.LabelOf(39002), controls.Get<QLabel>(39001));
    EXPECT_EQ(controls.Get<QLabel>(39001)->buddy(), controls.Control(39002));
    EXPECT_EQ(controls.LabelOf(39008), nullptr);
    EXPECT_EQ(controls.Ids().size(), 11u);  // every row but EndGroup and Column
}

TEST_F(FormBuilderTest, ChoiceListsFillCombosAndListsWithTheirValues)
{
    auto* combo = controls.Get<QComboBox>(39004);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_TRUE(SelectComboValue(combo, 2));
    EXPECT_EQ(combo->currentText(), "High");
    EXPECT_EQ(ComboValue(combo), 2);
    EXPECT_FALSE(SelectComboValue(combo, 9));
    EXPECT_EQ(ComboValue(combo), -1);

    auto* list = controls.Get<QListWidget>(39009);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), "Seven");
    EXPECT_EQ(list->item(1)->data(Qt::UserRole).toInt(), 7);
}

TEST_F(FormBuilderTest, RetranslatingKeepsTheChosenValue)
{
    auto* combo = controls.Get<QComboBox>(39004);
    SelectComboValue(combo, 1);
    Set("S0239004", "2.Hoch;1.Niedrig;0.Offen");
    Set("S0239001", "Leistung");
    Settings().Init(home.Dir());
    TranslateDialog(&form, kForm);
    EXPECT_EQ(combo->currentText(), "Niedrig");
    EXPECT_EQ(ComboValue(combo), 1);
    EXPECT_EQ(controls.Get<QLabel>(39001)->text(), "Leistung");
}

TEST_F(FormBuilderTest, NumbersFollowTheRangeDescriptor)
{
    auto* spin = controls.Get<CRangeSpinBox>(39006);
    ASSERT_NE(spin, nullptr);
    ASSERT_TRUE(spin->Descriptor());
    EXPECT_EQ(spin->decimals(), 3);
    EXPECT_DOUBLE_EQ(spin->minimum(), 1.25);
    EXPECT_DOUBLE_EQ(spin->maximum(), 2.5);
    spin->SetStoredValue(1);
    EXPECT_DOUBLE_EQ(spin->value(), 1.875);
    EXPECT_EQ(spin->StoredValue(), 1);
    spin->setValue(2.4);  // between two items: the nearest
    EXPECT_EQ(spin->StoredValue(), 2);
}

TEST_F(FormBuilderTest, HiddenControlsStayDisabled)
{
    auto* beep = controls.Get<QCheckBox>(39007);
    EXPECT_EQ(beep->text(), "Beep");
    EXPECT_FALSE(beep->isEnabled());
    EXPECT_TRUE(IsControlHidden(beep));
    EnableControl(beep, true);
    EXPECT_FALSE(beep->isEnabled());

    auto* edit = controls.Get<QLineEdit>(39002);
    EnableControl(edit, false);
    EXPECT_FALSE(edit->isEnabled());
    EnableControl(edit, true);
    EXPECT_TRUE(edit->isEnabled());
}

TEST_F(FormBuilderTest, HelpTopicsRunFromTheControlToTheForm)
{
    QWidget* delay = controls.Control(39006);
    EXPECT_EQ(ControlIdChain(delay), (std::vector<int>{39006, 39010, kForm}));
    EXPECT_EQ(ControlIdChain(nullptr), std::vector<int>{});
    EXPECT_EQ(ControlIdOf(controls.Control(39002)), 39002);
}

TEST(ComboHelpersTest, ItemCombosCarryIdentities)
{
    QComboBox combo;
    FillItemCombo(&combo, {{"CH1", 65735}, {"CH3", 66135}});
    EXPECT_TRUE(SelectItemById(&combo, 66135));
    EXPECT_EQ(combo.currentText(), "CH3");
    EXPECT_EQ(SelectedItemId(&combo), 66135u);
    EXPECT_FALSE(SelectItemById(&combo, 1));
    EXPECT_EQ(SelectedItemId(&combo), 0u);
}

}  // namespace
}  // namespace rv
