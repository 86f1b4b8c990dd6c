// winsim try --os all on every INF of the corpus of public printer INFs, held to the outcome
// written beside them: per version, whether Windows installs the model and the utility's exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "platform/sim/scratch_directory.h"
#include "tests/support/program_run.h"
#include "tests/support/test_machine.h"

namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(DADAZADO_SOURCE_DIR) / "tests" / "inf_corpus";

std::vector<std::string> corpusNames() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(kCorpus / "expected"))
        if (entry.path().extension() == ".try") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class InfCorpusTry : public ::testing::TestWithParam<std::string> {
  protected:
    ~InfCorpusTry() override { fs::remove_all(work); }
    const fs::path work = sim::makeScratchDirectory("inf-corpus-try");
};

TEST_P(InfCorpusTry, EveryVersionAsWritten) {
    const std::string expected = readHostFile(kCorpus / "expected" / (GetParam() + ".try"));
    const std::string model = expected.substr(6, expected.find('\n') - 6);  // "model NAME"
    const fs::path json = work / "result.json";
    const ProgramResult result =
        runProgram(WINSIM_BINARY, {"try", (kCorpus / GetParam()).string(), "--model", model, "--os",
                                   "all", "--json", json.string()});
    ASSERT_NE(result.exitCode, 2) << result.standardError;
    const nlohmann::json document = nlohmann::json::parse(readHostFile(json));
    std::ostringstream seen;
    seen << "model " << model << "\n";
    for (const auto& run : document["runs"]) {
        const bool installs = run["windowsInstalls"].get<bool>();
        seen << run["version"].get<std::string>() << (installs ? " installs " : " no ")
             << (installs ? std::to_string(run["exitCode"].get<int>()) : "-") << "\n";
        const bool x64 = run["version"].get<std::string>().find("-x64") != std::string::npos;
        EXPECT_EQ(run["architecture"], x64 ? "x64" : "x86");
        // An exit 4 says why the utility's own discovery missed what Windows installed.
        if (installs && run["exitCode"] == 4) {
            EXPECT_NE(run["explanation"].get<std::string>().find("discovery rules"),
                      std::string::npos);
        }
    }
    EXPECT_EQ(seen.str(), expected);
}

INSTANTIATE_TEST_SUITE_P(Corpus, InfCorpusTry, ::testing::ValuesIn(corpusNames()),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
