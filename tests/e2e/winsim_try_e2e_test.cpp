// winsim try on the demo package, as a package author runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "platform/sim/scratch_directory.h"
#include "tests/support/program_run.h"
#include "tests/support/test_machine.h"

namespace {

namespace fs = std::filesystem;

const fs::path kDemo = fs::path(DADAZADO_SOURCE_DIR) / "tools" / "demo";

ProgramResult tryPackage(std::vector<std::string> args) {
    args.insert(args.begin(), "try");
    return runProgram(WINSIM_BINARY, args);
}

bool contains(const nlohmann::json& list, const std::string& fragment) {
    for (const auto& item : list)
        if (item.get<std::string>().find(fragment) != std::string::npos) return true;
    return false;
}

class WinsimTry : public ::testing::Test {
  protected:
    ~WinsimTry() override { fs::remove_all(work); }
    const fs::path work = sim::makeScratchDirectory("winsim-try-test");
};

TEST_F(WinsimTry, DemoPackageRunsOnBothFamiliesAndReportsWhatItChanged) {
    const fs::path json = work / "result.json";
    const ProgramResult result = tryPackage(
        {(kDemo / "package").string(), "--model", "Demo Printer 100", "--os", "98se,xp", "--reg",
         (kDemo / "machine.reg").string(), "--files", (kDemo / "earlier").string(), "--json",
         json.string(), "--keep", (work / "machines").string()});
    ASSERT_EQ(result.exitCode, 0) << result.standardError;
    std::ifstream in(json);
    const nlohmann::json document = nlohmann::json::parse(in);
    ASSERT_EQ(document["runs"].size(), 2u);
    for (const auto& run : document["runs"]) {
        SCOPED_TRACE(run["version"].get<std::string>());
        EXPECT_EQ(run["exitCode"], 0);
        EXPECT_TRUE(run["failures"].empty()) << run["failures"].dump();
        EXPECT_EQ(run["windowsInstalls"], true);
        EXPECT_EQ(run["architecture"], "x86");
        // Windows applied the INF's AddReg and DelReg before the run; the utility then wrote
        // its own reading of the same lines over them, with its macros expanded.
        EXPECT_TRUE(contains(run["registry"]["changed"], "Printer 100\\Tools = REG_SZ C:\\"));
        EXPECT_FALSE(contains(run["registry"]["removed"], "FirstRun"));
        EXPECT_EQ(run["shortcuts"].size(), 1u);
        EXPECT_TRUE(contains(run["programs"], "UNPACK.EXE -quiet"));
        EXPECT_TRUE(contains(run["printProcessors"]["added"], "DemoProc"));
        // The held library goes at the next restart: by the replacements list of the 9x
        // family, by the session manager's on the NT family.
        EXPECT_TRUE(contains(run["restart"], "DEMOLOCK.DLL"));
    }
    // The uninstaller archive got the substitute install engine, which the run loaded.
    const std::string journal = readHostFile(work / "machines" / "xp" / "journal.log");
    EXPECT_NE(journal.find("Engine.dll DoInstallA"), std::string::npos);
}

TEST_F(WinsimTry, BadInputIsRefusedAndAFailedRunFailsTheTrial) {
    const std::string package = (kDemo / "package").string();
    EXPECT_EQ(tryPackage({(work / "none").string(), "--model", "X"}).exitCode, 2);
    const ProgramResult unknownModel = tryPackage({package, "--model", "No Such Printer"});
    EXPECT_EQ(unknownModel.exitCode, 2);
    EXPECT_NE(unknownModel.standardError.find("No Such Printer"), std::string::npos);
    EXPECT_EQ(tryPackage({package, "--model", "Demo Printer 100", "--os", "xp,win7"}).exitCode, 2);

    // A spooler that will not open the printer ends the run with code 2.
    const fs::path faults = work / "faults.reg";
    writeHostFile(
        faults,
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WinSim\\Faults]\r\n\"OpenPrinter\"=dword:00000005\r\n");
    const fs::path json = work / "failed.json";
    EXPECT_EQ(tryPackage({package, "--model", "Demo Printer 100", "--os", "xp", "--reg",
                          faults.string(), "--json", json.string()})
                  .exitCode,
              1);
    std::ifstream in(json);
    const nlohmann::json document = nlohmann::json::parse(in);
    EXPECT_EQ(document["runs"][0]["exitCode"], 2);
    EXPECT_TRUE(contains(document["runs"][0]["failures"], "OpenPrinter of Demo Printer 100"));
}

}  // namespace
