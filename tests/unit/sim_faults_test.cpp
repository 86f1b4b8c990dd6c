#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry_store.h"
#include "tests/support/test_machine.h"

namespace reg = sim::registry;
using namespace platform;

namespace {

void setDwordFault(const std::string& name, uint32_t error) {
    std::string data;
    for (int i = 0; i < 4; ++i) data += static_cast<char>((error >> (8 * i)) & 0xFF);
    reg::writeValue(sim::kFaultsKey, name, kRegDword, data);
}

void setTextFault(const std::string& name, const std::string& error) {
    reg::writeValue(sim::kFaultsKey, name, kRegSz, error + '\0');
}

}  // namespace

TEST(WildcardMatch, StarsQuestionMarksAndCase) {
    EXPECT_TRUE(sim::wildcardMatch("*", ""));
    EXPECT_TRUE(sim::wildcardMatch("", ""));
    EXPECT_FALSE(sim::wildcardMatch("", "a"));
    EXPECT_TRUE(sim::wildcardMatch("C:\\*\\a.dll", "c:\\windows\\system32\\A.DLL"));
    EXPECT_FALSE(sim::wildcardMatch("C:\\*\\a.dll", "C:\\windows\\a.dllx"));
    EXPECT_TRUE(sim::wildcardMatch("?:\\x", "D:\\X"));
    EXPECT_FALSE(sim::wildcardMatch("?:\\x", ":\\x"));
    EXPECT_TRUE(sim::wildcardMatch("*ab*ab", "xxabyyabab"));
    EXPECT_FALSE(sim::wildcardMatch("*ab*abc", "xxabyyabab"));
    EXPECT_TRUE(sim::wildcardMatch("a**b", "ab"));
}

TEST(WildcardMatch, PathologicalPatternsStayFast) {
    const std::string text(20000, 'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(sim::wildcardMatch("*a*a*a*a*a*a*a*a*a*a*b", text));
    EXPECT_TRUE(sim::wildcardMatch("*a*a*a*a*a*a*a*a*a*a*", text));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(InjectedFault, ByCallForEverySubjectAndByPattern) {
    TestMachine machine;
    EXPECT_EQ(sim::injectedFault("RegSetValueEx", "HKLM\\X\\v"), 0u);
    setDwordFault("regsetvalueex", error::kAccessDenied);
    EXPECT_EQ(sim::injectedFault("RegSetValueEx", "anything"), error::kAccessDenied);
    EXPECT_EQ(sim::injectedFault("RegSetValue", "anything"), 0u);
    setTextFault("CopyFile|*\\locked.dll", "32");
    EXPECT_EQ(sim::injectedFault("CopyFile", "C:\\WINDOWS\\LOCKED.DLL"), error::kSharingViolation);
    EXPECT_EQ(sim::injectedFault("CopyFile", "C:\\WINDOWS\\other.dll"), 0u);
    EXPECT_EQ(sim::injectedFault("MoveFile", "C:\\WINDOWS\\locked.dll"), 0u);
}

TEST(InjectedFault, FirstMatchInStoredOrderWinsAndZeroExempts) {
    TestMachine machine;
    setDwordFault("RegOpenKeyEx|*\\Safe", 0);
    setTextFault("RegOpenKeyEx|HKEY_LOCAL_MACHINE\\SOFTWARE\\*", "5");
    setDwordFault("RegOpenKeyEx", 87);
    EXPECT_EQ(sim::injectedFault("RegOpenKeyEx", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Safe"), 0u);
    EXPECT_EQ(sim::injectedFault("RegOpenKeyEx", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor"), 5u);
    EXPECT_EQ(sim::injectedFault("RegOpenKeyEx", "HKEY_CURRENT_USER\\Vendor"), 87u);
}

TEST(InjectedFault, RegistryCallsFailWithTheInjectedErrorOnTheirSubject) {
    TestMachine machine;
    RegKey hklm = predefinedKey(PredefinedKey::LocalMachine);
    RegKey key = nullptr;
    ASSERT_EQ(regCreateKey(hklm, "SOFTWARE\\Vendor", kKeyAllAccess, &key, nullptr), 0u);
    setDwordFault("RegSetValueEx|HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Locked", 5);
    setDwordFault("RegQueryValueEx|*\\Vendor\\Hidden", 2);
    setDwordFault("RegCreateKeyEx|*\\Vendor\\NoChild", 1021);
    setDwordFault("RegGetKeySecurity|*\\Vendor", 1336);
    setDwordFault("RegConnectRegistry|\\\\WINSIM", 1722);
    const uint8_t data[] = "x";
    EXPECT_EQ(regSetValue(key, "Locked", kRegSz, data, 2), error::kAccessDenied);
    EXPECT_FALSE(reg::readValue("HKLM\\SOFTWARE\\Vendor", "Locked", nullptr, nullptr));
    EXPECT_EQ(regSetValue(key, "Free", kRegSz, data, 2), 0u);
    EXPECT_EQ(regSetValue(key, "Hidden", kRegSz, data, 2), 0u);
    uint32_t size = 0;
    EXPECT_EQ(regQueryValue(key, "Hidden", nullptr, nullptr, &size), error::kFileNotFound);
    EXPECT_EQ(regQueryValue(key, "Free", nullptr, nullptr, &size), 0u);
    RegKey child = nullptr;
    EXPECT_EQ(regCreateKey(key, "NoChild", kKeyAllAccess, &child, nullptr), 1021u);
    EXPECT_FALSE(reg::keyExists("HKLM\\SOFTWARE\\Vendor\\NoChild"));
    EXPECT_EQ(regGetKeySecurity(key, kDaclSecurityInformation, nullptr, &size), 1336u);
    RegKey remote = nullptr;
    EXPECT_EQ(regConnectRegistry("\\\\WINSIM", hklm, &remote), 1722u);
    ASSERT_EQ(regConnectRegistry("WINSIM", hklm, &remote), 0u);
    regCloseKey(remote);
    regCloseKey(key);
}
