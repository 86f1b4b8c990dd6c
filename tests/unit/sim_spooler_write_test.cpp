#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/sim/faults.h"
#include "platform/sim/machine.h"
#include "platform/sim/registry_store.h"
#include "platform/spooler.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace reg = sim::registry;
using namespace platform;

namespace {

const std::string kPrint = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\";
const std::string kDriverDir = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";
const std::string kVersion3 = kDriverDir + "\\3\\";
const std::string kProcessorDir = "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\";

void fault(const std::string& name, uint32_t error) {
    reg::writeValue(sim::kFaultsKey, name, kRegDword, dword(error));
}

void addPrinter(const std::string& name) {
    reg::writeValue(kPrint + "Printers\\" + name, "Name", kRegSz, name + '\0');
}

PrinterHandle open(const std::string& name, uint32_t access = kPrinterAllAccess) {
    PrinterHandle handle = nullptr;
    EXPECT_TRUE(openPrinter(name, access, &handle)) << name << " error " << getLastError();
    return handle;
}

DriverInfo6 laserDriver() {
    DriverInfo6 driver;
    driver.version = 3;
    driver.name = "Laser";
    driver.environment = "Windows NT x86";
    driver.driverPath = kVersion3 + "laser.dll";
    driver.dataFile = kVersion3 + "laser.ppd";
    driver.configFile = kVersion3 + "laserui.dll";
    driver.helpFile = kVersion3 + "laser.hlp";
    driver.dependentFiles = {kVersion3 + "a.dll", kVersion3 + "b.ini"};
    driver.monitorName = "PJL Monitor";
    driver.defaultDataType = "RAW";
    driver.previousNames = {"Old Laser", "Older Laser"};
    driver.driverDate = 0x01C8000012345678ull;
    driver.driverVersion = 0x0005000100020003ull;
    driver.mfgName = "Maker";
    driver.oemUrl = "http://maker.example/";
    driver.hardwareId = "maker_laser";
    driver.provider = "Maker Inc.";
    return driver;
}

void stageFiles(const TestMachine& machine, const std::string& directory,
                const std::vector<std::string>& names) {
    for (const std::string& name : names) machine.writeFile(directory + "\\" + name, name);
}

void expectSameRecord(const DriverInfo6& got, const DriverInfo6& want) {
    EXPECT_EQ(got.version, want.version);
    EXPECT_EQ(got.name, want.name);
    EXPECT_EQ(got.environment, want.environment);
    EXPECT_EQ(got.driverPath, want.driverPath);
    EXPECT_EQ(got.dataFile, want.dataFile);
    EXPECT_EQ(got.configFile, want.configFile);
    EXPECT_EQ(got.helpFile, want.helpFile);
    EXPECT_EQ(got.dependentFiles, want.dependentFiles);
    EXPECT_EQ(got.monitorName, want.monitorName);
    EXPECT_EQ(got.defaultDataType, want.defaultDataType);
    EXPECT_EQ(got.previousNames, want.previousNames);
    EXPECT_EQ(got.driverDate, want.driverDate);
    EXPECT_EQ(got.driverVersion, want.driverVersion);
    EXPECT_EQ(got.mfgName, want.mfgName);
    EXPECT_EQ(got.oemUrl, want.oemUrl);
    EXPECT_EQ(got.hardwareId, want.hardwareId);
    EXPECT_EQ(got.provider, want.provider);
}

}  // namespace

TEST(SimSpoolerWrite, AddedLevel6DriverEnumeratesAsItWasAdded) {
    TestMachine machine;
    // Staged files are copied over the version directory's; the help file is there already.
    stageFiles(machine, kDriverDir, {"laser.dll", "laser.ppd", "laserui.dll", "a.dll", "b.ini"});
    machine.writeFile(kVersion3 + "laser.dll", "old");
    machine.writeFile(kVersion3 + "laser.hlp", "help");
    const DriverInfo6 driver = laserDriver();
    ASSERT_TRUE(addPrinterDriver(driver)) << getLastError();
    EXPECT_EQ(machine.readFile(kVersion3 + "laser.dll"), "laser.dll");
    EXPECT_EQ(machine.readFile(kVersion3 + "b.ini"), "b.ini");
    const std::string key = kPrint + "Environments\\Windows NT x86\\Drivers\\Version-3\\Laser";
    EXPECT_EQ(reg::readString(key, "Driver"), "laser.dll");  // kept by its bare name

    std::vector<DriverInfo6> drivers;
    ASSERT_TRUE(enumPrinterDrivers("", &drivers));
    ASSERT_EQ(drivers.size(), 1u);
    expectSameRecord(drivers[0], driver);
}

TEST(SimSpoolerWrite, AddingAtLevel3ReplacesTheWholeRecord) {
    TestMachine machine;
    stageFiles(machine, kDriverDir,
               {"laser.dll", "laser.ppd", "laserui.dll", "laser.hlp", "a.dll", "b.ini"});
    ASSERT_TRUE(addPrinterDriver(laserDriver()));
    DriverInfo3 plain;
    plain.version = 3;
    plain.name = "LASER";
    plain.driverPath = "laser.dll";  // bare names, environment of the machine
    plain.dataFile = "laser.ppd";
    plain.configFile = "C:\\elsewhere\\laserui.dll";
    ASSERT_TRUE(addPrinterDriver(plain)) << getLastError();
    std::vector<DriverInfo6> drivers;
    ASSERT_TRUE(enumPrinterDrivers("Windows NT x86", &drivers));
    ASSERT_EQ(drivers.size(), 1u);
    EXPECT_EQ(drivers[0].configFile, kVersion3 + "laserui.dll");
    EXPECT_EQ(drivers[0].helpFile, "");
    EXPECT_TRUE(drivers[0].dependentFiles.empty());
    EXPECT_EQ(drivers[0].monitorName, "");
    EXPECT_TRUE(drivers[0].previousNames.empty());
    EXPECT_EQ(drivers[0].mfgName, "");
    EXPECT_EQ(drivers[0].driverVersion, 0u);
}

TEST(SimSpoolerWrite, RefusedDriversChangeNothing) {
    TestMachine machine;
    stageFiles(machine, kDriverDir, {"laser.dll", "laser.ppd", "laserui.dll", "a.dll"});
    DriverInfo6 driver = laserDriver();  // its help file and b.ini are nowhere
    EXPECT_FALSE(addPrinterDriver(driver));
    EXPECT_EQ(getLastError(), error::kFileNotFound);
    EXPECT_FALSE(sim::resolvePath(kVersion3 + "laser.dll").exists);  // nothing copied either

    driver.helpFile.clear();
    driver.dependentFiles = {"a.dll"};
    driver.environment = "Windows 3.1";
    EXPECT_FALSE(addPrinterDriver(driver));
    EXPECT_EQ(getLastError(), 1805u);
    driver.environment.clear();
    driver.version = 4;
    EXPECT_FALSE(addPrinterDriver(driver));
    EXPECT_EQ(getLastError(), 3014u);
    driver.version = 3;
    driver.configFile.clear();
    EXPECT_FALSE(addPrinterDriver(driver));
    EXPECT_EQ(getLastError(), error::kInvalidParameter);
    driver.configFile = "laserui.dll";
    fault("AddPrinterDriver|las*", 1722);
    EXPECT_FALSE(addPrinterDriver(driver));
    EXPECT_EQ(getLastError(), 1722u);
    reg::deleteValue(sim::kFaultsKey, "AddPrinterDriver|las*");
    reg::flush();
    EXPECT_EQ(readHostFile(machine.dir() / "registry.reg").find("Laser"), std::string::npos);
}

TEST(SimSpoolerWrite, A9xDriverStaysInTheSystemDirectoryAtVersion0) {
    TestMachine machine(sim::MachineOptions{.os = "98"});
    stageFiles(machine, "C:\\WINDOWS\\SYSTEM", {"LASER.DRV", "LASER.INI", "LASERUI.DLL"});
    DriverInfo3 driver;
    driver.name = "Laser";
    driver.driverPath = "LASER.DRV";
    driver.dataFile = "LASER.INI";
    driver.configFile = "LASERUI.DLL";
    driver.version = 3;
    EXPECT_FALSE(addPrinterDriver(driver));
    EXPECT_EQ(getLastError(), error::kInvalidParameter);
    driver.version = 0;
    ASSERT_TRUE(addPrinterDriver(driver)) << getLastError();
    std::vector<DriverInfo3> drivers;
    ASSERT_TRUE(enumPrinterDrivers("Windows 4.0", &drivers));
    ASSERT_EQ(drivers.size(), 1u);
    EXPECT_EQ(drivers[0].driverPath, "C:\\WINDOWS\\SYSTEM\\LASER.DRV");
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\SYSTEM\\LASER.DRV"), "LASER.DRV");
}

TEST(SimSpoolerWrite, PrinterDataKeepsTypesAndAnswersAsTheCallDoes) {
    TestMachine machine;
    addPrinter("Office");
    PrinterHandle handle = open("office");
    const std::string binary("\x01\x00\xFF", 3);
    EXPECT_EQ(setPrinterData(handle, "Mode", kRegSz, std::string("fast\0", 5)), 0u);
    EXPECT_EQ(setPrinterData(handle, "Blob", kRegBinary, binary), 0u);
    EXPECT_EQ(setPrinterData(handle, "Count", kRegDword, dword(7)), 0u);
    EXPECT_EQ(reg::readString(kPrint + "Printers\\Office\\PrinterDriverData", "Count"), "7");

    uint32_t type = 0, needed = 0;
    std::string data;
    EXPECT_EQ(getPrinterData(handle, "BLOB", &type, &data, 2, &needed), error::kMoreData);
    EXPECT_EQ(type, kRegBinary);
    EXPECT_EQ(needed, 3u);
    EXPECT_EQ(data, "");
    EXPECT_EQ(getPrinterData(handle, "Blob", &type, &data, needed, &needed), 0u);
    EXPECT_EQ(data, binary);
    EXPECT_EQ(getPrinterData(handle, "Mode", &type, &data, 64, &needed), 0u);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(data, std::string("fast\0", 5));
    EXPECT_EQ(getPrinterData(handle, "Missing", &type, &data, 64, &needed), error::kFileNotFound);
    EXPECT_TRUE(closePrinter(handle));
    EXPECT_EQ(getPrinterData(handle, "Mode", &type, &data, 64, &needed), error::kInvalidHandle);
}

TEST(SimSpoolerWrite, WritingNeedsTheAdministerRightAndHonoursFaults) {
    TestMachine machine;
    addPrinter("Office");
    PrinterHandle reader = open("Office", kPrinterRead);
    EXPECT_EQ(setPrinterData(reader, "Mode", kRegSz, std::string("x\0", 2)), error::kAccessDenied);
    EXPECT_FALSE(setPrinter(reader, PrinterInfo2{}));
    EXPECT_EQ(getLastError(), error::kAccessDenied);
    EXPECT_TRUE(closePrinter(reader));
    // Generic rights stand for the printer rights they map to.
    PrinterHandle generic = open("Office", 0x10000000);  // GENERIC_ALL
    EXPECT_EQ(setPrinterData(generic, "Mode", kRegSz, std::string("x\0", 2)), 0u);
    EXPECT_TRUE(closePrinter(generic));
    reg::writeValue("HKLM\\SOFTWARE\\WinSim\\Printers\\Office", "AllowedAccess", kRegDword,
                    dword(kPrinterRead));
    PrinterHandle none = nullptr;
    EXPECT_FALSE(openPrinter("Office", 0x10000000, &none));
    EXPECT_EQ(getLastError(), error::kAccessDenied);
    EXPECT_NE(open("Office", 0x80000000), nullptr);  // GENERIC_READ is within the rule

    reg::deleteValue("HKLM\\SOFTWARE\\WinSim\\Printers\\Office", "AllowedAccess");
    fault("SetPrinterData|OFF*", 1722);
    fault("GetPrinterData|Office", 8);
    PrinterHandle admin = open("Office");
    EXPECT_EQ(setPrinterData(admin, "Mode", kRegSz, std::string("y\0", 2)), 1722u);
    uint32_t type = 0, needed = 0;
    std::string data;
    EXPECT_EQ(getPrinterData(admin, "Mode", &type, &data, 64, &needed), 8u);
    EXPECT_TRUE(closePrinter(admin));
}

TEST(SimSpoolerWrite, MonitorsInStoredOrderWithTheirSizeQuery) {
    TestMachine machine;  // "Local Port" comes with the machine
    reg::writeValue(kPrint + "Monitors\\PJL Monitor", "Driver", kRegSz, "pjlmon.dll\0");
    uint32_t needed = 0;
    EXPECT_FALSE(enumMonitors(nullptr, &needed));
    EXPECT_EQ(getLastError(), error::kInsufficientBuffer);
    EXPECT_EQ(needed, (4u + 11u) + (4u + 12u));
    std::vector<std::string> names = {"stale"};
    ASSERT_TRUE(enumMonitors(&names, &needed));
    EXPECT_EQ(names, (std::vector<std::string>{"Local Port", "PJL Monitor"}));

    fault("EnumMonitorsSize", 1722);
    EXPECT_FALSE(enumMonitors(nullptr, &needed));
    EXPECT_EQ(getLastError(), 1722u);
    EXPECT_EQ(needed, 0u);
    ASSERT_TRUE(enumMonitors(&names, &needed));  // only the size query was told to fail
    fault("EnumMonitors", 5);
    EXPECT_FALSE(enumMonitors(&names, &needed));
    EXPECT_EQ(getLastError(), error::kAccessDenied);
    EXPECT_TRUE(names.empty());
}

TEST(SimSpoolerWrite, PrintProcessorsNeedTheirLibraryAndANewName) {
    TestMachine machine;
    EXPECT_FALSE(addPrintProcessor("", "fancy.dll", "Fancy"));
    EXPECT_EQ(getLastError(), 126u);
    machine.writeFile(kProcessorDir + "fancy.dll", "");
    EXPECT_FALSE(addPrintProcessor("Windows 3.1", "fancy.dll", "Fancy"));
    EXPECT_EQ(getLastError(), 1805u);
    ASSERT_TRUE(addPrintProcessor("windows nt x86", "fancy.dll", "Fancy")) << getLastError();
    EXPECT_EQ(
        reg::readString(kPrint + "Environments\\Windows NT x86\\Print Processors\\Fancy", "Driver"),
        "fancy.dll");
    for (const char* existing : {"FANCY", "WinPrint"}) {
        EXPECT_FALSE(addPrintProcessor("", "fancy.dll", existing));
        EXPECT_EQ(getLastError(), 3005u) << existing;
    }
    fault("AddPrintProcessor|Other", 1722);
    EXPECT_FALSE(addPrintProcessor("", "fancy.dll", "Other"));
    EXPECT_EQ(getLastError(), 1722u);
}
