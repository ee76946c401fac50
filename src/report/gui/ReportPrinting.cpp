#include "report/gui/ReportPrinting.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>

#include "report/render/ReportRenderer.h"
#include "ui/FileDialogs.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

namespace {

constexpr int kPreviewCaption = 39855;
constexpr int kPdfFilter = 39856;
constexpr int kPrintSetupCaption = 57606;

PdfPathChooser& Chooser()
{
    static PdfPathChooser chooser;
    return chooser;
}

std::optional<QString> ChoosePdfPath(QWidget* parent)
{
    if (Chooser()) return Chooser()(parent);
    const QString path = GetSaveFileName(parent, QString(), QStringLiteral("report.pdf"),
                                         UiText(kPdfFilter, "PDF files (*.pdf)"));
    if (path.isEmpty()) return std::nullopt;
    return path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)
               ? path
               : path + QStringLiteral(".pdf");
}

QString Message(int id, const QString& arg)
{
    return ToQ(Settings().LoadMessage(id, {FromQ(arg)}));
}

}  // namespace

PdfPathChooser SetPdfPathChooser(PdfPathChooser chooser)
{
    PdfPathChooser previous = std::move(Chooser());
    Chooser() = std::move(chooser);
    return previous;
}

QPrinter& CReportPrinting::Printer()
{
    static std::unique_ptr<QPrinter> printer = [] {
        auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // Without a printer the session's printer writes PDF files (the preview's print too).
        if (!HasPrinter()) p->setOutputFormat(QPrinter::PdfFormat);
        p->setPageSize(QPageSize(QPageSize::A4));
        return p;
    }();
    return *printer;
}

bool CReportPrinting::HasPrinter()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void CReportPrinting::PrintSetup(QWidget* parent)
{
    const QString caption = PlainCommandText(UiText(kPrintSetupCaption, "Print Setup"));
    if (HasPrinter()) {
        QPrintDialog dialog(&Printer(), parent);
        dialog.setWindowTitle(caption);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
        dialog.exec();
    } else {
        QPageSetupDialog dialog(&Printer(), parent);
        dialog.setWindowTitle(caption);
        dialog.exec();
    }
}

bool CReportPrinting::SavePdf(QWidget* parent, const ReportDocument& doc, const QString& path)
{
    std::string error;
    if (WriteReportPdf(doc, FromQ(path), Printer().pageLayout().pageSize(), error)) return true;
    Prompt().Show(parent, Message(kMsgPdfNotWritten, path), CPrompt::Icon::Error);
    return false;
}

bool CReportPrinting::Print(QWidget* parent, const ReportDocument& doc)
{
    if (!HasPrinter()) {
        if (!AskMessage(parent, kMsgSaveAsPdf)) return false;
        const std::optional<QString> path = ChoosePdfPath(parent);
        return path && SavePdf(parent, doc, *path);
    }
    QPrinter& printer = Printer();
    printer.setOutputFormat(QPrinter::NativeFormat);
    if (CReportRenderer(doc).Render(printer) > 0) return true;
    Prompt().Show(parent, Message(kMsgPrinterRefused, printer.printerName()), CPrompt::Icon::Error);
    return false;
}

QPrintPreviewDialog* CReportPrinting::MakePreview(QWidget* parent, const ReportDocument& doc)
{
    auto* preview = new QPrintPreviewDialog(&Printer(), parent);
    preview->setObjectName("PrintPreview");
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowTitle(UiText(kPreviewCaption, "Print Preview"));
    // The preview keeps its own copy: it draws again on every zoom and on its print button.
    auto copy = std::make_shared<ReportDocument>(doc);
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview,
                     [copy](QPrinter* printer) { CReportRenderer(*copy).Render(*printer); });
    preview->resize(900, 760);
    return preview;
}

void CReportPrinting::Preview(QWidget* parent, const ReportDocument& doc)
{
    MakePreview(parent, doc)->exec();
}

}  // namespace rv
