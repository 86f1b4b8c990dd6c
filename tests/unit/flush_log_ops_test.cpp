#include <gtest/gtest.h>

#include "app/dadazado_engine.h"
#include "platform/sim/registry_store.h"
#include "support/install_engine.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace {

class LibraryCallsTest : public ::testing::Test {
  protected:
    void installLoggingLibrary() const {
        machine.writeFile("C:\\WINDOWS\\system32\\ZUVERU.DLL",
                          readHostFile(DADAZADO_LOGGING_SUBSTITUTE));
    }
    std::vector<std::string> journalCalls(const std::string& prefix) const {
        std::vector<std::string> calls;
        for (const std::string& line : splitLines(readHostFile(machine.dir() / "journal.log")))
            if (line.rfind(prefix, 0) == 0) calls.push_back(line);
        return calls;
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
};

TEST_F(LibraryCallsTest, EveryRecordReachesTheLoggingLibraryInOrder) {
    installLoggingLibrary();
    engine.logOperation(1, "Driver Acme", "C:\\a.dll", false);
    engine.logOperation(3, "Uninstaller", "HKLM, \"SOFTWARE\\A\", V", true);
    engine.flushLogOps("unst.ini");
    EXPECT_EQ(journalCalls("ZUVERU.DLL"),
              (std::vector<std::string>{
                  "ZUVERU.DLL AddAnyItem(\"Driver Acme\", \"C:\\a.dll\", 1, \"\")",
                  "ZUVERU.DLL AddAnyItem(\"Uninstaller\", \"HKLM, \"SOFTWARE\\A\", V\", 3, "
                  "\"unst.ini\")",
                  "ZUVERU.DLL AddDriverNameEx(\"\", \"unst.ini\", 0)"}));
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"DadazadoEngine::flushLogOps: logging operations..."}));
}

TEST_F(LibraryCallsTest, NoRecordsMeansTheLibraryIsNeverLoaded) {
    installLoggingLibrary();
    engine.flushLogOps("x");
    EXPECT_TRUE(journalCalls("LoadLibrary").empty());
    engine.logOperation(1, "Uninstaller", "C:\\u.exe", true);
    machine.writeFile("C:\\WINDOWS\\system32\\ZUVERU.DLL", "not a library");
    engine.flushLogOps("x");
    EXPECT_TRUE(
        log.contains("DadazadoEngine::FlushLogOps: Could not load ZuvEru, error code 193\r\n"));
}

TEST_F(LibraryCallsTest, AnEngineThatIsNotThereSkipsEveryCall) {
    InstallEngine missing("C:\\nowhere\\Engine.dll");
    EXPECT_FALSE(missing.isLoaded());
    missing.setWorkingDir("C:\\");
    missing.setLanguage("en_US");
    EXPECT_FALSE(missing.doInstall("C:\\Temp.isf", "", ""));
    EXPECT_EQ(missing.getErrorCode(), 0);
    EXPECT_TRUE(
        log.contains("InstallEngine::loadTheDll: could not load C:\\nowhere\\Engine.dll "
                     "(error code: 126)\r\n"));
    size_t skipped = 0;
    for (const std::string& line : log.lines())
        skipped += line == "InstallEngine::ourGetProcAddress: DLL has not been loaded.";
    EXPECT_EQ(skipped, 4u);
}

TEST_F(LibraryCallsTest, TheEngineGetsTheScriptAndReportsTheChosenCode) {
    machine.writeFile("C:\\work\\Engine.dll", readHostFile(DADAZADO_ENGINE_SUBSTITUTE));
    machine.writeFile("C:\\work\\ErrorCode.txt", "-7");
    machine.writeFile("C:\\work\\Temp.isf", "[Install]\r\nUninstaller=1\r\n");
    InstallEngine engineLibrary("C:\\work\\Engine.dll");
    ASSERT_TRUE(engineLibrary.isLoaded());
    engineLibrary.setWorkingDir("C:\\WORK");
    engineLibrary.setLanguage("de_DE");
    EXPECT_FALSE(engineLibrary.doInstall("C:\\work\\Temp.isf", "", ""));
    EXPECT_EQ(engineLibrary.getErrorCode(), -7);
    EXPECT_EQ(journalCalls("Engine.dll"),
              (std::vector<std::string>{
                  "Engine.dll SetWorkingDirA(\"C:\\WORK\")", "Engine.dll SetLanguageA(\"de_DE\")",
                  "Engine.dll DoInstallA(\"C:\\work\\Temp.isf\", \"\", \"\") script: "
                  "[Install]|Uninstaller=1",
                  "Engine.dll GetErrorCode() = -7"}));
}

}  // namespace
