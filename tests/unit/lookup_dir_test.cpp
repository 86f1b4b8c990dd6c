#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/dadazado_engine.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sim/os_keys.h"
#include "platform/sim/registry_store.h"
#include "tests/support/test_machine.h"

namespace {

TEST(LookupDir, EveryCodeOnXP) {
    TestMachine machine(sim::MachineOptions{.os = "XP"});
    LogCapture log;
    sim::registry::writeValue(sim::kWinSimKey, "ModuleFileName", platform::kRegSz,
                              std::string("C:\\A\\B\\dadazado.exe") + '\0');
    ASSERT_TRUE(platform::setCurrentDirectory("C:\\WINDOWS\\Fonts"));
    machine.writeFile("C:\\x.inf", "[Qen_Unst_Info]\r\nQenInstallDir = 2500, Vendor\\Tools\r\n");
    DadazadoEngine engine;
    ASSERT_TRUE(engine.parseCommandLine("-I C:\\x.inf -N Name"));
    engine.readUninstallInfo();

    const std::string drivers = "C:\\WINDOWS\\system32\\spool\\drivers";
    const std::vector<std::pair<int, std::string>> expected = {
        {1, "C:\\WINDOWS\\Fonts"},
        {2, "C:\\Documents and Settings\\Administrator\\Local Settings\\Temp"},
        {3, "C:\\A\\B"},
        {10, "C:\\WINDOWS"},
        {11, "C:\\WINDOWS\\system32"},
        {51, "C:\\WINDOWS\\system32\\spool"},
        {52, drivers},
        {777, "C:\\Program Files\\Vendor\\Tools"},
        {2500, "C:\\Program Files"},
        {5000, drivers + "\\w32x86\\3"},
        {10000, drivers + "\\w32x86\\3"},
        {66000, drivers + "\\w32x86"},
        {66001, "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86"},
    };
    for (const auto& [code, path] : expected) {
        EXPECT_EQ(engine.LookupDir(code).GetFullPath(), path) << "code " << code;
    }
    EXPECT_FALSE(log.contains("LookupDir"));

    for (const int unknown : {0, 12, 776, -10}) {
        EXPECT_EQ(engine.LookupDir(unknown).GetFullPath(), "");
    }
    const std::vector<std::string> lines = log.lines();
    EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
              (std::vector<std::string>{"LookupDir: could not get directory for code 0",
                                        "LookupDir: could not get directory for code 12",
                                        "LookupDir: could not get directory for code 776",
                                        "LookupDir: could not get directory for code -10"}));
}

}  // namespace
