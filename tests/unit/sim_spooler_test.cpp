#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry_store.h"
#include "platform/spooler.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace reg = sim::registry;
using namespace platform;

namespace {

const std::string kPrinters = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
const std::string kConnections = "HKCU\\Printers\\Connections\\";
const std::string kEnvironments = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\";

void text(const std::string& key, const std::string& name, const std::string& value) {
    reg::writeValue(key, name, kRegSz, value + '\0');
}

void addPrinter(const std::string& name, const std::string& driver) {
    text(kPrinters + name, "Name", name);
    text(kPrinters + name, "Printer Driver", driver);
    text(kPrinters + name, "Port", "LPT1:");
}

void fault(const std::string& name, uint32_t error) {
    reg::writeValue(sim::kFaultsKey, name, kRegDword, dword(error));
}

PrinterHandle open(const std::string& name, uint32_t access = kPrinterAllAccess) {
    PrinterHandle handle = nullptr;
    EXPECT_TRUE(openPrinter(name, access, &handle)) << name << " error " << getLastError();
    return handle;
}

}  // namespace

TEST(SimSpooler, OpensByAnyCaseReportsStoredSpellingAndRefusesStaleHandles) {
    TestMachine machine;
    addPrinter("Office Laser", "Laser Driver");
    PrinterHandle handle = open("OFFICE laser", kPrinterRead);
    uint32_t needed = 0;
    EXPECT_FALSE(getPrinter(handle, nullptr, &needed));
    EXPECT_EQ(getLastError(), error::kInsufficientBuffer);
    EXPECT_GT(needed, std::string("Office Laser").size() + std::string("Laser Driver").size());
    PrinterInfo2 info;
    ASSERT_TRUE(getPrinter(handle, &info, &needed));
    EXPECT_EQ(info.printerName, "Office Laser");
    EXPECT_EQ(info.serverName, "");
    EXPECT_EQ(info.driverName, "Laser Driver");
    EXPECT_EQ(info.portName, "LPT1:");
    EXPECT_EQ(info.printProcessor, "WinPrint");
    EXPECT_EQ(info.datatype, "RAW");
    EXPECT_EQ(info.attributes, 0x40u);
    EXPECT_TRUE(closePrinter(handle));
    EXPECT_FALSE(closePrinter(handle));
    EXPECT_EQ(getLastError(), error::kInvalidHandle);
    EXPECT_FALSE(getPrinter(handle, &info, &needed));
    EXPECT_EQ(getLastError(), error::kInvalidHandle);
    EXPECT_FALSE(closePrinter(nullptr));

    PrinterHandle none = nullptr;
    EXPECT_FALSE(openPrinter("Office", kPrinterRead, &none));
    EXPECT_EQ(getLastError(), kErrorInvalidPrinterName);
    EXPECT_EQ(none, nullptr);
}

TEST(SimSpooler, MachineRulesAndFaultsRefuseTheCalls) {
    TestMachine machine;
    addPrinter("Locked", "D");
    addPrinter("Flaky", "D");
    reg::writeValue("HKLM\\SOFTWARE\\WinSim\\Printers\\locked", "AllowedAccess", kRegDword,
                    dword(kPrinterRead));
    PrinterHandle handle = nullptr;
    EXPECT_FALSE(openPrinter("Locked", kPrinterAllAccess, &handle));
    EXPECT_EQ(getLastError(), error::kAccessDenied);
    handle = open("Locked", kPrinterRead);
    EXPECT_FALSE(setPrinter(handle, PrinterInfo2{}));  // no administer right on this handle
    EXPECT_EQ(getLastError(), error::kAccessDenied);
    EXPECT_TRUE(closePrinter(handle));

    fault("OpenPrinter|flak?", 1801);
    EXPECT_FALSE(openPrinter("Flaky", kPrinterRead, &handle));
    EXPECT_EQ(getLastError(), 1801u);
    reg::deleteValue(sim::kFaultsKey, "OpenPrinter|flak?");
    fault("GetPrinterSize|Flaky", 1722);
    fault("GetPrinter|Flaky", 8);
    fault("SetPrinter|Flaky", 5);
    handle = open("Flaky");
    uint32_t needed = 99;
    EXPECT_FALSE(getPrinter(handle, nullptr, &needed));
    EXPECT_EQ(getLastError(), 1722u);
    EXPECT_EQ(needed, 0u);
    PrinterInfo2 info;
    EXPECT_FALSE(getPrinter(handle, &info, &needed));
    EXPECT_EQ(getLastError(), error::kNotEnoughMemory);
    EXPECT_FALSE(setPrinter(handle, info));
    EXPECT_EQ(getLastError(), error::kAccessDenied);
    EXPECT_TRUE(closePrinter(handle));
}

TEST(SimSpooler, SetPrinterWritesBackLocalAndConnectionRecords) {
    TestMachine machine;
    addPrinter("Local", "Old Driver");
    text(kConnections + ",,HOST,Shared", "Server", "\\\\HOST");
    text(kConnections + ",,HOST,Shared", "Printer Driver", "Net Driver");
    for (const std::string name : {"local", "\\\\host\\SHARED"}) {
        PrinterHandle handle = open(name);
        PrinterInfo2 info;
        uint32_t needed = 0;
        ASSERT_TRUE(getPrinter(handle, &info, &needed));
        info.driverName = "New Driver";
        info.comment = "second floor";
        info.shareName = "lp";
        info.attributes |= 0x8;
        info.priority = 7;
        ASSERT_TRUE(setPrinter(handle, info));
        PrinterInfo2 again;
        ASSERT_TRUE(getPrinter(handle, &again, &needed));
        EXPECT_EQ(again.printerName, info.printerName);
        EXPECT_EQ(again.driverName, "New Driver");
        EXPECT_EQ(again.comment, "second floor");
        EXPECT_EQ(again.shareName, "lp");
        EXPECT_EQ(again.attributes, info.attributes);
        EXPECT_EQ(again.priority, 7u);
        EXPECT_TRUE(closePrinter(handle));
    }
    EXPECT_EQ(reg::readString(kPrinters + "Local", "Printer Driver"), "New Driver");
    EXPECT_EQ(reg::readString(kConnections + ",,HOST,Shared", "Description"), "second floor");
    EXPECT_EQ(reg::readString(kConnections + ",,HOST,Shared", "Attributes"), "24");  // 0x10|0x8
}

TEST(SimSpooler, EnumeratesLocalPrintersThenConnections) {
    TestMachine machine;
    addPrinter("Beta", "B");
    addPrinter("alpha", "A");
    text(kConnections + ",,HOST,NAME", "Server", "\\\\HOST");
    text(kConnections + ",,HOST,NAME", "Printer Driver", "N");
    std::vector<PrinterInfo2> printers(3);
    ASSERT_TRUE(enumPrinters(kPrinterEnumLocal | kPrinterEnumConnections, &printers));
    ASSERT_EQ(printers.size(), 3u);
    // By name, as the registry's index of subkeys keeps them, not in the order added.
    EXPECT_EQ(printers[0].printerName, "alpha");
    EXPECT_EQ(printers[0].driverName, "A");
    EXPECT_EQ(printers[1].printerName, "Beta");
    EXPECT_EQ(printers[2].serverName, "\\\\HOST");
    EXPECT_EQ(printers[2].printerName, "\\\\HOST\\NAME");
    EXPECT_EQ(printers[2].driverName, "N");
    EXPECT_EQ(printers[2].attributes, 0x10u);
    ASSERT_TRUE(enumPrinters(kPrinterEnumConnections, &printers));
    ASSERT_EQ(printers.size(), 1u);
    EXPECT_EQ(printers[0].printerName, "\\\\HOST\\NAME");
    fault("EnumPrinters", 1722);
    EXPECT_FALSE(enumPrinters(kPrinterEnumLocal, &printers));
    EXPECT_EQ(getLastError(), 1722u);
}

TEST(SimSpooler, DriversOfAnNtMachineAtLevels3And6) {
    TestMachine machine;
    const std::string key = kEnvironments + "Windows NT x86\\Drivers\\Version-3\\Laser";
    reg::writeValue(key, "Version", kRegDword, dword(3));
    text(key, "Driver", "laser.dll");
    text(key, "Data File", "laser.ppd");
    text(key, "Configuration File", "laserui.dll");
    reg::writeValue(key, "Dependent Files", kRegMultiSz, std::string("a.dll\0b.hlp\0\0", 13));
    text(key, "Manufacturer", "Maker");
    reg::writeValue(key, "Previous Names", kRegMultiSz, std::string("Old Laser\0\0", 11));
    reg::writeValue(key, "DriverVersion", kRegQword, std::string("\x01\0\0\0\0\0\x02\0", 8));
    const std::string dir = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3\\";

    std::vector<DriverInfo3> level3;
    ASSERT_TRUE(enumPrinterDrivers("windows nt x86", &level3));
    ASSERT_EQ(level3.size(), 1u);
    EXPECT_EQ(level3[0].version, 3u);
    EXPECT_EQ(level3[0].name, "Laser");
    EXPECT_EQ(level3[0].environment, "Windows NT x86");
    EXPECT_EQ(level3[0].driverPath, dir + "laser.dll");
    EXPECT_EQ(level3[0].dataFile, dir + "laser.ppd");
    EXPECT_EQ(level3[0].configFile, dir + "laserui.dll");
    EXPECT_EQ(level3[0].helpFile, "");
    EXPECT_EQ(level3[0].dependentFiles, (std::vector<std::string>{dir + "a.dll", dir + "b.hlp"}));

    std::vector<DriverInfo6> level6;
    ASSERT_TRUE(enumPrinterDrivers("Windows NT x86", &level6));
    ASSERT_EQ(level6.size(), 1u);
    EXPECT_EQ(level6[0].driverPath, dir + "laser.dll");
    EXPECT_EQ(level6[0].mfgName, "Maker");
    EXPECT_EQ(level6[0].previousNames, std::vector<std::string>{"Old Laser"});
    EXPECT_EQ(level6[0].driverVersion, 0x0002000000000001ull);
    EXPECT_EQ(level6[0].driverDate, 0u);

    EXPECT_FALSE(enumPrinterDrivers("Windows 3.1", &level3));
    EXPECT_EQ(getLastError(), 1805u);
    EXPECT_TRUE(level3.empty());
    fault("EnumPrinterDrivers|Windows NT*", 1722);
    EXPECT_FALSE(enumPrinterDrivers("Windows NT x86", &level6));
    EXPECT_EQ(getLastError(), 1722u);
}

TEST(SimSpooler, DriversOfA9xMachineLiveInTheSystemDirectory) {
    TestMachine machine(sim::MachineOptions{.os = "98"});
    const std::string key = kEnvironments + "Windows 4.0\\Drivers\\Version-0\\Laser";
    text(key, "Driver", "LASER.DRV");
    text(key, "Help File", "LASER.HLP");
    std::vector<DriverInfo6> drivers;
    ASSERT_TRUE(enumPrinterDrivers("Windows 4.0", &drivers));
    ASSERT_EQ(drivers.size(), 1u);
    EXPECT_EQ(drivers[0].version, 0u);
    EXPECT_EQ(drivers[0].driverPath, "C:\\WINDOWS\\SYSTEM\\LASER.DRV");
    EXPECT_EQ(drivers[0].helpFile, "C:\\WINDOWS\\SYSTEM\\LASER.HLP");
    EXPECT_TRUE(drivers[0].dependentFiles.empty());
}
