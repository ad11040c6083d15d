// Decoding throughput on real receiver captures: the GGA, RMC, GSA, GSV, GST, HDT and ZDA
// lines of gpsd's regression logs, parsed alone and decoded into a device's data items.
// Reports nanoseconds per sentence and the allocations per sentence once warm.

#include "allocationCounter.h"

#include <belrix_common_qt/nmeaDecoder.h>
#include <belrix_common_qt/nmeaParser.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/remoteDevice.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct line_t {
    std::size_t offset;
    std::size_t length;
};

// Every line in one buffer, as a source's read buffer would hold them.
struct corpus_t {
    std::string text;
    std::vector<line_t> lines;
};

corpus_t const& corpus()
{
    static corpus_t const c = [] {
        corpus_t c;
        char const* root = std::getenv("ORVANE_SHARED_DATA");
        std::filesystem::path const dir = std::filesystem::path(root ? root : ORVANE_SHARED_DATA) / "nmea" / "gpsd";
        std::vector<std::filesystem::path> files;
        std::error_code error;
        for (auto const& entry : std::filesystem::directory_iterator(dir, error)) {
            if (entry.path().extension() == ".log")
                files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        char const* const types[] = {"GGA", "RMC", "GSA", "GSV", "GST", "HDT", "ZDA"};
        for (auto const& file : files) {
            std::ifstream in(file, std::ios::binary);
            std::string line;
            while (std::getline(in, line)) {
                if (line.size() < 7 || line[0] != '$')
                    continue;
                bool wanted = false;
                for (char const* type : types)
                    wanted = wanted || line.compare(3, 3, type) == 0;
                if (!wanted)
                    continue;
                c.lines.push_back({c.text.size(), line.size()});
                c.text += line;
                c.text += '\n';
            }
        }
        return c;
    }();
    return c;
}

void reportPerSentence(benchmark::State& state, std::size_t sentences, long allocated)
{
    double const total = double(sentences) * double(state.iterations());
    state.counters["time_per_sentence"] =
        benchmark::Counter(total, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["sentences"] = double(sentences);
    state.counters["allocs_per_sentence"] = total > 0 ? double(allocated) / total : 0.0;
    state.SetItemsProcessed(std::int64_t(total));
}

void decoderAlone(benchmark::State& state)
{
    corpus_t const& c = corpus();
    if (c.lines.empty()) {
        state.SkipWithError("no captures under ORVANE_SHARED_DATA/nmea/gpsd");
        return;
    }
    belrix_common_qt::nmeaParser_t parser;
    belrix_common_qt::nmeaSentence_t sentence;
    char const* text = c.text.data();
    long const before = allocationCount();
    for (auto _ : state) {
        for (line_t const& l : c.lines) {
            std::size_t consumed = 0;
            benchmark::DoNotOptimize(parser.parse(text + l.offset, l.length, sentence, &consumed));
            benchmark::ClobberMemory();
        }
    }
    reportPerSentence(state, c.lines.size(), allocationCount() - before);
}

void wholePath(benchmark::State& state)
{
    corpus_t const& c = corpus();
    if (c.lines.empty()) {
        state.SkipWithError("no captures under ORVANE_SHARED_DATA/nmea/gpsd");
        return;
    }
    belrix_common_qt::remoteController_t controller;
    belrix_common_qt::remoteDevice_t device;
    belrix_common_qt::nmeaDecoder_t decoder(&device, &controller);
    char const* text = c.text.data();
    double t = 1.6e9;
    // warm up: every satellite seen once
    for (line_t const& l : c.lines)
        decoder.decodeLine(text + l.offset, l.length, t += 0.01);
    long const before = allocationCount();
    for (auto _ : state) {
        for (line_t const& l : c.lines)
            benchmark::DoNotOptimize(decoder.decodeLine(text + l.offset, l.length, t += 0.01));
    }
    reportPerSentence(state, c.lines.size(), allocationCount() - before);
}

} // namespace

BENCHMARK(decoderAlone);
BENCHMARK(wholePath);
BENCHMARK_MAIN();
