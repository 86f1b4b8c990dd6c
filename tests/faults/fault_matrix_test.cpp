// Every platform call the product's runs make that can fail, failed in turn through the
// machine's fault values: the run still ends with its defined exit code, the flight recorder
// names the failure, and nothing the machine held before is lost or half-written.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
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
    // A fragment of the line that reports the failure: the run logs it more often than the run
    // without faults. None when the flight recorder itself is what fails: it stays empty.
    const char* logLine;
    const char* package = faults::kDemoPackage;
    // A second fault that leads the run to the call (none when empty).
    const char* precondition = "";
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
    {"appendTextFile", "CreateFile|C:\\flight.log", 0, nullptr},
    {"coInitializeApartment", "CoInitialize", 0,
     "StartMenuInfo::Process: CoInitializeEx failed with code 0x80070005"},
    {"getExitCodeProcess", "GetExitCodeProcess", 0,
     "RunProgramInfo: C:\\Drivers\\Demo\\UNPACK.EXE -quiet returned 0 (error code 5)"},
    {"findNextFile", "FindNextFile", 0,
     "Attempting to move C:\\Documents and Settings\\Administrator\\Local "
     "Settings\\Temp\\UNST.ZIP_Extracted\\ to NULL on reboot."},
    {"getLocaleInfo", "GetLocaleInfo", 0,
     "getUserLocaleCode: GetLocaleInfo of language 1033 failed with code 5; using en_US"},
    {"getPrinterData", "GetPrinterData", 0,
     "PrtDrvDataInfo::HandleCommand: GetPrinterData of Model returned 5; the value is left as it "
     "is"},
    {"getProcAddress", "GetProcAddress|AddAnyItem", 0,
     "DadazadoEngine::FlushLogOps: could not get address of AddAnyItem"},
    {"getProcAddress", "GetProcAddress|DoInstallA", 0,
     "InstallEngine::ourGetProcAddress: the engine has no entry DoInstallA (error code: 5)"},
    // Only a restart-time rename that the system refused goes through the short names.
    {"getShortPathName", "GetShortPathName", 0,
     "FileOp::replaceOnReboot: could not get the short name of "
     "C:\\WINDOWS\\system32\\DEMOLOCK.DLL (error 5)",
     faults::kDemoPackage, "MoveFileEx|*DEMOLOCK.DLL"},
    {"lzCopy", "LZCopy", 0, "InstFileInfo::ourLZCopy: LZCopy failed: "},
    // The held DEMOMON.DLL cannot be renamed aside, so the second copy fails as the first did.
    {"moveFile", "MoveFile|*DEMOMON.DLL", 0,
     "InstFileInfo::ourLZCopy: could not put the expanded file in place as "
     "C:\\WINDOWS\\system32\\DEMOMON.DLL"},
    {"documentProperties", "DocumentProperties", 0,
     "RunAppInfo::runDriver: DRIVER_DOC_PROP dialog of Demo Printer 100 failed with code 5",
     faults::kMorePackage},
    {"advancedDocumentProperties", "AdvancedDocumentProperties", 0,
     "RunAppInfo::runDriver: DRIVER_ADV_DOC_PROP dialog of Demo Printer 100 failed with code 5",
     faults::kMorePackage},
    {"printerProperties", "PrinterProperties", 0,
     "RunAppInfo::runDriver: DRIVER_PTR_PROP dialog of Demo Printer 100 failed with code 5",
     faults::kMorePackage},
    {"runSystemCommand", "system", 0,
     "RunProgramInfo: C:\\Drivers\\More\\SETUP.BAT /quiet returned 0 (error code 5)",
     faults::kMorePackage},
    {"setArguments", "IShellLinkA::SetArguments", 0,
     "Shortcut::CreateLink: failed to set shortcut arguments: --more", faults::kMorePackage},
    {"regCreateKey", "RegCreateKeyEx|*More Tools", 0,
     "Registry::CreateKey: RegCreteKeyEx of More Tools failed with code 5", faults::kMorePackage},
    {"regGetKeySecurity", "RegGetKeySecurity", 0,
     "Registry::cloneKeyAccess: ruh roh, something went wrong; error 5", faults::kMorePackage},
    {"regSetKeySecurity", "RegSetKeySecurity", 0,
     "Registry::cloneKeyAccess: RegSetKeySecurity returned 5", faults::kMorePackage},
    {"regQueryValue", "RegQueryValueEx|*Kept", 0,
     "Registry::ValueExists: could not query value Kept (error 5)", faults::kMorePackage},
    {"setFileAttributes", "SetFileAttributes|*MOREREAD.DLL", 0,
     "Attempting to move C:\\WINDOWS\\system32\\MOREREAD.DLL to NULL on reboot.",
     faults::kMorePackage},
    {"getFileVersionInfoSize", "GetFileVersionInfoSize", 0,
     "FileOp::GetFileVersion: GetFileVersionInfoSize of C:\\Drivers\\More\\MOREVER.DLL "
     "failed (error 5)",
     faults::kMorePackage},
    {"getFileVersionInfo", "GetFileVersionInfo", 0,
     "FileOp::GetFileVersion: GetFileVersionInfo of C:\\Drivers\\More\\MOREVER.DLL failed "
     "(error 5)",
     faults::kMorePackage},
    {"verQueryValue", "VerQueryValue|*Translation", 0,
     "FileOp::GetFileVersion: VerQueryValue of the translation of "
     "C:\\Drivers\\More\\MOREVER.DLL failed (error 5)",
     faults::kMorePackage},
    {"getPrintProcessorDirectory", "GetPrintProcessorDirectory", 0,
     "InstFileInfo::HandleCommand: dest dir  does not exist and cannot be created",
     faults::kMorePackage},
};

// Calls that answer from state the process already holds, or release what it holds: there is
// no failure to inject.
const std::set<std::string> kCannotFail = {
    "getLastError",
    "setLastError",
    "succeeded",
    "hresultFromWin32",
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
    // Decoding of bytes already read.
    "littleEndian",
    "littleEndian16",
    "littleEndian32",
};

// Calls the product's code does not make in any run, each with the reason and a pattern over
// the product's sources (app/, commands/, support/) that may match only in the files named: a
// new match means the call may now be made, and the reason has to be looked at again.
struct NotCalled {
    const char* function;
    const char* reason;
    const char* pattern;
    std::set<std::string> allowedIn;
};

// A write of the shortcut's comment or icon (its declaration aside), or a setter for them; only
// the link calls of support/shortcut.cpp may match.
constexpr const char* kShortcutExtrasPattern =
    R"(\b(comment|icon)\s*(=[^=]|\.\s*Set)|\biconIndex\s*=(?!\s*0;)|\bset(Comment|Description|Icon\w*)\s*\()";

const NotCalled kNotCalled[] = {
    {"setDescription",
     "Shortcut has no setter for its comment, and setProperties describes only a non-empty one",
     kShortcutExtrasPattern,
     {"support/shortcut.cpp"}},
    {"setIconLocation",
     "Shortcut has no setter for its icon, and setProperties places only an icon file",
     kShortcutExtrasPattern,
     {"support/shortcut.cpp"}},
    {"createProcessAsUser",
     "every program is started without a user token (the launcher's callers pass none)",
     R"(\bUserToken\b)",
     {"support/launcher.h", "support/launcher.cpp"}},
    {"regConnectRegistry",
     "the registry is only ever opened on this computer: OSInfo's computer name stays empty",
     R"(\bsetMachine\s*\(|\bmachine\s*=[^=]|\bRegistry\s+\w+\s*\(\s*\w)",
     {"support/registry.h", "support/registry.cpp", "support/os_info.cpp"}},
};

// The product's source files (relative to the tree) whose text matches pattern.
std::set<std::string> productFilesMatching(const std::string& pattern) {
    const std::regex expression(pattern);
    const std::filesystem::path tree = DADAZADO_SOURCE_DIR;
    std::set<std::string> found;
    for (const char* area : {"app", "commands", "support"}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(tree / area)) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".cpp" && extension != ".h") continue;
            std::ifstream in(entry.path());
            const std::string text{std::istreambuf_iterator<char>(in), {}};
            if (std::regex_search(text, expression))
                found.insert(std::filesystem::relative(entry.path(), tree).generic_string());
        }
    }
    return found;
}

size_t occurrences(const std::string& text, const std::string& fragment) {
    size_t count = 0;
    for (size_t at = text.find(fragment); at != std::string::npos;
         at = text.find(fragment, at + fragment.size()))
        ++count;
    return count;
}

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
        clean = new std::map<std::string, faults::RunOutcome>;
        for (const char* package : {faults::kDemoPackage, faults::kMorePackage})
            clean->emplace(package, faults::runWithFaults({}, 0, package));
    }
    static void TearDownTestSuite() {
        delete before;
        delete clean;
    }
    static faults::MachineSnapshot* before;
    // The run of each package without faults.
    static std::map<std::string, faults::RunOutcome>* clean;
};

faults::MachineSnapshot* FaultMatrix::before = nullptr;
std::map<std::string, faults::RunOutcome>* FaultMatrix::clean = nullptr;

TEST_P(FaultMatrix, RunEndsWithItsCodeLogsTheFailureAndKeepsTheMachineWhole) {
    const FaultRow& row = GetParam();
    const faults::RunOutcome& intended = clean->at(row.package);
    ASSERT_EQ(intended.exitCode, 0) << intended.log;
    std::vector<std::string> set = {row.fault};
    if (*row.precondition != '\0') set.push_back(row.precondition);

    const faults::RunOutcome outcome = faults::runWithFaults(set, 5, row.package);
    EXPECT_EQ(outcome.exitCode, row.exitCode) << row.fault << "\n" << outcome.log;
    if (row.logLine == nullptr) {
        EXPECT_FALSE(intended.log.empty());
        EXPECT_EQ(outcome.log, "") << row.fault << ": the recorder still wrote";
    } else {
        EXPECT_GT(occurrences(outcome.log, row.logLine), occurrences(intended.log, row.logLine))
            << row.fault << ": no more lines with \"" << row.logLine << "\" than the clean run in\n"
            << outcome.log;
    }
    for (const std::string& damage : faults::damaged(*before, outcome.after, intended.after))
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
    std::set<std::string> notCalled;
    for (const NotCalled& call : kNotCalled) {
        EXPECT_TRUE(declared.contains(call.function)) << call.function << " is not declared";
        EXPECT_FALSE(covered.contains(call.function) || kCannotFail.contains(call.function))
            << call.function << " is listed twice";
        notCalled.insert(call.function);
    }
    for (const std::string& name : declared)
        if (!covered.contains(name) && !kCannotFail.contains(name) && !notCalled.contains(name))
            missing.push_back(name);
    std::printf(
        "fault matrix: %zu of %zu platform calls covered, %zu cannot fail, %zu not called by "
        "the product, %zu not yet failed by a scenario:",
        covered.size(), declared.size(), kCannotFail.size(), notCalled.size(), missing.size());
    for (const std::string& name : missing) std::printf(" %s", name.c_str());
    std::printf("\n");
}

TEST(FaultMatrixCoverage, CallsListedAsNotCalledStayUncalled) {
    for (const NotCalled& call : kNotCalled) {
        const std::set<std::string> found = productFilesMatching(call.pattern);
        EXPECT_FALSE(found.empty() && !call.allowedIn.empty())
            << call.function << ": the pattern no longer finds what the reason rests on";
        for (const std::string& file : found)
            EXPECT_TRUE(call.allowedIn.contains(file))
                << call.function << " may now be called: " << file << " matches " << call.pattern
                << "; the reason was: " << call.reason;
    }
}

}  // namespace
