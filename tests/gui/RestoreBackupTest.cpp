// The safety net of Write to Radio in the desktop program, against the simulated radio: a write
// stopped halfway is put back from its backup through File > Restore Backup... (and the command
// line's verify then finds the radio equal to the backup), the write screen's changed-blocks
// option sends only what differs, and Help > Save Link Trace... writes the session's frames.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "base/CommandIds.h"
#include "data/DataFile.h"
#include "data/MemoryMap.h"
#include "data/RadioData.h"
#include "gui/GuiTestSupport.h"
#include "link/LinkTestSupport.h"
#include "link/LinkTrace.h"
#include "link/SafeWrite.h"
#include "link/WriteSession.h"
#include "link/gui/DlgRestoreBackup.h"
#include "link/gui/DlgTransfer.h"
#include "shell/SafetyCommands.h"
#include "support/CliProcess.h"
#include "ui/ShellRegistry.h"

namespace rv {
namespace {

class SafetyNet : public test::GuiTest {
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
        // The radio holds the program's configuration with a serial number of its own, another
        // byte in the first block a write sends and channel 1 receiving on 433.50000 MHz.
        Radio().MemoryMap().PrepareImage();
        std::copy(Radio().MemoryImage().begin(), Radio().MemoryImage().end(), before.begin());
        const char serial[] = "SIM-0815";
        std::copy_n(serial, sizeof serial, before.begin() + 72);
        before[120] ^= 0x01;
        const uint8_t rx[] = {0x00, 0x00, 0x35, 0x43};
        std::copy_n(rx, 4, before.begin() + 1412);
        radio->SetMemory(before);
    }
    void TearDown() override
    {
        radio.reset();
        SetSerialDeviceSource({});
        SetTracePathChooser({});
        GuiTest::TearDown();
    }
    /// Runs a command of the main window while `drive` handles each modal screen it opens.
    void RunCommand(Command command, std::function<void(QWidget*)> drive)
    {
        QTimer timer;
        timer.setInterval(5);
        QWidget* handled = nullptr;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == handled) return;
            handled = modal;
            drive(modal);
        });
        timer.start();
        if (command == Command::WriteToRadio) {
            RunWriteToRadio(*frame);
        } else {
            const CommandHandler* handler = FindRegisteredCommand(Id(command));
            ASSERT_NE(handler, nullptr);
            (*handler)(*frame);
        }
    }
    /// Presses OK on the transfer screen, with the every-block box set as asked.
    static void PressOk(QWidget* modal, std::optional<bool> allBlocks = std::nullopt)
    {
        auto* screen = qobject_cast<CDlgTransfer*>(modal);
        if (!screen) return;
        if (allBlocks) {
            ASSERT_NE(screen->AllBlocksBox(), nullptr);
            EXPECT_TRUE(screen->AllBlocksBox()->isEnabled()) << "the backup is on";
            screen->AllBlocksBox()->setChecked(*allBlocks);
        }
        screen->OkButton()->click();
    }
    /// The result of a write that went through: the link's word, the blocks and the check.
    static std::string Written(size_t blocks)
    {
        const CSettings& s = Settings();
        return s.LoadMessage(LinkMessage::kWriteDone) + " " +
               s.LoadMessage(WriteSessionMessage::kBlocksWritten,
                             {std::to_string(blocks), "83"}) +
               " " + s.LoadMessage(WriteSessionMessage::kWrittenVerified);
    }

    std::unique_ptr<sim::CRadioSim> radio;
    sim::Memory before{};
};

TEST_F(SafetyNet, WriteStoppedAtBlock40IsPutBackThroughRestoreBackup)
{
    // The radio stops answering at the 41st block of a write of every block.
    radio->AddFault({sim::FaultKind::NoAnswer, "Ea", 1, 0, WritePlan(false)[40].address});
    RunCommand(Command::WriteToRadio, [](QWidget* modal) { PressOk(modal, true); });
    const std::vector<BackupEntry> backups = ListBackups(home.Path("Backups"));
    ASSERT_EQ(backups.size(), 1u);
    const std::string backup = backups.front().path;
    ASSERT_FALSE(prompt.shown.empty());
    const std::string failed = prompt.shown.back().text.toStdString();
    EXPECT_NE(failed.find(Settings().LoadMessage(SafeWriteMessage::kRestoreHint, {backup})),
              std::string::npos)
        << failed;
    EXPECT_FALSE(radio->GetMemory() == before) << "half the new configuration went in";

    radio->ClearFaults();
    const Image document = Radio().MemoryImage();
    int listed = -1;
    bool named = false;
    RunCommand(Command::RestoreBackup, [&](QWidget* modal) {
        if (auto* list = qobject_cast<CDlgRestoreBackup*>(modal)) {
            listed = list->List()->topLevelItemCount();
            named = list->List()->topLevelItem(0)->text(1) == "SIM-0815";
            list->RestoreButton()->click();
            return;
        }
        // The every-block choice of the write before is remembered; a restore sends the
        // blocks that differ.
        PressOk(modal, false);
    });
    EXPECT_EQ(listed, 1);
    EXPECT_TRUE(named) << "the radio's serial number";
    EXPECT_EQ(prompt.Questions(), 1u) << "asked before the radio is written";
    // The blocks that differ from the backup go back, its own time stamp with them.
    const std::string restored = prompt.shown.back().text.toStdString();
    EXPECT_EQ(restored.rfind(Written(2), 0), 0u) << restored;
    EXPECT_NE(restored.find(Settings().LoadMessage(
                  WriteSessionMessage::kRestored, {StretchListText(WrittenRanges(false))})),
              std::string::npos)
        << restored;
    EXPECT_TRUE(radio->GetMemory() == before) << "the radio is exactly as it was";
    EXPECT_TRUE(Radio().MemoryImage() == document) << "the open data are not changed";
    EXPECT_EQ(ListBackups(home.Path("Backups")).size(), 2u) << "the restore took its own backup";

    const test::CliOutcome verify = test::RunCliProgram(
        {"--home", home.Dir(), "verify", "--port", radio->DevicePath(), backup}, home.Dir());
    EXPECT_EQ(verify.status, 0) << verify.out << verify.err;
    EXPECT_EQ(verify.out, Settings().LoadMessage(SafeWriteMessage::kVerifyEqual) + "\n");
    EXPECT_EQ(radio->Mode(), 1);
}

TEST_F(SafetyNet, ChangedBlocksOnlyAndTheLinkTraceOfTheSession)
{
    GuiSessionTrace().Clear();
    RunCommand(Command::SaveLinkTrace, [](QWidget*) {});
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown.back().text.toStdString(), Settings().LoadMessage(TraceMessage::kEmpty));

    RunCommand(Command::WriteToRadio, [](QWidget* modal) { PressOk(modal, false); });
    EXPECT_EQ(prompt.shown.back().text.toStdString(), Written(3));
    EXPECT_EQ(radio->CommandCount("Ea"), 3) << "the two changed blocks and the time stamp";
    EXPECT_EQ(radio->CommandCount("Eb"), 128 + 4)
        << "the backup, then the verify of the blocks that hold 120-135, 1408-1423 and the stamp";
    EXPECT_TRUE(Settings().ChangedOnly()) << "the choice is kept";
    const sim::Memory now = radio->GetMemory();
    EXPECT_TRUE(
        std::equal(now.begin() + 120, now.begin() + 784, Radio().MemoryImage().begin() + 120));
    EXPECT_TRUE(std::equal(now.begin() + 1408, now.end(), Radio().MemoryImage().begin() + 1408));

    const std::string path = home.Path("trace.txt");
    SetTracePathChooser(
        [&](QWidget*) { return std::optional<QString>(QString::fromStdString(path)); });
    RunCommand(Command::SaveLinkTrace, [](QWidget*) {});
    EXPECT_EQ(prompt.shown.back().text.toStdString(),
              Settings().LoadMessage(TraceMessage::kSaved, {path}));
    const std::string text = test::ReadFileText(path);
    EXPECT_NE(text.find(">>  02 50 61 03  [Pa handshake]"), std::string::npos);
    EXPECT_NE(text.find("[Ea write 0x0078 16]"), std::string::npos);
    EXPECT_NE(text.find("[Ea write 0x0580 16]"), std::string::npos);
    EXPECT_EQ(text.find("[Ea write 0x0590 16]"), std::string::npos) << "an unchanged block";

    const std::string nowhere = home.Path("no-such-folder/trace.txt");
    SetTracePathChooser(
        [&](QWidget*) { return std::optional<QString>(QString::fromStdString(nowhere)); });
    RunCommand(Command::SaveLinkTrace, [](QWidget*) {});
    EXPECT_EQ(prompt.shown.back().text.toStdString(),
              Settings().LoadMessage(TraceMessage::kNotSaved, {nowhere}));
}

}  // namespace
}  // namespace rv
