// Factory Mode can always be left, and never writes over a radio's factory data unseen: at
// each service level, against the simulated radio, with band edges that are no frequencies.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/AtomicFile.h"
#include "base/Bytes.h"
#include "base/IniFile.h"
#include "data/ModelCatalog.h"
#include "data/RadioData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "gui/GuiTestSupport.h"
#include "link/PortNames.h"
#include "service/gui/DlgFactory.h"
#include "sim/RadioSim.h"

namespace rv {
namespace {

using C = CDlgFactory::Control;

struct Level {
    const char* name;
    int level;
};
void PrintTo(const Level& l, std::ostream* os)
{
    *os << l.name;
}
const Level kServiceLevels[] = {{"Service", kServiceLevel}, {"FullService", kFullServiceLevel}};

std::vector<uint8_t> RecordBytes()
{
    const CRawRecord& r = Radio().RadioInfo().Raw();
    return std::vector<uint8_t>(r.Data(), r.Data() + CRadioInfoBlock::kRecordSize);
}

class FactoryMode : public test::GuiTest, public ::testing::WithParamInterface<Level> {
protected:
    void SetUp() override
    {
        test::GuiTest::SetUp();
        SetSerialDeviceSource([] { return std::vector<std::string>{}; });
        ModelCatalog().LoadRangeTable();
        home.SetUserLevel(GetParam().level);
        frame->RefreshAll();
        radio = std::make_unique<sim::CRadioSim>();
        ASSERT_TRUE(radio->Start());
        CIniFile::WriteString(home.Path("Settings.ini"), "Ports", "COM3", radio->DevicePath());
        Settings().SetComPort(3);
        Radio().MemoryMap().PrepareImage();
        sim::Memory memory{};
        std::copy(Radio().MemoryImage().begin(), Radio().MemoryImage().end(), memory.begin());
        WriteText(memory.data() + 72, 16, "SN-000123", 0);
        radio->SetMemory(memory);
    }
    void TearDown() override
    {
        dialog.reset();
        radio.reset();
        SetSerialDeviceSource({});
        test::GuiTest::TearDown();
    }
    CDlgFactory& Open()
    {
        dialog = std::make_unique<CDlgFactory>(frame.get());
        dialog->show();
        return *dialog;
    }
    QLineEdit* Edit(int id) const { return dialog->Controls().Get<QLineEdit>(id); }
    void PressEscape()
    {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(dialog.get(), &esc);
    }
    std::string RadioSerial() const
    {
        const sim::Memory m = radio->GetMemory();
        return ReadText(m.data() + 72, 16);
    }
    std::vector<std::string> FactoryBackups() const
    {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(home.Path("Backups"), ec))
            if (e.path().filename().string().rfind("Factory_", 0) == 0)
                names.push_back(e.path().string());
        return names;
    }
    std::unique_ptr<sim::CRadioSim> radio;
    std::unique_ptr<CDlgFactory> dialog;
};

TEST_P(FactoryMode, BadBandEdgesNobodyTypedNeverKeepTheScreenOpen)
{
    // Band edges FF FF FF FF at 40 to 47: no frequency at all.
    for (size_t k = 0; k < 8; ++k) Radio().RadioInfo().Raw()[24 + k] = 0xFF;
    const std::vector<uint8_t> before = RecordBytes();
    for (bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Esc" : "Close");
        prompt.shown.clear();
        Open();
        if (escape)
            PressEscape();
        else
            dialog->Button(C::kClose)->click();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_FALSE(prompt.Saw(CDlgFactory::kBadBandEdge));
        // Nothing typed: nothing stored, and the edges are no range to ask about.
        EXPECT_FALSE(prompt.Saw(FactoryMessage::kBandDiffers));
        EXPECT_EQ(RecordBytes(), before);
    }
}

TEST_P(FactoryMode, ABadTypedEdgeIsDroppedOnCloseWhenTheUserAgrees)
{
    if (GetParam().level != kFullServiceLevel) GTEST_SKIP() << "the edges take no input here";
    const std::vector<uint8_t> before = RecordBytes();
    Open();
    Edit(C::kLowerEdge)->setText("12");
    prompt.answers = {CPrompt::Answer::No};
    dialog->Button(C::kClose)->click();
    // The question names the box and the text typed.
    ASSERT_EQ(prompt.Questions(), 1u);
    EXPECT_TRUE(prompt.shown.back().text.contains("\"12\""));
    EXPECT_TRUE(prompt.shown.back().text.contains(Edit(C::kLowerEdge)->accessibleName()));
    EXPECT_FALSE(prompt.Saw(CDlgFactory::kBadBandEdge));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Edit(C::kLowerEdge)->text(), "12");

    prompt.shown.clear();
    prompt.answers = {CPrompt::Answer::Yes};
    PressEscape();
    EXPECT_EQ(prompt.Questions(), 1u);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(RecordBytes(), before);
}

TEST_P(FactoryMode, WriteWaitsForARead)
{
    Open();
    // After New the screen shows the data file's values: nothing to write over a radio with.
    EXPECT_FALSE(dialog->Button(C::kWrite)->isEnabled());
    EXPECT_EQ(dialog->Button(C::kWrite)->toolTip().toStdString(), Settings().LoadText(41401));
    EXPECT_FALSE(dialog->Write());
    EXPECT_EQ(radio->CommandCount("Ea"), 0);
    EXPECT_EQ(RadioSerial(), "SN-000123");

    ASSERT_TRUE(dialog->Read());
    EXPECT_TRUE(dialog->Button(C::kWrite)->isEnabled());
    EXPECT_TRUE(dialog->Button(C::kWrite)->toolTip().isEmpty());
    EXPECT_EQ(Edit(C::kSerialNumber)->text(), "SN-000123");
    Edit(C::kSerialNumber)->setText("SN-000124");
    EXPECT_TRUE(dialog->Write());
    EXPECT_EQ(RadioSerial(), "SN-000124");
    EXPECT_EQ(prompt.Questions(), 0u);  // the radio held what Read showed

    // The factory record before the write was kept beside the configuration backups.
    const std::vector<std::string> backups = FactoryBackups();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(backups.front(), dialog->LastBackup());
    std::string text;
    ASSERT_TRUE(ReadWholeFile(backups.front(), text));
    EXPECT_NE(text.find("serial_number=SN-000123"), std::string::npos);
}

TEST_P(FactoryMode, AnotherRadioOnTheCableIsWrittenOnlyAfterTheChangesAreNamed)
{
    Open();
    ASSERT_TRUE(dialog->Read());
    // Another radio now on the cable.
    sim::Memory m = radio->GetMemory();
    WriteText(m.data() + 72, 16, "SN-999999", 0);
    radio->SetMemory(m);
    Edit(C::kSerialNumber)->setText("SN-000125");

    prompt.answers = {CPrompt::Answer::No};
    EXPECT_FALSE(dialog->Write());
    ASSERT_EQ(prompt.Questions(), 1u);
    EXPECT_TRUE(prompt.shown.back().text.contains(QString::fromUtf8("SN-999999 \u2192 SN-000125")))
        << prompt.shown.back().text.toStdString();
    EXPECT_EQ(RadioSerial(), "SN-999999");
    EXPECT_EQ(FactoryBackups().size(), 1u);  // its data were saved before the question

    prompt.answers = {CPrompt::Answer::Yes};
    EXPECT_TRUE(dialog->Write());
    EXPECT_EQ(RadioSerial(), "SN-000125");
}

INSTANTIATE_TEST_SUITE_P(Levels, FactoryMode, ::testing::ValuesIn(kServiceLevels),
                         [](const ::testing::TestParamInfo<Level>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace rv
