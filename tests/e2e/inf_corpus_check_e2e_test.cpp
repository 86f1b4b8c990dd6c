// dadazado-check on every INF of the corpus of real printer INFs, held to the report written
// beside them in expected/<name>.check.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/test_machine.h"

namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(DADAZADO_SOURCE_DIR) / "tests" / "inf_corpus";

std::vector<std::string> corpusPackages() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(kCorpus))
        if (entry.is_directory() && entry.path().filename() != "expected")
            names.push_back(entry.path().filename().string());
    return names;
}

class InfCorpusCheck : public ::testing::TestWithParam<std::string> {};

TEST_P(InfCorpusCheck, ReportsWhatIsWrittenBesideTheInf) {
    const fs::path expectedFile = kCorpus / "expected" / (GetParam() + ".check");
    ASSERT_TRUE(fs::exists(expectedFile)) << expectedFile;
    const std::string expected = readHostFile(expectedFile);
    const ProgramResult result =
        runProgram(DADAZADO_CHECK_BINARY, {(kCorpus / GetParam()).string()});
    EXPECT_EQ(result.standardError, expected);
    EXPECT_EQ(result.exitCode, expected.find(": error: ") != std::string::npos ? 1 : 0);
    // What NTPRINT.INF supplies through Include= is there on every Windows.
    for (const std::string& line : splitLines(result.standardError))
        EXPECT_EQ(line.find("data section [UNIDRV_DATA]"), std::string::npos) << line;
}

INSTANTIATE_TEST_SUITE_P(Corpus, InfCorpusCheck, ::testing::ValuesIn(corpusPackages()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
