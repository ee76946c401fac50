// The Factory screen, the embedded-module view with its password screens, Memory Update and
// Close All, But This, on real widgets against the simulated radio.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>

#include "base/Bytes.h"
#include "base/CommandIds.h"
#include "base/IniFile.h"
#include "data/MemoryMap.h"
#include "data/ModelCatalog.h"
#include "data/RadioData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "gui/GuiTestSupport.h"
#include "link/PortNames.h"
#include "service/gui/DlgFactory.h"
#include "service/gui/ViewEmbedded.h"
#include "sim/RadioSim.h"

namespace rv {
namespace {

constexpr int kSimPort = 3;

/// Acts on every modal dialog of type D that opens, from inside its event loop; returns how
/// many were handled through count. Keep the returned timer alive until the last has closed.
template <class D>
std::unique_ptr<QTimer> OnEachModal(std::function<void(D*)> action, int* count = nullptr)
{
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(5);
    auto handled = std::make_shared<QPointer<D>>();
    QObject::connect(timer.get(), &QTimer::timeout, [action, count, handled] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog || *handled == dialog) return;
        *handled = dialog;
        if (count) ++*count;
        action(dialog);
    });
    timer->start();
    return timer;
}

QLineEdit* Edit(const CFormControls& controls, int id)
{
    return controls.Get<QLineEdit>(id);
}

class ServiceScreensTest : public test::GuiTest {
protected:
    void SetUp() override
    {
        test::GuiTest::SetUp();
        SetSerialDeviceSource([] { return std::vector<std::string>{}; });
        radio = std::make_unique<sim::CRadioSim>();
        ASSERT_TRUE(radio->Start());
        CIniFile::WriteString(home.Path("Settings.ini"), "Ports", "COM" + std::to_string(kSimPort),
                              radio->DevicePath());
        Settings().SetComPort(kSimPort);
        ModelCatalog().LoadRangeTable();
        // The radio holds what the program would write, with the embedded messages below.
        Radio().MemoryMap().PrepareImage();
        sim::Memory memory{};
        std::copy(Radio().MemoryImage().begin(), Radio().MemoryImage().end(), memory.begin());
        uint8_t* embedded = memory.data() + CEmbeddedBlock::kImageAddress;
        std::fill(embedded, embedded + CEmbeddedBlock::kRecordSize, uint8_t{' '});
        WriteText(embedded, 8, "pw", ' ');
        WriteText(embedded + 16, 32, "Call the base", ' ');
        WriteText(embedded + 48, 32, "Battery low", ' ');
        embedded[80] = 0xFF;  // an erased message
        radio->SetMemory(memory);
    }
    void TearDown() override
    {
        radio.reset();
        SetSerialDeviceSource({});
        test::GuiTest::TearDown();
    }
    void UseLevel(int level)
    {
        home.SetUserLevel(level);
        frame->RefreshAll();
    }
    /// The embedded view opened from the tree, after its read.
    CViewEmbedded* OpenEmbedded()
    {
        auto* view = dynamic_cast<CViewEmbedded*>(frame->OpenView(Id(Command::Embedded)));
        const QPointer<CViewEmbedded> alive(view);
        Settle();
        return alive;
    }
    std::string RadioText(size_t address, size_t width) const
    {
        const sim::Memory m = radio->GetMemory();
        return ReadText(m.data() + address, width);
    }
    std::unique_ptr<sim::CRadioSim> radio;
};

// ---- Factory Mode ----

TEST_F(ServiceScreensTest, FactoryModeReadsTheRadioAndLearnsItsNewRange)
{
    UseLevel(kFullServiceLevel);
    // The radio was made for 350-390 MHz, a range the catalogue does not know.
    sim::Memory m = radio->GetMemory();
    WriteText(m.data() + 16, 12, "RV-205 F", 0);
    const int signal = Settings().Signal() == 1 ? 2 : 1;
    m[16 + 14] = static_cast<uint8_t>(signal);
    PutU32(m.data() + 40, ToBcd(35000000));
    PutU32(m.data() + 44, ToBcd(39000000));
    WriteText(m.data() + 72, 16, "SN-4711", 0);
    radio->SetMemory(m);
    ASSERT_FALSE(ModelCatalog().RangeIsKnown(350, 390));

    bool opened = false;
    auto timer = OnEachModal<CDlgFactory>([&](CDlgFactory* dialog) {
        opened = true;
        const CFormControls& c = dialog->Controls();
        EXPECT_EQ(Edit(c, CDlgFactory::Control::kModelId)->text().toStdString(), "RV205");
        dialog->Button(CDlgFactory::Control::kRead)->click();
        EXPECT_EQ(Edit(c, CDlgFactory::Control::kModelName)->text().toStdString(), "RV-205 F");
        EXPECT_EQ(Edit(c, CDlgFactory::Control::kSerialNumber)->text().toStdString(), "SN-4711");
        EXPECT_EQ(Edit(c, CDlgFactory::Control::kLowerEdge)->text().toStdString(), "350.00000");
        EXPECT_EQ(Edit(c, CDlgFactory::Control::kFirmwareVersion)->text().toStdString(),
                  "1.01.16.001");
        dialog->Button(CDlgFactory::Control::kClose)->click();
    });
    frame->RunCommand(Id(Command::FactoryMode));
    Settle();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(prompt.Saw(1136));
    // Asked in order: the name, the band, the signalling, then whether to add the range.
    std::vector<QString> questions;
    for (const auto& s : prompt.shown)
        if (s.question) questions.push_back(s.text);
    ASSERT_EQ(questions.size(), 4u);
    EXPECT_TRUE(questions[0].contains("RV-205 F"));
    EXPECT_TRUE(questions[1].contains("350-390"));
    EXPECT_TRUE(questions[3].contains("350-390"));

    const CSettings& s = Settings();
    EXPECT_EQ(s.ModelName(), "RV-205 F");
    EXPECT_EQ(s.FreqRange(), "350-390");
    EXPECT_EQ(s.Signal(), signal);
    EXPECT_TRUE(ModelCatalog().RangeIsKnown(350, 390));
    EXPECT_EQ(frame->Tree()->topLevelItem(0)->text(0).toStdString(), "RV-205 F");
    EXPECT_TRUE(frame->RangePane()->text().contains("350"));
    // The default set of the new range was loaded.
    EXPECT_EQ(Radio().RadioInfo().ModelName(), "RV-205 F");
    EXPECT_NE(Radio().RadioInfo().SerialNumber(), "SN-4711");
}

TEST_F(ServiceScreensTest, FactoryWriteSendsTheEditedFieldsAndAnEmptyNameIsRefused)
{
    UseLevel(kServiceLevel);
    auto timer = OnEachModal<CDlgFactory>([&](CDlgFactory* dialog) {
        const CFormControls& c = dialog->Controls();
        // Below the full service level the band and the signalling are not to be changed.
        for (int id : {CDlgFactory::Control::kLowerEdge, CDlgFactory::Control::kUpperEdge,
                       CDlgFactory::Control::kRangeId, CDlgFactory::Control::kBandFlag,
                       CDlgFactory::Control::kSignalType})
            EXPECT_FALSE(c.Control(id)->isEnabled()) << id;
        EXPECT_TRUE(c.Control(CDlgFactory::Control::kModelName)->isEnabled());
        EXPECT_EQ(c.Control(CDlgFactory::Control::kSerialNumber)->accessibleName(),
                  "Serial Number");

        // Write waits for a Read of the radio in this visit.
        EXPECT_FALSE(dialog->Button(CDlgFactory::Control::kWrite)->isEnabled());
        dialog->Button(CDlgFactory::Control::kRead)->click();
        EXPECT_TRUE(dialog->Button(CDlgFactory::Control::kWrite)->isEnabled());

        Edit(c, CDlgFactory::Control::kModelName)->setText("  ");
        dialog->Button(CDlgFactory::Control::kWrite)->click();
        EXPECT_TRUE(prompt.Saw(FactoryMessage::kEmptyModelName));
        EXPECT_EQ(radio->CommandCount("Ea"), 0);

        Edit(c, CDlgFactory::Control::kModelName)->setText("RV-205");
        Edit(c, CDlgFactory::Control::kSerialNumber)->setText("SN-0042");
        dialog->Button(CDlgFactory::Control::kWrite)->click();
        EXPECT_TRUE(prompt.Saw(1137));
        dialog->reject();
    });
    frame->RunCommand(Id(Command::FactoryMode));
    Settle();
    EXPECT_EQ(RadioText(72, 16), "SN-0042");
    EXPECT_EQ(RadioText(108, 12), "RV205");
    EXPECT_TRUE(Radio().RadioInfo().HasFactoryMarker());
    EXPECT_EQ(Radio().RadioInfo().SerialNumber(), "SN-0042");
    EXPECT_EQ(prompt.Questions(), 0u);
}

TEST_F(ServiceScreensTest, FactoryModeIsOutOfReachBelowTheServiceLevels)
{
    UseLevel(0);
    EXPECT_EQ(frame->Action(Id(Command::FactoryMode)), nullptr);
    EXPECT_EQ(frame->Action(Id(Command::MemoryUpdate)), nullptr);
    int opened = 0;
    auto timer = OnEachModal<CDlgFactory>([](CDlgFactory* d) { d->reject(); }, &opened);
    frame->RunCommand(Id(Command::FactoryMode));
    Settle();
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(radio->CommandCount("*"), 0);
}

// ---- embedded messages ----

TEST_F(ServiceScreensTest, EmbeddedViewReadsAsItOpensAndWritesWithThePassword)
{
    frame->OpenView(Id(Command::RadioInformation));
    CViewEmbedded* view = OpenEmbedded();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->HasRead());
    // The other child windows were closed by the read.
    EXPECT_EQ(frame->MdiArea()->subWindowList().size(), 1);
    const CFormControls& c = view->Controls();
    EXPECT_EQ(Edit(c, CViewEmbedded::Control::kMessage1)->text().toStdString(), "Call the base");
    EXPECT_EQ(Edit(c, CViewEmbedded::Control::kMessage2)->text().toStdString(), "Battery low");
    EXPECT_EQ(Edit(c, CViewEmbedded::Control::kMessage3)->text().toStdString(), "");
    EXPECT_EQ(c.Control(CViewEmbedded::Control::kMessage1)->accessibleName(), "Message NO.1");

    Edit(c, CViewEmbedded::Control::kMessage3)->setText("Meet at gate 3");
    int asked = 0;
    auto timer = OnEachModal<CDlgInputPassword>(
        [](CDlgInputPassword* d) {
            d->Edit()->setText("pw");
            d->OkButton()->click();
        },
        &asked);
    EXPECT_TRUE(view->Write());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(RadioText(1024 + 80, 32), "Meet at gate 3" + std::string(18, ' '));
    EXPECT_EQ(RadioText(1024 + 16, 32), "Call the base" + std::string(19, ' '));
    EXPECT_EQ(Radio().Embedded().Message(2), "Meet at gate 3");
}

TEST_F(ServiceScreensTest, ThreeWrongPasswordsWriteNothing)
{
    CViewEmbedded* view = OpenEmbedded();
    ASSERT_NE(view, nullptr);
    Edit(view->Controls(), CViewEmbedded::Control::kMessage1)->setText("Changed");
    const int writesBefore = radio->CommandCount("Ea");
    int asked = 0;
    auto timer = OnEachModal<CDlgInputPassword>(
        [](CDlgInputPassword* d) {
            d->Edit()->setText("PW");  // capital letters count
            d->OkButton()->click();
        },
        &asked);
    EXPECT_FALSE(view->Write());
    EXPECT_EQ(asked, 3);
    int wrong = 0;
    const QString head = QString::fromStdString(Settings().LoadMessage(1176)).left(20);
    for (const auto& s : prompt.shown) wrong += s.text.startsWith(head);
    EXPECT_EQ(wrong, 3);
    EXPECT_EQ(radio->CommandCount("Ea"), writesBefore);
    EXPECT_EQ(RadioText(1024 + 16, 32), "Call the base" + std::string(19, ' '));
}

TEST_F(ServiceScreensTest, ChangePasswordNeedsTheOldOneAndWritesTheNewOne)
{
    CViewEmbedded* view = OpenEmbedded();
    ASSERT_NE(view, nullptr);
    int step = 0;
    auto timer = OnEachModal<CDlgChangePassword>([&](CDlgChangePassword* d) {
        d->OldEdit()->setText("wrong");
        d->NewEdit()->setText("new1");
        d->ConfirmEdit()->setText("new1");
        d->OkButton()->click();
        EXPECT_TRUE(prompt.Saw(EmbeddedMessage::kOldWrong));
        EXPECT_TRUE(d->isVisible());
        EXPECT_TRUE(d->OldEdit()->text().isEmpty() && d->NewEdit()->text().isEmpty());

        d->OldEdit()->setText("pw");
        d->NewEdit()->setText("new1");
        d->ConfirmEdit()->setText("new2");
        d->OkButton()->click();
        EXPECT_TRUE(prompt.Saw(EmbeddedMessage::kConfirmDiffers));
        EXPECT_EQ(d->OldEdit()->text().toStdString(), "pw");
        EXPECT_TRUE(d->NewEdit()->text().isEmpty() && d->ConfirmEdit()->text().isEmpty());

        d->NewEdit()->setText("new1");
        d->ConfirmEdit()->setText("new1");
        step = 1;
        d->OkButton()->click();
    });
    EXPECT_TRUE(view->ChangePassword());
    EXPECT_EQ(step, 1);
    EXPECT_TRUE(prompt.Saw(EmbeddedMessage::kPasswordChanged));
    EXPECT_EQ(RadioText(1024, 8), "new1    ");
    // Only the password was written: the messages are as they were.
    EXPECT_EQ(RadioText(1024 + 16, 32), "Call the base" + std::string(19, ' '));
    EXPECT_EQ(Radio().Embedded().Password(), "new1");
}

TEST_F(ServiceScreensTest, EmbeddedViewClosesWhenTheRadioIsOfAnotherRange)
{
    sim::SimIdentity other;
    other.range = sim::MakeRangeRecord(136, 174, 128);
    radio->SetIdentity(other);
    const std::vector<uint8_t> before(Radio().Embedded().Raw().Data(),
                                      Radio().Embedded().Raw().Data() + 144);
    EXPECT_EQ(OpenEmbedded(), nullptr);
    EXPECT_EQ(frame->FindView(Id(Command::Embedded)), nullptr);
    EXPECT_TRUE(prompt.Saw(1142));
    EXPECT_EQ(std::vector<uint8_t>(Radio().Embedded().Raw().Data(),
                                   Radio().Embedded().Raw().Data() + 144),
              before);
    EXPECT_EQ(Settings().FreqRange(), "400-470");
}

// ---- Memory Update and Close All, But This ----

TEST_F(ServiceScreensTest, MemoryUpdateRebuildsTheImageAtTheFullServiceLevelOnly)
{
    Radio().Embedded().SetMessage(3, "Not in the image yet");
    UseLevel(kServiceLevel);
    frame->RunCommand(Id(Command::MemoryUpdate));
    EXPECT_NE(ReadText(Radio().MemoryImage().data() + 1024 + 112, 32).substr(0, 20),
              "Not in the image yet");
    UseLevel(kFullServiceLevel);
    ASSERT_NE(frame->Action(Id(Command::MemoryUpdate)), nullptr);
    EXPECT_EQ(frame->Action(Id(Command::MemoryUpdate))->shortcut(), QKeySequence(Qt::Key_F5));
    frame->RunCommand(Id(Command::MemoryUpdate));
    EXPECT_EQ(ReadText(Radio().MemoryImage().data() + 1024 + 112, 32).substr(0, 20),
              "Not in the image yet");
}

TEST_F(ServiceScreensTest, CloseAllButThisKeepsTheCurrentWindow)
{
    frame->OpenView(Id(Command::RadioInformation));
    CCustomFormView* keys = frame->OpenView(Id(Command::Keys));
    frame->OpenView(Id(Command::Volume));
    frame->OpenView(Id(Command::Keys));  // brings it to the front
    ASSERT_NE(frame->Action(Id(Command::CloseAllButThis)), nullptr);
    frame->RunCommand(Id(Command::CloseAllButThis));
    Settle();
    ASSERT_EQ(frame->MdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(frame->FindView(Id(Command::Keys)), keys);
    EXPECT_FALSE(frame->Action(Id(Command::CloseAllButThis))->isEnabled());
}

}  // namespace
}  // namespace rv
