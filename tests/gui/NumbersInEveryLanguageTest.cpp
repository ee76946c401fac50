// Numbers a user types or a file holds are the same on every desktop. The program takes the
// desktop's language settings (QApplication sets the C library's locale from the environment),
// so under a German desktop the C library writes "446,50000" and reads "446.5" as 446. These
// tests type frequencies in the channel sheet and the grid, export and import the channel table
// through the menus, save and print. CTest runs them once under C.UTF-8 and once under
// de_DE.UTF-8 (tests/NumbersInEveryLanguage.cmake) and compares what they wrote: the files
// named by RV_NUMBERS_OUT must be byte for byte the same.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/CommandIds.h"
#include "data/PrintSelection.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelGrid.h"
#include "editors/channel/gui/ChanSheet.h"
#include "editors/channel/gui/DlgChannelImport.h"
#include "editors/channel/gui/PageChanBasic.h"
#include "editors/channel/gui/ViewChannel.h"
#include "editors/channel/gui/ViewChannelList.h"
#include "editors/radio/RadioInfoBlock.h"
#include "gui/GuiTestSupport.h"
#include "report/PrintReport.h"
#include "report/gui/ReportPrinting.h"
#include "shell/ExchangeCommands.h"
#include "ui/FormBuilder.h"
#include "ui/GridCtrl.h"

namespace rv {
namespace {

using C = ChannelControl;
constexpr int kRx = static_cast<int>(ChannelColumn::RxFreq);

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

/// A fixed moment, so that runs at different times write the same bytes.
std::tm FixedTime()
{
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 4;
    t.tm_mday = 17;
    t.tm_hour = 9;
    t.tm_min = 30;
    return t;
}

class NumbersInEveryLanguage : public test::GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        // The comma run must really have a comma locale: a missing one would pass unseen.
        if (std::getenv("RV_EXPECT_COMMA_DECIMAL")) {
            ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",")
                << "the locale of LC_ALL is not installed (scripts/test.sh generates it)";
        }
        const char* out = std::getenv("RV_NUMBERS_OUT");
        outDir = out ? out : home.Path("out");
        std::filesystem::create_directories(outDir);
    }
    void TearDown() override
    {
        SetCsvPathChooser({});
        SetImportPreviewRunner({});
        SetPdfPathChooser({});
        if (frame) frame->hide();
        GuiTest::TearDown();
    }
    std::string Out(const std::string& name) const { return outDir + "/" + name; }
    /// Types text into a line edit as a user does (the validator sees every key), then leaves it.
    static void TypeInto(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(edit, &out);
    }
    static CChannelData& Channel(size_t number) { return *Radio().Channels()[number - 1]; }
    std::string outDir;
};

TEST_F(NumbersInEveryLanguage, TypedFrequenciesKeepTheirDecimals)
{
    frame->show();
    QApplication::setActiveWindow(frame.get());
    auto* view = dynamic_cast<CViewChannel*>(frame->OpenView(Id(Command::Channel)));
    ASSERT_NE(view, nullptr);
    auto* rx = qobject_cast<QLineEdit*>(view->Sheet()->Basic()->Control(C::RxFreqBox));
    auto* tx = qobject_cast<QLineEdit*>(view->Sheet()->Basic()->Control(C::TxFreqBox));
    ASSERT_NE(rx, nullptr);
    ASSERT_NE(tx, nullptr);
    // A point and a comma are both the decimal mark; the box shows a point.
    TypeInto(rx, QStringLiteral("446.5"));
    EXPECT_EQ(Channel(1).RxFreq(), 0x44650000u);
    EXPECT_EQ(rx->text(), QStringLiteral("446.50000"));
    TypeInto(tx, QStringLiteral("446,0125"));
    EXPECT_EQ(Channel(1).TxFreq(), 0x44601250u);
    EXPECT_EQ(tx->text(), QStringLiteral("446.01250"));

    auto* list = dynamic_cast<CViewChannelList*>(frame->OpenView(Id(Command::ChannelList)));
    ASSERT_NE(list, nullptr);
    CGridCtrl* grid = list->Grid();
    for (const auto& [row, typed, stored] :
         {std::tuple{1, "441,125", 0x44112500u}, std::tuple{2, "441.5", 0x44150000u}}) {
        SCOPED_TRACE(typed);
        ASSERT_TRUE(grid->EditCell(row, kRx));
        auto* editor = qobject_cast<QLineEdit*>(grid->OpenEditor());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, QString::fromLatin1(typed));
        EXPECT_EQ(editor->text(), QString::fromLatin1(typed));  // the validator took the comma
        grid->CommitEdit();
        EXPECT_EQ(Channel(static_cast<size_t>(row) + 1).RxFreq(), stored);
        EXPECT_EQ(grid->CellText(row, kRx).count(QLatin1Char(',')), 0);
    }
    EXPECT_EQ(grid->CellText(0, kRx), QStringLiteral("446.50000"));

    // A number box with decimals shows a point and takes a typed comma.
    CRangeSpinBox spin;
    RangeDescriptor halves;
    halves.displayStart = 5;
    halves.displayEnd = 30;
    halves.divisor = 10;
    halves.storedStart = 5;
    halves.decimals = 1;
    spin.SetDescriptor(halves);
    spin.SetStoredValue(25);
    EXPECT_EQ(spin.text(), QStringLiteral("2.5"));
    spin.selectAll();
    QTest::keyClicks(&spin, QStringLiteral("1,5"));
    spin.interpretText();
    EXPECT_EQ(spin.StoredValue(), 15);
}

TEST_F(NumbersInEveryLanguage, ExportImportSaveAndPrintWriteTheSameBytes)
{
    // Frequencies with every kind of decimal: whole, half, the 6.25 kHz raster.
    Channel(1).SetRxFreq(0x44650000);
    Channel(1).SetTxFreq(0x44600625);
    Channel(2).SetRxFreq(0x43001250);
    Radio().RadioInfo().SetTimeStamp(FixedTime());
    frame->ReloadAllViews();

    // Export through the File menu.
    const std::string exported = Out("channels.csv");
    SetCsvPathChooser([&exported](QWidget*, bool save) -> std::optional<QString> {
        EXPECT_TRUE(save);
        return QString::fromStdString(exported);
    });
    frame->RunCommand(Id(Command::ExportChannels));
    const std::string csv = ReadText(exported);
    // Channel 1 receives on 446.5 MHz and transmits 0.49375 MHz below it (six decimals, as
    // other programs write them).
    EXPECT_NE(csv.find(",446.500000,-,0.493750,"), std::string::npos) << csv;
    EXPECT_EQ(csv.find("446,5"), std::string::npos) << csv;

    // Import through the File menu: a table with the six decimals other programs write.
    std::string plan = csv;
    const size_t at = plan.find("446.500000");
    ASSERT_NE(at, std::string::npos);
    plan.replace(at, 10, "446.006250");
    const std::string planPath = home.Path("plan.csv");
    std::ofstream(planPath, std::ios::binary) << plan;
    SetCsvPathChooser([&planPath](QWidget*, bool save) -> std::optional<QString> {
        EXPECT_FALSE(save);
        return QString::fromStdString(planPath);
    });
    bool applyEnabled = false;
    SetImportPreviewRunner([&applyEnabled](CDlgChannelImport& dialog) {
        applyEnabled = dialog.ApplyButton()->isEnabled();
        dialog.ApplyButton()->click();
        return dialog.result();
    });
    frame->RunCommand(Id(Command::ImportChannels));
    EXPECT_TRUE(applyEnabled);
    EXPECT_EQ(Channel(1).RxFreq(), 0x44600625u);
    Radio().RadioInfo().SetTimeStamp(FixedTime());

    // Save As through the File menu, and the channel table once more.
    files.save = SaveChoice{Out("config.dat"), "numbers"};
    frame->RunCommand(Id(Command::SaveAs));
    EXPECT_TRUE(std::filesystem::exists(Out("config.dat")));
    SetCsvPathChooser([this](QWidget*, bool) -> std::optional<QString> {
        return QString::fromStdString(Out("imported.csv"));
    });
    frame->RunCommand(Id(Command::ExportChannels));

    // The report of every section, as Print draws it, at a fixed time: its text, and the PDF
    // that Print offers where there is no printer.
    CPrintSelection all;
    for (size_t i = 0; i < kPrintRowCount; ++i) all.SetSelected(i, true);
    const ReportDocument report =
        MakeReportDocument(Radio(), all, Settings(), "config.dat", FixedTime());
    std::ofstream text(Out("report.txt"), std::ios::binary);
    for (const InfoPair& info : report.info) text << info.label << " " << info.value << "\n";
    for (const ReportRow& row : report.rows) {
        for (const ReportCell& cell : row.cells) text << cell.text << "|";
        text << "\n";
    }
    text.close();
    EXPECT_NE(ReadText(Out("report.txt")).find("446.00625"), std::string::npos);
    if (!CReportPrinting::HasPrinter()) {
        SetPdfPathChooser([this](QWidget*) {
            return std::optional<QString>(QString::fromStdString(Out("report.pdf")));
        });
        prompt.answers = {CPrompt::Answer::Yes};
        EXPECT_TRUE(CReportPrinting::Print(frame.get(), report));
        EXPECT_GT(std::filesystem::file_size(Out("report.pdf")), 0u);
    }
}

}  // namespace
}  // namespace rv
