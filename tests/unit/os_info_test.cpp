#include "support/os_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/os_keys.h"
#include "platform/sim/registry_store.h"
#include "tests/support/test_machine.h"

namespace {

void setText(const char* key, const char* name, const std::string& text) {
    sim::registry::writeValue(key, name, platform::kRegSz, text + std::string(1, '\0'));
}

struct Expected {
    const char* os;
    int kind;
    bool win9x;
    bool winNT;
    bool win2000OrLater;
};

TEST(OSInfo, IdentifiesEveryKnownVersion) {
    const Expected cases[] = {
        {"95", OSInfo::Win95, true, false, false},     {"98", OSInfo::Win98, true, false, false},
        {"98SE", OSInfo::Win98SE, true, false, false}, {"ME", OSInfo::WinME, true, false, false},
        {"NT4", OSInfo::WinNT4, false, true, false},   {"2000", OSInfo::Win2000, false, true, true},
        {"XP", OSInfo::WinXP, false, true, true},      {"2003", OSInfo::Win2003, false, true, true},
        {"Vista", OSInfo::Vista, false, true, true},
    };
    for (const Expected& expected : cases) {
        SCOPED_TRACE(expected.os);
        TestMachine machine(sim::MachineOptions{.os = expected.os, .servicePack = 2});
        LogCapture log;
        const OSInfo os;
        EXPECT_EQ(os.getKind(), expected.kind);
        EXPECT_EQ(os.isWin9x(), expected.win9x);
        EXPECT_EQ(os.isWinNT(), expected.winNT);
        EXPECT_EQ(os.isWin2000OrLater(), expected.win2000OrLater);
        EXPECT_FALSE(os.is64Bit());
        EXPECT_EQ(os.getServicePack(), expected.win9x ? 0 : 2);
        EXPECT_EQ(log.text(), "");
    }
}

TEST(OSInfo, Win9xVersionNumbers) {
    struct Case {
        const char* version;
        const char* subVersion;
        int kind;
        int major;
        int minor;
    };
    const Case cases[] = {
        {"4.00.950", "", OSInfo::Win95, 4, 0},        {"4.10.1998", "", OSInfo::Win98, 4, 10},
        {"4.10.2222", " A ", OSInfo::Win98SE, 4, 10}, {"4.10.2222", "a", OSInfo::Win98SE, 4, 10},
        {"4.10.2222", "B", OSInfo::Win98, 4, 10},     {"4.90.3000", "A", OSInfo::WinME, 4, 90},
        {"4.09", "A", OSInfo::Win95, 4, 9},           {"4", "", OSInfo::Win95, 4, 0},
    };
    TestMachine machine(sim::MachineOptions{.os = "98"});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " '" + c.subVersion + "'");
        setText(sim::kWin9xVersionKey, "VersionNumber", c.version);
        setText(sim::kWin9xVersionKey, "SubVersionNumber", c.subVersion);
        const OSInfo os;
        EXPECT_EQ(os.getKind(), c.kind);
        EXPECT_EQ(os.getMajorVersion(), c.major);
        EXPECT_EQ(os.getMinorVersion(), c.minor);
        EXPECT_EQ(os.getServicePack(), 0);
    }
}

TEST(OSInfo, Win9xKeyWithWrongMajorIsUnidentified) {
    TestMachine machine(sim::MachineOptions{.os = "98"});
    LogCapture log;
    setText(sim::kWin9xVersionKey, "VersionNumber", "5.0");
    // Present but never consulted once the 9x key names a version.
    setText(sim::kNtVersionKey, "CurrentVersion", "5.1");
    const OSInfo os;
    EXPECT_EQ(os.getKind(), OSInfo::Unidentified);
    EXPECT_FALSE(os.isWin9x());
    EXPECT_FALSE(os.isWinNT());
    EXPECT_FALSE(os.isWin2000OrLater());
    EXPECT_EQ(os.getMajorVersion(), 5);
    EXPECT_EQ(os.getMinorVersion(), 0);
    EXPECT_EQ(
        log.lines(),
        (std::vector<std::string>{"OSInfo::initialize: invalid 9X version (major: 5, minor: 0)"}));
}

TEST(OSInfo, ServicePackIsTheLastWordBeforeAComma) {
    struct Case {
        const char* csdVersion;
        int servicePack;
    };
    const Case cases[] = {
        {"Service Pack 2", 2}, {"Service Pack 1a", 1}, {"Service Pack 3, v.3311", 3}, {"6", 6},
        {"Service Pack", 0},   {"Service Pack 2 ", 0},
    };
    TestMachine machine(sim::MachineOptions{.os = "XP"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.csdVersion);
        setText(sim::kNtVersionKey, "CSDVersion", c.csdVersion);
        const OSInfo os;
        EXPECT_EQ(os.getKind(), OSInfo::WinXP);
        EXPECT_EQ(os.getServicePack(), c.servicePack);
        EXPECT_EQ(os.getMajorVersion(), 5);
        EXPECT_EQ(os.getMinorVersion(), 1);
    }
}

TEST(OSInfo, NoServicePackInstalled) {
    TestMachine machine(sim::MachineOptions{.os = "2000", .servicePack = 0});
    const OSInfo os;
    EXPECT_EQ(os.getKind(), OSInfo::Win2000);
    EXPECT_EQ(os.getServicePack(), 0);
}

TEST(OSInfo, UnlistedMinorOfNT5IsUnidentifiedButComplete) {
    TestMachine machine(sim::MachineOptions{.os = "2003", .servicePack = 1, .is64Bit = true});
    LogCapture log;
    setText(sim::kNtVersionKey, "CurrentVersion", "5.3");
    const OSInfo os;
    EXPECT_EQ(os.getKind(), OSInfo::Unidentified);
    EXPECT_FALSE(os.isWinNT());
    EXPECT_TRUE(os.is64Bit());
    EXPECT_EQ(os.getServicePack(), 1);
    EXPECT_EQ(os.getMinorVersion(), 3);
    EXPECT_EQ(log.text(), "");
}

TEST(OSInfo, SixtyFourBitKeyCountsForNT5Only) {
    const std::pair<const char*, bool> cases[] = {
        {"NT4", false}, {"2000", true}, {"XP", true}, {"2003", true}, {"Vista", false}};
    for (const auto& [name, is64] : cases) {
        SCOPED_TRACE(name);
        TestMachine machine(sim::MachineOptions{.os = name, .is64Bit = true});
        const OSInfo os;
        EXPECT_TRUE(os.isWinNT());
        EXPECT_EQ(os.is64Bit(), is64);
    }
}

// XP's 64-bit edition reports NT 5.2, so the utility takes it for Server 2003, as on Windows.
TEST(OSInfo, XpSixtyFourBitEditionIsNT52) {
    TestMachine machine(sim::MachineOptions{.os = "XP", .servicePack = 2, .is64Bit = true});
    const OSInfo os;
    EXPECT_EQ(os.getKind(), OSInfo::Win2003);
    EXPECT_EQ(os.getMinorVersion(), 2);
    EXPECT_TRUE(os.is64Bit());
}

TEST(OSInfo, UnknownNTMajorIsLoggedAndReadsNoServicePack) {
    TestMachine machine(sim::MachineOptions{.os = "NT4", .servicePack = 6});
    LogCapture log;
    setText(sim::kNtVersionKey, "CurrentVersion", "3.51");
    const OSInfo os;
    EXPECT_EQ(os.getKind(), OSInfo::Unidentified);
    EXPECT_EQ(os.getServicePack(), 0);
    EXPECT_EQ(os.getMajorVersion(), 3);
    EXPECT_EQ(os.getMinorVersion(), 51);
    EXPECT_EQ(
        log.lines(),
        (std::vector<std::string>{"OSInfo::initialize: invalid NT version (major: 3, minor 51)"}));
}

TEST(OSInfo, NoVersionAnywhere) {
    TestMachine machine(sim::MachineOptions{.os = "XP"});
    LogCapture log;
    sim::registry::deleteValue(sim::kNtVersionKey, "CurrentVersion");
    const OSInfo os;
    EXPECT_EQ(os.getKind(), OSInfo::Unidentified);
    EXPECT_EQ(os.getMajorVersion(), 0);
    EXPECT_EQ(os.getMinorVersion(), 0);
    EXPECT_EQ(os.getServicePack(), 0);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "OSInfo::initialize: could not locate version info in the registry!"}));
}

TEST(OSInfo, EveryConstructionReadsTheRegistryAgain) {
    TestMachine machine(sim::MachineOptions{.os = "XP"});
    EXPECT_EQ(OSInfo().getKind(), OSInfo::WinXP);
    setText(sim::kNtVersionKey, "CurrentVersion", "6.0");
    EXPECT_EQ(OSInfo().getKind(), OSInfo::Vista);
}

}  // namespace
