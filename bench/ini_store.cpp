// How long one setting takes to read and to write in an INI file of typical size. Every access
// goes to the file, so these bound what start-up and exit cost.
#include "support/IniStore.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

std::string typicalFile() {
    std::string path = (std::filesystem::temp_directory_path() / "tessel-bench-XXXXXX").string();
    if (!::mkdtemp(path.data())) std::abort();
    path += "/Tessel.INI";
    std::ofstream(path) << "[Configuration]\nCOM Port=2\nSerial Number=100\nSkipComPort2=1\n\n"
                           "[FileSpecs]\nHexPath=/home/bench/firmware/\n\n"
                           "[ProgramServices]\nLogMessages=1\nAppendLog=0\nTimeStampMessages=1\n"
                           "Debug=0\nReportErrorLevel=3\n\n[Units]\nGeoCord.Units=0\nShowDegreeSymbol=1\n"
                           "Distance.Units=0\nDistance.FeetToMilesThreshold=5280\nSpeed.Units=0\n"
                           "Time.Units=0\nDate.Units=0\n";
    return path;
}

void removeFile(const std::string& path) {
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}

void BM_ReadInteger(benchmark::State& state) {
    const auto path = typicalFile();
    tessel::IniStore store(path);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.readInteger("Units", "Date.Units", 0));
    removeFile(path);
}
BENCHMARK(BM_ReadInteger);

// Includes the fsync of the new file and its folder, which dominates on a real disk.
void BM_WriteInteger(benchmark::State& state) {
    const auto path = typicalFile();
    tessel::IniStore store(path);
    std::int32_t value = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.writeInteger("Units", "Date.Units", ++value % 5));
    removeFile(path);
}
BENCHMARK(BM_WriteInteger)->Unit(benchmark::kMicrosecond);

} // namespace
