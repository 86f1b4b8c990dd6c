#include "commands/uninstall_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/dadazado_engine.h"
#include "platform/sim/registry_store.h"
#include "support/debug_log.h"
#include "support/system_path.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace {

namespace fs = std::filesystem;

class UninstallInfoTest : public ::testing::Test {
  protected:
    // An uninstaller archive as the driver package ships it, made with Info-ZIP's zip.
    void writeArchive(const std::string& windowsPath, bool withEngine,
                      const std::string& errorCode = "") const {
        const fs::path work = machine.dir() / "archive-work";
        fs::create_directories(work / "Install" / "x86");
        if (withEngine)
            fs::copy_file(DADAZADO_ENGINE_SUBSTITUTE, work / "Install" / "x86" / "Engine.dll");
        if (!errorCode.empty())
            writeHostFile(work / "Install" / "x86" / "ErrorCode.txt", errorCode);
        writeHostFile(work / "readme.txt", "uninstaller");
        const std::string command =
            "cd '" + work.string() + "' && zip -q -r archive.zip Install readme.txt";
        ASSERT_EQ(std::system(command.c_str()), 0);
        machine.writeFile(windowsPath, readHostFile(work / "archive.zip"));
        fs::remove_all(work);
    }
    std::vector<std::string> journalCalls() const {
        std::vector<std::string> calls;
        for (const std::string& line : splitLines(readHostFile(machine.dir() / "journal.log")))
            if (line.rfind("Engine.dll ", 0) == 0 || line.rfind("ZUVERU.DLL ", 0) == 0)
                calls.push_back(line);
        return calls;
    }
    static std::string workingDir(const std::string& archiveName = "unst.zip") {
        return SystemPath(SystemPath::TEMP_DIR).GetDir() + "\\" + archiveName + "_Extracted";
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
    UninstallInfo handler{&engine};
};

TEST_F(UninstallInfoTest, TheEngineInstallsTheUninstallerAndTheRecordsAreHandedOver) {
    writeArchive("C:\\pkg\\unst.zip", true, "3");
    machine.writeFile("C:\\WINDOWS\\system32\\ZUVERU.DLL",
                      readHostFile(DADAZADO_LOGGING_SUBSTITUTE));
    engine.logOperation(1, "Uninstaller", "C:\\u.exe", true);
    EXPECT_TRUE(handler.HandleCommand({"C:\\pkg\\unst.zip", "unst.ini"}));
    const std::string dir = workingDir();
    EXPECT_EQ(journalCalls(),
              (std::vector<std::string>{
                  "Engine.dll SetWorkingDirA(\"" + dir + "\\Install\\x86\")",
                  "Engine.dll SetLanguageA(\"\")",
                  "Engine.dll DoInstallA(\"" + dir +
                      "\\Temp.isf\", \"\", \"\") script: "
                      "[Install]|Uninstaller=1|",
                  "Engine.dll GetErrorCode() = 3",
                  "ZUVERU.DLL AddAnyItem(\"Uninstaller\", \"C:\\u.exe\", 1, \"unst.ini\")",
                  "ZUVERU.DLL AddDriverNameEx(\"\", \"unst.ini\", 0)"}));
    EXPECT_TRUE(log.contains("UninstallerInfo::HandleCommand: installation returned code 3\r\n"));
    EXPECT_FALSE(fs::exists(machine.host(dir)));
}

TEST_F(UninstallInfoTest, AnArchiveWithoutTheEngineStillRemovesItsDirectory) {
    writeArchive("C:\\pkg\\unst.zip", false);
    EXPECT_TRUE(handler.HandleCommand({"C:\\pkg\\unst.zip"}));
    size_t skipped = 0;
    for (const std::string& line : log.lines())
        skipped += line == "InstallEngine::ourGetProcAddress: DLL has not been loaded.";
    EXPECT_EQ(skipped, 4u);
    EXPECT_TRUE(log.contains("InstallEngine::loadTheDll: could not load " + workingDir() +
                             "\\Install\\x86\\Engine.dll (error code: 126)\r\n"));
    EXPECT_TRUE(log.contains("UninstallerInfo::HandleCommand: installation returned code 0\r\n"));
    EXPECT_TRUE(log.contains("DadazadoEngine::flushLogOps: logging operations...\r\n"));
    EXPECT_FALSE(fs::exists(machine.host(workingDir())));
}

TEST_F(UninstallInfoTest, FailuresAreLoggedAndTheRecordsAreStillHandedOver) {
    EXPECT_FALSE(handler.HandleCommand({}));
    EXPECT_TRUE(log.contains("UninstallInfo::HandleCommand: not enough arguments!\r\n"));
    EXPECT_TRUE(handler.HandleCommand({"C:\\pkg\\missing.zip"}));
    EXPECT_TRUE(
        log.contains("UninstallerInfo::HandleCommand: could not extract "
                     "C:\\pkg\\missing.zip to " +
                     workingDir("missing.zip") + "\r\n"));
    EXPECT_EQ(log.lines().back(), "DadazadoEngine::flushLogOps: logging operations...");
}

TEST_F(UninstallInfoTest, ACustomInstallerSkipsTheEngine) {
    sim::registry::writeValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Qentrel", "Running", kRegDword,
                              dword(1));
    sim::registry::writeValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Qentrel", "DadazadoDebug", kRegSz,
                              sz(GetDebugLog().GetFileName()));
    engine.readDebugSettings();
    ASSERT_TRUE(engine.isCustomInstall());
    writeArchive("C:\\pkg\\unst.zip", true);
    EXPECT_TRUE(handler.HandleCommand({"C:\\pkg\\unst.zip", "x"}));
    EXPECT_TRUE(
        log.contains("UninstallInfo::HandleCommand: Skipping - custom installer is "
                     "running.\r\n"));
    EXPECT_TRUE(journalCalls().empty());
}

}  // namespace
