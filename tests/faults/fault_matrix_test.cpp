// Every platform call the demo package's run makes that can fail, failed in turn through the
// machine's fault values: the run still ends with its defined exit code, the flight recorder
// names the failure, and nothing the machine held before is lost or half-written.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/faults/fault_scenario.h"
#include "tests/support/test_machine.h"

namespace {

struct FaultRow {
    const char* function;  // the declaration in platform/*.h
    const char* fault;     // the value name under the faults key
    int exitCode;
    const char* logLine;  // a fragment of the line that reports the failure
};

const FaultRow kRows[] = {
    {"createDirectory", "CreateDirectory|C:\\Program Files\\Demo Systems\\", 0,
     "FileOp::MakePath: tried to create directory C:\\Program Files\\Demo Systems\\ but "
     "failed.  (Error code: 5)"},
    {"setCurrentDirectory", "SetCurrentDirectory", 0,
     "Launch:LaunchProgram: could not change dirs to C:\\Drivers\\Demo"},
    {"copyFile", "CopyFile", 0, "FileOp::Copy: CopyFile failed with code 5"},
    {"moveFileEx", "MoveFileEx", 0,
     "InstFileInfo::ourLZCopy: could not put the expanded file in place as C:\\Program "
     "Files\\Demo Systems\\Printer Tools\\README.TXT (Error code: 5)"},
    {"deleteFile", "DeleteFile", 0,
     "Attempting to move C:\\WINDOWS\\system32\\DEMOOLD.DLL to NULL on reboot."},
    {"removeDirectory", "RemoveDirectory", 0,
     "Attempting to move C:\\Documents and Settings\\Administrator\\Local "
     "Settings\\Temp\\UNST.ZIP_Extracted\\ to NULL on reboot."},
    {"findFirstFile", "FindFirstFile", 0,
     "Attempting to move C:\\Documents and Settings\\Administrator\\Local "
     "Settings\\Temp\\UNST.ZIP_Extracted\\ to NULL on reboot."},
    {"getFileTimes", "GetFileTime|C:\\Drivers\\Demo\\DEMOMON.DLL", 0,
     "FileOp::IsNewerTime: could not get file time for C:\\Drivers\\Demo\\DEMOMON.DLL"},
    {"setFileTimes", "SetFileTime", 0,
     "zip_extract_file: unable to call SetFileTime for C:\\Program Files\\Demo Systems\\Printer "
     "Tools\\Docs\\MANUAL.TXT (Error: 5)"},
    {"getTempFileName", "GetTempFileName", 0,
     "get_temp_name: GetTempFileName in directory C:\\WINDOWS\\system32 failed with code 5"},
    {"getFileAttributes", "GetFileAttributes|C:\\Drivers\\Demo\\README.TXT", 0,
     "InstFileInfo::HandleCommand: file C:\\Drivers\\Demo\\README.TXT does not exist!"},
    {"openFile", "CreateFile|C:\\Drivers\\Demo\\oem.inf", 3,
     "could not find manufacturer section: Manufacturer"},
    {"getPrinterDriverDirectory", "GetPrinterDriverDirectory", 0,
     "DriverComponent::UpdatePrinterDriver: dependent file not found: \\3\\DEMO.DLL"},
    {"regSetValue", "RegSetValueEx", 0, "Registry::WriteValue: RegSetValueEx returned with code 5"},
    {"regDeleteValue", "RegDeleteValue", 0,
     "Registry::DeleteValue: RegDeleteValue returned error code5"},
    {"openPrinter", "OpenPrinter|Demo Printer 100", 2,
     "OpenPrinter of Demo Printer 100 failed with error code 5"},
    {"getPrinter", "GetPrinterSize|Demo Printer 100", 2,
     "GetPrinter of Demo Printer 100 provided no data."},
    {"setPrinter", "SetPrinter", 0, "ProcessorInfo::writeProcessorInfo: SetPrinter failed."},
    {"enumPrinterDrivers", "EnumPrinterDrivers", 0,
     "SetupMultipleDrivers: EnumPrinterDrivers failed with code 5"},
    {"addPrinterDriver", "AddPrinterDriver", 0,
     "DriverComponent::UpdatePrinterDriver: AddPrinterDriver failed with code 5"},
    {"setPrinterData", "SetPrinterData", 0,
     "PrtDrvDataInfo::HandleCommand: SetPrinterData returned 5"},
    {"enumMonitors", "EnumMonitorsSize", 0,
     "MonitorAction::MonitorExists: First call to EnumMonitors failed with code 5"},
    {"enumMonitors", "EnumMonitors", 0,
     "MonitorAction::monitorExists: Call to EnumMonitors() failed. Error code: 5"},
    {"addPrintProcessor", "AddPrintProcessor", 0,
     "ProcessorInfo::addProcessor: system AddPrintProcessor returned 5"},
    {"createProcess", "CreateProcess", 0,
     "RunProgramInfo: C:\\Drivers\\Demo\\UNPACK.EXE -quiet returned 0 (error code 5)"},
    {"waitForProcess", "WaitForSingleObject", 0,
     "RunProgramInfo: C:\\Drivers\\Demo\\UNPACK.EXE -quiet returned 0 (error code 5)"},
    {"getSpecialFolderPath", "SHGetSpecialFolderLocation", 0,
     "StartMenuInfo::HandleCommand: special folder COMMON_PROGRAMS is not available."},
    {"create", "CoCreateInstance", 0, "StartMenuInfo::HandleCommand: failed to create link."},
    {"save", "IPersistFile::Save", 0, "Shortcut::CreateLink: failed to save link: "},
    {"setPath", "IShellLinkA::SetPath", 0, "Shortcut::CreateLink: failed to set shortcut path: "},
    {"setWorkingDirectory", "IShellLinkA::SetWorkingDirectory", 0,
     "Shortcut::CreateLink: failed to set working directory: "},
    {"loadLibrary", "LoadLibrary", 0, "InstallEngine::loadTheDll: could not load "},
    {"lzOpenFile", "LZOpenFile", 0, "InstFileInfo::HandleCommand: could not install file "},
    {"regOpenKey", "RegOpenKeyEx|*Demo Systems*", 0,
     "Registry::openKey: could not open key SOFTWARE\\Demo Systems\\Printer 100 (error code 5)"},
    {"enumPrinters", "EnumPrinters", 0, "addPrinterHandlers: EnumPrinters failed with code 5"},
};

// Calls that answer from state the process already holds, or release what it holds: there is
// no failure to inject.
const std::set<std::string> kCannotFail = {
    "getLastError",
    "setLastError",
    "succeeded",
    "hresultFromWin32",
    "isCreated",
    "predefinedKey",
    "getCurrentDirectory",
    "getWindowsDirectory",
    "getSystemDirectory",
    "getTempPath",
    "getModuleFileName",
    "getComputerName",
    "getUserDefaultLangId",
    "processClockMillis",
    "ansiToWide",
    "wideToAnsi",
    "findClose",
    "freeLibrary",
    "lzClose",
    "closeProcess",
    "regCloseKey",
    "closePrinter",
    "notifyDirectoryUpdated",
    "dispatchQueuedMessages",
};

// The functions platform/*.h declare (one name per overload set), read from the headers so
// that the count follows them.
std::set<std::string> declaredPlatformCalls() {
    const std::regex declaration(
        R"(^\s*(?!return\b)(?:inline\s+)?[A-Za-z_][\w:<>]*[*&]?\s+[*&]?(\w+)\()");
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(DADAZADO_PLATFORM_HEADERS)) {
        if (entry.path().extension() != ".h") continue;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            std::smatch match;
            if (std::regex_search(line, match, declaration)) names.insert(match[1]);
        }
    }
    return names;
}

class FaultMatrix : public ::testing::TestWithParam<FaultRow> {
  protected:
    static void SetUpTestSuite() {
        before = new faults::MachineSnapshot(faults::takeSnapshot(faults::preparedMachine()));
        clean = new faults::RunOutcome(faults::runWithFault("", 0));
    }
    static void TearDownTestSuite() {
        delete before;
        delete clean;
    }
    static faults::MachineSnapshot* before;
    static faults::RunOutcome* clean;
};

faults::MachineSnapshot* FaultMatrix::before = nullptr;
faults::RunOutcome* FaultMatrix::clean = nullptr;

TEST_P(FaultMatrix, RunEndsWithItsCodeLogsTheFailureAndKeepsTheMachineWhole) {
    const FaultRow& row = GetParam();
    ASSERT_EQ(clean->exitCode, 0) << clean->log;
    EXPECT_EQ(clean->log.find(row.logLine), std::string::npos)
        << "the clean run already logs: " << row.logLine;

    const faults::RunOutcome outcome = faults::runWithFault(row.fault, 5);
    EXPECT_EQ(outcome.exitCode, row.exitCode) << row.fault << "\n" << outcome.log;
    EXPECT_NE(outcome.log.find(row.logLine), std::string::npos)
        << row.fault << ": no line with \"" << row.logLine << "\" in\n"
        << outcome.log;
    for (const std::string& damage : faults::damaged(*before, outcome.after, clean->after))
        ADD_FAILURE() << row.fault << ": " << damage;
}

INSTANTIATE_TEST_SUITE_P(EveryFailingCall, FaultMatrix, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<FaultRow>& info) {
                             std::string name;
                             for (const char* c = info.param.fault; *c && *c != '|'; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                             return name + "_" + std::to_string(info.index);
                         });

TEST(FaultMatrixCoverage, EveryListedCallIsDeclaredAndTheCountIsPrinted) {
    const std::set<std::string> declared = declaredPlatformCalls();
    ASSERT_GT(declared.size(), 50u) << "the header parser no longer finds the declarations";
    std::set<std::string> covered;
    for (const FaultRow& row : kRows) {
        EXPECT_TRUE(declared.contains(row.function)) << row.function << " is not declared";
        covered.insert(row.function);
    }
    std::vector<std::string> missing;
    for (const std::string& name : kCannotFail) {
        EXPECT_TRUE(declared.contains(name)) << name << " is not declared";
        EXPECT_FALSE(covered.contains(name)) << name << " is both covered and unfailing";
    }
    for (const std::string& name : declared)
        if (!covered.contains(name) && !kCannotFail.contains(name)) missing.push_back(name);
    std::printf(
        "fault matrix: %zu of %zu platform calls covered, %zu cannot fail, %zu not yet "
        "failed by a scenario:",
        covered.size(), declared.size(), kCannotFail.size(), missing.size());
    for (const std::string& name : missing) std::printf(" %s", name.c_str());
    std::printf("\n");
}

}  // namespace
