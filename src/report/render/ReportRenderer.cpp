#include "report/render/ReportRenderer.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

#include "base/AtomicFile.h"

namespace rv {

namespace {

/// Cell height (0.1 mm) and weight of each font style, in the order of ReportFont.
struct FontStyle {
    int height;
    int weight;
};
constexpr FontStyle kFontStyles[] = {
    {30, 400},  // Small: footer, radio information values
    {30, 900},  // SmallBold: radio information labels, column heads
    {35, 400},  // Body: header, labels and values
    {50, 900},  // Title: section and item titles
    {40, 900},  // Caption: page and group captions inside a section
};

// Places on the page, in 0.1 mm.
constexpr int kHeaderTextTop = 70;   ///< header text line, inside the header band
constexpr int kHeaderRule = 130;     ///< rule below the header text
constexpr int kFooterRule = 130;     ///< rule above the footer text, from the page's foot up
constexpr int kFooterTextTop = 115;  ///< footer text line, from the page's foot up
constexpr int kInfoLines = 3;        ///< lines of the radio information block with its rule
constexpr int kFieldIndent = 120;    ///< labels and values start right of the captions
constexpr int kCaptionIndent = 40;
constexpr int kCellGap = 30;  ///< space kept free at the right of a cell
constexpr double kRuleWidth = 3;
constexpr double kThinRuleWidth = 2;

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

/// Draws a text in a cell, shortened with an ellipsis only when the cell cannot hold it.
void DrawCell(QPainter& painter, const QRectF& cell, const std::string& text, int align,
              Qt::TextElideMode elide = Qt::ElideRight)
{
    if (text.empty()) return;
    const QFontMetricsF fm(painter.font(), painter.device());
    const QRectF room = cell.adjusted(0, 0, -kCellGap, 0);
    const QString shown = fm.elidedText(Q(text), elide, std::max(1.0, room.width()));
    painter.drawText(room, align | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

/// Draws cells of relative widths across [left, left + width) on one line.
void DrawCells(QPainter& painter, const std::vector<ReportCell>& cells, double left, double width,
               double top)
{
    int total = 0;
    for (const ReportCell& c : cells) total += std::max(0, c.width);
    if (total == 0) return;
    double x = left;
    for (const ReportCell& c : cells) {
        const double w = width * std::max(0, c.width) / total;
        DrawCell(painter, QRectF(x, top, w, PageMetrics::kLineHeight), c.text, Qt::AlignLeft);
        x += w;
    }
}

}  // namespace

QString CReportRenderer::FontFamily()
{
    static const QString family = [] {
        if (QFontDatabase::hasFamily(QStringLiteral("Arial"))) return QStringLiteral("Arial");
        QFont sans;
        sans.setStyleHint(QFont::SansSerif);
        sans.setFamilies({QStringLiteral("Sans Serif"), QStringLiteral("sans-serif")});
        return QFontInfo(sans).family();
    }();
    return family;
}

QFont CReportRenderer::Font(ReportFont style)
{
    const FontStyle s = kFontStyles[static_cast<int>(style)];
    QFont font(FontFamily());
    font.setStyleHint(QFont::SansSerif);
    // No ligatures: "Off" stays three letters for anyone who searches or copies the text.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setWeight(static_cast<QFont::Weight>(s.weight));
    // The height is the cell's (ascent and descent); the pixel size is the em's.
    constexpr int kProbe = 100;
    font.setPixelSize(kProbe);
    const double ratio = QFontMetricsF(font).height() / kProbe;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(s.height / std::max(0.5, ratio)))));
    return font;
}

std::vector<ReportPage> CReportRenderer::Pages(const PageMetrics& metrics) const
{
    return Paginate(doc_.rows, metrics.LinesPerPage());
}

int CReportRenderer::Render(QPagedPaintDevice& device) const
{
    QPageLayout layout = device.pageLayout();
    layout.setMode(QPageLayout::FullPageMode);
    layout.setMargins(QMarginsF(0, 0, 0, 0));
    device.setPageLayout(layout);
    const QRectF full = device.pageLayout().fullRect(QPageLayout::Millimeter);
    const PageMetrics metrics = PageMetrics::ForPageMm(full.width(), full.height());
    const std::vector<ReportPage> pages = Pages(metrics);

    QPainter painter;
    if (!painter.begin(&device)) return 0;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int count = static_cast<int>(pages.size());
    for (int p = 0; p < count; ++p) {
        if (p > 0 && !device.newPage()) {
            painter.end();
            return 0;
        }
        painter.save();
        // One unit is 0.1 mm from the page's corner.
        painter.resetTransform();
        painter.scale(device.logicalDpiX() / 254.0, device.logicalDpiY() / 254.0);
        DrawPage(painter, metrics, pages[static_cast<size_t>(p)], p + 1, count);
        painter.restore();
    }
    return painter.end() ? count : 0;
}

void CReportRenderer::DrawPage(QPainter& painter, const PageMetrics& m, const ReportPage& page,
                               int number, int count) const
{
    const double left = PageMetrics::kSideMargin;
    const double right = m.pageWidth - PageMetrics::kSideMargin;
    const double width = m.PrintableWidth();
    const double line = PageMetrics::kLineHeight;
    QPen rule(Qt::black, kRuleWidth);
    painter.setPen(rule);

    // Header: the document's path (shortened in its middle when long) and a rule.
    painter.setFont(Font(ReportFont::Body));
    DrawCell(painter, QRectF(left, kHeaderTextTop, width, line), doc_.header, Qt::AlignLeft,
             Qt::ElideMiddle);
    painter.drawLine(QPointF(left, kHeaderRule), QPointF(right, kHeaderRule));

    // Footer: a rule, the page number at the left and the time of printing at the right.
    const double footRule = m.pageHeight - kFooterRule;
    painter.drawLine(QPointF(left, footRule), QPointF(right, footRule));
    painter.setFont(Font(ReportFont::Small));
    const QRectF footText(left, m.pageHeight - kFooterTextTop, width, line);
    DrawCell(painter, footText, PageText(number, count, doc_.pageFormat), Qt::AlignLeft);
    painter.drawText(footText, Qt::AlignRight | Qt::AlignVCenter, Q(doc_.printTime));

    // The radio information block: label, value, label, value in quarters; closed by a rule.
    const double infoTop = PageMetrics::kBand + m.TopOffset();
    const double quarter = width / 4;
    for (size_t k = 0; k < doc_.info.size(); ++k) {
        const double x = left + (k % 2) * 2 * quarter;
        const double y = infoTop + static_cast<double>(k / 2) * line;
        painter.setFont(Font(ReportFont::SmallBold));
        DrawCell(painter, QRectF(x, y, quarter, line), doc_.info[k].label, Qt::AlignLeft);
        painter.setFont(Font(ReportFont::Small));
        DrawCell(painter, QRectF(x + quarter, y, quarter, line), doc_.info[k].value, Qt::AlignLeft);
    }
    const double infoRule = infoTop + (kInfoLines - 0.5) * line;
    painter.setPen(QPen(Qt::black, kThinRuleWidth));
    painter.drawLine(QPointF(left, infoRule), QPointF(right, infoRule));
    painter.setPen(rule);

    // The body, one row a line.
    double y = infoTop + kInfoLines * line;
    for (size_t index : page) {
        const ReportRow& row = doc_.rows[index];
        switch (row.kind) {
            case ReportRowKind::Section: {
                painter.setFont(Font(ReportFont::Title));
                // The title is the middle cell; the empty side cells let a long one spread.
                std::string title;
                for (const ReportCell& c : row.cells) title += c.text;
                DrawCell(painter, QRectF(left, y, width, line), title, Qt::AlignHCenter);
                break;
            }
            case ReportRowKind::Group:
                painter.setFont(Font(ReportFont::Caption));
                DrawCells(painter, row.cells, left + kCaptionIndent, width - kCaptionIndent, y);
                break;
            case ReportRowKind::Columns:
                painter.setFont(Font(ReportFont::SmallBold));
                DrawCells(painter, row.cells, left + kFieldIndent, width - kFieldIndent, y);
                break;
            case ReportRowKind::Field:
                painter.setFont(Font(ReportFont::Body));
                DrawCells(painter, row.cells, left + kFieldIndent, width - kFieldIndent, y);
                break;
            case ReportRowKind::Blank:
                break;
        }
        y += line;
    }
}

bool WriteReportPdf(const ReportDocument& doc, const std::string& path, const QPageSize& pageSize,
                    std::string& error, int* pageCount)
{
    QByteArray bytes;
    int pages = 0;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(pageSize);
        writer.setCreator(QStringLiteral("rvcps"));
        writer.setTitle(Q(doc.header));
        pages = CReportRenderer(doc).Render(writer);
    }
    if (pages == 0) {
        error = "the PDF pages could not be drawn";
        return false;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    if (!WriteFileAtomic(path,
                         std::span<const unsigned char>(data, static_cast<size_t>(bytes.size())))) {
        error = path;
        return false;
    }
    if (pageCount) *pageCount = pages;
    return true;
}

}  // namespace rv
