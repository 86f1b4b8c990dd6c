#include "commands/reg_info.h"

#include <gtest/gtest.h>

#include "app/dadazado_engine.h"
#include "commands/prt_drv_data_info.h"
#include "platform/sim/registry_store.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace {

constexpr const char* kPrinterKey =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Laser";
const std::string kData = std::string(kPrinterKey) + "\\PrinterDriverData";

using Args = std::vector<CStdStr>;

class PrinterDataTest : public ::testing::Test {
  protected:
    PrinterDataTest() {
        sim::registry::writeValue(kPrinterKey, "Printer Driver", kRegSz, std::string("Drv\0", 4));
    }
    static platform::PrinterInfo2 laser() {
        platform::PrinterInfo2 record;
        record.printerName = "Laser";
        record.driverName = "Drv";
        return record;
    }
    std::pair<uint32_t, std::string> value(const std::string& name) const {
        uint32_t type = 0;
        std::string data;
        sim::registry::readValue(kData, name, &type, &data);
        return {type, data};
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
    PrtDrvDataInfo handler{&engine, laser()};
};

TEST_F(PrinterDataTest, TypesAndNumbersAreWrittenAsTheSpoolerKeepsThem) {
    EXPECT_TRUE(handler.HandleCommand({"number", "Hex", "0x10"}));
    EXPECT_TRUE(handler.HandleCommand({"NUMBER", "Decimal", "10"}));
    EXPECT_TRUE(handler.HandleCommand({"Number", "Short", "x5"}));
    EXPECT_TRUE(handler.HandleCommand({"BINARY", "Bin", "0X1F"}));
    EXPECT_TRUE(handler.HandleCommand({"DWORD", "Word", "12"}));
    EXPECT_TRUE(handler.HandleCommand({"", "Plain", "text"}));
    EXPECT_EQ(value("Hex"), std::make_pair(kRegDword, dword(16)));
    EXPECT_EQ(value("Decimal"), std::make_pair(kRegDword, dword(10)));
    EXPECT_EQ(value("Short"), std::make_pair(kRegDword, dword(0)));
    EXPECT_EQ(value("Bin"), std::make_pair(kRegBinary, dword(31)));
    EXPECT_EQ(value("Word"), std::make_pair(kRegSz, std::string("12\0", 3)));
    EXPECT_EQ(value("Plain"), std::make_pair(kRegSz, std::string("text\0", 5)));
    EXPECT_FALSE(handler.HandleCommand({"STRING", "Two"}));
    EXPECT_TRUE(log.contains("PrtDrvDataInfo::HandleCommand: not enough arguments!\r\n"));
}

TEST_F(PrinterDataTest, KeepFlagKeepsOnlyAValueOfTheSameType) {
    sim::registry::writeValue(kData, "Same", kRegDword, dword(7));
    sim::registry::writeValue(kData, "Other", kRegSz, std::string("7\0", 2));
    sim::registry::writeValue(kData, "Long", kRegSz, std::string(300, 'L') + '\0');
    EXPECT_TRUE(handler.HandleCommand({"NUMBER", "Same", "9", "2"}));
    EXPECT_TRUE(handler.HandleCommand({"NUMBER", "Other", "9", "2"}));
    EXPECT_TRUE(handler.HandleCommand({"STRING", "Long", "short", "2"}));
    EXPECT_TRUE(handler.HandleCommand({"NUMBER", "Missing", "9", "2"}));
    EXPECT_EQ(value("Same").second, dword(7));
    EXPECT_EQ(value("Other"), std::make_pair(kRegDword, dword(9)));
    EXPECT_EQ(value("Long").second.size(), 301u);  // too long for the buffer, still kept
    EXPECT_EQ(value("Missing").second, dword(9));
}

TEST_F(PrinterDataTest, KeepFlagKeepsAValueThatCannotBeRead) {
    sim::registry::writeValue(kData, "Model", kRegSz, std::string("the user's\0", 11));
    sim::registry::writeValue("HKLM\\SOFTWARE\\WinSim\\Faults", "GetPrinterData", kRegDword,
                              dword(5));
    EXPECT_TRUE(handler.HandleCommand({"STRING", "Model", "default", "2"}));
    EXPECT_EQ(value("Model").second, std::string("the user's\0", 11));
    EXPECT_TRUE(
        log.contains("PrtDrvDataInfo::HandleCommand: GetPrinterData of Model returned 5; "
                     "the value is left as it is\r\n"));
    // Not being there is no read failure: the value is written.
    sim::registry::deleteValue("HKLM\\SOFTWARE\\WinSim\\Faults", "GetPrinterData");
    EXPECT_TRUE(handler.HandleCommand({"STRING", "Missing", "default", "2"}));
    EXPECT_EQ(value("Missing").second, std::string("default\0", 8));
}

TEST_F(PrinterDataTest, SpoolerRefusalsAreLoggedWithTheDetails) {
    sim::registry::writeValue("HKLM\\SOFTWARE\\WinSim\\Faults", "OpenPrinter|Laser", kRegDword,
                              dword(1801));
    EXPECT_FALSE(handler.HandleCommand({"STRING", "A", "b"}));
    EXPECT_TRUE(
        log.contains("PrtDrvDataInfo::HandleCommand: OpenPrinter failed with code 1801\r\n"
                     "\tPrinter: Laser\r\n\tValue name: A\r\n\tData: b\r\n"));
    sim::registry::deleteValue("HKLM\\SOFTWARE\\WinSim\\Faults", "OpenPrinter|Laser");
    sim::registry::writeValue("HKLM\\SOFTWARE\\WinSim\\Faults", "SetPrinterData", kRegDword,
                              dword(5));
    EXPECT_FALSE(handler.HandleCommand({"STRING", "A", "b"}));
    EXPECT_TRUE(log.contains("PrtDrvDataInfo::HandleCommand: SetPrinterData returned 5\r\n"));
    platform::PrinterInfo2 nameless;
    EXPECT_FALSE(PrtDrvDataInfo(&engine, nameless).HandleCommand({"STRING", "A", "b"}));
    EXPECT_TRUE(log.contains("PrtDrvDataInfo::HandleCommand: No printer name!\r\n"));
}

class RegistryLinesTest : public ::testing::Test {
  protected:
    std::string read(const std::string& key, const std::string& name, uint32_t* type) const {
        std::string data;
        sim::registry::readValue(key, name, type, &data);
        return data;
    }
    std::vector<CStdStr> recorded() const {
        std::vector<CStdStr> items;
        for (const auto& op : engine.getLogOps()) {
            EXPECT_EQ(op->type, 3);
            EXPECT_EQ(op->owner, "Uninstaller");
            EXPECT_TRUE(op->useArgument);
            items.push_back(op->item);
        }
        return items;
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
    AddRegInfo add{&engine, "Drv"};
    DeleteRegInfo remove{&engine, "Drv"};
};

TEST_F(RegistryLinesTest, FlagsChooseTheValueKindAndTheKeepRule) {
    const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme";
    EXPECT_TRUE(add.ParseCommand("HKLM, SOFTWARE\\Acme, Dword, 65537, 42"));
    EXPECT_TRUE(add.ParseCommand("HKLM, SOFTWARE\\Acme, HexFlags, 0x00010001, 42"));
    EXPECT_TRUE(add.ParseCommand("HKLM, SOFTWARE\\Acme, Binary, 1, 7"));
    sim::registry::writeValue(key, "Kept", kRegSz, std::string("old\0", 4));
    EXPECT_TRUE(add.ParseCommand("HKLM, SOFTWARE\\Acme, Kept, 2, new"));
    sim::registry::writeValue(key, "Empty", kRegSz, std::string(""));
    EXPECT_TRUE(add.ParseCommand("HKLM, SOFTWARE\\Acme, Empty, 2, filled"));
    EXPECT_TRUE(add.ParseCommand("HKLM, SOFTWARE\\Acme"));  // refused, never a parse error

    uint32_t type = 0;
    EXPECT_EQ(read(key, "Dword", &type), dword(42));
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(read(key, "HexFlags", &type), dword(42));
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(read(key, "Binary", &type), dword(7));
    EXPECT_EQ(read(key, "Kept", &type), std::string("old\0", 4));
    EXPECT_EQ(read(key, "Empty", &type), std::string("filled\0", 7));
    EXPECT_TRUE(log.contains("setupRegValue: binary type not supported, assuming DWORD\r\n"));
    EXPECT_TRUE(log.contains("PrtDrvDataInfo::HandleCommand: not enough arguments!\r\n"));
    EXPECT_EQ(recorded(),
              (std::vector<CStdStr>{
                  "HKLM, \"SOFTWARE\\Acme\", Dword", "HKLM, \"SOFTWARE\\Acme\", HexFlags",
                  "HKLM, \"SOFTWARE\\Acme\", Binary", "HKLM, \"SOFTWARE\\Acme\", Kept",
                  "HKLM, \"SOFTWARE\\Acme\", Empty"}));
}

// The notation the INF documentation itself uses must give what Windows wrote, on both
// families.
class RegistryNumbersTest : public ::testing::TestWithParam<const char*> {
  protected:
    TestMachine machine{sim::MachineOptions{.os = GetParam()}};
    LogCapture log;
    DadazadoEngine engine;
    AddRegInfo add{&engine, "Drv"};
};

TEST_P(RegistryNumbersTest, HexadecimalAndDecimalNumbersReadAsWindowsReadsThem) {
    const std::string key = "HKEY_LOCAL_MACHINE\\Software\\X";
    EXPECT_TRUE(add.ParseCommand("HKLM,Software\\X,Cutter,0x00010001,0x01"));
    EXPECT_TRUE(add.ParseCommand("HKLM,Software\\X,Decimal,65537,1"));
    EXPECT_TRUE(add.ParseCommand("HKLM,Software\\X,Upper,0X00010001,0XfF"));
    EXPECT_TRUE(add.ParseCommand("HKLM,Software\\X,AllBits,0x00010001,0xFFFFFFFF"));
    EXPECT_TRUE(add.ParseCommand("HKLM,Software\\X,Leading,65537,12abc"));
    EXPECT_TRUE(add.ParseCommand("HKLM,Software\\X,Text,0x00000000,0x01"));
    sim::registry::writeValue(key, "Kept", kRegDword, dword(7));
    EXPECT_TRUE(add.ParseCommand("HKLM,Software\\X,Kept,0x00010003,0x09"));
    const std::pair<uint32_t, std::string> expected[] = {
        {kRegDword, dword(1)},   {kRegDword, dword(1)},
        {kRegDword, dword(255)}, {kRegDword, dword(0xFFFFFFFFu)},
        {kRegDword, dword(12)},  {kRegSz, std::string("0x01\0", 5)},
        {kRegDword, dword(7)}};
    const char* names[] = {"Cutter", "Decimal", "Upper", "AllBits", "Leading", "Text", "Kept"};
    for (size_t i = 0; i < std::size(names); ++i) {
        std::pair<uint32_t, std::string> found;
        sim::registry::readValue(key, names[i], &found.first, &found.second);
        EXPECT_EQ(found, expected[i]) << names[i];
    }
}

INSTANTIATE_TEST_SUITE_P(XpAnd98SE, RegistryNumbersTest, ::testing::Values("XP", "98SE"));

TEST_F(RegistryLinesTest, NewKeysCopyTheirParentsRightsAndFailedWritesAreNotRecorded) {
    const std::string software = "HKEY_CURRENT_USER\\Software";
    sim::registry::setKeySecurity(software, "D:P(A;;KA;;;SY)");
    EXPECT_TRUE(add.ParseCommand("HKCU, Software\\A\\B, Name, 0, \"text, with comma\""));
    sim::registry::setKeySecurity(software, "D:P(A;;KR;;;WD)");
    EXPECT_EQ(sim::registry::keySecurity(software + "\\A"), "D:P(A;;KA;;;SY)");
    EXPECT_EQ(sim::registry::keySecurity(software + "\\A\\B"), "D:P(A;;KA;;;SY)");
    uint32_t type = 0;
    EXPECT_EQ(read(software + "\\A\\B", "Name", &type), std::string("text, with comma\0", 17));

    sim::registry::writeValue("HKLM\\SOFTWARE\\WinSim\\Faults", "RegSetValueEx", kRegDword,
                              dword(5));
    EXPECT_FALSE(add.HandleCommand({"HKCU", "Software\\A\\B", "Refused", "0", "x"}));
    EXPECT_EQ(recorded(), (std::vector<CStdStr>{"HKCU, \"Software\\A\\B\", Name"}));
}

TEST_F(RegistryLinesTest, DelRegDeletesOnlyTheNamedValue) {
    const std::string key = "HKEY_LOCAL_MACHINE\\Software\\A";
    sim::registry::writeValue(key, "", kRegSz, std::string("default\0", 8));
    sim::registry::writeValue(key, "Named", kRegSz, std::string("n\0", 2));
    sim::registry::writeValue(key, "Other", kRegSz, std::string("o\0", 2));
    EXPECT_TRUE(remove.ParseCommand("HKLM, Software\\A, Named"));
    EXPECT_TRUE(remove.ParseCommand("HKLM, Software\\A"));
    EXPECT_TRUE(remove.ParseCommand("HKLM"));
    uint32_t type = 0;
    std::string data;
    EXPECT_FALSE(sim::registry::readValue(key, "Named", &type, &data));
    EXPECT_FALSE(sim::registry::readValue(key, "", &type, &data));
    EXPECT_TRUE(sim::registry::readValue(key, "Other", &type, &data));
    EXPECT_TRUE(sim::registry::keyExists(key));
    EXPECT_TRUE(engine.getLogOps().empty());
}

}  // namespace
