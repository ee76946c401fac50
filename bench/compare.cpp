// Compare of two data files: both opened as the desktop program opens them, snapshotted and
// compared field by field (what `rvcps-cli diff` does after starting).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "base/Settings.h"
#include "data/Document.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelCsv.h"
#include "report/ConfigCompare.h"

using namespace rv;

namespace {

class QuietUi : public DocumentUi {
public:
    bool AskYesNo(int, const std::string&) override { return true; }
    void ShowMessage(int, const std::string&) override {}
};

std::string ProgramDir()
{
    std::vector<char> buf(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    std::string path(buf.data(), n > 0 ? static_cast<size_t>(n) : 0);
    return path.substr(0, path.rfind('/') + 1);
}

void BM_DiffTwoFiles(benchmark::State& state)
{
    const std::string dir = ProgramDir();
    Settings().SetReadOnly(true);
    Settings().Init(dir);
    const std::string a = dir + "RV205400-470DefaultSet.dat";
    const std::string b = dir + "RV205136-174DefaultSet.dat";
    QuietUi ui;
    for (auto _ : state) {
        CQTXDoc doc(ui);
        if (!doc.OpenPath(a).Ok()) state.SkipWithError("cannot open the first default set");
        const ConfigSnapshot sa = TakeSnapshot(Radio(), {});
        if (!doc.OpenPath(b).Ok()) state.SkipWithError("cannot open the second default set");
        const ConfigSnapshot sb = TakeSnapshot(Radio(), {});
        benchmark::DoNotOptimize(CompareConfigs(sa, sb, Settings()));
    }
}
BENCHMARK(BM_DiffTwoFiles)->Unit(benchmark::kMillisecond);

// Import of 16 channel rows: plan through the grid's rules and apply.
void BM_ImportSixteenRows(benchmark::State& state)
{
    const std::string dir = ProgramDir();
    Settings().SetReadOnly(true);
    Settings().Init(dir);
    QuietUi ui;
    CQTXDoc doc(ui);
    if (!doc.OpenPath(dir + "RV205400-470DefaultSet.dat").Ok())
        state.SkipWithError("cannot open the default set");
    std::string csv = ChannelsToCsv(Radio(), Settings());
    for (auto _ : state) {
        const ChannelImport plan = PlanChannelImport(csv, Radio(), CurrentBandLimits(), Settings());
        ApplyChannelImport(Radio(), plan);
        benchmark::DoNotOptimize(plan.records.size());
    }
}
BENCHMARK(BM_ImportSixteenRows)->Unit(benchmark::kMillisecond);

}  // namespace
