#include "commands/generic_info.h"

#include <gtest/gtest.h>

#include "app/dadazado_engine.h"
#include "platform/sim/registry_store.h"
#include "tests/support/test_machine.h"

namespace {

// A handler that keeps what it was given, and refuses arguments starting with "bad".
class RecordingInfo : public GenericInfo {
  public:
    explicit RecordingInfo(DadazadoEngine* engine) : GenericInfo(engine, "QenInstallFile") {}
    bool HandleCommand(const std::vector<CStdStr>& arguments) override {
        calls.emplace_back(arguments.begin(), arguments.end());
        return arguments.empty() || arguments[0].rfind("bad", 0) != 0;
    }
    std::vector<std::vector<std::string>> calls;
};

const char* const kInf =
    "[Install]\r\n"
    "QenInstallFile = Files.A, Missing, Files.B\r\n"
    "[Files.A]\r\n"
    "x, 1, a.dll\r\n"
    "x, 2, remote-only.dll\r\n"
    "x, 3, both.dll\r\n"
    "x, 0, never.dll\r\n"
    "x, 1\r\n"
    "x\r\n"
    "[Files.B]\r\n"
    "x, 1, \"C:\\Program Files\\A, B\", c\r\n"
    "x, 1, a ; comment\r\n"
    "x, 1, bad\r\n"
    "[Empty]\r\n"
    "QenInstallFile =\r\n";

class GenericInfoTest : public ::testing::Test {
  protected:
    // A local install (pointAndPrint false), or a connection to another computer's printer.
    void startRun(bool pointAndPrint) {
        machine.writeFile("C:\\oem.inf", kInf);
        const std::string printers =
            pointAndPrint ? "HKEY_CURRENT_USER\\Printers\\Connections\\,,SERVER,Laser"
                          : "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\"
                            "Printers\\Laser";
        sim::registry::writeValue(printers, "Printer Driver", 1, std::string("Drv\0", 4));
        if (pointAndPrint)
            sim::registry::writeValue(printers, "Server", 1, std::string("\\\\SERVER\0", 9));
        const std::string name = pointAndPrint ? "\\\\SERVER\\Laser" : "Laser";
        ASSERT_TRUE(engine.parseCommandLine("-I C:\\oem.inf -N " + name));
        ASSERT_TRUE(engine.getPrinterInfo());
        ASSERT_EQ(engine.isPointAndPrint(), pointAndPrint);
    }

    std::vector<std::string> firstArguments() const {
        std::vector<std::string> first;
        for (const auto& call : handler.calls) first.push_back(call.empty() ? "<none>" : call[0]);
        return first;
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
    RecordingInfo handler{&engine};
};

TEST_F(GenericInfoTest, LocalInstallFiltersSplitsAndReportsEveryRejectedLine) {
    startRun(false);
    EXPECT_TRUE(handler.ReadINF("Install"));
    EXPECT_EQ(firstArguments(),
              (std::vector<std::string>{"a.dll", "both.dll", "<none>", "C:\\Program Files\\A, B",
                                        "a ; comment", "bad"}));
    EXPECT_EQ(handler.calls[3], (std::vector<std::string>{"C:\\Program Files\\A, B", "c"}));
    EXPECT_TRUE(log.contains("GenericInfo::ReadINF: Section Missing not found\r\n"));
    EXPECT_TRUE(log.contains("GenericInfo::ParseCommand: command x is invalid!\r\n"));
    // remote-only, never, the invalid line and the refused one: four blocks of four lines.
    const std::vector<std::string> lines = log.lines();
    int blocks = 0;
    for (size_t i = 0; i + 3 < lines.size(); ++i) {
        if (lines[i] != "GenericInfo::ReadINF: Error parsing command:") continue;
        ++blocks;
        EXPECT_EQ(lines[i + 1], "\t\tSection: Install");
        EXPECT_EQ(lines[i + 2], "\t\tCommand Name: QenInstallFile");
        EXPECT_EQ(lines[i + 3].rfind("\t\tCommand: x", 0), 0u) << lines[i + 3];
    }
    EXPECT_EQ(blocks, 4);
}

TEST_F(GenericInfoTest, PointAndPrintTakesOnlyTheConnectionCommands) {
    startRun(true);
    EXPECT_TRUE(handler.ReadINF("Install"));
    EXPECT_EQ(firstArguments(), (std::vector<std::string>{"remote-only.dll", "both.dll"}));
}

TEST_F(GenericInfoTest, AbsentKeyGivesFalseSilentlyAndAnEmptyListGivesTrue) {
    startRun(false);
    EXPECT_FALSE(handler.ReadINF("Files.A"));
    EXPECT_FALSE(handler.ReadINF(""));
    EXPECT_TRUE(handler.ReadINF("Empty"));
    EXPECT_TRUE(handler.calls.empty());
    EXPECT_TRUE(log.text().empty());
}

TEST_F(GenericInfoTest, ProcessLogsTheKeyAndTheElapsedTime) {
    startRun(false);
    EXPECT_FALSE(handler.Process());  // the run's install section is not chosen yet
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "GenericInfo::Process: Processing QenInstallFile");
    EXPECT_EQ(lines[1].rfind("GenericInfo::Process: Finished.  (Elapsed time: 0.", 0), 0u)
        << lines[1];
}

}  // namespace
