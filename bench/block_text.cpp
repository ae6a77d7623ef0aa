// Render and parse of a full block (every line present), the work done around each block job.
#include "block/BlockText.h"

#include <benchmark/benchmark.h>

namespace {

tessel::ConfigBlock fullRecord() {
    using namespace tessel;
    ConfigBlock r;
    r.serialNumber = 314159;
    r.productName = "KD-7";
    r.skipTapeMinRadius = r.skipMinSogForCog = r.skipTiltOpAmpGain = false;
    r.options.fill(OptionState::Yes);
    r.scaleNames = {"FIN", "NRM", "CRS", "AUT"};
    for (auto& row : r.metricScales)
        row = {10, 20, 40, 60, 80, 100, 120, 140};
    for (auto& row : r.englishScales)
        row = {3, 10, 15, 20, 25, 30, 35, 50};
    auto& t = r.tiltCalibration;
    t.hiTempICal = t.hiTempQCal = t.midTempICal = t.midTempQCal = t.loTempICal = t.loTempQCal = 512;
    return r;
}

void BM_RenderBlock(benchmark::State& state) {
    const auto record = fullRecord();
    tessel::BlockArea area;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tessel::renderBlock(record, area));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RenderBlock);

void BM_ParseBlock(benchmark::State& state) {
    tessel::BlockArea area;
    tessel::renderBlock(fullRecord(), area);
    tessel::ConfigBlock record;
    for (auto _ : state) {
        tessel::parseBlock(area, record);
        benchmark::DoNotOptimize(record);
    }
}
BENCHMARK(BM_ParseBlock);

void BM_ConvertToFormat1(benchmark::State& state) {
    tessel::BlockArea source;
    tessel::renderBlock(fullRecord(), source);
    tessel::BlockArea target;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tessel::convertText(source, 1, target));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ConvertToFormat1);

} // namespace
