// winsim try on the demo package, as a package author runs it.
#include <gtest/gtest.h>

#include <cctype>
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

// Windows' reading of a vendor INF: a models section per version and architecture, names
// through [Strings], the system printer INF's data section, every CopyFiles line and its
// "dest,source,,flags" lines, the install section's DelReg and AddReg with hex numbers.
constexpr const char* kVendorInf = R"([Version]
Signature="$Chicago$"
[Manufacturer]
%Maker%=Maker, NTx86.5.1, NTamd64, NTx86.6.0
[Maker]
%Model% = Legacy
[Maker.NTx86.5.1]
%Model% = Modern ; a comment
[Maker.NTx86.6.0]
%Model% = Modern.Vista
[Maker.NTamd64]
%Model% = Modern.Vista
[Legacy]
CopyFiles=Plugin
DriverFile=LEGACY.DRV
[Modern]
CopyFiles=@MODEL.GPD
CopyFiles=Plugin,UI ; two lists
DataFile=MODEL.GPD
DataSection=UNIDRV_DATA
Include=MSXPSDRV.INF, NTPRINT.INF
DelReg=Model.DelReg
AddReg=Model.AddReg
[Modern.Vista]
CopyFiles=@MODEL.GPD
DriverFile=VISTA.DLL
[Plugin]
PLUGIN.DLL,PLUGIN.DL_,,0x00000020
[UI]
PLUGINUI.DLL
[Model.DelReg]
HKLM,"SOFTWARE\Maker",Old
[Model.AddReg]
HKLM,"SOFTWARE\Maker",Cutter,0x00010001,0x10
HKLM,"SOFTWARE\Maker",Trays,0x00010000,"Upper","Lower"
HKLM,"SOFTWARE\Maker",Home,,"%11%\Maker"
[Strings]
Maker="Maker Inc."
Model="Maker Laser 1"
)";

// The values of one key (its name in any case) in a machine's registry.reg, as text.
std::string keyBlock(const fs::path& machine, const std::string& key) {
    const std::string text = readHostFile(machine / "registry.reg");
    auto lower = [](std::string t) {
        for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return t;
    };
    const size_t start = lower(text).find(lower("[" + key + "]\r\n"));
    if (start == std::string::npos) return {};
    return text.substr(start, text.find("\r\n[", start + 1) - start);
}

TEST_F(WinsimTry, InstallsTheDriverAsWindowsReadsTheInf) {
    const fs::path package = work / "vendor";
    fs::create_directories(package);
    writeHostFile(package / "oem.inf", kVendorInf);
    writeHostFile(package / "PLUGIN.DL_", "plug-in");
    const fs::path faults = work / "earlier.reg";
    writeHostFile(faults,
                  "Windows Registry Editor Version 5.00\r\n\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker]\r\n\"Old\"=\"1\"\r\n");
    const fs::path json = work / "vendor.json";
    const ProgramResult result = tryPackage(
        {package.string(), "--model", "maker laser 1", "--os", "98se,2000,xp,vista,vista-x64",
         "--reg", faults.string(), "--json", json.string(), "--keep", (work / "m").string()});
    ASSERT_NE(result.exitCode, 2) << result.standardError;
    const nlohmann::json runs = nlohmann::json::parse(readHostFile(json))["runs"];
    for (const auto& run : runs) {
        EXPECT_EQ(run["windowsInstalls"], true) << run["version"];
        EXPECT_EQ(run["driverName"], "Maker Laser 1");
        // The utility's own discovery misses it: exit 4, and the sentence says why.
        EXPECT_EQ(run["exitCode"], 4);
        EXPECT_NE(run["explanation"].get<std::string>().find("whole as a section name"),
                  std::string::npos);
    }
    const std::string drivers =
        "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\"
        "Environments\\";
    const std::string nt = drivers + "Windows NT x86\\Drivers\\Version-3\\Maker Laser 1";
    EXPECT_NE(
        keyBlock(work / "m" / "98se", drivers + "Windows 4.0\\Drivers\\Version-0\\Maker Laser 1")
            .find("\"Driver\"=\"LEGACY.DRV\""),
        std::string::npos);
    // Windows 2000 reads the undecorated section, XP its own, Vista the closer 6.0 one.
    EXPECT_NE(keyBlock(work / "m" / "2000", nt).find("\"Driver\"=\"LEGACY.DRV\""),
              std::string::npos);
    const std::string xp = keyBlock(work / "m" / "xp", nt);
    EXPECT_NE(xp.find("\"Driver\"=\"UNIDRV.DLL\""), std::string::npos) << xp;
    EXPECT_NE(xp.find("\"Help File\"=\"UNIDRV.HLP\""), std::string::npos);
    EXPECT_NE(xp.find("\"Data File\"=\"MODEL.GPD\""), std::string::npos);
    EXPECT_NE(keyBlock(work / "m" / "vista", nt).find("\"Driver\"=\"VISTA.DLL\""),
              std::string::npos);
    EXPECT_NE(keyBlock(work / "m" / "vista-x64",
                       drivers + "Windows x64\\Drivers\\Version-3\\Maker Laser 1")
                  .find("\"Driver\"=\"VISTA.DLL\""),
              std::string::npos);
    // The file list's source name, the second CopyFiles line, the registry lines.
    const fs::path driverDir = work / "m" / "xp" / "drive_c" / "WINDOWS" / "system32" / "spool" /
                               "drivers" / "w32x86" / "3";
    EXPECT_EQ(readHostFile(driverDir / "PLUGIN.DLL"), "plug-in");
    EXPECT_TRUE(fs::exists(driverDir / "PLUGINUI.DLL"));
    const std::string maker = keyBlock(work / "m" / "xp", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker");
    EXPECT_NE(maker.find("\"Cutter\"=dword:00000010"), std::string::npos) << maker;
    EXPECT_NE(maker.find("\"Trays\"=hex(7)"), std::string::npos);
    EXPECT_NE(maker.find("\"Home\"=\"C:\\\\WINDOWS\\\\system32\\\\Maker\""), std::string::npos)
        << maker;
    EXPECT_EQ(maker.find("\"Old\""), std::string::npos);
}

TEST_F(WinsimTry, NamesWhatItCannotUse) {
    const fs::path package = work / "vendor";
    fs::create_directories(package);
    std::string inf = kVendorInf;
    inf.replace(inf.find("PLUGINUI.DLL"), 12, "SUB\\UI.DLL");
    writeHostFile(package / "oem.inf", inf);
    ProgramResult result = tryPackage({package.string(), "--model", "Maker Laser 1", "--os", "xp"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.standardError.find("CopyFiles name \"SUB\\UI.DLL\" in [UI]"),
              std::string::npos)
        << result.standardError;
    EXPECT_EQ(result.standardError.find("usage:"), std::string::npos);

    writeHostFile(package / "oem.inf", kVendorInf);
    writeHostFile(package / "NUL.ZIP", "");
    result = tryPackage({package.string(), "--model", "Maker Laser 1", "--os", "xp"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.standardError.find("NUL.ZIP"), std::string::npos) << result.standardError;

    // A model that no version of Windows installs from this INF: NT-only on the 9x family.
    inf = kVendorInf;
    inf.replace(inf.find("$Chicago$"), 9, "$Windows NT$");
    writeHostFile(package / "oem.inf", inf);
    fs::remove(package / "NUL.ZIP");
    const fs::path json = work / "nt.json";
    result = tryPackage(
        {package.string(), "--model", "Maker Laser 1", "--os", "98se,xp", "--json", json.string()});
    const nlohmann::json runs = nlohmann::json::parse(readHostFile(json))["runs"];
    EXPECT_EQ(runs[0]["windowsInstalls"], false);
    EXPECT_NE(runs[0]["notInstalled"].get<std::string>().find("$Chicago$"), std::string::npos);
    EXPECT_EQ(tryPackage({package.string(), "--model", "Maker Laser 2"}).exitCode, 2);
}

}  // namespace
