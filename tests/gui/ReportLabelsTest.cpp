// The printed report holds every label its views show. For every model and user level, every
// category the Print Tree offers is printed alone to a PDF (the pages the desktop program and
// the command line draw), the PDF's text is taken out with pdftotext, and every label the
// category's view shows at that level and for that model must be in it. A label the view hides
// (Channel Change Beep on the RV-205) must not be.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <algorithm>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "base/CommandIds.h"
#include "data/PrintSelection.h"
#include "data/RadioData.h"
#include "editors/scan/ScanData.h"
#include "gui/GuiTestSupport.h"
#include "report/PrintReport.h"
#include "report/render/ReportRenderer.h"
#include "service/EmbeddedBlock.h"
#include "service/MaintainBoard.h"
#include "shell/PrintCommands.h"
#include "shell/ViewTable.h"
#include "ui/CustomFormView.h"

namespace rv {
namespace {

/// Blanks of any kind as one space, ends trimmed: the PDF's text breaks and spaces its words as
/// the page has them.
std::string Squeezed(const QString& text)
{
    return text.simplified().toStdString();
}

/// The label a control shows: a check box's own text, else the text of the label whose buddy
/// it is; "" when it has none.
QString LabelOf(QWidget* control, QWidget* view)
{
    if (auto* check = qobject_cast<QCheckBox*>(control)) return check->text();
    for (QLabel* label : view->findChildren<QLabel*>())
        if (label->buddy() == control) return label->text();
    return {};
}

/// The labels a view shows now, page by page (every tab of its sheets in turn). A view whose
/// controls are bound to record fields names those fields' labels; a view built by hand names
/// every shown control's label and the column heads of its grids. Member boxes of a scan list
/// beyond its number of entries take no input and are not printed.
std::set<std::string> ShownLabels(CCustomFormView* view)
{
    std::set<std::string> labels;
    auto take = [&](QWidget* page) {
        const QList<QWidget*> widgets = page->findChildren<QWidget*>();
        const bool keyed = std::any_of(widgets.begin(), widgets.end(), [](QWidget* w) {
            return !w->property("rvFieldKey").toString().isEmpty();
        });
        for (QWidget* w : widgets) {
            if (!w->isVisibleTo(view)) continue;
            const QString key = w->property("rvFieldKey").toString();
            if (keyed && key.isEmpty()) continue;
            if (key.startsWith("member_") && !w->isEnabled()) continue;
            if (auto* table = qobject_cast<QTableWidget*>(w)) {
                if (table->horizontalHeader()->isHidden()) continue;
                for (int c = 0; c < table->columnCount(); ++c)
                    if (!table->isColumnHidden(c) && table->horizontalHeaderItem(c))
                        labels.insert(Squeezed(table->horizontalHeaderItem(c)->text()));
                continue;
            }
            if (qobject_cast<QLabel*>(w) ||
                (qobject_cast<QAbstractButton*>(w) && !qobject_cast<QCheckBox*>(w)))
                continue;
            const QString label = LabelOf(w, view).remove(QLatin1Char('&'));
            if (!label.trimmed().isEmpty()) labels.insert(Squeezed(label));
        }
    };
    const QList<QTabWidget*> sheets = view->findChildren<QTabWidget*>();
    for (QTabWidget* sheet : sheets)
        for (int i = 0; i < sheet->count(); ++i) {
            sheet->setCurrentIndex(i);
            take(sheet->widget(i));
        }
    if (sheets.isEmpty()) take(view);
    return labels;
}

/// The text of a PDF, as pdftotext gives it, squeezed.
std::string PdfText(const std::string& pdf)
{
    QProcess run;
    run.start(QStringLiteral("pdftotext"), {QString::fromStdString(pdf), QStringLiteral("-")});
    if (!run.waitForFinished(-1) || run.exitCode() != 0) return {};
    return Squeezed(QString::fromUtf8(run.readAllStandardOutput()));
}

struct Profile {
    const char* name;
    const char* model;
    const char* range;
    int level;
};
void PrintTo(const Profile& p, std::ostream* os)
{
    *os << p.name;
}

const Profile kProfiles[] = {
    {"RV205_Normal", "RV205", "400-470", 0},
    {"RV205_Service", "RV205", "400-470", kServiceLevel},
    {"RV205_FullService", "RV205", "400-470", kFullServiceLevel},
    {"RV305_Normal", "RV305", "136-174", 0},
    {"RV305_FullService", "RV305", "136-174", kFullServiceLevel},
    {"RV385_Normal", "RV385", "400-470", 0},
    {"RV385_Service", "RV385", "400-470", kServiceLevel},
};

class ReportLabels : public test::GuiTest, public ::testing::WithParamInterface<Profile> {
protected:
    /// Data that gives every view something to show: a scan list of four members, a message
    /// and a record on the maintenance board.
    void Fill()
    {
        CScanData& scan = Radio().AddScanList();
        scan.Raw()[CScanData::Offset::Entries] = 4;
        for (size_t k = 0; k < 4; ++k)
            scan.Raw()[CScanData::Offset::Members + k] = static_cast<uint8_t>(1);
        scan.ResolveLinks();
        Radio().Embedded().SetMessage(0, "SERVICE DUE");
        CMaintainBoard board;
        board.Add(NewBoardRecord(2026, 3, 14));
        frame->Document().Board() = board.Bytes();
        frame->RefreshAll();
    }
};

TEST_P(ReportLabels, EveryCategoryPrintsEveryLabelItsViewShows)
{
    const Profile& p = GetParam();
    home.SetUserLevel(p.level);
    UseModel(p.model, p.range);
    Fill();

    // The tree offers a category exactly where the report prints it.
    std::set<int> treeCommands;
    for (const PrintTreeItem& item : PrintTreeItems()) treeCommands.insert(item.command);

    int printed = 0;
    for (size_t row = 0; row < CPrintSelection::Count(); ++row) {
        const int command = CPrintSelection::Row(row).commandId;
        SCOPED_TRACE(std::to_string(command));
        EXPECT_EQ(treeCommands.count(command) == 1, SectionOffered(row, Settings()));
        if (!SectionOffered(row, Settings())) continue;

        frame->CloseAllViews();
        Settle();
        CCustomFormView* view = frame->OpenView(NormalizeViewCommand(command));
        ASSERT_NE(view, nullptr);
        // Taken before the event loop runs: the embedded view reads the radio once it does.
        const std::set<std::string> labels = ShownLabels(view);
        EXPECT_FALSE(labels.empty());
        frame->CloseAllViews();
        Settle();

        CPrintSelection selection;
        selection.SetSelected(row, true);
        std::tm now{};
        ReportSources sources;
        sources.board = &frame->Document().Board();
        const ReportDocument doc =
            MakeReportDocument(Radio(), selection, Settings(), "radio.dat", now, sources);
        const std::string pdf = home.Path("section.pdf");
        std::string error;
        ASSERT_TRUE(WriteReportPdf(doc, pdf, QPageSize(QPageSize::A4), error)) << error;
        const std::string text = PdfText(pdf);
        ASSERT_FALSE(text.empty()) << "pdftotext gave nothing";
        for (const std::string& label : labels)
            EXPECT_NE(text.find(label), std::string::npos) << "label not printed: " << label;
        ++printed;
    }
    EXPECT_GE(printed, 11);

    // A field the view hides for the model is not printed.
    CPrintSelection misc;
    misc.SetSelected(2, true);
    const std::vector<ReportRow> rows = BuildReport(Radio(), misc, Settings());
    const std::string beep = Settings().LoadText(1418);
    const bool beepPrinted = std::any_of(rows.begin(), rows.end(), [&](const ReportRow& r) {
        return r.kind == ReportRowKind::Field && r.cells.at(0).text == beep;
    });
    EXPECT_EQ(beepPrinted, std::string(p.model) == "RV385");
}

INSTANTIATE_TEST_SUITE_P(Table, ReportLabels, ::testing::ValuesIn(kProfiles),
                         [](const ::testing::TestParamInfo<Profile>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace rv
