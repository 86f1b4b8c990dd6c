// The machine tool seen from the shell: the built winsim on machines in temporary directories.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/registry.h"
#include "platform/sim/machine.h"
#include "platform/sim/registry_store.h"
#include "platform/spooler.h"
#include "tests/support/program_run.h"
#include "tests/support/test_machine.h"

namespace {

namespace fs = std::filesystem;
namespace reg = sim::registry;

constexpr const char* kPrint = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print";

ProgramResult winsim(const std::vector<std::string>& args) {
    return runProgram(WINSIM_BINARY, args);
}

std::string text(const std::string& key, const std::string& name) {
    return reg::readString(key, name);
}

std::vector<std::string> words(std::string data) {
    std::vector<std::string> items;
    for (size_t start = 0, end; (end = data.find('\0', start)) != data.npos; start = end + 1)
        if (end > start) items.push_back(data.substr(start, end - start));
    return items;
}

class Winsim : public ::testing::Test {
  protected:
    std::string dir() const { return machine.dir().string(); }
    std::string scratch(const std::string& name) const { return (machine.dir() / name).string(); }

    // Runs winsim with its standard output going to a file, and returns that output.
    std::string output(const std::vector<std::string>& args, int* exitCode) const {
        const std::string out = scratch("stdout.txt");
        std::vector<std::string> shellArgs = {"-c", "\"$0\" \"$@\" > \"$OUT\"", WINSIM_BINARY};
        shellArgs.insert(shellArgs.end(), args.begin(), args.end());
        *exitCode = runProgram("/bin/sh", shellArgs, {{"OUT", out}}).exitCode;
        return readHostFile(out);
    }

    TestMachine machine;  // XP, service pack 3
};

TEST_F(Winsim, NewMakesA9xMachineAtTheVersionKeys) {
    const std::string made = scratch("me98");
    ASSERT_EQ(winsim({"new", made, "--os", "98se", "--locale", "0407"}).exitCode, 0);
    ASSERT_EQ(sim::openMachine(made), "");
    const char* win = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion";
    EXPECT_EQ(text(win, "VersionNumber"), "4.10.2222");
    EXPECT_EQ(text(win, "SubVersionNumber"), " A ");
    EXPECT_FALSE(reg::keyExists("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion"));
    EXPECT_EQ(text("HKCU\\Control Panel\\International", "Locale"), "00000407");
    EXPECT_TRUE(reg::keyExists(std::string(kPrint) + "\\Environments\\Windows 4.0"));
}

TEST_F(Winsim, NewMakesAnNtMachineWithServicePackEditionAndName) {
    const std::string made = scratch("srv");
    ASSERT_EQ(
        winsim({"new", made, "--os", "2003", "--sp", "1", "--64bit", "--computer", "BOX"}).exitCode,
        0);
    ASSERT_EQ(sim::openMachine(made), "");
    const char* nt = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion";
    EXPECT_EQ(text(nt, "CurrentVersion"), "5.2");
    EXPECT_EQ(text(nt, "CSDVersion"), "Service Pack 1");
    EXPECT_TRUE(reg::keyExists("HKLM\\Software\\Wow6432Node"));
    EXPECT_EQ(text("HKLM\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
                   "ComputerName"),
              "BOX");
    // Without --sp a version gets its last service pack.
    const std::string vista = scratch("vista");
    ASSERT_EQ(winsim({"new", vista, "--os", "VISTA"}).exitCode, 0);
    ASSERT_EQ(sim::openMachine(vista), "");
    EXPECT_EQ(text(nt, "CurrentVersion"), "6.0");
    EXPECT_EQ(text(nt, "CSDVersion"), "Service Pack 2");
}

TEST_F(Winsim, BadArgumentsExitWithTwoAndSayWhy) {
    const std::string fresh = scratch("fresh");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "missing command"},
        {{"frobnicate"}, "unknown command"},
        {{"printer", "remove", dir()}, "unknown action"},
        {{"new", fresh}, "--os is required"},
        {{"new", fresh, "--os", "nt5"}, "unknown Windows version"},
        {{"new", fresh, "--os", "xp", "--sp", "4"}, "service packs 0 to 3"},
        {{"new", fresh, "--os", "98", "--64bit"}, "no 64-bit edition"},
        {{"new", fresh, "--os", "xp", "--locale", "04x7"}, "bad locale"},
        {{"new", fresh, "--os", "xp", "--computer", "A NAME"}, "bad computer name"},
        {{"new", fresh, "--os", "xp", "--bogus"}, "unknown option --bogus"},
        {{"new", fresh, "--os"}, "needs a value"},
        {{"new", dir(), "--os", "xp"}, "not an empty directory"},
        {{"show", fresh}, "not a simulated machine"},
        {{"show", dir(), "extra"}, "unexpected argument"},
        {{"reg", "import", dir()}, "missing arguments"},
        {{"printer", "add", dir(), "P"}, "--driver is required"},
        {{"printer", "add", dir(), "P", "--driver", "D", "--server", "SRV"}, "bad server"},
        {{"printer", "add", dir(), "a\\b", "--driver", "D"}, "bad printer name"},
        {{"driver", "add", dir(), "D", "--version", "4"}, "bad driver version"},
        {{"driver", "add", dir(), "D", "--environment", "Windows 3.1"}, "unknown environment"},
        {{"driver", "add", dir(), "D", "--driver-path", "..\\x.dll"}, "not a bare file name"},
        {{"exec", dir(), "true"}, "expected -- PROGRAM"},
    };
    for (const auto& [args, message] : cases) {
        const ProgramResult result = winsim(args);
        EXPECT_EQ(result.exitCode, 2) << args.size() << " words, expecting " << message;
        EXPECT_NE(result.standardError.find(message), std::string::npos) << result.standardError;
        EXPECT_NE(result.standardError.find("usage: winsim"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(fresh));
}

TEST_F(Winsim, HelpGoesToStandardOutputAndSucceeds) {
    int exitCode = -1;
    EXPECT_EQ(output({"driver", "add", "--help"}, &exitCode).rfind("usage: winsim driver add", 0),
              0u);
    EXPECT_EQ(exitCode, 0);
    const std::string group = output({"reg", "--help"}, &exitCode);
    EXPECT_NE(group.find("usage: winsim reg import"), std::string::npos);
    EXPECT_NE(group.find("usage: winsim reg export"), std::string::npos);
}

TEST_F(Winsim, PrinterAddWritesLocalPrintersAndConnectionsAtTheirKeys) {
    ASSERT_EQ(
        winsim({"printer", "add", dir(), "Office Laser", "--driver", "HP X", "--port", "USB001"})
            .exitCode,
        0);
    ASSERT_EQ(winsim({"printer", "add", dir(), "Far", "--driver", "HP X", "--server", "\\\\SRV"})
                  .exitCode,
              0);
    machine.reload();
    const std::string local = std::string(kPrint) + "\\Printers\\Office Laser";
    EXPECT_EQ(text(local, "Name"), "Office Laser");
    EXPECT_EQ(text(local, "Printer Driver"), "HP X");
    EXPECT_EQ(text(local, "Port"), "USB001");
    EXPECT_EQ(text(local, "Print Processor"), "WinPrint");
    EXPECT_EQ(text(local, "Datatype"), "RAW");
    EXPECT_EQ(text(local, "Attributes"), "64");
    EXPECT_TRUE(reg::keyExists(local + "\\PrinterDriverData"));
    const std::string remote = "HKCU\\Printers\\Connections\\,,SRV,Far";
    EXPECT_EQ(text(remote, "Server"), "\\\\SRV");
    EXPECT_EQ(text(remote, "Provider"), "win32spl.dll");
    EXPECT_EQ(text(remote, "Printer Driver"), "HP X");
    EXPECT_EQ(text(remote, "Port"), "LPT1:");
    EXPECT_EQ(text(remote, "Attributes"), "16");
    // The simulated spooler reads both back as the product will see them.
    std::vector<platform::PrinterInfo2> printers;
    ASSERT_TRUE(platform::enumPrinters(
        platform::kPrinterEnumLocal | platform::kPrinterEnumConnections, &printers));
    ASSERT_EQ(printers.size(), 2u);
    EXPECT_EQ(printers[0].printerName, "Office Laser");
    EXPECT_EQ(printers[1].printerName, "\\\\SRV\\Far");
    EXPECT_EQ(printers[1].serverName, "\\\\SRV");

    const ProgramResult again = winsim({"printer", "add", dir(), "office laser", "--driver", "Y"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.standardError.find("already exists"), std::string::npos);
}

TEST_F(Winsim, DriverAddWritesValuesAndPlaceholderFiles) {
    machine.writeFile("C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3\\ui.dll", "real");
    ASSERT_EQ(winsim({"driver", "add", dir(), "HP X", "--driver-path", "x.dll", "--data-file",
                      "x.ppd", "--config-file", "ui.dll", "--help-file", "x.hlp", "--dependent",
                      "a.dll,b.ini", "--monitor", "PJL Monitor"})
                  .exitCode,
              0);
    machine.reload();
    const std::string key =
        std::string(kPrint) + "\\Environments\\Windows NT x86\\Drivers\\" + "Version-3\\HP X";
    EXPECT_EQ(text(key, "Version"), "3");
    EXPECT_EQ(text(key, "Driver"), "x.dll");
    EXPECT_EQ(text(key, "Data File"), "x.ppd");
    EXPECT_EQ(text(key, "Configuration File"), "ui.dll");
    EXPECT_EQ(text(key, "Help File"), "x.hlp");
    EXPECT_EQ(text(key, "Monitor"), "PJL Monitor");
    uint32_t type = 0;
    std::string data;
    ASSERT_TRUE(reg::readValue(key, "Dependent Files", &type, &data));
    EXPECT_EQ(type, platform::kRegMultiSz);
    EXPECT_EQ(words(data), (std::vector<std::string>{"a.dll", "b.ini"}));
    for (const char* file : {"x.dll", "x.ppd", "x.hlp", "a.dll", "b.ini"}) {
        const sim::ResolvedPath placed = sim::resolvePath(
            std::string("C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3\\") + file);
        EXPECT_TRUE(placed.exists) << file;
        EXPECT_EQ(fs::file_size(placed.host), 0u) << file;
    }
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3\\ui.dll"), "real");
}

TEST_F(Winsim, DriverAddFollowsTheMachinesFamily) {
    const std::string nt4 = scratch("nt4"), win98 = scratch("98");
    ASSERT_EQ(winsim({"new", nt4, "--os", "nt4"}).exitCode, 0);
    ASSERT_EQ(winsim({"driver", "add", nt4, "Old", "--driver-path", "old.dll"}).exitCode, 0);
    ASSERT_EQ(sim::openMachine(nt4), "");
    EXPECT_EQ(text(std::string(kPrint) + "\\Environments\\Windows NT x86\\Drivers\\Version-2\\Old",
                   "Version"),
              "2");
    EXPECT_TRUE(
        sim::resolvePath("C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\2\\old.dll").exists);

    ASSERT_EQ(winsim({"new", win98, "--os", "98"}).exitCode, 0);
    ASSERT_EQ(winsim({"driver", "add", win98, "Nine", "--driver-path", "nine.drv"}).exitCode, 0);
    ASSERT_EQ(sim::openMachine(win98), "");
    EXPECT_EQ(text(std::string(kPrint) + "\\Environments\\Windows 4.0\\Drivers\\Version-0\\Nine",
                   "Driver"),
              "nine.drv");
    EXPECT_TRUE(sim::resolvePath("C:\\WINDOWS\\SYSTEM\\nine.drv").exists);
}

TEST_F(Winsim, MonitorAndProcessorAddInstallOnceWithTheirLibraries) {
    ASSERT_EQ(winsim({"monitor", "add", dir(), "PJL Monitor", "--driver", "pjlmon.dll"}).exitCode,
              0);
    machine.writeFile("C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\real.dll", "real");
    ASSERT_EQ(winsim({"processor", "add", dir(), "Real", "--driver", "real.dll"}).exitCode, 0);
    ASSERT_EQ(winsim({"processor", "add", dir(), "Fancy", "--driver", "fancy.dll", "--environment",
                      "windows x64"})
                  .exitCode,
              0);
    machine.reload();
    EXPECT_EQ(text(std::string(kPrint) + "\\Monitors\\PJL Monitor", "Driver"), "pjlmon.dll");
    std::vector<std::string> monitors;
    uint32_t needed = 0;
    ASSERT_TRUE(platform::enumMonitors(&monitors, &needed));
    EXPECT_EQ(monitors, (std::vector<std::string>{"Local Port", "PJL Monitor"}));
    const std::string environments = std::string(kPrint) + "\\Environments\\";
    EXPECT_EQ(text(environments + "Windows NT x86\\Print Processors\\Real", "Driver"), "real.dll");
    EXPECT_EQ(text(environments + "Windows x64\\Print Processors\\Fancy", "Driver"), "fancy.dll");
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\real.dll"), "real");
    EXPECT_TRUE(sim::resolvePath("C:\\WINDOWS\\system32\\spool\\prtprocs\\x64\\fancy.dll").exists);

    const ProgramResult again = winsim({"monitor", "add", dir(), "pjl monitor", "--driver", "x"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.standardError.find("already exists"), std::string::npos);
    EXPECT_EQ(winsim({"processor", "add", dir(), "REAL", "--driver", "x.dll"}).exitCode, 1);
    EXPECT_EQ(winsim({"processor", "add", dir(), "P", "--driver", "..\\x.dll"}).exitCode, 2);
    EXPECT_EQ(winsim({"monitor", "add", dir(), "M"}).exitCode, 2);
}

TEST_F(Winsim, ShowPrintsPrinterDataAndWholeDriverRecords) {
    ASSERT_EQ(winsim({"printer", "add", dir(), "Office", "--driver", "HP X"}).exitCode, 0);
    ASSERT_EQ(
        winsim({"driver", "add", dir(), "HP X", "--driver-path", "x.dll", "--data-file", "x.ppd",
                "--config-file", "ui.dll", "--dependent", "a.dll", "--monitor", "PJL Monitor"})
            .exitCode,
        0);
    const std::string data = scratch("data.reg");
    writeHostFile(data,
                  "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\"
                  "Printers\\Office\\PrinterDriverData]\n\"Mode\"=\"fast\"\n"
                  "\"Count\"=dword:0000002a\n\"Blob\"=hex:01,ff\n");
    ASSERT_EQ(winsim({"reg", "import", dir(), data}).exitCode, 0);
    int exitCode = -1;
    const std::string shown = output({"show", dir()}, &exitCode);
    EXPECT_EQ(exitCode, 0);
    const std::string version3 = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3\\";
    for (const std::string& expected :
         {std::string("    data \"Mode\" (REG_SZ): \"fast\"\n"),
          std::string("    data \"Count\" (REG_DWORD): 0x0000002a\n"),
          std::string("    data \"Blob\" (REG_BINARY): hex 01,ff\n"),
          std::string("    Version: 3\n"), "    Driver: " + version3 + "x.dll\n",
          "    Configuration File: " + version3 + "ui.dll\n",
          "    Dependent File: " + version3 + "a.dll\n", std::string("    Monitor: PJL Monitor\n")})
        EXPECT_NE(shown.find(expected), std::string::npos) << expected << shown;
}

TEST_F(Winsim, RegImportMergesEachFileFormat) {
    reg::writeValue("HKLM\\SOFTWARE\\Acme", "Keep", platform::kRegSz, std::string("old\0", 4));
    reg::writeValue("HKLM\\SOFTWARE\\Acme", "Drop", platform::kRegSz, std::string("x\0", 2));
    reg::createKey("HKLM\\SOFTWARE\\Acme\\Gone");
    const std::string v5 = scratch("v5.reg");
    writeHostFile(v5,
                  "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme]"
                  "\r\n\"New\"=dword:0000002a\r\n\"Drop\"=-\r\n\r\n"
                  "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\Gone]\r\n");
    const std::string v4 = scratch("v4.reg");
    writeHostFile(v4, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Acme]\n\"Four\"=\"4\"\n");
    const std::string utf16 = scratch("u16.reg");
    std::string wide = "\xFF\xFE";
    for (char c : std::string("Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\Acme]"
                              "\r\n\"Wide\"=\"w\"\r\n"))
        wide += std::string{c, '\0'};
    writeHostFile(utf16, wide);
    for (const std::string& file : {v5, v4, utf16})
        EXPECT_EQ(winsim({"reg", "import", dir(), file}).exitCode, 0) << file;
    machine.reload();
    EXPECT_EQ(text("HKLM\\SOFTWARE\\Acme", "Keep"), "old");
    EXPECT_EQ(text("HKLM\\SOFTWARE\\Acme", "New"), "42");
    EXPECT_FALSE(reg::readValue("HKLM\\SOFTWARE\\Acme", "Drop", nullptr, nullptr));
    EXPECT_FALSE(reg::keyExists("HKLM\\SOFTWARE\\Acme\\Gone"));
    EXPECT_EQ(text("HKCU\\Acme", "Four"), "4");
    EXPECT_EQ(text("HKCU\\Acme", "Wide"), "w");
}

TEST_F(Winsim, RegImportRefusesAMalformedFileAndChangesNothing) {
    const fs::path registryFile = machine.dir() / "registry.reg";
    const std::string before = readHostFile(registryFile);
    const std::string bad = scratch("bad.reg");
    // The first key is fine; the fault is on line 4, after it.
    writeHostFile(bad,
                  "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Half]\n\"a\"=\"1\"\n\"b\"=dword:zz\n");
    const ProgramResult result = winsim({"reg", "import", dir(), bad});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.standardError.find("bad.reg:4: bad dword"), std::string::npos)
        << result.standardError;
    EXPECT_EQ(readHostFile(registryFile), before);
    EXPECT_FALSE(fs::exists(machine.dir() / "registry.reg.tmp"));
    // Nor does the refused part linger in memory, to be saved with the next change.
    EXPECT_NE(reg::importFile(bad), "");
    reg::createKey("HKLM\\SOFTWARE\\After");
    reg::flush();
    EXPECT_FALSE(reg::keyExists("HKLM\\SOFTWARE\\Half"));
    EXPECT_EQ(readHostFile(registryFile).find("Half"), std::string::npos);
}

TEST_F(Winsim, RegExportPrintsOneKeySubtree) {
    reg::writeValue("HKLM\\SOFTWARE\\Acme", "Name", platform::kRegSz, std::string("a\"b\0", 4));
    reg::writeValue("HKLM\\SOFTWARE\\Acme\\Sub", "", platform::kRegDword, std::string(4, '\0'));
    reg::writeValue("HKLM\\SOFTWARE\\Other", "X", platform::kRegSz, std::string("x\0", 2));
    int exitCode = -1;
    EXPECT_EQ(output({"reg", "export", dir(), "hklm\\software\\acme"}, &exitCode),
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Acme]\r\n\"Name\"=\"a\\\"b\"\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Acme\\Sub]\r\n@=dword:00000000\r\n");
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(output({"reg", "export", dir()}, &exitCode),
              readHostFile(machine.dir() / "registry.reg"));
    EXPECT_EQ(winsim({"reg", "export", dir(), "HKLM\\SOFTWARE\\Missing"}).exitCode, 1);
}

TEST_F(Winsim, ExecRunsTheProgramOnTheMachineInTheMappedDirectory) {
    const std::string out = scratch("exec.txt");
    const ProgramResult result =
        runProgram(WINSIM_BINARY,
                   {"exec", dir(), "--cd", "c:\\windows\\SYSTEM32", "--", "/bin/sh", "-c",
                    "printf '%s\\n%s' \"$WINSIM_MACHINE\" \"$(pwd -P)\" > \"$0\"; exit 7", out});
    EXPECT_EQ(result.exitCode, 7) << result.standardError;
    EXPECT_EQ(readHostFile(out),
              fs::absolute(machine.dir()).string() + "\n" +
                  fs::canonical(machine.dir() / "drive_c/WINDOWS/system32").string());
    EXPECT_EQ(winsim({"exec", dir(), "--cd", "C:\\Nowhere", "--", "true"}).exitCode, 125);
    EXPECT_EQ(winsim({"exec", dir(), "--", "no-such-program-here"}).exitCode, 127);
    // A machine that cannot be opened is winsim's own failure, never a program's exit code.
    const std::string broken = scratch("broken");
    fs::create_directories(broken);
    EXPECT_EQ(winsim({"exec", broken, "--", "true"}).exitCode, 125);
    writeHostFile(fs::path(broken) / "registry.reg", "not a registry file\r\n");
    EXPECT_EQ(winsim({"exec", broken, "--", "true"}).exitCode, 125);
}

}  // namespace
