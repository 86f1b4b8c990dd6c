// The multiple-driver setup and the dependent-file update, on each OS family.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/dadazado_engine.h"
#include "commands/generic_info.h"
#include "platform/sim/registry_store.h"
#include "platform/spooler.h"
#include "support/debug_log.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace {

constexpr const char* kEnvironments =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\";

const char* const kInf =
    "[Manufacturer]\r\n"
    "Acme = Acme.Models\r\n"
    "[Acme.Models]\r\n"
    "Acme Laser 5 = Laser5.Install\r\n"
    "Old Acme = Laser5.Install\r\n"
    "Acme Spare = Spare.Install\r\n"
    "[Laser5.Install]\r\n"
    "CopyFiles = @a.dll, Files, NoSuchSection\r\n"
    "[Spare.Install]\r\n"
    "DataSection = Nothing\r\n"
    "[Files]\r\n"
    "b.dll\r\n"
    "c.dll=c.dl_\r\n";

class DriverPassTest : public ::testing::Test {
  protected:
    explicit DriverPassTest(const sim::MachineOptions& options) : machine(options) {
        nt = options.os != "98";
    }

    void SetUp() override {
        machine.writeFile("C:\\oem.inf", kInf);
        environment = nt ? "Windows NT x86" : "Windows 4.0";
        driverDir = platform::getPrinterDriverDirectory();
    }

    std::string versionDir(uint32_t version) const {
        if (!nt) return driverDir;
        return driverDir + "\\" + std::to_string(version);
    }

    void addDriver(const std::string& name, uint32_t version,
                   const std::vector<std::string>& dependents, bool withHelp = true) {
        const std::string key = kEnvironments + environment + "\\Drivers\\Version-" +
                                std::to_string(version) + "\\" + name;
        sim::registry::writeValue(key, "Version", kRegDword, dword(version));
        sim::registry::writeValue(key, "Driver", kRegSz, sz("drv.dll"));
        sim::registry::writeValue(key, "Data File", kRegSz, sz("drv.ppd"));
        sim::registry::writeValue(key, "Configuration File", kRegSz, sz("drvui.dll"));
        if (withHelp) sim::registry::writeValue(key, "Help File", kRegSz, sz("drv.hlp"));
        sim::registry::writeValue(key, "Dependent Files", kRegMultiSz, multiSz(dependents));
        for (const char* file : {"drv.dll", "drv.ppd", "drvui.dll", "drv.hlp"})
            machine.writeFile(versionDir(version) + "\\" + file, file);
        for (const std::string& file : dependents)
            machine.writeFile(versionDir(version) + "\\" + file, file);
    }

    void startRun(bool updateMode = false) {
        if (updateMode)
            sim::registry::writeValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Qentrel",
                                      "DadazadoUpdateAllPrinters", kRegDword, dword(1));
        // The run settings name the flight recorder too: keep it on the captured file.
        sim::registry::writeValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Qentrel", "DadazadoDebug", kRegSz,
                                  sz(GetDebugLog().GetFileName()));
        engine.readDebugSettings();
        ASSERT_TRUE(engine.parseCommandLine("-I C:\\oem.inf -N \"Acme Laser 5\""));
        ASSERT_TRUE(engine.getManufacturers());
        ASSERT_TRUE(engine.getPrinterInfo() || !nt);
        engine.SetupMultipleDrivers(handlers);
    }

    std::vector<std::string> keys() const {
        std::vector<std::string> names;
        for (const auto& handler : handlers) names.push_back(handler->getCommandKey());
        return names;
    }

    std::string recordedDependents(const std::string& name, uint32_t version) const {
        uint32_t type = 0;
        std::string data;
        sim::registry::readValue(kEnvironments + environment + "\\Drivers\\Version-" +
                                     std::to_string(version) + "\\" + name,
                                 "Dependent Files", &type, &data);
        return data;
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
    std::vector<std::unique_ptr<GenericInfo>> handlers;
    bool nt = true;
    std::string environment;
    std::string driverDir;
};

class XpDriverPass : public DriverPassTest {
  protected:
    explicit XpDriverPass(const sim::MachineOptions& options = {}) : DriverPassTest(options) {}
    void SetUp() override {
        DriverPassTest::SetUp();
        const std::string printer =
            "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Acme Laser 5";
        sim::registry::writeValue(printer, "Printer Driver", kRegSz, sz("Acme Laser 5"));
    }
};

TEST_F(XpDriverPass, VersionFilteringWarningsAndUpdateMode) {
    addDriver("Acme Laser 5", 3, {"a.dll", "b.dll", "c.dll"});
    addDriver("Old Acme", 2, {"a.dll"});
    addDriver("Acme Spare", 3, {"s.dll"}, false);
    startRun();
    EXPECT_EQ(keys(), (std::vector<std::string>{"UpdateDependentFiles", "DelReg", "AddReg",
                                                "UpdateDependentFiles"}));
    EXPECT_TRUE(
        log.contains(" Driver found: Old Acme\r\n"
                     "\tSkipping: this driver is not for this OS version\r\n"));
    EXPECT_TRUE(log.contains(" WARNING!! Missing RegKey: HelpFile is empty for: Acme Spare\r\n"));
}

TEST_F(XpDriverPass, UpdateModeGivesEverySuitableDriverItsRegistryHandlers) {
    addDriver("Acme Laser 5", 3, {"a.dll", "b.dll", "c.dll"});
    addDriver("Old Acme", 2, {"a.dll"});
    addDriver("Acme Spare", 3, {"s.dll"}, false);
    startRun(true);
    EXPECT_EQ(keys(), (std::vector<std::string>{"UpdateDependentFiles", "DelReg", "AddReg",
                                                "UpdateDependentFiles", "DelReg", "AddReg"}));
}

TEST_F(XpDriverPass, ListsThatMatchWithoutRegardToCaseChangeNothing) {
    addDriver("Acme Laser 5", 3, {"A.DLL", "b.dll", "C.dll", "extra.dll"});
    startRun();
    EXPECT_TRUE(handlers[0]->Process());
    EXPECT_FALSE(log.contains("needs an update"));
    EXPECT_EQ(recordedDependents("Acme Laser 5", 3),
              multiSz({"A.DLL", "b.dll", "C.dll", "extra.dll"}));
}

TEST_F(XpDriverPass, OneMoreFileInTheInfRewritesTheListAndRegistersTheDriver) {
    addDriver("Acme Laser 5", 3, {"a.dll", "b.dll"});
    machine.writeFile(versionDir(3) + "\\c.dll", "c");
    startRun();
    EXPECT_TRUE(handlers[0]->Process());
    EXPECT_TRUE(
        log.contains("\tThis file will cause an update: " + versionDir(3) +
                     "\\c.dll\r\n"
                     "UpdateDepFilesInfo::Process: driver Acme Laser 5 needs an update\r\n"));
    EXPECT_EQ(recordedDependents("Acme Laser 5", 3), multiSz({"a.dll", "b.dll", "c.dll"}));
}

TEST_F(XpDriverPass, AMissingDependentFileFailsTheUpdate) {
    addDriver("Acme Laser 5", 3, {"a.dll", "b.dll"});
    startRun();
    EXPECT_FALSE(handlers[0]->Process());
    EXPECT_TRUE(log.contains("DriverComponent::UpdatePrinterDriver: dependent file not found: " +
                             versionDir(3) + "\\c.dll\r\n"));
    EXPECT_EQ(recordedDependents("Acme Laser 5", 3), multiSz({"a.dll", "b.dll"}));
}

TEST_F(XpDriverPass, DriversTheInfDoesNotDescribeAreLeftAlone) {
    addDriver("Acme Laser 5", 3, {"a.dll", "b.dll", "c.dll"});
    addDriver("Stranger", 3, {"x.dll"});
    addDriver("Acme Spare", 3, {"s.dll"});
    startRun();
    ASSERT_EQ(handlers.size(), 5u);
    // Drivers come by name: Acme Laser 5, Acme Spare, Stranger.
    EXPECT_FALSE(handlers[3]->Process());  // Acme Spare: no CopyFiles
    EXPECT_TRUE(handlers[4]->Process());   // Stranger: no install section
    EXPECT_TRUE(
        log.contains("UpdateDepFilesInfo::Process: no inf dependent files found:\r\n"
                     "\tDriver name: Acme Spare\r\n\tINF section: Spare.Install\r\n"));
    EXPECT_FALSE(log.contains("Stranger\r\n\t"));
}

class Nt4DriverPass : public XpDriverPass {
  protected:
    Nt4DriverPass() : XpDriverPass({.os = "NT4", .servicePack = 6}) {}
};

TEST_F(Nt4DriverPass, VersionTwoDriversAreUpdatedAtLevelThree) {
    addDriver("Acme Laser 5", 2, {"a.dll", "b.dll"});
    addDriver("Old Acme", 3, {"a.dll"});
    machine.writeFile(versionDir(2) + "\\c.dll", "c");
    startRun();
    EXPECT_EQ(keys(), (std::vector<std::string>{"UpdateDependentFiles", "DelReg", "AddReg"}));
    EXPECT_TRUE(
        log.contains(" Driver found: Old Acme\r\n"
                     "\tSkipping: this driver is not for this OS version\r\n"));
    EXPECT_TRUE(handlers[0]->Process());
    EXPECT_EQ(recordedDependents("Acme Laser 5", 2), multiSz({"a.dll", "b.dll", "c.dll"}));
}

class Win2000DriverPass : public XpDriverPass {
  protected:
    Win2000DriverPass() : XpDriverPass({.os = "2000", .servicePack = 4}) {}
};

TEST_F(Win2000DriverPass, MainFilesNamedByTheInfAreNoDependentFiles) {
    machine.writeFile("C:\\oem.inf", std::string(kInf) + "drv.dll\r\ndrvui.dll\r\n");
    addDriver("Acme Laser 5", 3, {"a.dll", "b.dll", "c.dll"}, false);
    startRun();
    EXPECT_TRUE(log.contains(" WARNING!! Missing RegKey: HelpFile is empty for: Acme Laser 5\r\n"));
    EXPECT_TRUE(handlers[0]->Process());
    EXPECT_FALSE(log.contains("needs an update"));
}

class Win98DriverPass : public DriverPassTest {
  protected:
    Win98DriverPass() : DriverPassTest(sim::MachineOptions{.os = "98"}) {}
};

TEST_F(Win98DriverPass, NamesStayAsWrittenAndTheRecordGoesToTheSpoolerUnchanged) {
    addDriver("Acme Laser 5", 0, {"a.dll", "b.dll"});
    machine.writeFile(driverDir + "\\c.dll", "c");
    startRun();
    ASSERT_EQ(keys(), (std::vector<std::string>{"UpdateDependentFiles", "DelReg", "AddReg"}));
    EXPECT_TRUE(handlers[0]->Process());
    // The spooler reports full paths, the INF bare names: the first name already differs.
    EXPECT_TRUE(log.contains("\tThis file will cause an update: a.dll\r\n"));
    EXPECT_EQ(recordedDependents("Acme Laser 5", 0), multiSz({"a.dll", "b.dll", "c.dll"}));
}

}  // namespace
