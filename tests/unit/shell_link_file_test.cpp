#include "platform/sim/shell_link_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <thread>

#include "platform/file_ops.h"
#include "platform/shell.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry_store.h"
#include "tests/support/host_tools.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace {

namespace fs = std::filesystem;

// The fields lnkinfo prints ("Local path : C:\x"), by name.
uint32_t read32(const std::string& bytes, size_t offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes.at(offset + i));
    return value;
}

class ShellLinkFileTest : public ::testing::Test {
  protected:
    fs::path write(const sim::ShellLinkData& data) {
        const fs::path file = machine.dir() / "probe.lnk";
        writeHostFile(file, sim::encodeShellLink(data));
        return file;
    }
    TestMachine machine;
};

TEST_F(ShellLinkFileTest, EveryPropertyReadsBackWithTheFormatsOwnReader) {
    sim::ShellLinkData data;
    data.targetPath = "C:\\Program Files\\Vendor\\tool.exe";
    data.arguments = "/s \"two words\"";
    data.workingDirectory = "C:\\Program Files\\Vendor";
    data.description = "Caf\xe9 tool";  // Windows-1252
    data.iconLocation = "C:\\WINDOWS\\system32\\shell32.dll";
    data.iconIndex = -3;
    data.targetAttributes = 0x20;
    data.targetSize = 4321;
    auto fields = lnkinfoFields(write(data));
    EXPECT_EQ(fields["Local path"], data.targetPath);
    EXPECT_EQ(fields["Command line arguments"], data.arguments);
    EXPECT_EQ(fields["Working directory"], data.workingDirectory);
    EXPECT_EQ(fields["Description"], "Caf\xc3\xa9 tool");
    EXPECT_EQ(fields["Icon location"], data.iconLocation);
    EXPECT_EQ(fields["Icon index"], "-3");
    EXPECT_EQ(fields["File size"], "4321 bytes");
    EXPECT_EQ(fields["File attribute flags"], "0x00000020");
    EXPECT_EQ(fields["Drive type"], "Fixed (3)");
}

TEST_F(ShellLinkFileTest, OptionalStringsAreLeftOutAndOtherTargetsAreRelative) {
    sim::ShellLinkData bare;
    bare.targetPath = "C:\\setup.exe";
    auto fields = lnkinfoFields(write(bare));
    EXPECT_EQ(fields["Local path"], "C:\\setup.exe");
    for (const char* absent :
         {"Description", "Working directory", "Command line arguments", "Icon location"})
        EXPECT_EQ(fields.count(absent), 0u) << absent;

    sim::ShellLinkData relative;
    relative.targetPath = "tools\\run.exe";
    fields = lnkinfoFields(write(relative));
    EXPECT_EQ(fields["Relative path"], "tools\\run.exe");
    EXPECT_EQ(fields.count("Local path"), 0u);
}

TEST_F(ShellLinkFileTest, HeaderCarriesItsSizeClassAndShowCommand) {
    sim::ShellLinkData data;
    data.targetPath = "C:\\a.exe";
    data.showCommand = 7;
    std::string bytes = sim::encodeShellLink(data);
    EXPECT_EQ(read32(bytes, 0), 0x4Cu);
    EXPECT_EQ(bytes.substr(4, 4), std::string("\x01\x14\x02\x00", 4));
    EXPECT_EQ(read32(bytes, 0x3C), 7u);
    data.showCommand = 5;  // not one the format knows
    bytes = sim::encodeShellLink(data);
    EXPECT_EQ(read32(bytes, 0x3C), 1u);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string(4, '\0'));
}

// The simulated link object on top of the file format.
class SimShellLinkTest : public ShellLinkFileTest {
  protected:
    SimShellLinkTest() { platform::coInitializeApartment(); }
    void fault(const std::string& name, uint32_t error) {
        sim::registry::writeValue(sim::kFaultsKey, name, kRegDword, dword(error));
    }
};

TEST_F(SimShellLinkTest, SavedLinkDescribesItsExistingTarget) {
    machine.writeFile("C:\\Vendor\\tool.exe", std::string(300, 'x'));
    platform::FileTimes times;
    times.creation = times.lastAccess = times.lastWrite = 130000000000000000ull;
    ASSERT_TRUE(platform::setFileTimes("C:\\Vendor\\tool.exe", times));
    platform::ShellLink link;
    ASSERT_EQ(link.create(), platform::kSOk);
    EXPECT_EQ(link.setPath("C:\\Vendor\\tool.exe"), platform::kSOk);
    EXPECT_EQ(link.setArguments("-q"), platform::kSOk);
    EXPECT_EQ(link.setWorkingDirectory("C:\\Vendor"), platform::kSOk);
    EXPECT_EQ(link.setDescription("Tool"), platform::kSOk);
    EXPECT_EQ(link.setIconLocation("C:\\Vendor\\tool.exe", 2), platform::kSOk);
    EXPECT_EQ(link.save(u"C:\\Links\\Tool.LNK", true), platform::hresultFromWin32(3));
    std::filesystem::create_directories(machine.host("C:\\Links"));
    ASSERT_EQ(link.save(u"C:\\links\\Tool.LNK", true), platform::kSOk);

    const std::string bytes = machine.readFile("C:\\Links\\Tool.LNK");
    auto fields = lnkinfoFields(machine.host("C:\\Links\\Tool.LNK"));
    EXPECT_EQ(fields["Local path"], "C:\\Vendor\\tool.exe");
    EXPECT_EQ(fields["Command line arguments"], "-q");
    EXPECT_EQ(fields["Icon index"], "2");
    EXPECT_EQ(fields["File size"], "300 bytes");
    EXPECT_NE(fields["Modification time"].find("2012"), std::string::npos)
        << fields["Modification time"];
}

TEST_F(SimShellLinkTest, FailuresComeFromTheMachineAndFromBadValues) {
    platform::ShellLink link;
    EXPECT_EQ(link.setPath("C:\\a.exe"), platform::kEFail);  // not created
    fault("CoCreateInstance", 8);
    EXPECT_EQ(link.create(), platform::hresultFromWin32(8));
    sim::registry::deleteValue(sim::kFaultsKey, "CoCreateInstance");
    ASSERT_EQ(link.create(), platform::kSOk);

    EXPECT_EQ(link.setPath(""), platform::kEInvalidArg);
    EXPECT_EQ(link.setPath("C:\\" + std::string(257, 'p')), platform::kEInvalidArg);
    EXPECT_EQ(link.setWorkingDirectory(std::string(260, 'w')), platform::kEInvalidArg);
    fault("IShellLinkA::SetPath|*\\bad.exe", 5);
    EXPECT_EQ(link.setPath("C:\\x\\bad.exe"), platform::hresultFromWin32(5));
    EXPECT_EQ(link.setPath("C:\\x\\good.exe"), platform::kSOk);

    fault("IPersistFile::Save|*\\locked.lnk", 5);
    EXPECT_EQ(link.save(u"C:\\locked.lnk", true), platform::hresultFromWin32(5));
    EXPECT_FALSE(fs::exists(machine.host("C:\\locked.lnk")));
    EXPECT_EQ(link.save(u"C:\\open.lnk", true), platform::kSOk);
}

TEST_F(SimShellLinkTest, LinkObjectNeedsComOnItsOwnThread) {
    platform::HResult onOtherThread = platform::kSOk;
    std::thread([&onOtherThread] {
        platform::ShellLink link;
        onOtherThread = link.create();
    }).join();
    EXPECT_EQ(onOtherThread, platform::kCoENotInitialized);
    EXPECT_EQ(platform::coInitializeApartment(), 1);  // already done for this thread
}

}  // namespace
