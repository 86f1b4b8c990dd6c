// The simulated registry's keys and values, through the store and the platform calls.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/sim/registry_store.h"
#include "platform/text_conversion.h"
#include "tests/support/registry_file.h"
#include "tests/support/test_machine.h"

namespace reg = sim::registry;
using namespace platform;

TEST(SimRegistryKeys, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    TestMachine machine;
    EXPECT_TRUE(reg::createKey("HKLM\\SOFTWARE\\MyVendor\\Driver"));
    EXPECT_FALSE(reg::createKey("hkey_local_machine\\software\\MYVENDOR\\driver"));
    EXPECT_TRUE(reg::keyExists("HKEY_LOCAL_MACHINE\\Software\\myvendor\\DRIVER"));
    EXPECT_EQ(reg::subkeys("HKLM\\SOFTWARE\\MYVENDOR"), std::vector<std::string>{"Driver"});
    reg::writeValue("HKLM\\SOFTWARE\\MyVendor", "Name", kRegSz, std::string("1\0", 2));
    reg::writeValue("HKLM\\SOFTWARE\\MyVendor", "NAME", kRegSz, std::string("2\0", 2));
    const auto values = reg::values("HKLM\\SOFTWARE\\MyVendor");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].first, "Name");
    EXPECT_EQ(reg::readString("hklm\\software\\myvendor", "name"), "2");
    EXPECT_TRUE(reg::deleteValue("HKLM\\SOFTWARE\\MyVendor", "nAmE"));
    EXPECT_FALSE(reg::deleteValue("HKLM\\SOFTWARE\\MyVendor", "Name"));
}

TEST(SimRegistryKeys, ShortRootsAndClassesRoot) {
    TestMachine machine;
    reg::writeValue("HKCR\\.inf", "", kRegSz, std::string("inffile\0", 8));
    EXPECT_EQ(reg::readString("HKEY_LOCAL_MACHINE\\Software\\Classes\\.inf", ""), "inffile");
    EXPECT_EQ(reg::readString("HKEY_CLASSES_ROOT\\.INF", ""), "inffile");
    reg::createKey("HKU\\.Default\\X");
    EXPECT_TRUE(reg::keyExists("HKEY_USERS\\.DEFAULT\\x"));
    reg::createKey("HKCC\\System");
    EXPECT_TRUE(reg::keyExists("HKEY_CURRENT_CONFIG\\System"));
    EXPECT_FALSE(reg::keyExists("HKEY_DYN_DATA\\X"));
    EXPECT_FALSE(reg::createKey("NoRoot"));
}

TEST(SimRegistryApi, OpenCreateQuerySetDelete) {
    TestMachine machine;
    RegKey hklm = predefinedKey(PredefinedKey::LocalMachine);
    RegKey key = nullptr;
    EXPECT_EQ(regOpenKey(hklm, "SOFTWARE\\Missing", kKeyRead, &key), error::kFileNotFound);
    bool created = false;
    ASSERT_EQ(regCreateKey(hklm, "SOFTWARE\\Vendor\\Sub", kKeyAllAccess, &key, &created), 0u);
    EXPECT_TRUE(created);
    EXPECT_TRUE(reg::keyExists("HKLM\\SOFTWARE\\Vendor"));
    const uint8_t hello[] = "hello";
    ASSERT_EQ(regSetValue(key, "Greeting", kRegSz, hello, sizeof hello), 0u);
    EXPECT_EQ(regCloseKey(key), 0u);

    ASSERT_EQ(regCreateKey(hklm, "software\\vendor\\SUB", kKeyAllAccess, &key, &created), 0u);
    EXPECT_FALSE(created);
    uint32_t type = 0, size = 0;
    EXPECT_EQ(regQueryValue(key, "Greeting", &type, nullptr, &size), 0u);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 6u);
    uint8_t buffer[16] = {};
    size = 3;
    EXPECT_EQ(regQueryValue(key, "greeting", nullptr, buffer, &size), error::kMoreData);
    EXPECT_EQ(size, 6u);
    size = 6;
    EXPECT_EQ(regQueryValue(key, "Greeting", nullptr, buffer, &size), 0u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 6), std::string("hello\0", 6));
    EXPECT_EQ(regQueryValue(key, "Other", &type, buffer, &size), error::kFileNotFound);
    EXPECT_EQ(regDeleteValue(key, "Other"), error::kFileNotFound);
    EXPECT_EQ(regDeleteValue(key, "GREETING"), 0u);
    EXPECT_EQ(regQueryValue(key, "Greeting", &type, nullptr, &size), error::kFileNotFound);
    EXPECT_EQ(regCloseKey(key), 0u);

    EXPECT_EQ(regOpenKey(hklm, "SOFTWARE\\VENDOR", kKeyRead, &key), 0u);
    EXPECT_EQ(regCloseKey(key), 0u);
    EXPECT_EQ(regCloseKey(hklm), 0u);  // harmless: the handle stays usable
    EXPECT_EQ(regOpenKey(hklm, "SOFTWARE", kKeyRead, &key), 0u);
    EXPECT_EQ(regCloseKey(key), 0u);
    EXPECT_EQ(predefinedKey(PredefinedKey::LocalMachine), hklm);
}

TEST(SimRegistryApi, ConnectReachesOnlyTheLocalComputer) {
    sim::MachineOptions options;
    options.computerName = "PrintHost";
    TestMachine machine(options);
    RegKey hklm = predefinedKey(PredefinedKey::LocalMachine);
    RegKey hkcu = predefinedKey(PredefinedKey::CurrentUser);
    RegKey remote = nullptr;
    ASSERT_EQ(regConnectRegistry("", hkcu, &remote), 0u);
    EXPECT_EQ(regCloseKey(remote), 0u);
    ASSERT_EQ(regConnectRegistry("\\\\printhost", hklm, &remote), 0u);
    RegKey key = nullptr;
    EXPECT_EQ(regOpenKey(remote, "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
                         kKeyRead, &key),
              0u);
    EXPECT_EQ(regCloseKey(key), 0u);
    EXPECT_EQ(regCloseKey(remote), 0u);
    ASSERT_EQ(regConnectRegistry("PRINTHOST", predefinedKey(PredefinedKey::Users), &remote), 0u);
    EXPECT_EQ(regCloseKey(remote), 0u);
    EXPECT_EQ(regConnectRegistry("PrintHost", hkcu, &remote), error::kInvalidHandle);
    EXPECT_EQ(
        regConnectRegistry("\\\\PrintHost", predefinedKey(PredefinedKey::ClassesRoot), &remote),
        error::kInvalidHandle);
    EXPECT_EQ(regConnectRegistry("\\\\OtherHost", hklm, &remote), error::kBadNetPath);
    EXPECT_EQ(regConnectRegistry("WINSIM", hklm, &remote), error::kBadNetPath);
}

TEST(SimRegistrySecurity, InheritedFromTheNearestAncestorAndKeptInTheRegistry) {
    TestMachine machine;
    const std::string fallback = reg::keySecurity("HKLM\\SOFTWARE\\Anything");
    EXPECT_EQ(fallback.rfind("D:", 0), 0u);
    reg::createKey("HKLM\\SOFTWARE\\Vendor\\Driver\\Deep");
    reg::setKeySecurity("hklm\\software\\VENDOR", "D:(A;;KA;;;WD)");
    EXPECT_EQ(reg::keySecurity("HKLM\\SOFTWARE\\Vendor\\Driver\\Deep"), "D:(A;;KA;;;WD)");
    EXPECT_EQ(reg::keySecurity("HKLM\\SOFTWARE\\Other"), fallback);
    reg::setKeySecurity("HKLM\\SOFTWARE\\Vendor\\Driver", "D:(A;;KR;;;WD)");
    EXPECT_EQ(reg::keySecurity("HKLM\\SOFTWARE\\Vendor\\Driver\\Deep"), "D:(A;;KR;;;WD)");
    EXPECT_EQ(reg::keySecurity("HKLM\\SOFTWARE\\Vendor"), "D:(A;;KA;;;WD)");
    EXPECT_EQ(reg::readString(reg::kKeySecurityKey, "HKEY_LOCAL_MACHINE\\Software\\Vendor"),
              "D:(A;;KA;;;WD)");

    machine.reload();
    EXPECT_EQ(reg::keySecurity("HKLM\\SOFTWARE\\Vendor\\Driver\\Deep"), "D:(A;;KR;;;WD)");
    // Edited by hand in the file.
    std::string text = readHostFile(registryFile(machine));
    const size_t at = text.find("D:(A;;KR;;;WD)");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 14, "D:(A;;GA;;;BU)");
    ASSERT_EQ(loadRegistryText(machine, text), "");
    EXPECT_EQ(reg::keySecurity("HKLM\\SOFTWARE\\Vendor\\Driver\\Deep"), "D:(A;;GA;;;BU)");
}

TEST(SimRegistrySecurity, DescriptorThroughTheApi) {
    TestMachine machine;
    RegKey key = nullptr;
    ASSERT_EQ(regCreateKey(predefinedKey(PredefinedKey::LocalMachine), "SOFTWARE\\Sec",
                           kKeyAllAccess, &key, nullptr),
              0u);
    const std::string sddl = "D:(A;;KA;;;WD)";
    const auto* bytes = reinterpret_cast<const uint8_t*>(sddl.c_str());
    ASSERT_EQ(regSetKeySecurity(key, kDaclSecurityInformation, bytes), 0u);
    uint32_t size = 0;
    EXPECT_EQ(regGetKeySecurity(key, kDaclSecurityInformation, nullptr, &size),
              error::kInsufficientBuffer);
    EXPECT_EQ(size, sddl.size() + 1);
    std::vector<uint8_t> buffer(size);
    uint32_t small = size - 1;
    EXPECT_EQ(regGetKeySecurity(key, kDaclSecurityInformation, buffer.data(), &small),
              error::kInsufficientBuffer);
    EXPECT_EQ(small, size);
    ASSERT_EQ(regGetKeySecurity(key, kDaclSecurityInformation, buffer.data(), &size), 0u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data())), sddl);
    RegKey child = nullptr;
    ASSERT_EQ(regCreateKey(key, "Child", kKeyAllAccess, &child, nullptr), 0u);
    // What one key gives can be set on another.
    ASSERT_EQ(regSetKeySecurity(child, kDaclSecurityInformation, buffer.data()), 0u);
    EXPECT_EQ(reg::keySecurity("HKLM\\SOFTWARE\\Sec\\Child"), sddl);
    regCloseKey(child);
    regCloseKey(key);
}

TEST(AnsiConversion, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    const std::u16string wide = ansiToWide(all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(wide[0x80], u'\u20AC');
    EXPECT_EQ(wide[0x9F], u'\u0178');
    EXPECT_EQ(wide[0x81], u'\u0081');
    EXPECT_EQ(wide[0xE9], u'\u00E9');
    EXPECT_EQ(wideToAnsi(wide), all);
}

TEST(AnsiConversion, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(wideToAnsi(u"a\u4E00b\u0080"), "a?b?");
    EXPECT_EQ(wideToAnsi(u"\U0001F600x"), "?x");  // a surrogate pair is one character
    EXPECT_EQ(wideToAnsi(std::u16string(1, u'\xD800') + u"y"), "?y");  // a lone surrogate
}
