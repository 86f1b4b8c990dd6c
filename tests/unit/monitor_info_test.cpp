#include "commands/monitor_info.h"

#include <gtest/gtest.h>

#include "app/dadazado_engine.h"
#include "commands/monitor_action.h"
#include "platform/registry.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry_store.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace {

const std::string kPrint = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\";
const std::string kDriverKey = kPrint + "Environments\\Windows NT x86\\Drivers\\Version-3\\Laser";

void text(const std::string& key, const std::string& name, const std::string& value) {
    sim::registry::writeValue(key, name, platform::kRegSz, value + '\0');
}

void fault(const std::string& name, uint32_t error) {
    sim::registry::writeValue(sim::kFaultsKey, name, platform::kRegDword, dword(error));
}

class MonitorInfoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        text(kPrint + "Monitors\\Acme Port", "Driver", "acmemon.dll");
        text(kPrint + "Monitors\\Local Port", "Driver", "localspl.dll");
        text(kPrint + "Printers\\Laser", "Name", "Laser");
        text(kPrint + "Printers\\Laser", "Printer Driver", "Laser");
        text(kPrint + "Printers\\Laser", "Port", "LPT1:");
        sim::registry::writeValue(kDriverKey, "Version", platform::kRegDword, dword(3));
        text(kDriverKey, "Driver", "laser.dll");
        text(kDriverKey, "Data File", "laser.ppd");
        text(kDriverKey, "Configuration File", "laserui.dll");
        text(kDriverKey, "Monitor", "Local Port");
        const std::string versionDir = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3\\";
        for (const char* file : {"laser.dll", "laser.ppd", "laserui.dll"})
            machine.writeFile(versionDir + file, "driver file");
        reload();
    }

    // The records as the engine enumerates them at the start of a run.
    void reload() {
        std::vector<platform::PrinterInfo2> printers;
        ASSERT_TRUE(platform::enumPrinters(platform::kPrinterEnumLocal, &printers));
        ASSERT_EQ(printers.size(), 1u);
        printer = printers[0];
        std::vector<platform::DriverInfo6> drivers;
        ASSERT_TRUE(platform::enumPrinterDrivers("Windows NT x86", &drivers));
        ASSERT_EQ(drivers.size(), 1u);
        driver = drivers[0];
    }

    bool handle(const std::string& monitor, const std::string& bidi) {
        return handler.HandleCommand({monitor, bidi});
    }
    // What the spooler itself now holds.
    std::string storedMonitor() const {
        std::vector<platform::DriverInfo6> drivers;
        platform::enumPrinterDrivers("Windows NT x86", &drivers);
        return drivers.size() == 1 ? drivers[0].monitorName : "<no single driver>";
    }
    uint32_t storedAttributes() const {
        std::vector<platform::PrinterInfo2> printers;
        platform::enumPrinters(platform::kPrinterEnumLocal, &printers);
        return printers.size() == 1 ? printers[0].attributes : 0xFFFFFFFFu;
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
    platform::PrinterInfo2 printer;
    platform::DriverInfo6 driver;
    MonitorInfo handler{&engine, &printer, &driver, 6};
};

TEST_F(MonitorInfoTest, MonitorNamesMustMatchExactly) {
    EXPECT_TRUE(MonitorAction::MonitorExists("Acme Port"));
    EXPECT_FALSE(MonitorAction::MonitorExists("acme port"));
    EXPECT_FALSE(MonitorAction::MonitorExists("Acme"));
    EXPECT_FALSE(handle("ACME PORT", "1"));
    EXPECT_TRUE(log.contains("MonitorInfo::HandleCommand: ACME PORT does not exist.\r\n"));
    EXPECT_FALSE(log.contains("needs an update!"));
    EXPECT_EQ(driver.monitorName, "Local Port");
    EXPECT_EQ(storedMonitor(), "Local Port");
    EXPECT_EQ(printer.attributes & platform::kPrinterAttributeEnableBidi, 0u);
}

TEST_F(MonitorInfoTest, EnumerationFailuresMeanNoMonitor) {
    fault("EnumMonitorsSize", 1722);
    EXPECT_FALSE(MonitorAction::MonitorExists("Acme Port"));
    EXPECT_TRUE(log.contains(
        "MonitorAction::MonitorExists: First call to EnumMonitors failed with code 1722\r\n"));
    sim::registry::deleteValue(sim::kFaultsKey, "EnumMonitorsSize");
    fault("EnumMonitors", 8);
    EXPECT_FALSE(MonitorAction::MonitorExists("Acme Port"));
    EXPECT_TRUE(log.contains(
        "MonitorAction::monitorExists: Call to EnumMonitors() failed. Error code: 8\r\n"));
}

TEST_F(MonitorInfoTest, MissingArgumentsOrRecordsFailTheLine) {
    EXPECT_FALSE(handler.HandleCommand({"Acme Port"}));
    EXPECT_TRUE(log.contains("MonitorInfo::HandleCommand: not enough arguments!\r\n"));
    MonitorInfo noDriver(&engine, &printer, nullptr, 6);
    EXPECT_FALSE(noDriver.HandleCommand({"Acme Port", "1"}));
    MonitorInfo noPrinter(&engine, nullptr, &driver, 6);
    EXPECT_FALSE(noPrinter.HandleCommand({"Acme Port", "1"}));
    EXPECT_EQ(log.lines().back(), "MonitorInfo::HandleCommand: bad parameters");
}

TEST_F(MonitorInfoTest, AssociatesTheMonitorAndEnablesBidi) {
    EXPECT_TRUE(handle("Acme Port", "1"));
    EXPECT_EQ(driver.monitorName, "Acme Port");
    EXPECT_EQ(storedMonitor(), "Acme Port");
    EXPECT_TRUE(log.contains("MonitorInfo::HandleCommand: Printer Laser needs an update!\r\n"));
    EXPECT_EQ(printer.attributes, 0x840u);
    EXPECT_EQ(storedAttributes(), 0x840u);
}

TEST_F(MonitorInfoTest, NothingIsWrittenWhenEverythingIsAlreadySet) {
    // Any driver update or printer open would now fail and show in the result or the log.
    fault("AddPrinterDriver", 5);
    fault("OpenPrinter|Laser", 5);
    EXPECT_TRUE(handle("Local Port", "0"));
    EXPECT_TRUE(handle("Local Port", "2"));
    printer.attributes |= platform::kPrinterAttributeEnableBidi;
    EXPECT_TRUE(handle("Local Port", "1"));
    EXPECT_EQ(storedMonitor(), "Local Port");
    EXPECT_EQ(storedAttributes(), 0x40u);
    EXPECT_TRUE(log.text().empty()) << log.text();
}

TEST_F(MonitorInfoTest, PrinterFailuresKeepTheLineAndTheDriverUpdate) {
    sim::registry::writeValue("HKLM\\SOFTWARE\\WinSim\\Printers\\Laser", "AllowedAccess",
                              platform::kRegDword, dword(platform::kPrinterRead));
    EXPECT_TRUE(handle("Acme Port", "1"));
    EXPECT_EQ(storedMonitor(), "Acme Port");
    EXPECT_TRUE(log.contains(
        "MonitorInfo::HandleCommand: OpenPrinter of printer Laser failed with code 5\r\n"));
    EXPECT_EQ(printer.attributes, 0x40u);

    sim::registry::deleteValue("HKLM\\SOFTWARE\\WinSim\\Printers\\Laser", "AllowedAccess");
    fault("SetPrinter|Laser", 1796);
    EXPECT_TRUE(handle("Acme Port", "1"));
    EXPECT_TRUE(log.contains(
        "MonitorInfo::HandleCommand: SetPrinter of printer Laser failed with code 1796\r\n"));
    EXPECT_EQ(printer.attributes, 0x840u);  // the record keeps the bit; the spooler has not
    EXPECT_EQ(storedAttributes(), 0x40u);
}

TEST_F(MonitorInfoTest, FailedDriverUpdateFailsTheLineAndLeavesTheRecordAsStored) {
    fault("AddPrinterDriver", 5);
    EXPECT_FALSE(handle("Acme Port", "1"));
    const std::vector<std::string> lines = log.lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "MonitorInfo::HandleCommand: unable to update driver.");
    EXPECT_EQ(lines[lines.size() - 2], "\tDriver name: Laser");
    EXPECT_EQ(lines[lines.size() - 1], "\tMonitor name: Acme Port");
    EXPECT_EQ(storedMonitor(), "Local Port");
    EXPECT_EQ(driver.monitorName, "Local Port");  // so the next printer of this driver retries
    EXPECT_EQ(printer.attributes, 0x40u);
}

}  // namespace
