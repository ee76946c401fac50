#pragma once
// Draws the printed report on a paged paint device (PDF writer, printer, print preview): the
// header with the document's path and a rule, the radio information block, the body rows and
// the footer with the page number and the time of printing. Coordinates are the page metrics'
// units of 0.1 mm from the page's corner; the page size is the device's.

#include <QPageSize>
#include <QString>
#include <string>

#include "report/PrintReport.h"

class QPagedPaintDevice;
class QPainter;
class QFont;

namespace rv {

/// The five fonts of the report: cell height in 0.1 mm and weight.
enum class ReportFont { Small, SmallBold, Body, Title, Caption };

class CReportRenderer {
public:
    explicit CReportRenderer(const ReportDocument& doc) : doc_(doc) {}

    /// The pages of the document on a page of this size (millimetres).
    std::vector<ReportPage> Pages(const PageMetrics& metrics) const;
    /// Draws every page on the device (full page, no margins of its own); returns the page
    /// count, 0 when the device could not be painted on.
    int Render(QPagedPaintDevice& device) const;

    /// The face of the report: "Arial" where the machine has it, else the system's sans serif.
    static QString FontFamily();
    /// A font of the report whose line (ascent and descent) is the style's height in units.
    static QFont Font(ReportFont style);

private:
    void DrawPage(QPainter& painter, const PageMetrics& m, const ReportPage& page, int number,
                  int count) const;
    const ReportDocument& doc_;
};

/// Writes the document as a PDF file (atomically) on pages of `pageSize`. False with a
/// description in `error` when the file could not be drawn or written.
bool WriteReportPdf(const ReportDocument& doc, const std::string& path, const QPageSize& pageSize,
                    std::string& error, int* pageCount = nullptr);

}  // namespace rv
