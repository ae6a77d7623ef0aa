// Speed of reading a HEX file that fills the whole code area (126976 bytes of code), from memory
// and from a file, in records of 16 and of 255 data bytes. Reported as HEX text per second.
#include "firmware/HexReader.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <istream>
#include <memory>
#include <streambuf>
#include <string>

namespace {

using tessel::FirmwareImage;

std::string hexByte(unsigned value) {
    static const char digits[] = "0123456789ABCDEF";
    return {digits[(value >> 4) & 15], digits[value & 15]};
}

std::string record(unsigned type, unsigned address, const std::uint8_t* data, unsigned count) {
    unsigned sum = count + (address >> 8) + (address & 0xFF) + type;
    std::string text =
        ":" + hexByte(count) + hexByte(address >> 8) + hexByte(address) + hexByte(type);
    for (unsigned i = 0; i < count; ++i) {
        text += hexByte(data[i]);
        sum += data[i];
    }
    return text + hexByte(0x100 - (sum & 0xFF)) + "\r\n";
}

// The whole code area in records of recordSize bytes, a segment record at each 64 KB.
std::string fullImageHex(unsigned recordSize) {
    std::vector<std::uint8_t> code(FirmwareImage::kSize);
    for (std::size_t i = 0; i < code.size(); ++i)
        code[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
    std::string text;
    unsigned segment = ~0u;
    for (unsigned address = 0; address < code.size(); address += recordSize) {
        const unsigned count =
            std::min<unsigned>(recordSize, static_cast<unsigned>(code.size()) - address);
        // A record never crosses a 64 KB boundary.
        const unsigned inSegment = std::min(count, 0x10000 - (address & 0xFFFF));
        for (unsigned part = 0; part < count;) {
            const unsigned at = address + part;
            if (at >> 16 != segment) {
                segment = at >> 16;
                const std::uint8_t value[] = {static_cast<std::uint8_t>(segment << 4), 0};
                text += record(0x02, 0, value, 2);
            }
            const unsigned n = part == 0 ? inSegment : count - part;
            text += record(0x00, at & 0xFFFF, &code[at], n);
            part += n;
        }
    }
    return text + record(0x01, 0, nullptr, 0);
}

// A read-only stream buffer over text held in memory, so each run reads the same bytes afresh.
class MemoryBuffer : public std::streambuf {
public:
    explicit MemoryBuffer(const std::string& text) {
        char* begin = const_cast<char*>(text.data());
        setg(begin, begin, begin + text.size());
    }
};

void readFromMemory(benchmark::State& state) {
    const std::string text = fullImageHex(static_cast<unsigned>(state.range(0)));
    const auto image = std::make_unique<FirmwareImage>();
    for (auto _ : state) {
        MemoryBuffer buffer(text);
        std::istream in(&buffer);
        if (tessel::readHex(in, *image) != 0 || image->length != FirmwareImage::kSize)
            state.SkipWithError("the HEX text did not read back");
        benchmark::DoNotOptimize(image->bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(readFromMemory)->Arg(16)->Arg(255)->Unit(benchmark::kMicrosecond);

void readFromFile(benchmark::State& state) {
    const std::string text = fullImageHex(static_cast<unsigned>(state.range(0)));
    const auto path = std::filesystem::temp_directory_path() / "tessel_bench_full_image.hex";
    std::ofstream(path, std::ios::binary) << text;
    const auto image = std::make_unique<FirmwareImage>();
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        if (tessel::readHex(in, *image) != 0 || image->length != FirmwareImage::kSize)
            state.SkipWithError("the HEX file did not read back");
        benchmark::DoNotOptimize(image->bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    std::filesystem::remove(path);
}
BENCHMARK(readFromFile)->Arg(16)->Arg(255)->Unit(benchmark::kMicrosecond);

} // namespace
