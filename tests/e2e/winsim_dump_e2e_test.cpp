// `winsim dump`: the machine as sorted lines, compared with what a real machine prints.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string quote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class WinsimDump : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("winsim-dump-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        ASSERT_EQ(winsim({"new", dir.string(), "--os", "xp"}), 0);
    }
    void TearDown() override { fs::remove_all(dir); }

    int winsim(const std::vector<std::string>& args, std::string* output = nullptr) {
        const fs::path out = dir.string() + ".out";
        std::string command = quote(WINSIM_BINARY);
        for (const std::string& arg : args) command += " " + quote(arg);
        command += " >" + quote(out.string()) + " 2>&1";
        const int status = std::system(command.c_str());
        std::ifstream in(out);
        std::stringstream text;
        text << in.rdbuf();
        if (output != nullptr) *output = text.str();
        fs::remove(out);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    void importReg(const std::string& body) {
        const fs::path file = dir.string() + ".reg";
        std::ofstream(file) << "Windows Registry Editor Version 5.00\r\n\r\n" << body;
        ASSERT_EQ(winsim({"reg", "import", dir.string(), file.string()}), 0);
        fs::remove(file);
    }

    fs::path dir;
};

TEST_F(WinsimDump, PrintsTheSpoolerRegistryAndFilesAsSortedComparableLines) {
    ASSERT_EQ(winsim({"driver", "add", dir.string(), "Acme Laser", "--driver-path", "ACME.DLL",
                      "--data-file", "ACME.PPD", "--config-file", "ACMEUI.DLL", "--dependent",
                      "ZED.DLL,ACME.DLL"}),
              0);
    ASSERT_EQ(winsim({"printer", "add", dir.string(), "Office", "--driver", "Acme Laser", "--port",
                      "LPT1:"}),
              0);
    importReg(
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Office\\"
        "PrinterDriverData]\r\n\"Resolution\"=dword:00000258\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme]\r\n\"Tools\"=\"C:\\\\Acme\"\r\n"
        "\"List\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n");
    fs::create_directories(dir / "drive_c" / "Acme" / "Sub");
    std::ofstream(dir / "drive_c" / "Acme" / "Sub" / "Data.TXT") << "abc";

    std::string output;
    ASSERT_EQ(winsim({"dump", dir.string(), "--keys", "HKLM\\SOFTWARE\\Acme;HKLM\\SOFTWARE\\None",
                      "--dirs", "C:\\acme"},
                     &output),
              0);
    EXPECT_EQ(output,
              "driver|Windows NT x86|3|Acme Laser|driver=acme.dll|data=acme.ppd|"
              "config=acmeui.dll|help=|dependent=acme.dll,zed.dll|monitor=\n"
              // FNV-1a of "abc"
              "file|c:\\acme\\sub\\data.txt|3|e71fa2190541574b\n"
              "monitor|Local Port\n"
              "printerdata|Office|Resolution|REG_DWORD|0x00000258\n"
              "printer|Office|driver=Acme Laser|port=LPT1:\n"
              "reg|HKLM\\SOFTWARE\\Acme|List|REG_MULTI_SZ|a|b\n"
              "reg|HKLM\\SOFTWARE\\Acme|Tools|REG_SZ|C:\\Acme\n"
              "reg|HKLM\\SOFTWARE\\None|(no key)\n");
}

TEST_F(WinsimDump, RefusesADirectoryThatIsNoMachine) {
    std::string output;
    EXPECT_NE(winsim({"dump", (dir / "drive_c").string()}, &output), 0);
    EXPECT_NE(output.find("winsim dump"), std::string::npos) << output;
}

}  // namespace
