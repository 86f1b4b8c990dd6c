// A driver package with printer data, registry lines, a monitor, a print processor and a
// dependent-file list, run by the built dadazado on an XP machine with three printers of two
// drivers, once for one printer and once in update mode.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sim/registry_store.h"
#include "tests/support/program_run.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace {

const std::string kPrint = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print";
const std::string kDrivers = kPrint + "\\Environments\\Windows NT x86\\Drivers\\Version-3\\";
const std::string kPrinters = kPrint + "\\Printers\\";
const std::string kVersionDir = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3\\";

const char* const kInf =
    "[Manufacturer]\r\n"
    "Acme = Acme.Models\r\n"
    "[Acme.Models]\r\n"
    "Acme Laser 5 = Laser5.Install\r\n"
    "Acme Color 7 = Color7.Install\r\n"
    "[Laser5.Install]\r\n"
    "CopyFiles = @a.dll, Laser5.Files\r\n"
    "DataSection = Laser5.Data\r\n"
    "QenPrtDrvData = Laser5.PrinterData\r\n"
    "QenAssociateMonitor = Laser5.Monitor\r\n"
    "AddReg = Laser5.AddReg\r\n"
    "DelReg = Laser5.DelReg\r\n"
    "[Laser5.Files]\r\n"
    "b.dll\r\n"
    "c.dll=c.dl_\r\n"
    "[Laser5.Data]\r\n"
    "PrintProcessor = \"AcmeProc,acmeproc.dll\"\r\n"
    "DefaultDataType = NT EMF 1.008\r\n"
    "[Laser5.PrinterData]\r\n"
    "x, 1, NUMBER, Resolution, 0x258\r\n"
    "x, 1, STRING, Model, Laser 5, 2\r\n"
    "[Laser5.Monitor]\r\n"
    "x, 1, Acme Port Monitor, 1\r\n"
    "[Laser5.AddReg]\r\n"
    "HKLM, SOFTWARE\\Acme\\Laser5, Installed, 65537, 1\r\n"
    "[Laser5.DelReg]\r\n"
    "HKLM, SOFTWARE\\Acme\\Laser5, Obsolete\r\n"
    "[Color7.Install]\r\n"
    "CopyFiles = @x.dll\r\n"
    "QenPrtDrvData = Color7.PrinterData\r\n"
    "[Color7.PrinterData]\r\n"
    "x, 1, STRING, Tray, Upper\r\n";

class PrinterCommandsEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::registry::writeValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Qentrel", "DadazadoDebug", kRegSz,
                                  sz("C:\\flight.log"));
        machine.writeFile("C:\\Drivers\\oem.inf", kInf);
        addDriver("Acme Laser 5", {"a.dll", "b.dll"});
        machine.writeFile(kVersionDir + "c.dll", "c");
        addDriver("Acme Color 7", {"x.dll"});
        addPrinter("Office Laser", "Acme Laser 5");
        addPrinter("Hall Laser", "Acme Laser 5");
        addPrinter("Lab Color", "Acme Color 7");
        sim::registry::writeValue(kPrint + "\\Monitors\\Acme Port Monitor", "Driver", kRegSz,
                                  sz("acmemon.dll"));
        machine.writeFile("C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\acmeproc.dll", "p");
        sim::registry::writeValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\Laser5", "Obsolete", kRegSz,
                                  sz("old"));
    }

    void addDriver(const std::string& name, const std::vector<std::string>& dependents) {
        const std::string key = kDrivers + name;
        sim::registry::writeValue(key, "Version", kRegDword, dword(3));
        sim::registry::writeValue(key, "Driver", kRegSz, sz("drv.dll"));
        sim::registry::writeValue(key, "Data File", kRegSz, sz(name + ".ppd"));
        sim::registry::writeValue(key, "Configuration File", kRegSz, sz("drvui.dll"));
        sim::registry::writeValue(key, "Help File", kRegSz, sz("drv.hlp"));
        sim::registry::writeValue(key, "Dependent Files", kRegMultiSz, multiSz(dependents));
        for (const std::string& file : {std::string("drv.dll"), name + ".ppd",
                                        std::string("drvui.dll"), std::string("drv.hlp")})
            machine.writeFile(kVersionDir + file, file);
        for (const std::string& file : dependents) machine.writeFile(kVersionDir + file, file);
    }

    static void addPrinter(const std::string& name, const std::string& driver) {
        sim::registry::writeValue(kPrinters + name, "Printer Driver", kRegSz, sz(driver));
        sim::registry::writeValue(kPrinters + name, "Port", kRegSz, sz("LPT1:"));
        sim::registry::writeValue(kPrinters + name, "Print Processor", kRegSz, sz("WinPrint"));
        sim::registry::writeValue(kPrinters + name, "Datatype", kRegSz, sz("RAW"));
        sim::registry::writeValue(kPrinters + name, "Attributes", kRegDword, dword(0x40));
    }

    void run(bool updateMode) {
        if (updateMode)
            sim::registry::writeValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Qentrel",
                                      "DadazadoUpdateAllPrinters", kRegDword, dword(1));
        const ProgramResult result =
            runDadazado(machine.dir(), {"-I", "C:\\Drivers\\oem.inf", "-N", "Office Laser"});
        ASSERT_EQ(result.exitCode, 0) << result.standardError;
        machine.reload();
        lines = splitLines(machine.readFile("C:\\flight.log"));
    }

    static std::string value(const std::string& key, const std::string& name) {
        uint32_t type = 0;
        std::string data;
        sim::registry::readValue(key, name, &type, &data);
        return data;
    }
    bool logged(const std::string& line) const {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    long count(const std::string& line) const {
        return std::count(lines.begin(), lines.end(), line);
    }

    TestMachine machine;
    std::vector<std::string> lines;
};

TEST_F(PrinterCommandsEndToEnd, OnePrinterAndItsDriver) {
    run(false);
    const std::string office = kPrinters + "Office Laser";
    EXPECT_EQ(value(kDrivers + "Acme Laser 5", "Dependent Files"),
              multiSz({"a.dll", "b.dll", "c.dll"}));
    EXPECT_EQ(value(kDrivers + "Acme Laser 5", "Monitor"), sz("Acme Port Monitor"));
    EXPECT_EQ(value(kDrivers + "Acme Color 7", "Monitor"), "");
    EXPECT_EQ(value(office + "\\PrinterDriverData", "Resolution"), dword(600));
    EXPECT_EQ(value(office + "\\PrinterDriverData", "Model"), sz("Laser 5"));
    // The bidirectional bit set by the monitor pass went out with the processor's write.
    EXPECT_EQ(value(office, "Attributes"), dword(0x840));
    EXPECT_EQ(value(office, "Print Processor"), sz("AcmeProc"));
    EXPECT_EQ(value(office, "Datatype"), sz("NT EMF 1.008"));
    EXPECT_EQ(
        value(kPrint + "\\Environments\\Windows NT x86\\Print Processors\\AcmeProc", "Driver"),
        sz("acmeproc.dll"));
    for (const char* other : {"Hall Laser", "Lab Color"}) {
        EXPECT_EQ(value(kPrinters + other, "Print Processor"), sz("WinPrint")) << other;
        EXPECT_FALSE(sim::registry::keyExists(kPrinters + other + "\\PrinterDriverData"));
    }
    EXPECT_EQ(value("HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\Laser5", "Installed"), dword(1));
    EXPECT_EQ(value("HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\Laser5", "Obsolete"), "");

    EXPECT_TRUE(logged(" Driver found: Acme Laser 5"));
    EXPECT_TRUE(logged(" Driver found: Acme Color 7"));
    EXPECT_TRUE(logged("\tThis file will cause an update: " + kVersionDir + "c.dll"));
    EXPECT_TRUE(logged("UpdateDepFilesInfo::Process: driver Acme Laser 5 needs an update"));
    EXPECT_FALSE(logged("UpdateDepFilesInfo::Process: driver Acme Color 7 needs an update"));
    EXPECT_TRUE(logged("MonitorInfo::HandleCommand: Printer Office Laser needs an update!"));
    EXPECT_TRUE(logged("ProcessorInfo::addProcessor: added processor successfully!"));
    EXPECT_EQ(count("ProcessorInfo Status"), 1);
}

TEST_F(PrinterCommandsEndToEnd, UpdateModeReachesEveryPrinterAndDriver) {
    run(true);
    for (const char* laser : {"Office Laser", "Hall Laser"}) {
        const std::string key = kPrinters + laser;
        EXPECT_EQ(value(key, "Attributes"), dword(0x840)) << laser;
        EXPECT_EQ(value(key, "Print Processor"), sz("AcmeProc")) << laser;
        EXPECT_EQ(value(key + "\\PrinterDriverData", "Resolution"), dword(600)) << laser;
    }
    EXPECT_EQ(value(kPrinters + "Lab Color\\PrinterDriverData", "Tray"), sz("Upper"));
    EXPECT_EQ(value(kPrinters + "Lab Color", "Print Processor"), sz("WinPrint"));
    EXPECT_EQ(value(kDrivers + "Acme Laser 5", "Monitor"), sz("Acme Port Monitor"));
    EXPECT_EQ(count("ProcessorInfo Status"), 3);
    EXPECT_EQ(count("\t\tNo data section!"), 1);  // the color driver names none
}

}  // namespace
