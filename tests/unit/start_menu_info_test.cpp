#include "commands/start_menu_info.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <thread>

#include "app/dadazado_engine.h"
#include "platform/shell.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry_store.h"
#include "support/shortcut.h"
#include "tests/support/host_tools.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace {

namespace fs = std::filesystem;
using Args = std::vector<CStdStr>;

constexpr const char* kXpPrograms =
    "C:\\Documents and Settings\\Administrator\\Start Menu\\Programs";
constexpr const char* kXpCommonPrograms =
    "C:\\Documents and Settings\\All Users\\Start Menu\\Programs";

const char* const kInf =
    "[Install]\r\n"
    "QenAddGroup = Groups\r\n"
    "[Groups]\r\n"
    "x, 1, PROGRAMS, Acme, Locked, C:\\tool.exe\r\n"
    "x, 1, PROGRAMS, Acme, Free, C:\\tool.exe\r\n"
    "[Strings]\r\n"
    "Vendor = \"Acme\"\r\n";

// What lnkinfo reads from a link file, by field name.
class StartMenuInfoTest : public ::testing::Test {
  protected:
    explicit StartMenuInfoTest(const sim::MachineOptions& options = {}) : machine(options) {
        platform::coInitializeApartment();
        machine.writeFile("C:\\x.inf", kInf);
        EXPECT_TRUE(engine.parseCommandLine("-I C:\\x.inf -N Name"));
        engine.getStrings();
    }

    bool add(const Args& arguments) { return handler.HandleCommand(arguments); }
    void fault(const std::string& name, uint32_t error) {
        sim::registry::writeValue(sim::kFaultsKey, name, kRegDword, dword(error));
    }
    bool exists(const std::string& windowsPath) const {
        return fs::exists(machine.host(windowsPath));
    }
    std::map<std::string, std::string> link(const std::string& windowsPath) const {
        return lnkinfoFields(machine.host(windowsPath));
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
    StartMenuInfo handler{&engine};
};

TEST_F(StartMenuInfoTest, FolderNamesIgnoreCaseAndUnknownOnesMeanAllUsersPrograms) {
    EXPECT_TRUE(add({"programs", "Acme", "One", "C:\\Acme\\one.exe"}));
    EXPECT_TRUE(add({"Programs", "Acme", "Two", "C:\\Acme\\two.exe"}));
    EXPECT_TRUE(add({"PROGRAMS", "Acme", "Three", "C:\\Acme\\three.exe"}));
    for (const char* name : {"One", "Two", "Three"})
        EXPECT_TRUE(exists(std::string(kXpPrograms) + "\\Acme\\" + name + ".LNK")) << name;
    EXPECT_TRUE(add({"NoSuchFolder", "Acme", "Shared", "C:\\Acme\\one.exe"}));
    EXPECT_TRUE(exists(std::string(kXpCommonPrograms) + "\\Acme\\Shared.LNK"));
    EXPECT_TRUE(add({"desktop", "", "Desk", "C:\\Acme\\one.exe"}));
    EXPECT_TRUE(exists("C:\\Documents and Settings\\Administrator\\Desktop\\Desk.LNK"));
    EXPECT_EQ(log.text().find("StartMenuInfo::"), std::string::npos) << log.text();
}

TEST_F(StartMenuInfoTest, LinkHoldsExpandedTargetArgumentsAndWorkingDirectory) {
    EXPECT_TRUE(add({"PROGRAMS", "%Vendor%\\Printer Tools", "%Vendor% Setup", "%11%\\setup.exe",
                     "/lang %Vendor%"}));
    const std::string folder = std::string(kXpPrograms) + "\\Acme\\Printer Tools";
    auto fields = link(folder + "\\Acme Setup.LNK");
    EXPECT_EQ(fields["Local path"], "C:\\WINDOWS\\system32\\setup.exe");
    EXPECT_EQ(fields["Working directory"], "C:\\WINDOWS\\system32");
    EXPECT_EQ(fields["Command line arguments"], "/lang Acme");
    EXPECT_TRUE(splitLines(readHostFile(machine.dir() / "journal.log"))
                    .back()
                    .starts_with("SHChangeNotify SHCNE_UPDATEDIR " + folder));

    EXPECT_TRUE(add({"PROGRAMS", "", "Root", "C:\\setup.exe"}));
    fields = link(std::string(kXpPrograms) + "\\Root.LNK");
    EXPECT_EQ(fields["Working directory"], "C:\\");
    EXPECT_EQ(fields.count("Command line arguments"), 0u);
}

TEST_F(StartMenuInfoTest, TooFewArgumentsFailAndFailedLinksAreOnlyLogged) {
    EXPECT_FALSE(add({"PROGRAMS", "Acme", "One"}));
    EXPECT_TRUE(log.contains("StartMenuInfo::HandleCommand: not enough arguments!\r\n"));
    fault("IPersistFile::Save|*\\Locked.LNK", 5);
    EXPECT_TRUE(add({"PROGRAMS", "Acme", "Locked", "C:\\tool.exe", "-x"}));
    EXPECT_FALSE(exists(std::string(kXpPrograms) + "\\Acme\\Locked.LNK"));
    EXPECT_TRUE(
        log.contains("Shortcut::CreateLink: failed to save link: " + std::string(kXpPrograms) +
                     "\\Acme\\Locked.LNK (error 2147942405)\r\n"));
    EXPECT_TRUE(
        log.contains("StartMenuInfo::HandleCommand: failed to create link.\r\n"
                     "\tLink folder: " +
                     std::string(kXpPrograms) +
                     "\\Acme\r\n"
                     "\tItem name: Locked\r\n"
                     "\tTarget file: C:\\tool.exe\r\n"
                     "\tArguments: -x\r\n"));
}

TEST_F(StartMenuInfoTest, AFailedLinkDoesNotStopTheSection) {
    fault("IPersistFile::Save|*\\Locked.LNK", 5);
    EXPECT_TRUE(handler.ReadINF("Install"));
    EXPECT_TRUE(log.contains("failed to create link."));
    EXPECT_TRUE(exists(std::string(kXpPrograms) + "\\Acme\\Free.LNK"));
}

TEST_F(StartMenuInfoTest, FolderWithoutAPathMakesNoLinkAnywhere) {
    EXPECT_TRUE(add({"PRINTERS", "Acme", "Tool", "C:\\tool.exe"}));
    fault("SHGetSpecialFolderLocation", 5);
    EXPECT_TRUE(add({"PROGRAMS", "Acme", "Tool", "C:\\tool.exe"}));
    EXPECT_FALSE(exists("C:\\Acme"));
    EXPECT_FALSE(exists(std::string(kXpPrograms) + "\\Acme"));
    EXPECT_TRUE(
        log.contains("StartMenuInfo::HandleCommand: special folder PRINTERS is not available.\r\n"
                     "StartMenuInfo::HandleCommand: failed to create link.\r\n"));
    EXPECT_TRUE(
        log.contains("StartMenuInfo::HandleCommand: special folder PROGRAMS is not available."));
}

TEST_F(StartMenuInfoTest, ProcessInitialisesComForItsThread) {
    platform::HResult again = platform::kSOk;
    std::thread([this, &again] {
        handler.Process();
        again = platform::coInitializeApartment();
    }).join();
    EXPECT_EQ(again, 1);  // S_FALSE: Process had done it already
}

class StartMenuInfo9xTest : public StartMenuInfoTest {
  protected:
    StartMenuInfo9xTest() : StartMenuInfoTest(sim::MachineOptions{.os = "98"}) {}
};

TEST_F(StartMenuInfo9xTest, UnknownFolderNameMeansTheUsersPrograms) {
    EXPECT_TRUE(add({"Elsewhere", "Acme", "Tool", "C:\\tool.exe"}));
    EXPECT_TRUE(exists("C:\\WINDOWS\\Start Menu\\Programs\\Acme\\Tool.LNK"));
}

// The shortcut on its own.
class ShortcutTest : public StartMenuInfoTest {
  protected:
    Shortcut shortcut(const std::string& folder, const std::string& item,
                      const std::string& target) {
        Shortcut s;
        PathObject dir;
        dir.SetDir(folder);
        s.setLocation(dir, item);
        s.setTarget(PathObject(target));
        return s;
    }
};

TEST_F(ShortcutTest, NameGetsTheExtensionAndMissingFoldersAreMade) {
    Shortcut readme = shortcut("C:\\New\\Deep", "Readme", "C:\\doc\\readme.txt");
    EXPECT_EQ(readme.getLinkFile().GetFullPath(), "C:\\New\\Deep\\Readme.LNK");
    EXPECT_TRUE(readme.CreateLink());
    EXPECT_EQ(link("C:\\New\\Deep\\Readme.LNK")["Local path"], "C:\\doc\\readme.txt");
    Shortcut twice = shortcut("C:\\New", "Old.lnk", "C:\\a.exe");
    EXPECT_EQ(twice.getLinkFile().GetFileName(), "Old.lnk.LNK");
}

TEST_F(ShortcutTest, SilentFailuresForFolderAndLinkObject) {
    EXPECT_FALSE(shortcut("", "Tool", "C:\\a.exe").CreateLink());
    EXPECT_FALSE(shortcut("Q:\\Links", "Tool", "C:\\a.exe").CreateLink());
    fault("CoCreateInstance", 8);
    EXPECT_FALSE(shortcut("C:\\Links", "Tool", "C:\\a.exe").CreateLink());
    EXPECT_FALSE(exists("C:\\Links\\Tool.LNK"));
    EXPECT_EQ(log.text().find("Shortcut::"), std::string::npos) << log.text();
}

TEST_F(ShortcutTest, FailedPathStopsTheSaveButLaterStepsStillRun) {
    fault("IShellLinkA::SetPath", 5);
    fault("IShellLinkA::SetWorkingDirectory", 5);
    Shortcut s = shortcut("C:\\Links", "Tool", "C:\\a.exe");
    s.setArguments("-v");
    EXPECT_FALSE(s.CreateLink());
    EXPECT_FALSE(exists("C:\\Links\\Tool.LNK"));
    EXPECT_TRUE(
        log.contains("Shortcut::CreateLink: failed to set shortcut path: C:\\a.exe\r\n"
                     "Shortcut::CreateLink: failed to set working directory: C:\r\n"));
}

}  // namespace
