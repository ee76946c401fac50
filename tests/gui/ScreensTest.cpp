// The settings screens of the main window: Model Information (what a change of name, model,
// range or signalling does to the data), Language (switching the language file) and
// Communication Port (which ports can be chosen, and what OK remembers).

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "data/Document.h"
#include "data/ModelCatalog.h"
#include "data/RadioData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "gui/GuiTestSupport.h"
#include "link/ComPort.h"
#include "link/gui/DlgComPort.h"
#include "link/LinkTestSupport.h"
#include "link/PortNames.h"
#include "shell/DlgLanguage.h"
#include "shell/DlgModelInfo.h"
#include "shell/QtTranslations.h"
#include "base/IniFile.h"
#include "ui/QtText.h"
#include "base/CommandIds.h"
#include "base/TextFormat.h"

namespace rv {
namespace {

/// Acts on the first modal dialog of type D that opens, from inside its event loop. Keep the
/// returned timer alive until the dialog has closed.
template <class D>
std::unique_ptr<QTimer> OnModal(std::function<void(D*)> action)
{
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(5);
    QTimer* t = timer.get();
    QObject::connect(t, &QTimer::timeout, [t, action] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            t->stop();
            action(dialog);
        }
    });
    timer->start();
    return timer;
}

QString RootText(CMainFrame& frame)
{
    QTreeWidget* tree = frame.Tree();
    return tree->topLevelItemCount() > 0 ? tree->topLevelItem(0)->text(0) : QString();
}

// ---- Model Information ------------------------------------------------------------------

/// A catalogue in which RV205 is sold under two names.
constexpr const char* kCatalogue =
    "[Setting]\n"
    "ModelID=RV205,RV305\n"
    "RV205=RV-205,RV-205S\n"
    "RV305=RV-305\n"
    "[RV205]\nNumber=3\n"
    "Freq0=136, 174, 136, 174, 128\nFreq1=400, 470, 400, 470, 1\nFreq2=446, 447, 446, 447, 3\n"
    "[RV305]\nNumber=2\n"
    "Freq0=136, 174, 136, 174, 128\nFreq1=450, 520, 450, 520, 5\n";

class ModelInformation : public test::GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        home.Write("Model.dat", kCatalogue);
        ModelCatalog().LoadRangeTable();
        // A mark in the data that a reset to the default set removes.
        Radio().RadioInfo().SetSerialNumber("KEEP");
    }
    static ModelIdentity Start() { return {"RV205", "RV-205", "400-470", 2}; }
};

TEST_F(ModelInformation, OpensOnTheCurrentIdentity)
{
    ASSERT_EQ(CModelCatalog::CurrentIdentity(), Start());
    CDlgModelInfo dialog(Start());
    QComboBox* names = dialog.NameList();
    ASSERT_EQ(names->count(), 3);
    EXPECT_EQ(names->itemText(0), "RV-205");
    EXPECT_EQ(names->itemText(1), "RV-205S");
    EXPECT_EQ(names->itemText(2), "RV-305");
    EXPECT_EQ(names->currentText(), "RV-205");

    QComboBox* ranges = dialog.RangeList();
    ASSERT_EQ(ranges->count(), 3);
    EXPECT_EQ(ranges->itemText(2), "446-447");
    EXPECT_EQ(ranges->itemData(2).toInt(), 3) << "band code as item data";
    EXPECT_EQ(ranges->currentText(), "400-470");

    EXPECT_EQ(dialog.SignalList()->currentData().toInt(), 2);
    EXPECT_EQ(dialog.SignalList()->currentText().toStdString(), Settings().GetChoiceText(1076, 2));
    EXPECT_EQ(dialog.windowTitle().toStdString(), TextOr(Settings().LoadText(1070), "x"));
    EXPECT_EQ(dialog.Chosen(), Start());
}

TEST_F(ModelInformation, PickingAnotherModelOffersItsRangesAndSignalling)
{
    CDlgModelInfo dialog(Start());
    dialog.PickName("RV-305");
    ASSERT_EQ(dialog.RangeList()->count(), 2);
    EXPECT_EQ(dialog.RangeList()->currentText(), "136-174") << "first range chosen";
    EXPECT_EQ(dialog.SignalList()->currentIndex(), 0) << "first signalling entry for RV305";
    EXPECT_EQ(dialog.Chosen(), (ModelIdentity{"RV305", "RV-305", "136-174", 1}));

    // Back to the first model: its ranges again, and its own signalling entry (the second).
    dialog.PickName("RV-205S");
    EXPECT_EQ(dialog.RangeList()->count(), 3);
    EXPECT_EQ(dialog.SignalList()->currentIndex(), 1);
    EXPECT_EQ(dialog.Chosen(), (ModelIdentity{"RV205", "RV-205S", "136-174", 2}));
}

TEST_F(ModelInformation, AnotherNameOfTheSameModelKeepsTheRangeList)
{
    CDlgModelInfo dialog(Start());
    dialog.RangeList()->setCurrentIndex(2);
    dialog.PickName("RV-205S");
    EXPECT_EQ(dialog.RangeList()->count(), 3);
    EXPECT_EQ(dialog.RangeList()->currentText(), "446-447") << "the chosen range stays";
}

struct ModelChangeCase {
    const char* name;
    std::function<void(CDlgModelInfo*)> pick;
    std::vector<CPrompt::Answer> answers;  // empty: no question expected
    ModelIdentity expected;
    bool dataKept;
};

void PrintTo(const ModelChangeCase& c, std::ostream* os) { *os << c.name; }

class ModelChangeCases : public ModelInformation,
                         public ::testing::WithParamInterface<ModelChangeCase> {};

TEST_P(ModelChangeCases, OkAppliesTheChange)
{
    const ModelChangeCase& c = GetParam();
    frame->OpenView(Id(Command::RadioInformation));
    prompt.answers.assign(c.answers.begin(), c.answers.end());
    auto driver = OnModal<CDlgModelInfo>([&](CDlgModelInfo* dialog) {
        c.pick(dialog);
        ASSERT_TRUE(dialog->OkButton()->isEnabled());
        dialog->OkButton()->click();
    });
    RunModelInformation(*frame);

    EXPECT_EQ(prompt.Questions(), c.answers.size());
    if (!c.answers.empty()) {
        EXPECT_TRUE(prompt.Saw(CatalogMessage::kConfirmModelChange));
    }
    EXPECT_EQ(CModelCatalog::CurrentIdentity(), c.expected);
    EXPECT_EQ(Radio().RadioInfo().SerialNumber() == "KEEP", c.dataKept);
    EXPECT_EQ(RootText(*frame).toStdString(), c.expected.name) << "tree root";
    EXPECT_EQ(ModelCatalog().TableModelId(), c.expected.id);
    // A reset closes the views; a kept configuration keeps them.
    EXPECT_EQ(frame->FindView(Id(Command::RadioInformation)) != nullptr, c.dataKept);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, ModelChangeCases,
    ::testing::Values(
        ModelChangeCase{"NothingChanged", [](CDlgModelInfo*) {}, {},
                        {"RV205", "RV-205", "400-470", 2}, true},
        ModelChangeCase{"OtherNameOfSameModel", [](CDlgModelInfo* d) { d->PickName("RV-205S"); },
                        {}, {"RV205", "RV-205S", "400-470", 2}, true},
        ModelChangeCase{"OtherModelConfirmed", [](CDlgModelInfo* d) { d->PickName("RV-305"); },
                        {CPrompt::Answer::Yes}, {"RV305", "RV-305", "136-174", 1}, false},
        ModelChangeCase{"OtherModelDeclined", [](CDlgModelInfo* d) { d->PickName("RV-305"); },
                        {CPrompt::Answer::No}, {"RV205", "RV-205", "400-470", 2}, true},
        ModelChangeCase{"RangeAlone",
                        [](CDlgModelInfo* d) { d->RangeList()->setCurrentIndex(2); },
                        {CPrompt::Answer::Yes}, {"RV205", "RV-205", "446-447", 2}, false},
        ModelChangeCase{"SignallingAlone",
                        [](CDlgModelInfo* d) { d->SignalList()->setCurrentIndex(0); },
                        {CPrompt::Answer::Yes}, {"RV205", "RV-205", "400-470", 1}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ModelInformation, CancelChangesNothing)
{
    auto driver = OnModal<CDlgModelInfo>([](CDlgModelInfo* dialog) {
        dialog->PickName("RV-305");
        dialog->reject();
    });
    RunModelInformation(*frame);
    EXPECT_EQ(prompt.Questions(), 0u);
    EXPECT_EQ(CModelCatalog::CurrentIdentity(), Start());
    EXPECT_EQ(Radio().RadioInfo().SerialNumber(), "KEEP");
}

TEST_F(ModelInformation, ACurrentRangeOutsideTheCatalogueMustBeChosenFirst)
{
    Settings().SetFreqRange("300-310");
    CDlgModelInfo dialog(CModelCatalog::CurrentIdentity());
    EXPECT_EQ(dialog.RangeList()->currentIndex(), -1);
    EXPECT_FALSE(dialog.OkButton()->isEnabled()) << "no default set without a range";
    dialog.RangeList()->setCurrentIndex(1);
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
}

// ---- Language ---------------------------------------------------------------------------

class Language : public test::GuiTest {
protected:
    /// Runs the Language screen choosing row `row` and pressing OK.
    void Choose(int row)
    {
        auto driver = OnModal<CDlgLanguage>([row](CDlgLanguage* dialog) {
            dialog->List()->setCurrentRow(row);
            dialog->accept();
        });
        RunLanguage(*frame);
    }
};

TEST_F(Language, ListsTheLanguagesWithTheCurrentOneSelected)
{
    CDlgLanguage dialog(Settings().LanguageIndex());
    ASSERT_EQ(dialog.List()->count(), 2);
    EXPECT_EQ(dialog.List()->item(0)->text(), "English");
    EXPECT_EQ(dialog.List()->item(1)->text(), QString::fromUtf8("简体中文"));
    EXPECT_EQ(dialog.SelectedIndex(), 0);
}

TEST_F(Language, AnotherLanguageResetsTheDataAndRetranslates)
{
    // A document with a file, a mark in its data and an open view.
    const std::string path = home.Path("mine.dat");
    ASSERT_TRUE(frame->Document().SaveTo(path, "mine").Ok());
    ASSERT_TRUE(frame->Document().OpenPath(path).Ok());
    Radio().RadioInfo().SetSerialNumber("KEEP");
    frame->OpenView(Id(Command::RadioInformation));

    prompt.answers = {CPrompt::Answer::Yes};  // Save
    Choose(1);

    EXPECT_EQ(prompt.Questions(), 1u);
    EXPECT_TRUE(prompt.shown.front().text.contains(QStringLiteral("save")));
    EXPECT_EQ(Settings().LanguageIndex(), 1);
    EXPECT_EQ(Settings().LanguageName(), "简体中文");
    EXPECT_NE(Settings().LanguageFile().find("QTX_S.lng"), std::string::npos);
    EXPECT_EQ(frame->windowTitle().toStdString(), Settings().LoadText(128)) << "no file name";
    EXPECT_TRUE(frame->Document().Path().empty());
    EXPECT_NE(Radio().RadioInfo().SerialNumber(), "KEEP");
    EXPECT_EQ(frame->FindView(Id(Command::RadioInformation)), nullptr);
    // The tree speaks the new language.
    QTreeWidgetItem* first = frame->Tree()->topLevelItem(0)->child(0);
    EXPECT_EQ(first->text(0).toStdString(), Settings().LoadText(Id(Command::RadioInformation)));
    // The changes were saved into the file before the data were replaced.
    ASSERT_TRUE(frame->Document().OpenPath(path).Ok());
    EXPECT_EQ(Radio().RadioInfo().SerialNumber(), "KEEP");
}

TEST_F(Language, CancelKeepsEverythingDontSaveDiscardsUnchangedDataAskNothing)
{
    const std::string path = home.Path("mine.dat");
    ASSERT_TRUE(frame->Document().SaveTo(path, "mine").Ok());
    ASSERT_TRUE(frame->Document().OpenPath(path).Ok());
    Radio().RadioInfo().SetSerialNumber("KEEP");

    prompt.answers = {CPrompt::Answer::Cancel};
    Choose(1);
    EXPECT_EQ(prompt.Questions(), 1u);
    EXPECT_TRUE(prompt.Saw(DocMessage::kSaveChanges));
    EXPECT_EQ(Settings().LanguageIndex(), 0);
    EXPECT_EQ(Radio().RadioInfo().SerialNumber(), "KEEP");
    EXPECT_EQ(frame->Document().Path(), path);
    Choose(0);
    EXPECT_EQ(prompt.Questions(), 1u) << "the same language asks nothing";

    prompt.answers = {CPrompt::Answer::No};  // Don't Save
    Choose(1);
    EXPECT_EQ(prompt.Questions(), 2u);
    EXPECT_EQ(Settings().LanguageIndex(), 1);
    EXPECT_NE(Radio().RadioInfo().SerialNumber(), "KEEP");
    ASSERT_TRUE(frame->Document().OpenPath(path).Ok());
    EXPECT_NE(Radio().RadioInfo().SerialNumber(), "KEEP") << "the file was left alone";

    // Back to English with nothing changed: no question.
    Choose(0);
    EXPECT_EQ(prompt.Questions(), 2u);
    EXPECT_EQ(Settings().LanguageIndex(), 0);
}

// ---- Communication Port -----------------------------------------------------------------

/// Port 1 a free pseudo-terminal, port 2 one held by another user of the port, port 3 a
/// device that does not exist; no further devices.
class CommunicationPort : public test::GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        ASSERT_FALSE(freePort.Path().empty());
        ASSERT_FALSE(heldPort.Path().empty());
        ASSERT_TRUE(holder.Open(heldPort.Path()));
        const std::vector<std::string> devices{freePort.Path(), heldPort.Path(),
                                               "/dev/rvcps-no-such-port"};
        SetSerialDeviceSource([devices] { return devices; });
    }
    void TearDown() override
    {
        SetSerialDeviceSource({});
        GuiTest::TearDown();
    }
    /// Runs the screen with an action on it.
    void Run(std::function<void(CDlgComPort*)> action)
    {
        auto driver = OnModal<CDlgComPort>(action);
        RunComPort(*frame);
    }
    test::PtyPair freePort, heldPort;
    CComPort holder;
};

TEST_F(CommunicationPort, OnlyPortsThatOpenCanBeChosen)
{
    CDlgComPort dialog(1);
    ASSERT_EQ(dialog.Ports().size(), 16u);
    for (int n = 1; n <= 16; ++n) {
        auto* button = dialog.findChild<QRadioButton*>(QStringLiteral("port%1").arg(n));
        ASSERT_NE(button, nullptr) << n;
        EXPECT_EQ(button->isEnabled(), n == 1) << n;
        EXPECT_EQ(button->text(), QStringLiteral("COM%1").arg(n));
    }
    EXPECT_EQ(dialog.findChild<QLabel*>("device1")->text().toStdString(), freePort.Path());
    EXPECT_EQ(dialog.Ports()[1].error, PortError::Busy);
    EXPECT_EQ(dialog.Ports()[2].error, PortError::NotFound);
    EXPECT_TRUE(dialog.Ports()[3].device.empty());
    EXPECT_EQ(dialog.SelectedPort(), 1);
    // The probe closed the free port again.
    CComPort again;
    EXPECT_TRUE(again.Open(freePort.Path()));
}

TEST_F(CommunicationPort, AStoredPortThatCannotBeOpenedIsNotSelected)
{
    for (int stored : {2, 3, 9, 0, 17}) {
        CDlgComPort dialog(stored);
        EXPECT_EQ(dialog.SelectedPort(), 0) << stored;
    }
}

TEST_F(CommunicationPort, OkRemembersThePortAndShowsItInTheStatusBar)
{
    Settings().SetComPort(5);
    Run([](CDlgComPort* dialog) {
        dialog->findChild<QRadioButton*>("port1")->click();
        dialog->accept();
    });
    EXPECT_EQ(Settings().ComPort(), 1);
    EXPECT_EQ(frame->PortPane()->text().toStdString(),
              FormatTextNumber(TextOr(Settings().LoadMessage(2231), "COM%d"), 1));
}

TEST_F(CommunicationPort, OkWithoutAChoiceStoresZeroAndCancelKeepsThePort)
{
    Settings().SetComPort(2);
    Run([](CDlgComPort* dialog) { dialog->reject(); });
    EXPECT_EQ(Settings().ComPort(), 2);
    Run([](CDlgComPort* dialog) { dialog->accept(); });
    EXPECT_EQ(Settings().ComPort(), 0) << "the next connection searches every port";
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A number pinned in "Settings.ini" to one of the devices does not hide another: every device
// is listed once, and the line under the list says which device the chosen number means.
TEST_F(CommunicationPort, APinnedPortHidesNoOtherDevice)
{
    ASSERT_TRUE(
        CIniFile::WriteString(Settings().SettingsPath(), kPortsSection, "COM2", freePort.Path()));
    CDlgComPort dialog(2);
    std::vector<std::string> listed;
    for (const PortChoice& port : dialog.Ports())
        if (!port.device.empty()) listed.push_back(port.device);
    EXPECT_EQ(listed, (std::vector<std::string>{heldPort.Path(), freePort.Path(),
                                                "/dev/rvcps-no-such-port"}));
    EXPECT_TRUE(dialog.Ports()[1].pinned);
    EXPECT_FALSE(dialog.Ports()[0].pinned);
    const QString pinned = dialog.findChild<QLabel*>("device2")->text();
    EXPECT_TRUE(pinned.startsWith(QString::fromStdString(freePort.Path()))) << pinned.toStdString();
    EXPECT_TRUE(pinned.contains(UiText(ComPortText::kPinned, "(set in Settings.ini)")));
    EXPECT_EQ(dialog.SelectedPort(), 2);
    const QString means = QString::fromStdString(FormatTextString(
        FormatTextNumber(TextOr(Settings().LoadText(ComPortText::kMeans), "COM%d means %s"), 2),
        freePort.Path()));
    EXPECT_TRUE(dialog.MeaningLabel()->text().startsWith(means))
        << dialog.MeaningLabel()->text().toStdString();
    EXPECT_EQ(PortDevice(1), heldPort.Path());
    EXPECT_EQ(PortDevice(3), "/dev/rvcps-no-such-port");
}

// A typed device is pinned to the first number that names no device, writing one line into
// "Settings.ini" and keeping the rest of it; a device that does not open is refused with its
// reason, the screen stays open and nothing is written.
TEST_F(CommunicationPort, ATypedDeviceIsPinnedToAFreeNumber)
{
    const std::string settings = Settings().SettingsPath();
    const std::string original = "; kept comment\n" + FileText(settings);
    home.Write("Settings.ini", original);
    test::PtyPair typed;
    ASSERT_FALSE(typed.Path().empty());

    bool stayedOpen = false;
    Run([&](CDlgComPort* dialog) {
        dialog->PathEdit()->setText("/dev/rvcps-nothing-here");
        dialog->PathChoice()->click();
        dialog->accept();
        stayedOpen = dialog->isVisible();
        dialog->reject();
    });
    EXPECT_TRUE(stayedOpen);
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown.back().text.toStdString(),
              Settings().LoadMessage(1193, {"/dev/rvcps-nothing-here"}));
    EXPECT_EQ(FileText(settings), original) << "nothing written";

    Run([&](CDlgComPort* dialog) {
        dialog->PathEdit()->setText(QString::fromStdString(typed.Path()));
        dialog->PathChoice()->click();
        EXPECT_TRUE(dialog->MeaningLabel()->text().contains(QStringLiteral("COM4")));
        dialog->accept();
    });
    EXPECT_EQ(Settings().ComPort(), 4);
    EXPECT_EQ(PortDevice(4), typed.Path());
    const std::string after = FileText(settings);
    EXPECT_EQ(after, original + "\n[Ports]\nCOM4=" + typed.Path() + "\n");
    EXPECT_EQ(frame->PortPane()->text().toStdString(),
              FormatTextNumber(TextOr(Settings().LoadMessage(2231), "COM%d"), 4));

    // A listed device typed again keeps its number and writes nothing.
    Run([&](CDlgComPort* dialog) {
        dialog->PathEdit()->setText(QString::fromStdString(freePort.Path()));
        dialog->PathChoice()->click();
        dialog->accept();
    });
    EXPECT_EQ(Settings().ComPort(), 1);
    EXPECT_EQ(FileText(settings), after);
}

// Qt's own texts (standard buttons, file dialogs) follow the language of the program.
TEST_F(Language, QtsOwnTextsFollowTheLanguage)
{
    auto cancelText = [] {
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        return box.button(QDialogButtonBox::Cancel)->text();
    };
    const QString english = cancelText();
    Settings().SelectLanguage(1);
    ASSERT_TRUE(ApplyQtTranslations())
        << "qtbase_zh_CN.qm not found: install qt6-translations-l10n (scripts/deps.sh)";
    EXPECT_TRUE(QtTranslationFile().contains("qtbase_zh_CN"));
    EXPECT_EQ(cancelText(), QStringLiteral("取消"));
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_TRUE(dialog.labelText(QFileDialog::FileName).startsWith(QStringLiteral("文件名称")))
        << dialog.labelText(QFileDialog::FileName).toStdString();
    Settings().SelectLanguage(0);
    EXPECT_TRUE(ApplyQtTranslations());
    EXPECT_TRUE(QtTranslationFile().isEmpty());
    EXPECT_EQ(cancelText(), english);
}

}  // namespace
}  // namespace rv
