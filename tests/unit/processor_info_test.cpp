#include "commands/processor_info.h"

#include <gtest/gtest.h>

#include "app/dadazado_engine.h"
#include "platform/registry.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry_store.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace {

const std::string kPrinters = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
const std::string kProcessors =
    "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\"
    "Print Processors\\";

const char* const kInf =
    "[Manufacturer]\r\n"
    "Acme\r\n"
    "[Acme]\r\n"
    "Custom = Custom.Install\r\n"
    "Standard = Standard.Install\r\n"
    "NameOnly = NameOnly.Install\r\n"
    "Bare = Bare.Install\r\n"
    "[Custom.Install]\r\n"
    "DataSection = Custom.Data\r\n"
    "[Standard.Install]\r\n"
    "DataSection = Standard.Data\r\n"
    "[NameOnly.Install]\r\n"
    "DataSection = NameOnly.Data\r\n"
    "[Bare.Install]\r\n"
    "QenInstallFile = Files\r\n"
    "[Custom.Data]\r\n"
    "QenPrintProcessor = \"AcmeProc, acmeproc.dll\"\r\n"
    "QenDefaultDataType = NT EMF 1.008, ignored\r\n"
    "PrintProcessor = WinPrint, winprint.dll\r\n"
    "DefaultDataType = RAW\r\n"
    "[Standard.Data]\r\n"
    "QenDefaultDataType = XPS\r\n"
    "PrintProcessor = WinPrint, winprint.dll\r\n"
    "DefaultDataType = RAW\r\n"
    "[NameOnly.Data]\r\n"
    "PrintProcessor = AcmeProc\r\n";

void fault(const std::string& name, uint32_t error) {
    sim::registry::writeValue(sim::kFaultsKey, name, platform::kRegDword, dword(error));
}

class ProcessorInfoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        machine.writeFile("C:\\oem.inf", kInf);
        machine.writeFile("C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\acmeproc.dll", "x");
        ASSERT_TRUE(engine.parseCommandLine("-I C:\\oem.inf -N Laser"));
        ASSERT_TRUE(engine.getManufacturers());
    }

    // The engine's record of a printer "Laser" (WinPrint, RAW) that uses this driver.
    void usePrinter(const std::string& driver) {
        const std::string key = kPrinters + "Laser";
        sim::registry::writeValue(key, "Name", platform::kRegSz, std::string("Laser\0", 6));
        sim::registry::writeValue(key, "Printer Driver", platform::kRegSz, driver + '\0');
        std::vector<platform::PrinterInfo2> printers;
        ASSERT_TRUE(platform::enumPrinters(platform::kPrinterEnumLocal, &printers));
        ASSERT_EQ(printers.size(), 1u);
        printer = printers[0];
    }

    platform::PrinterInfo2 stored() const {
        std::vector<platform::PrinterInfo2> printers;
        platform::enumPrinters(platform::kPrinterEnumLocal, &printers);
        return printers.empty() ? platform::PrinterInfo2{} : printers[0];
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
    platform::PrinterInfo2 printer;
    ProcessorInfo handler{&engine, &printer};
};

TEST_F(ProcessorInfoTest, WithoutInstallOrDataSectionNothingIsInstalled) {
    usePrinter("Unknown");
    EXPECT_FALSE(handler.Process());
    EXPECT_TRUE(log.text().empty());

    usePrinter("Bare");
    EXPECT_FALSE(handler.Process());
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "ProcessorInfo Status", "\t\tPrinter name:    Laser", "\t\tDriver name:     Bare",
                  "\t\tInstall section: Bare.Install", "\t\tNo data section!"}));
    EXPECT_EQ(stored().printProcessor, "WinPrint");
}

TEST_F(ProcessorInfoTest, CustomKeysComeFirstAndAQuotedValueIsSplitAfterUnquoting) {
    usePrinter("Custom");
    EXPECT_TRUE(handler.Process());
    EXPECT_EQ(handler.getProcessorName(), "AcmeProc");
    EXPECT_EQ(handler.getProcessorDll(), "acmeproc.dll");
    EXPECT_EQ(handler.getDataType(), "NT EMF 1.008");
    EXPECT_TRUE(log.contains("\t\tData section:    Custom.Data\r\n"));
    EXPECT_TRUE(log.contains("ProcessorInfo::addProcessor: added processor successfully!\r\n"));
    EXPECT_EQ(sim::registry::readString(kProcessors + "AcmeProc", "Driver"), "acmeproc.dll");
    EXPECT_TRUE(log.contains(
        "PrinterInfo::writeProcessorInfo: adding processor AcmeProc to printer Laser\r\n"));
    EXPECT_EQ(stored().printProcessor, "AcmeProc");
    EXPECT_EQ(stored().datatype, "NT EMF 1.008");
}

TEST_F(ProcessorInfoTest, DataTypeOfTheCustomPairStaysWithTheStandardProcessor) {
    usePrinter("Standard");
    handler.readProcessorKeys("Standard.Data");
    EXPECT_EQ(handler.getProcessorName(), "WinPrint");
    EXPECT_EQ(handler.getProcessorDll(), "winprint.dll");
    EXPECT_EQ(handler.getDataType(), "XPS");
}

TEST_F(ProcessorInfoTest, ProcessorWithoutLibraryIsNotInstalledButStillSet) {
    usePrinter("NameOnly");
    fault("AddPrintProcessor", 5);  // a call would show as a failure line
    EXPECT_TRUE(handler.Process());
    EXPECT_TRUE(
        log.contains("ProcessorInfo::addProcessor: About to add processor.\r\n"
                     "\t\tProcessor: AcmeProc\r\n\t\tDLL: \r\n\t\tData Type: \r\n"));
    EXPECT_FALSE(log.contains("AddPrintProcessor returned"));
    EXPECT_EQ(stored().printProcessor, "AcmeProc");
    EXPECT_EQ(stored().datatype, "RAW");  // no data type key: the printer keeps its own
}

TEST_F(ProcessorInfoTest, PrinterAlreadyConfiguredIsNotOpened) {
    usePrinter("Standard");
    fault("OpenPrinter|Laser", 5);
    handler.readProcessorKeys("Custom.Data");
    printer.printProcessor = "AcmeProc";
    printer.datatype = "NT EMF 1.008";
    EXPECT_FALSE(handler.writeProcessorInfo());
    EXPECT_TRUE(log.text().empty()) << log.text();
}

TEST_F(ProcessorInfoTest, SpoolerFailuresAreLoggedAndTheRunGoesOn) {
    usePrinter("Custom");
    fault("AddPrintProcessor", 1798);
    fault("OpenPrinter|Laser", 5);
    EXPECT_TRUE(handler.Process());
    EXPECT_TRUE(
        log.contains("ProcessorInfo::addProcessor: system AddPrintProcessor returned 1798\r\n"));
    EXPECT_TRUE(
        log.contains("ProcessorInfo::WriteProcessorInfo: OpenPrinter failed.\r\n"
                     "\tCode: 5\r\n\tPrint object: Laser\r\n\tProcessor: AcmeProc\r\n"));

    sim::registry::deleteValue(sim::kFaultsKey, "OpenPrinter|Laser");
    fault("SetPrinter|Laser", 1796);
    EXPECT_FALSE(handler.writeProcessorInfo());
    EXPECT_TRUE(
        log.contains("ProcessorInfo::writeProcessorInfo: SetPrinter failed.\r\n"
                     "\tCode: 1796\r\n"));
    EXPECT_EQ(stored().printProcessor, "WinPrint");
}

}  // namespace
