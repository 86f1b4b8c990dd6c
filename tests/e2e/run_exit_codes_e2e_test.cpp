// Every exit code of a run, from the built dadazado on a simulated machine.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sim/registry_store.h"
#include "tests/support/program_run.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace {

constexpr const char* kPrinters =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
constexpr const char* kFaults = "HKEY_LOCAL_MACHINE\\SOFTWARE\\WinSim\\Faults";

const char* const kInf =
    "[Manufacturer]\r\n"
    "Acme = Acme.Models\r\n"
    "[Acme.Models]\r\n"
    "Acme Laser 5 = Laser5.Install, ACME_L5\r\n"
    "Acme Empty = , ACME_E\r\n"
    "[Laser5.Install]\r\n"
    "QN_DRV_NETSUPPORT = 2\r\n";

class RunExitCodes : public ::testing::Test {
  protected:
    explicit RunExitCodes(const sim::MachineOptions& options = {}) : machine(options) {}

    void SetUp() override {
        sim::registry::writeValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Qentrel", "DadazadoDebug", kRegSz,
                                  sz("C:\\flight.log"));
        machine.writeFile("C:\\Drivers\\oem.inf", kInf);
        machine.writeFile("C:\\Drivers\\nomaker.inf", "[Version]\r\n");
        addPrinter("Office Laser", "Acme Laser 5");
        addPrinter("Odd Printer", "Acme Empty");
    }

    static void addPrinter(const std::string& name, const std::string& driver) {
        sim::registry::writeValue(kPrinters + name, "Printer Driver", kRegSz, sz(driver));
        sim::registry::writeValue(kPrinters + name, "Port", kRegSz, sz("LPT1:"));
    }

    int run(const std::vector<std::string>& args) {
        const ProgramResult result = runDadazado(machine.dir(), args);
        EXPECT_EQ(result.standardError, "");
        lines = splitLines(machine.readFile("C:\\flight.log"));
        return result.exitCode;
    }

    TestMachine machine;
    std::vector<std::string> lines;
};

TEST_F(RunExitCodes, MissingManufacturerComesBeforeTheWrongPrinter) {
    EXPECT_EQ(run({"-I", "C:\\Drivers\\nomaker.inf", "-N", "No Such Printer"}), 3);
    EXPECT_EQ(lines.back(),
              "DadazadoEngine::getManufacturers: could not find manufacturer section: "
              "Manufacturer");
}

TEST_F(RunExitCodes, PrinterThatCannotBeReadEndsWithTwo) {
    EXPECT_EQ(run({"-I", "C:\\Drivers\\oem.inf", "-N", "No Such Printer"}), 2);
    EXPECT_EQ(lines.back(),
              "DadazadoApp::getPrinterInfo: OpenPrinter of No Such Printer failed with error "
              "code 1801");

    sim::registry::writeValue(kFaults, "OpenPrinter|Office Laser", kRegDword, dword(5));
    EXPECT_EQ(run({"-I", "C:\\Drivers\\oem.inf", "-N", "Office Laser"}), 2);
    EXPECT_EQ(lines.back(),
              "DadazadoApp::getPrinterInfo: OpenPrinter of Office Laser failed with error code 5");
    sim::registry::deleteValue(kFaults, "OpenPrinter|Office Laser");

    sim::registry::writeValue(kFaults, "GetPrinterSize|Office Laser", kRegDword, dword(31));
    EXPECT_EQ(run({"-I", "C:\\Drivers\\oem.inf", "-N", "Office Laser"}), 2);
    EXPECT_EQ(lines.back(),
              "DadazadoApp::getPrinterInfo: GetPrinter of Office Laser provided no data.");
    sim::registry::deleteValue(kFaults, "GetPrinterSize|Office Laser");

    sim::registry::writeValue(kFaults, "GetPrinter|Office Laser", kRegDword, dword(1722));
    EXPECT_EQ(run({"-I", "C:\\Drivers\\oem.inf", "-N", "Office Laser"}), 2);
    EXPECT_EQ(lines.back(),
              "DadazadoApp::getPrinterInfo: GetPrinter of Office Laser failed with error code "
              "1722");
}

TEST_F(RunExitCodes, ModelWithoutInstallSectionEndsWithFourSilently) {
    EXPECT_EQ(run({"-I", "C:\\Drivers\\oem.inf", "-N", "Odd Printer"}), 4);
    EXPECT_EQ(lines.back(), "Command line: -I C:\\Drivers\\oem.inf -N \"Odd Printer\"");
}

TEST_F(RunExitCodes, CompleteRunLogsTheSevenSettingsWithTheSpoolersSpelling) {
    EXPECT_EQ(run({"-I", "C:\\Drivers\\oem.inf", "-N", "office laser"}), 0);
    const std::vector<std::string> expected = {"Driver name:       Acme Laser 5",
                                               "Print Object Name: Office Laser",
                                               "Point and Print:   no",
                                               "Install section:   Laser5.Install",
                                               "Update Mode:       no",
                                               "Custom install:    no",
                                               "Network level:\t\t2"};
    const auto first = std::find(lines.begin(), lines.end(), expected[0]);
    ASSERT_LE(first + expected.size(), lines.end());
    EXPECT_EQ(std::vector<std::string>(first, first + expected.size()), expected);
    // The handlers come after the settings.
    EXPECT_EQ(*(first + expected.size()), "GenericInfo::Process: Processing QenUnZipZipFile");
}

class Win9xRun : public RunExitCodes {
  protected:
    Win9xRun() : RunExitCodes(sim::MachineOptions{.os = "98"}) {}
};

TEST_F(Win9xRun, TheOptionNamesTheDriverWithoutAskingTheSpooler) {
    // Every spooler call would fail here; the run must not make one.
    sim::registry::writeValue(kFaults, "OpenPrinter", kRegDword, dword(5));
    EXPECT_EQ(run({"-I", "C:\\Drivers\\oem.inf", "-N", "Acme Laser 5"}), 0);
    const auto driverLine =
        std::find(lines.begin(), lines.end(), "Driver name:       Acme Laser 5");
    ASSERT_LT(driverLine + 1, lines.end());
    EXPECT_EQ(*(driverLine + 1), "Print Object Name: ");
}

}  // namespace
