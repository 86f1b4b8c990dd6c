#include <gtest/gtest.h>

#include "app/dadazado_engine.h"
#include "support/os_info.h"
#include "tests/support/test_machine.h"

namespace {

const char* const kInf =
    "[Manufacturer]\r\n"
    "Maker=Maker,NTx86\r\n"
    "Acme\r\n"
    "\"Other\" = \"Other.Models\"\r\n"
    "[Maker]\r\n"
    "Hidden = Never\r\n"
    "[Acme]\r\n"
    "Model 1200 = \"Install, A\", Hardware ID\r\n"
    "Shared = FromAcme\r\n"
    "Blank =\r\n"
    "[Other.Models]\r\n"
    "Shared = FromOther\r\n"
    "Model 2000 = Install2000\r\n"
    "[Install2000]\r\n"
    "QenUninstall = Unst\r\n"
    "[Unst]\r\n"
    "QenInstallDir = 11, Vendor\\Tools\r\n"
    "[Install, A]\r\n"
    "[Qen_Unst_Info]\r\n"
    "QenInstallDir = 777\r\n";

class DriverDiscovery : public ::testing::Test {
  protected:
    explicit DriverDiscovery(const sim::MachineOptions& options = {}) : machine(options) {}

    void SetUp() override {
        machine.writeFile("C:\\oem.inf", kInf);
        ASSERT_TRUE(engine.parseCommandLine("-I C:\\oem.inf -N \"Model 1200\""));
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
};

TEST_F(DriverDiscovery, ManufacturerValuesNameTheModelSectionsInOrder) {
    ASSERT_TRUE(engine.getManufacturers());
    EXPECT_EQ(engine.getInstallSection("Model 1200"), "Install, A");
    EXPECT_EQ(engine.getInstallSection("model 2000"), "Install2000");
    EXPECT_EQ(engine.getInstallSection("Shared"), "FromAcme");  // first manufacturer wins
    EXPECT_EQ(engine.getInstallSection("Hidden"), "");          // the section is "Maker,NTx86"
    EXPECT_EQ(engine.getInstallSection("Blank"), "");
    EXPECT_EQ(engine.getInstallSection("Unknown"), "");
}

TEST_F(DriverDiscovery, NoManufacturerSectionIsReported) {
    machine.writeFile("C:\\bare.inf", "[Version]\r\n");
    DadazadoEngine bare;
    ASSERT_TRUE(bare.parseCommandLine("-I C:\\bare.inf -N P"));
    EXPECT_FALSE(bare.getManufacturers());
    EXPECT_EQ(log.lines().back(),
              "DadazadoEngine::getManufacturers: could not find manufacturer section: "
              "Manufacturer");
}

TEST_F(DriverDiscovery, DirectorySpecsResolveCodeAndSubdirectory) {
    EXPECT_EQ(engine.dirFromSpec("11, Vendor\\Tools").GetFullPath(),
              "C:\\WINDOWS\\system32\\Vendor\\Tools");
    EXPECT_EQ(engine.dirFromSpec("10").GetFullPath(), "C:\\WINDOWS");
    EXPECT_EQ(engine.dirFromSpec("").GetFullPath(), "");
    EXPECT_TRUE(log.contains("LookupDir: could not get directory for code 0"));
}

TEST_F(DriverDiscovery, NtFamilyEnvironmentAndDriverVersions) {
    EXPECT_EQ(engine.getDriverEnvironment(), "Windows NT x86");
    EXPECT_TRUE(OSInfo::current().isDriverForThisOS(3));
    EXPECT_FALSE(OSInfo::current().isDriverForThisOS(2));
    int level = 0;
    EXPECT_EQ(engine.findDriverInfo("Any", &level), nullptr);
    EXPECT_EQ(level, 6);
}

TEST_F(DriverDiscovery, ServerNameOfThisComputerInAnyCaseIsLocal) {
    platform::PrinterInfo2 printer;
    EXPECT_FALSE(engine.isRemotePrinter(printer));
    printer.serverName = "\\\\winsim";
    EXPECT_FALSE(engine.isRemotePrinter(printer));
    printer.serverName = "\\\\PrintHost";
    EXPECT_TRUE(engine.isRemotePrinter(printer));
}

class Win9xDriverDiscovery : public DriverDiscovery {
  protected:
    Win9xDriverDiscovery() : DriverDiscovery(sim::MachineOptions{.os = "98"}) {}
};

TEST_F(Win9xDriverDiscovery, TheOptionNamesTheDriverAndNoPrinterIsAsked) {
    ASSERT_TRUE(engine.getPrinterInfo());
    EXPECT_EQ(engine.getDriverName(), "Model 1200");
    EXPECT_EQ(engine.getPrinterName(), "");
    EXPECT_FALSE(engine.isPointAndPrint());
    EXPECT_EQ(engine.getDriverEnvironment(), "Windows 4.0");
    EXPECT_TRUE(OSInfo::current().isDriverForThisOS(0));
    platform::PrinterInfo2 printer;
    printer.serverName = "\\\\PrintHost";
    EXPECT_FALSE(engine.isRemotePrinter(printer));
}

class NT4DriverDiscovery : public DriverDiscovery {
  protected:
    NT4DriverDiscovery() : DriverDiscovery(sim::MachineOptions{.os = "NT4"}) {}
};

TEST_F(NT4DriverDiscovery, TakesVersionTwoDriversAndSearchesLevelThree) {
    EXPECT_TRUE(OSInfo::current().isDriverForThisOS(2));
    EXPECT_FALSE(OSInfo::current().isDriverForThisOS(3));
    int level = 0;
    engine.findDriverInfo("Any", &level);
    EXPECT_EQ(level, 3);
}

}  // namespace
