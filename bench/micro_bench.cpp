// Micro benchmarks of the parts a long run spends its time in, on a simulated machine.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/dadazado_engine.h"
#include "bench/bench_machine.h"
#include "platform/lz.h"
#include "support/inf_file.h"
#include "support/ini_quick_write.h"
#include "support/string_tokenizer.h"
#include "support/zip_extract.h"

namespace {

BenchMachine& machine() {
    static BenchMachine theMachine;
    return theMachine;
}

void wordSplitter(benchmark::State& state) {
    const CStdStr line("x, 1, %11%\\DEMORES.DLL, %1%\\DEMORES.DL_, \"%2%\\DEMO, RES.TMP\", 0, 2");
    std::vector<CStdStr> words;
    for (auto _ : state) {
        StringTokenizer(line, ',', StringTokenizer::Quotes | StringTokenizer::TrimBefore)
            .all(words);
        benchmark::DoNotOptimize(words.data());
    }
}
BENCHMARK(wordSplitter);

// An INF of the given number of sections of ten lines each.
std::string infText(int64_t sections) {
    std::string text = "[Version]\r\nSignature=\"$Windows NT$\"\r\n";
    for (int64_t s = 0; s < sections; ++s) {
        text += "[Section" + std::to_string(s) + "]\r\n";
        for (int line = 0; line < 10; ++line)
            text += "Key" + std::to_string(line) + " = x, 1, %11%\\FILE" + std::to_string(line) +
                    ".DLL, %1%\\FILE.DL_\r\n";
    }
    return text;
}

void infLoad(benchmark::State& state) {
    machine().writeFile("C:\\Bench\\load.inf", infText(state.range(0)));
    for (auto _ : state) {
        InfFile inf(CStdStr("C:\\Bench\\load.inf"));
        benchmark::DoNotOptimize(inf.sections().data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 11);
}
BENCHMARK(infLoad)->Arg(100)->Arg(10000);

void infLookup(benchmark::State& state) {
    machine().writeFile("C:\\Bench\\lookup.inf", infText(state.range(0)));
    const InfFile inf(CStdStr("C:\\Bench\\lookup.inf"));
    const CStdStr last("section" + std::to_string(state.range(0) - 1));
    CStdStr value;
    for (auto _ : state) {
        const std::vector<CStdStr>* lines = inf.findSection(last);
        benchmark::DoNotOptimize(InfFile::getValue(lines, CStdStr("KEY9"), value));
    }
}
BENCHMARK(infLookup)->Arg(100)->Arg(10000);

void macroExpansion(benchmark::State& state) {
    machine();
    const DadazadoEngine engine;
    const CStdStr text("%11%\\Demo Systems\\%10%\\DEMORES.DLL");
    for (auto _ : state) benchmark::DoNotOptimize(engine.DecodeMacros(text, 255));
}
BENCHMARK(macroExpansion);

void quickWrite(benchmark::State& state) {
    std::string ini;
    for (int s = 0; s < state.range(0); ++s)
        ini += "[S" + std::to_string(s) + "]\r\nA=1\r\nB=2\r\n";
    machine().writeFile("C:\\Bench\\quick.ini", ini);
    int64_t round = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(QuickWriteIniString(CStdStr("C:\\Bench\\quick.ini"), CStdStr("S0"),
                                                     CStdStr("A"),
                                                     CStdStr(std::to_string(++round))));
}
BENCHMARK(quickWrite)->Arg(10)->Arg(1000);

void lzExpansion(benchmark::State& state) {
    const std::string plain = mixedBytes(static_cast<size_t>(state.range(0)));
    machine().writeFile("C:\\Bench\\LZ.DL_", literalSzdd(plain));
    machine().host("C:\\Bench\\LZ.DLL");
    for (auto _ : state) {
        const int32_t in = platform::lzOpenFile("C:\\Bench\\LZ.DL_", platform::kLzOpenRead);
        const int32_t out = platform::lzOpenFile("C:\\Bench\\LZ.DLL", platform::kLzOpenCreate);
        const int32_t written = platform::lzCopy(in, out);
        platform::lzClose(in);
        platform::lzClose(out);
        if (written != static_cast<int32_t>(plain.size())) state.SkipWithError("LZCopy failed");
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(lzExpansion)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// The archive is made by the zip program of the host, as driver packages make theirs.
void zipExtraction(benchmark::State& state) {
    const std::filesystem::path source = machine().host("C:\\Bench\\zipsrc\\x");
    for (int64_t i = 0; i < state.range(0); ++i) {
        std::ofstream out(source.parent_path() / ("M" + std::to_string(i) + ".TXT"),
                          std::ios::binary);
        out << mixedBytes(4096);
    }
    const std::filesystem::path archive = machine().host("C:\\Bench\\B.ZIP");
    std::filesystem::remove(archive);
    const std::string command =
        "cd '" + source.parent_path().string() + "' && zip -q -X '" + archive.string() + "' *.TXT";
    if (std::system(command.c_str()) != 0) {
        state.SkipWithError("zip failed");
        return;
    }
    machine().host("C:\\Bench\\Out\\x");
    for (auto _ : state) {
        if (!ZipListContents("C:\\Bench\\B.ZIP", ZipExtract, "C:\\Bench\\Out", nullptr))
            state.SkipWithError("extraction failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(zipExtraction)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
