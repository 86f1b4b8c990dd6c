// A driver package that installs and deletes files, run by the built dadazado on a simulated
// XP machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/sim/registry_store.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/program_run.h"
#include "tests/support/registry_data.h"
#include "tests/support/szdd_files.h"
#include "tests/support/test_machine.h"

namespace {

const std::string kDriverText(3000, 'x');

const char* const kInf =
    "[Manufacturer]\r\n"
    "Acme = Acme.Models\r\n"
    "[Acme.Models]\r\n"
    "Acme Laser 5 = Laser5.Install, ACME_L5\r\n"
    "[Laser5.Install]\r\n"
    "QenInstallFile = Files.Main\r\n"
    "QenDelFiles = Files.Obsolete\r\n"
    "[Files.Main]\r\n"
    "x, 1, %11%\\acmeui.dll, C:\\Drivers\\acmeui.dl_, %2%\\acmeui.tmp, 0, 2\r\n"
    "x, 1, %11%\\Acme\\readme.txt, C:\\Drivers\\readme.txt, %2%\\readme.tmp, 1\r\n"
    "x, 2, %11%\\remote.dll, C:\\Drivers\\readme.txt, %2%\\remote.tmp\r\n"
    "x, 1, %11%\\busy.dll, C:\\Drivers\\busy.dll, %11%\\busy.old\r\n"
    "[Files.Obsolete]\r\n"
    "x, 1, %11%\\oldui.dll\r\n"
    "x, 1, %11%\\stuck.dll, 1\r\n"
    "x, 1, %11%\\never.dll, 0\r\n";

TEST(FileCommandsEndToEnd, InstallsAndDeletesFilesWithRestartFallbacks) {
    TestMachine machine;
    const std::string printerKey =
        "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Office Laser";
    sim::registry::writeValue(printerKey, "Printer Driver", kRegSz, sz("Acme Laser 5"));
    sim::registry::writeValue(printerKey, "Port", kRegSz, sz("LPT1:"));
    sim::registry::writeValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Qentrel", "DadazadoDebug", kRegSz,
                              sz("C:\\flight.log"));
    machine.writeFile("C:\\Drivers\\oem.inf", kInf);
    writeHostFile(machine.dir() / "plain.bin", kDriverText);
    ASSERT_TRUE(makeSzdd(machine.dir() / "plain.bin", machine.host("C:\\Drivers\\acmeui.dl_")));
    machine.writeFile("C:\\Drivers\\readme.txt", "read me");
    machine.writeFile("C:\\Drivers\\busy.dll", "new busy");
    const std::string system = "C:\\WINDOWS\\system32\\";
    machine.writeFile(system + "busy.dll", "old busy");
    machine.writeFile(system + "oldui.dll", "obsolete");
    machine.writeFile(system + "stuck.dll", "stuck");
    setLastWriteTime(system + "busy.dll", 120000000000000000ull);
    setFileInUse(system + "busy.dll", 32);
    setFileInUse(system + "stuck.dll", 32);
    machine.reload();

    const ProgramResult result =
        runDadazado(machine.dir(), {"-I", "C:\\Drivers\\oem.inf", "-N", "Office Laser"});
    ASSERT_EQ(result.exitCode, 0) << result.standardError;
    machine.reload();

    EXPECT_EQ(machine.readFile(system + "acmeui.dll"), kDriverText);
    EXPECT_EQ(machine.readFile(system + "Acme\\readme.txt"), "read me");
    EXPECT_FALSE(std::filesystem::exists(machine.host("C:\\Drivers\\readme.txt")));
    EXPECT_FALSE(std::filesystem::exists(machine.host(system + "remote.dll")));
    EXPECT_EQ(machine.readFile(system + "busy.dll"), "new busy");
    EXPECT_EQ(machine.readFile(system + "busy.old"), "old busy");
    EXPECT_FALSE(std::filesystem::exists(machine.host(system + "oldui.dll")));
    EXPECT_EQ(machine.readFile(system + "stuck.dll"), "stuck");
    EXPECT_EQ(pendingFileRenames(),
              (std::vector<std::string>{"\\??\\" + system + "busy.old", "",
                                        "\\??\\" + system + "stuck.dll", ""}));
    EXPECT_TRUE(tempFilesIn("C:\\WINDOWS\\system32").empty());

    const std::vector<std::string> lines = splitLines(machine.readFile("C:\\flight.log"));
    auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("GenericInfo::Process: Processing QenInstallFile"));
    EXPECT_TRUE(has("InstFileInfo::HandleCommand: wrote file " + system +
                    "acmeui.dll log section Driver Acme Laser 5"));
    EXPECT_TRUE(has("Attempting to move " + system + "stuck.dll to NULL on reboot."));
    EXPECT_TRUE(
        has("! Reboot Required: To replace locked file. Inside "
            "FileOp::replaceOnReboot; MoveFileEx call."));
    EXPECT_TRUE(has("GenericInfo::Process: Processing QenDelFiles"));
}

}  // namespace
