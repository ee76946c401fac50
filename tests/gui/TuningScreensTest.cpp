// The Tuning, Tune Sub Item and Base Band screens and Write Tune Data against the simulated
// radio over a pseudo-terminal, with real widgets offscreen: a technician adjusts an item and
// the radio's value changes, writes base-band values and reads them back, writes the tune data.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTimer>
#include <cstring>

#include "data/RadioData.h"
#include "gui/GuiTestSupport.h"
#include "link/LinkTestSupport.h"
#include "service/TestFreqBlock.h"
#include "service/gui/DlgBaseBand.h"
#include "service/gui/DlgTuning.h"
#include "shell/TuningCommands.h"
#include "ui/ComboHelpers.h"

namespace rv {
namespace {

using sim::FaultKind;

class TuningScreens : public test::GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        SetSerialDeviceSource([] { return std::vector<std::string>{}; });
        radio = std::make_unique<sim::CRadioSim>();
        ASSERT_TRUE(radio->Start());
        CIniFile::WriteString(home.Path("Settings.ini"), "Ports",
                              "COM" + std::to_string(test::kSimPort), radio->DevicePath());
        Settings().SetComPort(test::kSimPort);
        home.SetUserLevel(kFullServiceLevel);
    }
    void TearDown() override
    {
        link.Close();
        radio.reset();
        SetSerialDeviceSource({});
        GuiTest::TearDown();
    }
    void Connect(RadioMode mode)
    {
        ASSERT_TRUE(link.ConnectDevice(radio->DevicePath(), true));
        ASSERT_TRUE(link.SetRadioMode(mode));
    }
    static void Key(QWidget* w, int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
    }
    // Requests of one command ("V" "j") received so far.
    int Count(const char* command) const { return radio->CommandCount(command); }

    std::unique_ptr<sim::CRadioSim> radio;
    CRadioProtocol link;
};

TEST_F(TuningScreens, SubItemAdjustsTheRadioAndOkKeepsTheValue)
{
    Connect(RadioMode::Adjust);
    CAdjustment session(link, Radio().Tune());
    const std::optional<TuneDefinition> def = FindTuneDefinition(Settings(), 32848);
    ASSERT_TRUE(def);
    radio->SetTuneValue(0x8050, 100);
    std::array<uint8_t, 2> value{};
    ASSERT_TRUE(session.ReadValue(0x8050, value).ok);
    const uint8_t keptNarrow = Radio().Tune().ItemValue(0x805A);

    CDlgTuneSubItem screen(session, "TX Modulation Balance", *def, value, Radio().TestFreq());
    EXPECT_EQ(screen.windowTitle(), "TX Modulation Balance");
    EXPECT_FALSE(screen.SpacingButton(TuneGroup::Middle)->isVisibleTo(&screen));
    EXPECT_TRUE(screen.SpacingButton(TuneGroup::Wide)->isEnabled());
    EXPECT_TRUE(screen.SpacingButton(TuneGroup::Narrow)->isEnabled());
    ASSERT_EQ(screen.Tabs()->count(), 5);
    EXPECT_EQ(screen.Tabs()->tabText(0), "Point 1");
    EXPECT_EQ(screen.Tabs()->tabText(4), "Point 5");
    EXPECT_EQ(screen.RxLabel()->text().toStdString(),
              CTestFreqBlock::FrequencyText(Radio().TestFreq().PointRxBcd(0)));
    EXPECT_EQ(screen.ValueBar()->value(), 100);
    EXPECT_FALSE(screen.VolumeBar()->isEnabled());
    EXPECT_EQ(Count("Va"), 0);

    // Arrow and page steps are sent at once; a drag when the thumb is released.
    Key(screen.ValueBar(), Qt::Key_Right);
    EXPECT_EQ(radio->TuneValue(0x8050), 101);
    Key(screen.ValueBar(), Qt::Key_PageUp);
    EXPECT_EQ(radio->TuneValue(0x8050), 111);
    screen.ValueBar()->setSliderDown(true);
    screen.ValueBar()->setValue(250);
    EXPECT_EQ(radio->TuneValue(0x8050), 111);
    screen.ValueBar()->setSliderDown(false);
    EXPECT_EQ(radio->TuneValue(0x8050), 250);
    EXPECT_TRUE(screen.ValueLabel()->text().endsWith("250"));

    // The transmitter switch.
    screen.TransmitSwitch()->click();
    EXPECT_EQ(radio->TestVariant(), 'a');
    EXPECT_EQ(radio->TestState(), 1);
    EXPECT_EQ(screen.TransmitSwitch()->text().toStdString(), Settings().LoadText(7091));
    screen.TransmitSwitch()->click();
    EXPECT_EQ(radio->TestState(), 0);
    EXPECT_EQ(screen.TransmitSwitch()->text().toStdString(), Settings().LoadText(7092));

    // Narrow: the narrow items, read from the radio.
    radio->SetTuneValue(0x805A, 33);
    screen.SpacingButton(TuneGroup::Narrow)->click();
    EXPECT_EQ(screen.CurrentItem(), 0x805A);
    EXPECT_EQ(screen.ValueBar()->value(), 33);
    screen.Tabs()->setCurrentIndex(2);
    EXPECT_EQ(screen.CurrentItem(), 0x805C);
    EXPECT_EQ(Radio().Tune().ItemValue(0x8050), CTuneBlock().ItemValue(0x8050));  // not yet

    screen.OkButton()->click();
    EXPECT_EQ(Count("Vj"), 1);
    EXPECT_EQ(Count("Vk"), 0);
    EXPECT_EQ(Radio().Tune().ItemValue(0x8050), 250);
    EXPECT_EQ(Radio().Tune().ItemValue(0x805A), keptNarrow);  // only read, never sent

    // An entry with narrow items only starts narrow; no spacing can be chosen.
    const int sent = Count("*");
    CDlgTuneSubItem narrow(session, "Narrow only", ParseTuneDefinitions("32848,1024").at(0), {7, 0},
                           Radio().TestFreq());
    EXPECT_EQ(narrow.Group(), TuneGroup::Narrow);
    EXPECT_EQ(narrow.CurrentItem(), 0x805A);
    EXPECT_FALSE(narrow.SpacingButton(TuneGroup::Middle)->isVisibleTo(&narrow));
    EXPECT_FALSE(narrow.SpacingButton(TuneGroup::Wide)->isEnabled());
    EXPECT_FALSE(narrow.SpacingButton(TuneGroup::Narrow)->isEnabled());
    EXPECT_EQ(narrow.Tabs()->count(), 1);
    EXPECT_EQ(Count("*"), sent);  // opening sends nothing
    narrow.reject();
}

TEST_F(TuningScreens, ReceiveEntryUsesTheVolumeAndCancelKeepsTheRecord)
{
    Connect(RadioMode::Adjust);
    CAdjustment session(link, Radio().Tune());
    const std::optional<TuneDefinition> def = FindTuneDefinition(Settings(), 33312);
    ASSERT_TRUE(def && def->IsReceive());
    const CTuneBlock before = Radio().Tune();
    CDlgTuneSubItem screen(session, "RX Sensitivity", *def, {0x40, 0}, Radio().TestFreq());
    EXPECT_FALSE(screen.TransmitSwitch()->isEnabled());
    ASSERT_TRUE(screen.VolumeBar()->isEnabled());
    EXPECT_EQ(screen.VolumeBar()->value(), 128);
    Key(screen.VolumeBar(), Qt::Key_PageUp);
    EXPECT_EQ(radio->TuneValue(kTuneVolumeItem), 152);
    Key(screen.ValueBar(), Qt::Key_Left);
    EXPECT_EQ(radio->TuneValue(0x8220), 0x3F);
    screen.CancelButton()->click();
    EXPECT_EQ(Count("Vk"), 1);
    EXPECT_TRUE(std::equal(before.Record(), before.Record() + 192, Radio().Tune().Record()));
}

TEST_F(TuningScreens, ARadioThatStopsAnsweringClosesTheScreenWithTheStep)
{
    Connect(RadioMode::Adjust);
    CAdjustment session(link, Radio().Tune());
    const CTuneBlock before = Radio().Tune();
    const std::optional<TuneDefinition> def = FindTuneDefinition(Settings(), 32800);
    ASSERT_TRUE(def);
    CDlgTuneSubItem screen(session, "TX High Power", *def, {10, 0}, Radio().TestFreq());
    screen.show();
    radio->AddFault(sim::SimFault{FaultKind::NoAnswer, "Va", 1, 0, std::nullopt});
    Key(screen.ValueBar(), Qt::Key_Right);
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(screen.result(), QDialog::Rejected);
    ASSERT_TRUE(prompt.Saw(TuneMessage::kSendFailed));
    EXPECT_TRUE(prompt.shown.back().text.contains("0x8020"));
    EXPECT_TRUE(std::equal(before.Record(), before.Record() + 192, Radio().Tune().Record()));
    radio->ClearFaults();
    EXPECT_TRUE(session.End());
    EXPECT_EQ(radio->Mode(), 1);
}

TEST_F(TuningScreens, TuningListByUserLevelAndEntriesWithoutSubItems)
{
    Connect(RadioMode::Adjust);
    CAdjustment session(link, Radio().Tune());
    auto ids = [](QListWidget* list) {
        std::vector<int> v;
        for (int i = 0; i < list->count(); ++i)
            v.push_back(list->item(i)->data(Qt::UserRole + 1).toInt());
        return v;
    };
    {
        CDlgTuning screen(session, Radio().TestFreq());
        const std::vector<int> full = ids(screen.EntryList());
        EXPECT_NE(std::find(full.begin(), full.end(), 33536), full.end());
        EXPECT_FALSE(screen.EntryList()->accessibleName().isEmpty());
        screen.OpenEntry(1, "none");
        EXPECT_TRUE(prompt.Saw(TuneMessage::kNoSubItems));
    }
    home.SetUserLevel(kServiceLevel);
    CDlgTuning screen(session, Radio().TestFreq());
    const std::vector<int> service = ids(screen.EntryList());
    EXPECT_EQ(std::find(service.begin(), service.end(), 33536), service.end());
    EXPECT_NE(std::find(service.begin(), service.end(), 32800), service.end());
    EXPECT_EQ(Count("Vb"), 0);
}

TEST_F(TuningScreens, BaseBandWritesAndReadsBack)
{
    sim::Memory m = test::PatternMemory();
    m[1001] = 0x01;       // base-band tuning allowed
    m[1001 + 5] = 0x10;   // TX 7133
    m[1001 + 14] = 0x20;  // RX 7133
    radio->SetMemory(m);
    Connect(RadioMode::Write);
    CDlgBaseBand screen(link, Radio().Tune());
    EXPECT_EQ(Count("Eb"), 0);
    screen.show();
    Settle();  // the radio is read once the screen is shown
    EXPECT_TRUE(prompt.Saw(TuneMessage::kBaseBandRead));
    EXPECT_EQ(Count("Eb"), 2);
    EXPECT_EQ(screen.Combo(7118)->currentIndex(), -1);  // no TX bits: shows nothing
    EXPECT_TRUE(screen.AllowSwitch()->isChecked());
    EXPECT_EQ(screen.Page(), BaseBandPage::Tx);
    EXPECT_EQ(ComboValue(screen.Combo(7133)), 0x10);
    EXPECT_TRUE(screen.Combo(7120)->isEnabled());
    EXPECT_FALSE(screen.Combo(7118)->isEnabled());

    // Edit TX, go to RX (TX stored), edit RX; RX again does nothing.
    SelectComboValue(screen.Combo(7133), 0x33);
    emit screen.Combo(7133)->activated(screen.Combo(7133)->currentIndex());
    screen.PageButton(BaseBandPage::Rx)->click();
    EXPECT_EQ(screen.Page(), BaseBandPage::Rx);
    EXPECT_EQ(screen.PageLabel()->text(), screen.PageButton(BaseBandPage::Rx)->text());
    EXPECT_EQ(ComboValue(screen.Combo(7133)), 0x20);
    EXPECT_TRUE(screen.Combo(7118)->isEnabled());
    EXPECT_FALSE(screen.Combo(7120)->isEnabled());
    SelectComboValue(screen.Combo(7133), 0x44);
    emit screen.Combo(7133)->activated(screen.Combo(7133)->currentIndex());
    screen.PageButton(BaseBandPage::Rx)->click();
    EXPECT_EQ(Radio().Tune().Record()[183], 0x20);  // not stored by the second click
    EXPECT_EQ(Radio().Tune().Record()[174], 0x33);

    screen.WriteButton()->click();
    EXPECT_TRUE(prompt.Saw(TuneMessage::kWritten));
    sim::Memory now = radio->GetMemory();
    EXPECT_EQ(now[1001 + 5], 0x33);
    EXPECT_EQ(now[1001 + 14], 0x44);
    m[1001 + 5] = 0x33;
    m[1001 + 14] = 0x44;
    EXPECT_EQ(now, m);  // nothing else changed

    // Read back what another tool put there.
    now[1001 + 14] = 0x05;
    radio->SetMemory(now);
    screen.ReadButton()->click();
    EXPECT_EQ(ComboValue(screen.Combo(7133)), 0x05);

    screen.AllowSwitch()->setChecked(false);
    EXPECT_FALSE(screen.Combo(7133)->isEnabled());
    EXPECT_FALSE(screen.PageButton(BaseBandPage::Tx)->isEnabled());
}

TEST_F(TuningScreens, WriteTuneDataFromTheProgramMenu)
{
    radio->SetMemory(test::PatternMemory());
    Radio().Tune().SetItemValue(0x8020, 0x77);
    RunWriteTuneData(*frame);
    EXPECT_EQ(prompt.Questions(), 1u);
    EXPECT_TRUE(prompt.Saw(TuneMessage::kWritten));
    const sim::Memory m = radio->GetMemory();
    EXPECT_TRUE(std::equal(m.begin() + 832, m.begin() + 1024, Radio().Tune().Record()));
    EXPECT_EQ(m[833], 0x77);
    EXPECT_EQ(radio->Mode(), 1);

    // Below the service levels the command sends nothing.
    home.SetUserLevel(0);
    const int before = Count("*");
    RunWriteTuneData(*frame);
    EXPECT_EQ(Count("*"), before);
}

TEST_F(TuningScreens, WriteTuneDataFailureNamesTheAddress)
{
    radio->AddFault(sim::SimFault{FaultKind::NoAnswer, "Ea", 1, 0, 896u});
    RunWriteTuneData(*frame);
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_TRUE(prompt.shown.back().text.contains("896 (0x380)"))
        << prompt.shown.back().text.toStdString();
    EXPECT_EQ(prompt.shown.back().icon, CPrompt::Icon::Warning);
    EXPECT_EQ(radio->Mode(), 1);
}

TEST_F(TuningScreens, AdjustmentCommandOpensBaseBandOnItsConnectionAndEndsInModeOne)
{
    QTimer timer;
    timer.setInterval(5);
    bool baseBandOpened = false, tuningClosed = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* baseBand = qobject_cast<CDlgBaseBand*>(modal)) {
            if (!prompt.Saw(TuneMessage::kBaseBandRead)) return;  // it reads first
            baseBand->WriteButton()->click();
            baseBand->reject();
        } else if (auto* tuning = qobject_cast<CDlgTuning*>(modal)) {
            if (!baseBandOpened) {
                baseBandOpened = true;
                // Clicked from the event loop, so that this timer serves the screen it opens.
                QTimer::singleShot(0, tuning->BaseBandButton(), &QPushButton::click);
            } else {
                tuningClosed = true;
                timer.stop();
                tuning->accept();
            }
        }
    });
    timer.start();
    RunAdjustment(*frame);
    EXPECT_TRUE(tuningClosed);
    EXPECT_TRUE(prompt.Saw(TuneMessage::kBaseBandRead));
    EXPECT_TRUE(prompt.Saw(TuneMessage::kWritten));
    EXPECT_EQ(radio->Mode(), 1);
    std::vector<uint16_t> modes;
    for (const auto& r : radio->Requests())
        if (r.size() == 6 && r[1] == 'M' && r[2] == 'a') modes.push_back(r[3]);
    EXPECT_EQ(modes, (std::vector<uint16_t>{6, 3, 6, 1}));
}

}  // namespace
}  // namespace rv
