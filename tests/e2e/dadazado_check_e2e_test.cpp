// dadazado-check on a package with every fault it knows planted once, on the demo package,
// and on command lines it cannot work with.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/sim/scratch_directory.h"
#include "tests/support/program_run.h"
#include "tests/support/test_machine.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSource = DADAZADO_SOURCE_DIR;
const fs::path kPlantedPackage = kSource / "tests" / "check" / "package";
const fs::path kStandardLinesPackage = kSource / "tests" / "check" / "standard_lines";

struct Planted {
    const char* severity;
    const char* text;  // a part of the finding that only this fault's finding has
};

// In the order the package's "; fault:" comments stand.
constexpr Planted kPlanted[] = {
    {"error", "[Check.Models,NTx86] does not exist: the utility uses the whole value"},
    {"error", "install section [MissingInstall] of model \"Check Printer 2\" does not exist"},
    {"error", "install section [EmptyInstall] of model \"Check Printer 3\" is empty"},
    {"error", "unknown command key QenInstalFile; did you mean QenInstallFile?"},
    {"warning", "unknown key CopyFile; did you mean CopyFiles?"},
    {"error", "section [Check.MoreDeletes] named by QenDelFiles does not exist"},
    {"warning", "QenInstallDir stands in [Check.Uninstall], which QenUninstall also names"},
    {"error", "archive BROKEN.ZIP does not open as a zip archive"},
    {"warning", "member ../EVIL.TXT leads out of the target directory"},
    {"error", "show state 'normal' is not a decimal number"},
    {"error", "source file LOST.DLL is not in the package"},
    {"error", "BADHDR.DL_ begins as an SZDD file, but its header is cut off"},
    {"error", "QenInstallFile line has 2 arguments; it needs at least 3"},
    {"error", "install-kind mask '4' selects no install"},
    {"warning", "%99% names directory code 99, which the utility does not know"},
    {"error", "mode '3' is not 0, 1 or 2"},
    {"warning", "flags 0x00010000: Windows writes a multi-string value of 2 string(s)"},
    {"error", "UpdateInis line has 2 fields; it needs at least 3"},
    {"error", "type 'DWORD' is unknown"},
    {"warning", "%OwnerName% is defined in no string section"},
    {"error", "special folder 'PROGRAM_GROUP' is unknown"},
    {"warning",
     "string section [Strings.0099] is for a language the language table does not "
     "list"},
};

// Standard lines of a vendor INF that the utility reads differently from Windows.
constexpr Planted kStandardLines[] = {
    {"error", "never reads the models of [Lines.Vendor.NTx86] or [Lines.Vendor]; list"},
    {"warning", "model %Printer2%: Windows names the driver \"Lines Printer 2\""},
    {"warning", "a further CopyFiles line: Windows carries out every CopyFiles line"},
    {"warning", "DelReg value 'Lines.DelReg ; old values': Windows ends the value at ';'"},
    {"warning", "Windows copies LINESRES.DLL, but the utility takes the whole line"},
    {"warning", "write it as a DWORD, HKLM,Software\\Lines,Mask,0x00010001,0x0000000F"},
    {"warning", "flags 0x00020000: Windows writes an expandable string"},
    {"warning", "data 'fast' of a DWORD value is not a number; the utility writes 0"},
    {"warning", "AddReg line: Windows ends the line at ';'"},
};

ProgramResult check(const std::vector<std::string>& args) {
    return runProgram(DADAZADO_CHECK_BINARY, args);
}

// The line after each "; fault:" comment, counted from 1.
std::vector<int> plantedLines(const fs::path& inf) {
    std::ifstream in(inf);
    std::vector<int> lines;
    bool marked = false;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (marked) lines.push_back(number);
        marked = line.rfind("; fault:", 0) == 0;
    }
    return lines;
}

int lineNumberOf(const std::string& finding) {
    const size_t colon = finding.find(':');
    return colon == std::string::npos ? -1 : std::atoi(finding.c_str() + colon + 1);
}

size_t countStartingWith(const std::vector<std::string>& lines, const std::string& prefix,
                         const std::string& text) {
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.rfind(prefix, 0) == 0 && line.find(text) != std::string::npos;
    });
}

template <size_t N>
void expectEachPlantedFaultOnce(const fs::path& package, const Planted (&planted)[N],
                                const std::string& summary) {
    const ProgramResult result = check({package.string()});
    std::vector<std::string> output = splitLines(result.standardError);
    EXPECT_EQ(result.exitCode, 1) << result.standardError;
    ASSERT_FALSE(output.empty());
    EXPECT_EQ(output.back(), summary);
    output.pop_back();

    const std::vector<int> lines = plantedLines(package / "oem.inf");
    ASSERT_EQ(lines.size(), N);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string prefix =
            "oem.inf:" + std::to_string(lines[i]) + ": " + planted[i].severity + ": ";
        EXPECT_EQ(countStartingWith(output, prefix, planted[i].text), 1u)
            << prefix << planted[i].text << "\n"
            << result.standardError;
    }
    EXPECT_EQ(output.size(), lines.size()) << result.standardError;
    EXPECT_TRUE(std::is_sorted(output.begin(), output.end(),
                               [](const std::string& a, const std::string& b) {
                                   return lineNumberOf(a) < lineNumberOf(b);
                               }))
        << result.standardError;
}

TEST(DadazadoCheck, ReportsEachPlantedFaultOnceAndNothingElse) {
    expectEachPlantedFaultOnce(kPlantedPackage, kPlanted,
                               "dadazado-check: 15 errors, 7 warnings in oem.inf");
}

// Include=NTPRINT.INF supplies the data section and Needs= the install section: no finding.
TEST(DadazadoCheck, SaysWhereTheUtilityReadsAStandardLineOtherwiseThanWindows) {
    expectEachPlantedFaultOnce(kStandardLinesPackage, kStandardLines,
                               "dadazado-check: 1 error, 8 warnings in oem.inf");
}

TEST(DadazadoCheck, DemoPackageHasNothingToReport) {
    const ProgramResult result = check({(kSource / "tools" / "demo" / "package").string()});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardError, "dadazado-check: 0 errors, 0 warnings in oem.inf\n");
}

// The remedy for decorated manufacturers that the decorated-line error proposes.
TEST(DadazadoCheck, DecoratedRemedyPackageHasNothingToReport) {
    const ProgramResult result = check({(kSource / "tests" / "check" / "decorated").string()});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardError, "dadazado-check: 0 errors, 0 warnings in oem.inf\n");
}

TEST(DadazadoCheck, ExitsWith2WhenThereIsNoOneInfToRead) {
    const fs::path work = sim::makeScratchDirectory("dadazado-check-test");
    ASSERT_FALSE(work.empty());
    std::ofstream(work / "a.inf") << "[Version]\r\n";
    std::ofstream(work / "b.inf") << "[Version]\r\n";

    EXPECT_EQ(check({}).exitCode, 2);
    EXPECT_EQ(check({(work / "missing").string()}).exitCode, 2);
    const ProgramResult several = check({work.string()});
    EXPECT_EQ(several.exitCode, 2);
    EXPECT_NE(several.standardError.find("--inf"), std::string::npos) << several.standardError;
    EXPECT_EQ(check({work.string(), "--inf", "missing.inf"}).exitCode, 2);
    // Named, an INF without a manufacturer section is read and found wanting.
    const ProgramResult named = check({work.string(), "--inf", "a.inf"});
    EXPECT_EQ(named.exitCode, 1);
    EXPECT_NE(named.standardError.find("a.inf:1: error: no [Manufacturer] section"),
              std::string::npos)
        << named.standardError;
    fs::remove_all(work);
}

}  // namespace
