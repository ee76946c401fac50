// Read from Radio and Write to Radio through the transfer screen, against the simulated radio on
// a pseudo-terminal: what ends up in the data and in the radio, the progress shown after every
// block, and the message, the screen and the data for each way a connection or transfer fails.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "base/CommandIds.h"
#include "base/TextFormat.h"
#include "data/DataFile.h"
#include "data/Document.h"
#include "data/MemoryMap.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelCommands.h"
#include "editors/channel/ChannelData.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "editors/dtmf/gui/ViewDTMFSystem.h"
#include "editors/emergency/EmergencyBlock.h"
#include "editors/emergency/gui/ViewEmergency.h"
#include "editors/personality/PersonalityData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "editors/scan/ScanData.h"
#include "editors/scan/gui/ViewScan.h"
#include "gui/GuiTestSupport.h"
#include "link/LinkTestSupport.h"
#include "link/SafeWrite.h"
#include "link/WriteSession.h"
#include "link/gui/DlgTransfer.h"
#include "ui/LogPane.h"

namespace rv {
namespace {

/// What the transfer screen showed while the test drove it.
struct ScreenRecord {
    bool opened = false;
    bool okAndCancelEnabledBefore = false;
    bool okDisabledWhileRunning = true;
    bool cancelEnabledWhileRunning = true;  // Cancel stops a running transfer
    bool stayedOpen = false;                // OK left the screen open (no radio found)
    QString title;
    std::vector<int> progress;  // every percent shown, of the step under way
    QString lastStatus;         // the label of the step under way
    bool figuresAgree = true;   // each step's label said the percent its bar showed
    QString lastCount[kWriteStepCount];  // each write step's block count as last shown
    LinkResult result;       // how the screen's transfer ended
    std::string backupPath;  // the backup a write took, "" when none
};

class TransferScreen : public test::GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        SetSerialDeviceSource([] { return std::vector<std::string>{}; });
        StartRadio({});
    }
    void TearDown() override
    {
        radio.reset();
        silentLine.reset();
        SetSerialDeviceSource({});
        GuiTest::TearDown();
    }
    /// No radio: the stored port stays a terminal that never answers (not the radio's old
    /// terminal name, which a test running at the same time may have been given since).
    void UnplugRadio()
    {
        radio.reset();
        silentLine = std::make_unique<test::PtyPair>();
        CIniFile::WriteString(home.Path("Settings.ini"), "Ports",
                              "COM" + std::to_string(test::kSimPort), silentLine->Path());
    }
    /// (Re)starts the simulated radio and pins it to the stored port.
    void StartRadio(sim::SimOptions options)
    {
        radio.reset();
        radio = std::make_unique<sim::CRadioSim>(std::move(options));
        ASSERT_TRUE(radio->Start());
        CIniFile::WriteString(home.Path("Settings.ini"), "Ports",
                              "COM" + std::to_string(test::kSimPort), radio->DevicePath());
        Settings().SetComPort(test::kSimPort);
    }

    /// Runs Read from Radio or Write to Radio, pressing OK on the transfer screen (and Cancel
    /// when the screen stays open after OK).
    bool Run(TransferDirection direction)
    {
        return Driving([this, direction] {
            return direction == TransferDirection::Read ? RunReadFromRadio(*frame)
                                                        : RunWriteToRadio(*frame);
        });
    }
    /// Runs a command of the main window's Program menu, driving its transfer screen as Run.
    void RunProgramCommand(Command command)
    {
        Driving([this, command] {
            frame->RunCommand(Id(command));
            return true;
        });
    }
    /// Runs `run` with the transfer screen driven once it shows.
    bool Driving(const std::function<bool()>& run)
    {
        auto timer = std::make_unique<QTimer>();
        timer->setInterval(5);
        QTimer* t = timer.get();
        QObject::connect(t, &QTimer::timeout, [this, t] {
            auto* dialog = qobject_cast<CDlgTransfer*>(QApplication::activeModalWidget());
            if (!dialog) return;
            t->stop();
            Drive(dialog);
        });
        timer->start();
        return run();
    }

    void Drive(CDlgTransfer* dialog)
    {
        screen.opened = true;
        screen.title = dialog->windowTitle();
        screen.okAndCancelEnabledBefore =
            dialog->OkButton()->isEnabled() && dialog->CancelButton()->isEnabled();
        QObject::connect(dialog, &CDlgTransfer::progressShown, [this, dialog](int v) {
            screen.progress.push_back(v);
            screen.lastStatus = dialog->CurrentLabel()->text();
            // One figure: the label of a step says the percent its own bar stands at.
            const QString said = screen.lastStatus.section(QLatin1Char('%'), 0, 0)
                                     .section(QRegularExpression(QStringLiteral("\\D+")), -1);
            if (said.toInt() != v) screen.figuresAgree = false;
            for (size_t k = 0; dialog->AllBlocksBox() && k < kWriteStepCount; ++k) {
                const auto step = static_cast<WriteStep>(k);
                if (dialog->StepLabel(step) == dialog->CurrentLabel()) {
                    screen.lastCount[k] = dialog->StepCount(step)->text();
                    if (dialog->StepBar(step)->value() != v) screen.figuresAgree = false;
                }
            }
            if (dialog->OkButton()->isEnabled()) screen.okDisabledWhileRunning = false;
            if (!dialog->StopRequested() && !dialog->CancelButton()->isEnabled())
                screen.cancelEnabledWhileRunning = false;
            if (onProgress) onProgress(dialog, v);
        });
        QObject::connect(dialog, &QDialog::finished, [this, dialog] {
            screen.result = dialog->Result();
            screen.backupPath = dialog->BackupPath();
        });
        dialog->OkButton()->click();
        if (dialog->isVisible() && !dialog->Running()) {
            screen.stayedOpen = true;
            dialog->CancelButton()->click();
        }
    }

    /// The text of a message as the screen shows it, with its value filled in.
    static QString MessageText(int n, const std::string& argument = {}, long number = -1)
    {
        std::string text = Settings().LoadMessage(n);
        if (text.empty()) return QStringLiteral("#%1").arg(n);
        if (!argument.empty()) text = FormatTextString(text, argument);
        if (number >= 0) text = FormatTextNumber(text, number);
        return QString::fromStdString(text);
    }
    QString LastLogResult() const
    {
        QTreeWidget* log = frame->LogPane();
        const int n = log->topLevelItemCount();
        return n > 0 ? log->topLevelItem(n - 1)->text(2) : QString();
    }

    std::unique_ptr<sim::CRadioSim> radio;
    std::unique_ptr<test::PtyPair> silentLine;
    ScreenRecord screen;
    /// Called on the UI thread after every progress step while the worker waits for it.
    std::function<void(CDlgTransfer*, int)> onProgress;
};

// Writing keeps the configuration in the radio: the document is not modified by it (the title
// gains no mark, the next Read asks nothing, Undo has no step), and a change made before the
// write is still a change after it.
TEST_F(TransferScreen, WriteLeavesTheModifiedMarkAsItWas)
{
    frame->UpdateModifiedMark();
    ASSERT_FALSE(frame->windowTitle().startsWith(QLatin1Char('*')));
    RunProgramCommand(Command::WriteToRadio);
    ASSERT_TRUE(screen.result.Ok()) << screen.lastStatus.toStdString();
    EXPECT_FALSE(frame->windowTitle().startsWith(QLatin1Char('*')))
        << frame->windowTitle().toStdString();
    EXPECT_FALSE(frame->Document().IsModified());
    EXPECT_FALSE(frame->Document().CanUndo());
    const size_t questions = prompt.Questions();
    RunProgramCommand(Command::ReadFromRadio);
    EXPECT_EQ(prompt.Questions(), questions) << "the read asked to save changes";

    Radio().RadioInfo().SetSerialNumber("EDITED");
    frame->ReloadAllViews();
    screen = {};
    RunProgramCommand(Command::WriteToRadio);
    ASSERT_TRUE(screen.result.Ok());
    EXPECT_TRUE(frame->windowTitle().startsWith(QLatin1Char('*')));
    EXPECT_TRUE(frame->Document().IsModified());
}

// A radio whose scan list names channels it does not have: the read fills the Invalid Entries
// list and the log says so.
TEST_F(TransferScreen, ReadListsTheInvalidEntriesOfTheRadio)
{
    Image radioImage = Radio().MemoryImage();
    Radio().MemoryMap().StoreToImage(radioImage);
    const size_t list = CScanData::kImageAddress;
    radioImage[list + CScanData::Offset::Entries] = 1;
    radioImage[list + CScanData::Offset::Members] = 40;
    sim::Memory memory;
    std::copy(radioImage.begin(), radioImage.end(), memory.begin());
    radio->SetMemory(memory);
    frame->InvalidDock()->hide();

    RunProgramCommand(Command::ReadFromRadio);
    ASSERT_TRUE(screen.result.Ok()) << screen.lastStatus.toStdString();
    EXPECT_EQ(Radio().InvalidLog().Rows().size(), 1u);
    EXPECT_FALSE(frame->InvalidDock()->isHidden());
    EXPECT_TRUE(LastLogResult().startsWith(QStringLiteral("1 entry"))) << LastLogResult().toStdString();
}

TEST_F(TransferScreen, ReadReplacesTheDataAndLeavesNoFileName)
{
    // The radio holds a configuration with a serial number of its own.
    Radio().RadioInfo().SetSerialNumber("SIM-0042");
    Image radioImage = Radio().MemoryImage();
    Radio().MemoryMap().StoreToImage(radioImage);
    sim::Memory memory;
    std::copy(radioImage.begin(), radioImage.end(), memory.begin());
    radio->SetMemory(memory);
    sim::SimIdentity identity;
    identity.modelName = "RV-205T";
    identity.signal = 1;
    identity.version = "1.01.20.000";
    radio->SetIdentity(identity);

    // The program has a file open, other data and an open view.
    const std::string path = home.Path("before.dat");
    Radio().RadioInfo().SetSerialNumber("KEEP");
    ASSERT_TRUE(frame->Document().SaveTo(path, "before").Ok());
    ASSERT_TRUE(frame->Document().OpenPath(path).Ok());
    frame->OpenView(Id(Command::RadioInformation));
    const int logRows = frame->LogPane()->topLevelItemCount();

    ASSERT_TRUE(Run(TransferDirection::Read));

    EXPECT_EQ(screen.title.toStdString(), TextOr(Settings().LoadText(1601), "Read from Radio"));
    EXPECT_TRUE(screen.okAndCancelEnabledBefore);
    EXPECT_TRUE(screen.okDisabledWhileRunning);
    EXPECT_TRUE(screen.cancelEnabledWhileRunning);
    ASSERT_FALSE(screen.progress.empty());
    EXPECT_EQ(screen.progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(screen.progress.begin(), screen.progress.end()));
    EXPECT_TRUE(screen.lastStatus.endsWith("100%")) << screen.lastStatus.toStdString();

    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown.back().text, MessageText(1136));
    EXPECT_EQ(prompt.shown.back().icon, CPrompt::Icon::Information);

    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), Radio().MemoryImage().begin()));
    EXPECT_EQ(Radio().RadioInfo().SerialNumber(), "SIM-0042");
    EXPECT_EQ(Settings().ModelName(), "RV-205T");
    EXPECT_EQ(Settings().Signal(), 1);
    EXPECT_EQ(Settings().RadioVersion(), "1.01.20.000");
    EXPECT_EQ(Settings().FreqRange(), "400-470");
    EXPECT_EQ(Settings().ComPort(), test::kSimPort);
    EXPECT_EQ(frame->Tree()->topLevelItem(0)->text(0), "RV-205T");
    EXPECT_EQ(frame->FindView(Id(Command::RadioInformation)), nullptr) << "views closed";
    EXPECT_TRUE(frame->Document().Path().empty()) << "the next Save asks for a file";
    EXPECT_EQ(frame->windowTitle().toStdString(), Settings().LoadText(128));
    EXPECT_EQ(radio->Mode(), 1) << "the connection was ended";
    EXPECT_GE(frame->LogPane()->topLevelItemCount(), logRows + 2) << "connection and result";
    EXPECT_EQ(LastLogResult(), MessageText(1136));
}

class TransferWrite : public TransferScreen, public ::testing::WithParamInterface<bool> {};

TEST_P(TransferWrite, SendsTheConfigurationAreasAndStampsTheRadio)
{
    const bool service = GetParam();
    if (service) {
        home.SetUserLevel(kServiceLevel);
        ASSERT_TRUE(Settings().IsServiceLevel());
    }
    sim::Memory before;
    before.fill(0x11);
    radio->SetMemory(before);
    Radio().RadioInfo().SetSerialNumber("KEEP");
    frame->OpenView(Id(Command::RadioInformation));

    ASSERT_TRUE(Run(TransferDirection::Write));

    EXPECT_EQ(screen.title.toStdString(), TextOr(Settings().LoadText(1602), "Write to Radio"));
    EXPECT_TRUE(screen.okDisabledWhileRunning);
    EXPECT_TRUE(screen.cancelEnabledWhileRunning);
    ASSERT_FALSE(screen.progress.empty());
    EXPECT_EQ(screen.progress.back(), 100);
    EXPECT_TRUE(screen.lastStatus.endsWith("100%"));
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_TRUE(prompt.shown.back().text.startsWith(MessageText(1137)))
        << prompt.shown.back().text.toStdString();
    EXPECT_TRUE(prompt.shown.back().text.contains(MessageText(WriteSessionMessage::kWrittenVerified)));

    const sim::Memory after = radio->GetMemory();
    const Image& image = Radio().MemoryImage();
    auto written = [&](size_t a) {
        return (a >= 32 && a <= 39) || (a >= 120 && a <= 783) ||
               (service && a >= 784 && a <= 824) || a >= 1408;
    };
    for (size_t a = 0; a < after.size(); ++a) {
        if (written(a))
            ASSERT_EQ(after[a], image[a]) << "address " << a;
        else
            ASSERT_EQ(after[a], 0x11) << "address " << a << " must not be written";
    }
    // The new time stamp is in the image and in the radio information block.
    const TimeStamp stamp = Radio().RadioInfo().GetTimeStamp();
    EXPECT_TRUE(std::equal(stamp.begin(), stamp.end(), after.begin() + 32));
    EXPECT_EQ(stamp[6], 20) << "century byte";
    EXPECT_EQ(Radio().RadioInfo().SerialNumber(), "KEEP") << "the data stay";
    EXPECT_NE(frame->FindView(Id(Command::RadioInformation)), nullptr) << "views stay open";
    EXPECT_EQ(radio->Mode(), 1);
    EXPECT_EQ(LastLogResult(), prompt.shown.back().text);
}

INSTANTIATE_TEST_SUITE_P(Screens, TransferWrite, ::testing::Bool(), [](const auto& info) {
    return info.param ? "ServiceLevel" : "UserLevel";
});

TEST_F(TransferScreen, InvalidEntriesSendNothing)
{
    // A channel refers to a personality that is no longer used.
    ASSERT_FALSE(Radio().Personalities().empty());
    Radio().Personalities().front()->used_ = 0;
    EXPECT_FALSE(Run(TransferDirection::Write));
    EXPECT_FALSE(screen.opened);
    EXPECT_TRUE(prompt.Saw(DocMessage::kInvalidData));
    EXPECT_EQ(radio->CommandCount("*"), 0);
}

struct FailureCase {
    const char* name;
    TransferDirection direction;
    std::function<void(TransferScreen&, sim::CRadioSim*&)> setup;
    int message;
    std::string argument;  // filled into the message's %s
    long address;          // filled into the message's %d, -1 for none
    CPrompt::Icon icon;
    bool stayedOpen;
    /// The whole text when it is put together from several texts; empty: message and values.
    std::function<std::string()> composed = {};
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class TransferFailures : public TransferScreen, public ::testing::WithParamInterface<FailureCase> {
protected:
    void Apply(const FailureCase& c)
    {
        sim::CRadioSim* r = radio.get();
        c.setup(*this, r);
        if (!r) UnplugRadio();
    }
};

TEST_P(TransferFailures, ReportTheMessageAndKeepTheData)
{
    const FailureCase& c = GetParam();
    Apply(c);
    Radio().RadioInfo().SetSerialNumber("KEEP");
    const Image imageBefore = Radio().MemoryImage();
    const ModelIdentity identityBefore = CModelCatalog::CurrentIdentity();
    // A read first offers to save the changed serial number; the user declines.
    if (c.direction == TransferDirection::Read) prompt.answers.push_back(CPrompt::Answer::No);

    EXPECT_FALSE(Run(c.direction));
    EXPECT_EQ(prompt.Saw(DocMessage::kSaveChanges), c.direction == TransferDirection::Read);

    ASSERT_TRUE(screen.opened);
    EXPECT_EQ(screen.stayedOpen, c.stayedOpen);
    ASSERT_FALSE(prompt.shown.empty());
    const auto& shown = prompt.shown.back();
    const QString expected = c.composed ? QString::fromStdString(c.composed())
                                        : MessageText(c.message, c.argument, c.address);
    EXPECT_EQ(shown.text, expected) << shown.text.toStdString();
    EXPECT_EQ(shown.icon, c.icon);
    EXPECT_EQ(LastLogResult(), shown.text);
    EXPECT_EQ(CModelCatalog::CurrentIdentity(), identityBefore) << "settings unchanged";
    EXPECT_EQ(Radio().RadioInfo().SerialNumber(), "KEEP");
    if (c.direction == TransferDirection::Read) {
        EXPECT_TRUE(Radio().MemoryImage() == imageBefore) << "a failed read changes nothing";
    }
}

sim::SimFault Fault(sim::FaultKind kind, const char* command, int at)
{
    sim::SimFault f;
    f.kind = kind;
    f.command = command;
    f.at = at;
    f.times = 0;
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Screens, TransferFailures,
    ::testing::Values(
        FailureCase{"NoRadio",
                    TransferDirection::Read,
                    [](TransferScreen&, sim::CRadioSim*& r) { r = nullptr; },
                    1143,
                    {},
                    -1,
                    CPrompt::Icon::Warning,
                    true,
                    // The search names the port it looked at: the silent line on COM3.
                    [] {
                        return Settings().LoadMessage(LinkMessage::kNoRadioOnPorts,
                                                      {PortText(PortDevice(test::kSimPort))});
                    }},
        FailureCase{"BandDiffers", TransferDirection::Read,
                    [](TransferScreen&, sim::CRadioSim*& r) {
                        sim::SimIdentity id;
                        id.range = sim::MakeRangeRecord(136, 174, 128);
                        r->SetIdentity(id);
                    },
                    1142, "136-174", -1, CPrompt::Icon::Warning, false},
        FailureCase{"OtherModelOnWrite",
                    TransferDirection::Write,
                    [](TransferScreen&, sim::CRadioSim*& r) {
                        sim::SimIdentity id;
                        id.modelId = "RV305";
                        r->SetIdentity(id);
                    },
                    1172,
                    {},
                    -1,
                    CPrompt::Icon::Error,
                    false},
        FailureCase{"NewerFirmware",
                    TransferDirection::Read,
                    [](TransferScreen&, sim::CRadioSim*& r) {
                        sim::SimIdentity id;
                        id.version = "1.02.00.000";
                        r->SetIdentity(id);
                    },
                    1140,
                    {},
                    -1,
                    CPrompt::Icon::Error,
                    false},
        // Every mode change is refused, the end of the connection too: the message says both.
        FailureCase{"ModeRefused",
                    TransferDirection::Read,
                    [](TransferScreen&, sim::CRadioSim*& r) {
                        r->AddFault(Fault(sim::FaultKind::RefuseMode, "Ma", 1));
                    },
                    1260,
                    {},
                    -1,
                    CPrompt::Icon::Error,
                    false,
                    [] {
                        const CSettings& s = Settings();
                        return s.LoadMessage(1260, {s.LoadMessage(1256)}) + " " +
                               s.LoadMessage(1270);
                    }},
        FailureCase{"ReadBlockFails",
                    TransferDirection::Read,
                    [](TransferScreen&, sim::CRadioSim*& r) {
                        r->AddFault(Fault(sim::FaultKind::NoAnswer, "Eb", 5));
                    },
                    1138,
                    {},
                    64,
                    CPrompt::Icon::Error,
                    false,
                    [] {
                        const CSettings& s = Settings();
                        return s.LoadMessage(1138, {"64 (0x040)", s.LoadMessage(1240)});
                    }},
        FailureCase{"WriteFailsAtTheTimeStamp",
                    TransferDirection::Write,
                    [](TransferScreen&, sim::CRadioSim*& r) {
                        // Every block differs from the radio, so that the whole plan is sent.
                        sim::Memory memory;
                        memory.fill(0x11);
                        r->SetMemory(memory);
                        r->AddFault(Fault(sim::FaultKind::NoAnswer, "Ea", 83));
                    },
                    1139,
                    {},
                    32,
                    CPrompt::Icon::Error,
                    false,
                    [] {
                        const CSettings& s = Settings();
                        // The radio holds half a write: the message names the backup taken
                        // before it and how to put it back.
                        const auto backups = ListBackups(s.ProgramDir() + "Backups");
                        EXPECT_EQ(backups.size(), 1u);
                        // The time stamp's answer did not come: it may hold either.
                        const std::string written = s.LoadMessage(
                            LinkMessage::kListJoin,
                            {s.LoadMessage(LinkMessage::kStretch, {"120 (0x078)", "783 (0x30F)"}),
                             s.LoadMessage(LinkMessage::kStretch,
                                           {"1408 (0x580)", "2047 (0x7FF)"})});
                        const std::string either =
                            s.LoadMessage(LinkMessage::kStretch, {"32 (0x020)", "39 (0x027)"});
                        return s.LoadMessage(
                                   1139, {"32 (0x020), " + s.LoadMessage(1255), s.LoadMessage(1240),
                                          s.LoadMessage(LinkMessage::kHoldsNewAndEither,
                                                        {written, either})}) +
                               "\n" +
                               s.LoadMessage(SafeWriteMessage::kRestoreHint,
                                             {backups.empty() ? "" : backups.front().path});
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// With the default settings a write reads the whole radio into a backup file first and reads
// it back afterwards; the bar runs once over the whole job and the status line names the phase.
TEST_F(TransferScreen, WriteBacksUpTheRadioAndVerifies)
{
    sim::Memory before;
    before.fill(0x11);
    radio->SetMemory(before);
    const std::string path = home.Path("plan.dat");
    ASSERT_TRUE(frame->Document().SaveTo(path, "plan").Ok());
    ASSERT_TRUE(frame->Document().OpenPath(path).Ok());
    const std::string fileBefore = FileBytes(path);

    ASSERT_TRUE(Run(TransferDirection::Write));

    // Every block differs from the radio: all of them are sent and read back.
    EXPECT_EQ(prompt.shown.back().text,
              MessageText(1137) + ' ' +
                  QString::fromStdString(
                      Settings().LoadMessage(WriteSessionMessage::kBlocksWritten, {"83", "83"}) +
                      " " + Settings().LoadMessage(WriteSessionMessage::kWrittenVerified)));
    EXPECT_EQ(screen.progress.back(), 100);
    EXPECT_TRUE(screen.figuresAgree) << "each step's label and bar say one figure";
    EXPECT_TRUE(screen.lastStatus.startsWith(
        QString::fromStdString(
            TextOr(Settings().LoadText(TransferText::kVerifyProgress), "Verifying"))
            .section('%', 0, 0)))
        << screen.lastStatus.toStdString();
    auto blocksOf = [](int n) {
        return QString::fromStdString(FormatTextNumber(
            FormatTextNumber(Settings().LoadText(TransferText::kBlocksOf), n), n));
    };
    EXPECT_EQ(screen.lastCount[0], blocksOf(128)) << "the backup reads the whole radio";
    EXPECT_EQ(screen.lastCount[1], blocksOf(83)) << "the write sends the plan";
    EXPECT_EQ(screen.lastCount[2], blocksOf(83)) << "the read-back reads what was written";
    EXPECT_EQ(radio->CommandCount("Eb"), 128 + 83) << "the backup read and the read-back";

    const auto backups = ListBackups(home.Path("Backups"));
    ASSERT_EQ(backups.size(), 1u);
    std::array<uint8_t, kDataFileImageSize> held{};
    ASSERT_TRUE(CDataFile::Read(backups.front().path, nullptr, held));
    EXPECT_TRUE(std::equal(before.begin(), before.end(), held.begin()))
        << "the backup holds the radio as it was";
    EXPECT_NE(backups.front().comment.find("plan.dat"), std::string::npos);
    EXPECT_EQ(FileBytes(path), fileBefore) << "the data file stays as it was";
    bool logged = false;
    for (int i = 0; i < frame->LogPane()->topLevelItemCount(); ++i)
        logged = logged || frame->LogPane()->topLevelItem(i)->text(2) ==
                               MessageText(SafeWriteMessage::kBackupSaved, backups.front().path);
    EXPECT_TRUE(logged);
}

// A backup read that fails writes nothing; a radio that stores a block wrongly fails the verify
// with the address and the field; both leave the data as they were. Turned off, neither runs.
struct SafeWriteCase {
    const char* name;
    sim::SimFault fault;
    bool safeWrite;
    bool written;  // the radio received the write
    int message;   // the message the screen ends with
};

void PrintTo(const SafeWriteCase& c, std::ostream* os)
{
    *os << c.name;
}

class SafeWriteScreen : public TransferScreen,
                        public ::testing::WithParamInterface<SafeWriteCase> {};

TEST_P(SafeWriteScreen, FaultsAndTheSetting)
{
    const SafeWriteCase& c = GetParam();
    if (!c.safeWrite) {
        ASSERT_TRUE(Settings().SetSafeWrite(false));
    }
    radio->AddFault(c.fault);
    Radio().RadioInfo().SetSerialNumber("KEEP");
    frame->Document().MarkClean();

    EXPECT_EQ(Run(TransferDirection::Write), c.message == LinkMessage::kWriteDone);

    EXPECT_EQ(radio->CommandCount("Ea") > 0, c.written);
    ASSERT_FALSE(prompt.shown.empty());
    const std::string shown = prompt.shown.back().text.toStdString();
    std::string head = Settings().LoadMessage(c.message);
    head = head.substr(0, head.find('%'));
    EXPECT_EQ(shown.substr(0, head.size()), head) << shown;
    const auto backups = ListBackups(home.Path("Backups"));
    if (!c.safeWrite) {
        EXPECT_TRUE(backups.empty());
    }
    if (c.message == SafeWriteMessage::kVerifyMismatch) {
        EXPECT_NE(shown.find("1408 (0x580)"), std::string::npos) << shown;
        ASSERT_EQ(backups.size(), 1u);
        EXPECT_NE(shown.find(backups.front().path), std::string::npos) << "restore hint";
    }
    if (c.message == SafeWriteMessage::kBackupReadFailed) {
        EXPECT_TRUE(backups.empty());
    }
    EXPECT_EQ(Radio().RadioInfo().SerialNumber(), "KEEP");
    if (!c.written) {
        EXPECT_FALSE(frame->Document().IsModified()) << "nothing changed";
    }
    EXPECT_EQ(Settings().SafeWrite(), c.safeWrite) << "the choice is kept";
    EXPECT_EQ(radio->Mode(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, SafeWriteScreen,
    ::testing::Values(SafeWriteCase{"BackupBlockUnanswered",
                                    {sim::FaultKind::NoAnswer, "Eb", 5, 0, {}},
                                    true,
                                    false,
                                    SafeWriteMessage::kBackupReadFailed},
                      SafeWriteCase{"BackupReadModeRefused",
                                    {sim::FaultKind::RefuseMode, "Ma", 1, 0, 2},
                                    true,
                                    false,
                                    SafeWriteMessage::kBackupReadFailed},
                      SafeWriteCase{"StoredWrongly",
                                    {sim::FaultKind::CorruptWrite, "Ea", 1, 1, 1408},
                                    true,
                                    true,
                                    SafeWriteMessage::kVerifyMismatch},
                      SafeWriteCase{"TurnedOffNoBackupNoVerify",
                                    {sim::FaultKind::CorruptWrite, "Ea", 1, 1, 1408},
                                    false,
                                    true,
                                    LinkMessage::kWriteDone}),
    [](const auto& info) { return std::string(info.param.name); });

// A user reads the radio, builds a second scan list of channels 1, 3 and 5, deletes channel 2,
// sets a DTMF Primary ID, an emergency ID and revert channel, saves, reopens, writes and reads
// back: the same values all the way.
TEST_F(TransferScreen, ScanDtmfAndEmergencyEditsSurviveSaveWriteAndReadBack)
{
    // A radio programmed with the default set (16 channels, one scan list).
    ASSERT_TRUE(Run(TransferDirection::Write));
    frame->Document().New();
    ASSERT_TRUE(Run(TransferDirection::Read));
    ASSERT_GE(Radio().Channels().size(), 6u);
    auto activate = [](QComboBox* combo, const QString& text) {
        ASSERT_NE(combo, nullptr);
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    };
    using T = CScanData::TextId;
    auto* scan = dynamic_cast<CViewScan*>(frame->OpenView(Id(Command::Scan)));
    ASSERT_NE(scan, nullptr);
    scan->Navigate(static_cast<int>(ListCommand::Add), 0);
    ASSERT_EQ(Radio().ScanLists().size(), 2u);
    auto member = [&](int k) {
        return qobject_cast<QComboBox*>(
            scan->Sheet()->ChannelList()->Control(static_cast<int>(T::FirstMemberBox) + k));
    };
    activate(qobject_cast<QComboBox*>(scan->Sheet()->ChannelList()->Control(3943)), "3");
    activate(member(0), "1");
    activate(member(1), "3");
    activate(member(2), "5");
    const uint32_t third = Radio().Channels()[2]->id_;
    const uint32_t fifth = Radio().Channels()[4]->id_;

    const ListCommandResult deleted =
        RunChannelCommand(ListCommand::Delete, 1, 0, SingleItemDelete::NoCurrent);
    ASSERT_TRUE(deleted.notice);
    frame->BroadcastNotice(*deleted.notice);
    EXPECT_EQ(member(1)->currentText(), "2");
    EXPECT_EQ(member(2)->currentText(), "4");

    auto* dtmf = dynamic_cast<CViewDTMFSystem*>(frame->OpenView(Id(Command::DtmfSystem)));
    ASSERT_NE(dtmf, nullptr);
    auto* primary = qobject_cast<QLineEdit*>(dtmf->Sheet()->Basic()->Control(kDtmfPrimaryIdBox));
    primary->setText("9a*1");
    emit primary->editingFinished();

    auto* emergency = dynamic_cast<CViewEmergency*>(frame->OpenView(Id(Command::Emergency)));
    ASSERT_NE(emergency, nullptr);
    activate(qobject_cast<QComboBox*>(emergency->Control(CViewEmergency::Box::RevertChannel)), "4");
    auto* id = qobject_cast<QLineEdit*>(emergency->Control(CViewEmergency::Box::Id));
    id->setText("7#");
    emit id->editingFinished();

    auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        ASSERT_EQ(Radio().ScanLists().size(), 2u);
        const CScanData& second = *Radio().ScanLists()[1];
        EXPECT_EQ(second.Raw()[CScanData::Offset::Entries], 3);
        EXPECT_EQ(second.Raw()[CScanData::Offset::Members + 0], 1);
        EXPECT_EQ(second.Raw()[CScanData::Offset::Members + 1], 2);
        EXPECT_EQ(second.Raw()[CScanData::Offset::Members + 2], 4);
        EXPECT_EQ(Radio().DtmfSystems().front()->PrimaryId(), "9A*1");
        EXPECT_EQ(Radio().Emergency().IdText(), "7#");
        EXPECT_EQ(Radio().Emergency().Raw()[CEmergencyBlock::Offset::kRevertChannel], 4);
    };
    check("edited");
    EXPECT_EQ(Radio().ScanLists()[1]->members_[1], third);
    EXPECT_EQ(Radio().ScanLists()[1]->members_[2], fifth);

    // The first scan list named channel 2 as well: logged, and saving waits until the user
    // picks another channel for it.
    const uint32_t key = Radio().ScanLists()[0]->NoticeKey(T::FirstMemberBox + 1);
    EXPECT_TRUE(Radio().InvalidLog().Contains(key));
    scan = dynamic_cast<CViewScan*>(frame->OpenView(Id(Command::Scan)));
    scan->Navigate(static_cast<int>(ListCommand::First), 0);
    activate(member(1), "2");
    EXPECT_FALSE(Radio().InvalidLog().Contains(key));
    EXPECT_TRUE(Radio().InvalidLog().Empty());

    const std::string path = home.Path("walk.dat");
    ASSERT_TRUE(frame->Document().SaveTo(path, "walk").Ok());
    frame->CloseAllViews();
    ASSERT_TRUE(frame->Document().OpenPath(path).Ok());
    check("reopened");
    ASSERT_TRUE(Run(TransferDirection::Write));
    frame->Document().New();
    ASSERT_TRUE(Run(TransferDirection::Read));
    check("read back");
}

// Cancel while the blocks move stops after the block under way. Cancel is pressed from the
// screen's progress handler, which runs while the worker waits for it, so it lands after an
// exact block every time. The radio is back in mode 1 each time; a stopped read changes
// nothing, a stopped write says what the radio holds and names the backup that puts it back.
struct CancelCase {
    const char* name;
    TransferDirection direction;
    bool safeWrite;
    /// When Cancel is pressed, judged by what the radio has received so far.
    std::function<bool(const sim::CRadioSim&)> when;
    int message;  // the message the screen ends with
};

void PrintTo(const CancelCase& c, std::ostream* os)
{
    *os << c.name;
}

class CancelTransfer : public TransferScreen, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelTransfer, StopsAfterTheBlockUnderWay)
{
    const CancelCase& c = GetParam();
    ASSERT_TRUE(Settings().SetSafeWrite(c.safeWrite));
    sim::Memory before;
    before.fill(0x11);
    radio->SetMemory(before);
    const std::string path = home.Path("kept.dat");
    ASSERT_TRUE(frame->Document().SaveTo(path, "kept").Ok());
    ASSERT_TRUE(frame->Document().OpenPath(path).Ok());
    frame->OpenView(Id(Command::RadioInformation));
    const Image imageBefore = Radio().MemoryImage();
    bool pressed = false;
    int blocksSent = 0;  // write blocks the radio had received when Cancel was pressed
    onProgress = [&](CDlgTransfer* dialog, int) {
        if (pressed || !c.when(*radio)) return;
        pressed = true;
        blocksSent = radio->CommandCount("Ea");
        EXPECT_TRUE(dialog->CancelButton()->isEnabled());
        dialog->CancelButton()->click();
        EXPECT_TRUE(dialog->isVisible()) << "the screen waits for the block under way";
        EXPECT_FALSE(dialog->CancelButton()->isEnabled());
    };

    EXPECT_FALSE(Run(c.direction));

    ASSERT_TRUE(pressed);
    EXPECT_EQ(radio->Mode(), 1) << "the connection was ended";
    EXPECT_EQ(screen.result.status, LinkStatus::Interrupted);
    ASSERT_FALSE(prompt.shown.empty());
    const QString shown = prompt.shown.back().text;
    EXPECT_EQ(prompt.shown.back().icon, CPrompt::Icon::Warning);
    EXPECT_EQ(LastLogResult(), shown);
    EXPECT_TRUE(Radio().MemoryImage() == imageBefore) << "the data stay as they were";
    EXPECT_EQ(frame->Document().Path(), path);
    EXPECT_NE(frame->FindView(Id(Command::RadioInformation)), nullptr) << "views stay open";
    EXPECT_EQ(radio->CommandCount("Ea"), blocksSent) << "not one block after Cancel";

    const sim::Memory after = radio->GetMemory();
    const uint16_t sentEnd = static_cast<uint16_t>(120 + 16 * blocksSent);
    for (size_t a = 0; a < after.size(); ++a) {
        if (a >= 120 && a < sentEnd)
            ASSERT_EQ(after[a], imageBefore[a]) << "address " << a << " was sent";
        else
            ASSERT_EQ(after[a], 0x11) << "address " << a << " was not sent";
    }

    const auto backups = ListBackups(home.Path("Backups"));
    EXPECT_EQ(backups.size(), c.direction == TransferDirection::Write && c.safeWrite &&
                                      c.message != TransferMessage::kBackupCancelled
                                  ? 1u
                                  : 0u);
    if (c.message != LinkMessage::kWriteInterrupted) {
        EXPECT_EQ(shown, MessageText(c.message));
        return;
    }
    // What the radio holds, and with a backup the file that puts the radio back.
    ASSERT_EQ(screen.result.written,
              (std::vector<AddressRange>{{120, static_cast<uint16_t>(sentEnd - 1)}}));
    QString expected = QString::fromStdString(screen.result.Text());
    EXPECT_TRUE(expected.startsWith(MessageText(c.message).section('%', 0, 0)));
    if (c.safeWrite) {
        ASSERT_EQ(backups.size(), 1u);
        EXPECT_EQ(screen.backupPath, backups.front().path);
        expected += '\n' + MessageText(SafeWriteMessage::kRestoreHint, backups.front().path);
    }
    EXPECT_EQ(shown, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, CancelTransfer,
    ::testing::Values(CancelCase{"ReadMidway", TransferDirection::Read, false,
                                 [](const sim::CRadioSim& r) { return r.CommandCount("Eb") >= 40; },
                                 LinkMessage::kReadInterrupted},
                      CancelCase{"WriteMidwayNamesTheBackup", TransferDirection::Write, true,
                                 [](const sim::CRadioSim& r) { return r.CommandCount("Ea") >= 20; },
                                 LinkMessage::kWriteInterrupted},
                      CancelCase{"WriteMidwayWithoutBackup", TransferDirection::Write, false,
                                 [](const sim::CRadioSim& r) { return r.CommandCount("Ea") >= 7; },
                                 LinkMessage::kWriteInterrupted},
                      CancelCase{"DuringTheBackupNothingIsSent", TransferDirection::Write, true,
                                 [](const sim::CRadioSim& r) { return r.CommandCount("Eb") >= 64; },
                                 TransferMessage::kBackupCancelled}),
    [](const auto& info) { return std::string(info.param.name); });

// Cancel while the write is being checked: the radio holds the whole new configuration, the
// data take the new time stamp as after any write, and the message says that only the check
// was cancelled.
TEST_F(TransferScreen, CancelDuringTheVerifyKeepsTheWrite)
{
    ASSERT_TRUE(Settings().SetSafeWrite(true));
    bool pressed = false;
    onProgress = [&](CDlgTransfer* dialog, int) {
        if (pressed || radio->CommandCount("Eb") < 128 + 30) return;
        pressed = true;
        dialog->CancelButton()->click();
    };
    EXPECT_FALSE(Run(TransferDirection::Write));
    ASSERT_TRUE(pressed);
    EXPECT_LT(radio->CommandCount("Eb"), 2 * 128) << "the check stopped";
    EXPECT_EQ(radio->Mode(), 1);
    ASSERT_FALSE(prompt.shown.empty());
    // The write went through; only its check was stopped.
    const std::string head = Settings().LoadMessage(WriteSessionMessage::kStoppedInVerify);
    EXPECT_TRUE(prompt.shown.back().text.startsWith(
        QString::fromStdString(head.substr(0, head.find("%s")))))
        << prompt.shown.back().text.toStdString();
    const sim::Memory after = radio->GetMemory();
    const Image& image = Radio().MemoryImage();
    EXPECT_TRUE(std::equal(image.begin() + 1408, image.end(), after.begin() + 1408));
    const TimeStamp stamp = Radio().RadioInfo().GetTimeStamp();
    EXPECT_TRUE(std::equal(stamp.begin(), stamp.end(), after.begin() + 32))
        << "the data show the programming time the radio holds";
}

}  // namespace
}  // namespace rv
