#pragma once
// Print, Print Preview and Print Setup of the desktop program: the session's printer (chosen
// in Print Setup and remembered until the program ends), printing the report on it, saving the
// report as a PDF file when the machine has no printer, and the preview window.

#include <QString>
#include <functional>
#include <optional>

#include "report/PrintReport.h"

class QPrinter;
class QPrintPreviewDialog;
class QWidget;

namespace rv {

/// Asks where to save the report as PDF; nothing when the user cancels.
using PdfPathChooser = std::function<std::optional<QString>(QWidget* parent)>;
/// Installs a chooser (an empty one restores the file dialog); returns the previous one.
PdfPathChooser SetPdfPathChooser(PdfPathChooser chooser);

class CReportPrinting {
public:
    /// Messages of printing.
    static constexpr int kMsgSaveAsPdf = 1500;       ///< no printer: save a PDF instead?
    static constexpr int kMsgPdfNotWritten = 1501;   ///< "%s": the PDF file
    static constexpr int kMsgPrinterRefused = 1502;  ///< "%s": the printer

    /// The printer of the session; with no printer on the machine it writes PDF files.
    static QPrinter& Printer();
    /// True when the machine has at least one printer.
    static bool HasPrinter();
    /// Print Setup: the platform's printer set-up (page set-up when there is no printer).
    static void PrintSetup(QWidget* parent);
    /// Prints on the session's printer without a dialog; with no printer it offers to save a
    /// PDF file instead. True when the report was printed or saved.
    static bool Print(QWidget* parent, const ReportDocument& doc);
    /// Saves the report as a PDF file on the session's page size; a message on failure.
    static bool SavePdf(QWidget* parent, const ReportDocument& doc, const QString& path);
    /// The preview window of the report on the session's printer (zoom, pages, print);
    /// deleted when closed.
    static QPrintPreviewDialog* MakePreview(QWidget* parent, const ReportDocument& doc);
    /// Shows the preview window and waits until it is closed.
    static void Preview(QWidget* parent, const ReportDocument& doc);
};

}  // namespace rv
