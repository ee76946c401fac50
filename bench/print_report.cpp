// Building and drawing the whole printed report: 16 channels, 16 personalities, both scan
// lists and every other section, rendered as an A4 PDF on the offscreen platform. Prints the
// page count and the wall time of each step (median and slowest of the runs).
//
//   bench_print_report [--home DIR] [--runs N]

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "base/Settings.h"
#include "data/PrintSelection.h"
#include "data/RadioData.h"
#include "report/PrintReport.h"
#include "report/render/ReportRenderer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

std::string ExecutableDir(const char* argv0)
{
    std::string path = argv0;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

void PrintFigures(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %8.2f ms   slowest %8.2f ms\n", what, ms[ms.size() / 2], ms.back());
}

}  // namespace

int main(int argc, char** argv)
{
    std::string home = ExecutableDir(argv[0]);
    int runs = 20;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--home") == 0) home = std::string(argv[i + 1]) + "/";
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    rv::CSettings& settings = rv::Settings();
    settings.SetReadOnly(true);
    settings.Init(home);
    rv::RadioData& radio = rv::Radio();
    radio.SetDefaults();
    while (radio.Channels().size() < 16) radio.AddChannel();
    while (radio.Personalities().size() < 16) radio.AddPersonality();
    while (radio.ScanLists().size() < 2) radio.AddScanList();
    while (radio.DtmfSystems().empty()) radio.AddDtmfSystem();
    rv::CPrintSelection all;
    for (size_t i = 0; i < rv::CPrintSelection::Count(); ++i) all.SetSelected(i, true);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);

    std::vector<double> build, render, total;
    int pages = 0;
    size_t rows = 0;
    for (int r = 0; r < runs; ++r) {
        const Clock::time_point t0 = Clock::now();
        const rv::ReportDocument doc =
            rv::MakeReportDocument(radio, all, settings, "/home/dealer/radio.dat", local);
        const Clock::time_point t1 = Clock::now();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setPageSize(QPageSize(QPageSize::A4));
            pages = rv::CReportRenderer(doc).Render(writer);
        }
        const Clock::time_point t2 = Clock::now();
        rows = doc.rows.size();
        build.push_back(Ms(t1 - t0));
        render.push_back(Ms(t2 - t1));
        total.push_back(Ms(t2 - t0));
    }
    std::printf("full report: %zu rows, %d A4 pages, %d runs\n", rows, pages, runs);
    PrintFigures("build the rows (core)", build);
    PrintFigures("draw the PDF pages", render);
    PrintFigures("build and draw", total);
    return pages > 0 ? 0 : 1;
}
