#include "support/registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry_store.h"
#include "tests/support/test_machine.h"

namespace {

constexpr const char* kKey = "SOFTWARE\\RegistryTest";
constexpr const char* kKeyPath = "HKEY_LOCAL_MACHINE\\SOFTWARE\\RegistryTest";

std::string withNul(const std::string& text) { return text + std::string(1, '\0'); }

std::string dwordBytes(uint32_t number) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((number >> (8 * i)) & 0xFF);
    return bytes;
}

void injectFault(const std::string& name, uint32_t error) {
    sim::registry::writeValue(sim::kFaultsKey, name, platform::kRegDword, dwordBytes(error));
}

struct StoredValue {
    bool found = false;
    uint32_t type = 0;
    std::string data;
};

StoredValue stored(const std::string& keyPath, const std::string& name) {
    StoredValue value;
    value.found = sim::registry::readValue(keyPath, name, &value.type, &value.data);
    return value;
}

class RegistryTest : public ::testing::Test {
  protected:
    RegistryTest() { sim::registry::createKey(kKeyPath); }

    TestMachine machine;
    LogCapture log;  // after the machine: the log file lives on it
};

TEST_F(RegistryTest, RootNamesIgnoreCase) {
    sim::registry::writeValue(kKeyPath, "Where", platform::kRegSz, withNul("machine"));
    sim::registry::writeValue("HKEY_CURRENT_USER\\Software\\RegistryTest", "Where",
                              platform::kRegSz, withNul("user"));
    sim::registry::writeValue("HKEY_USERS\\.Default\\RegistryTest", "Where", platform::kRegSz,
                              withNul("default user"));
    sim::registry::writeValue("HKEY_CURRENT_CONFIG\\RegistryTest", "Where", platform::kRegSz,
                              withNul("config"));
    sim::registry::writeValue("HKEY_LOCAL_MACHINE\\Software\\Classes\\.tst", "", platform::kRegSz,
                              withNul("tstfile"));
    Registry registry;
    EXPECT_EQ(registry.ReadString("hklm", kKey, "Where"), "machine");
    EXPECT_EQ(registry.ReadString("HKLM", kKey, "Where"), "machine");
    EXPECT_EQ(registry.ReadString("Hkcu", "Software\\RegistryTest", "Where"), "user");
    EXPECT_EQ(registry.ReadString("hku", ".Default\\RegistryTest", "Where"), "default user");
    EXPECT_EQ(registry.ReadString("HKCC", "RegistryTest", "Where"), "config");
    EXPECT_EQ(registry.ReadString("hkcr", ".tst", ""), "tstfile");
    EXPECT_EQ(log.text(), "");

    EXPECT_EQ(registry.getRootKey("HKEY_LOCAL_MACHINE"), nullptr);
    EXPECT_FALSE(registry.KeyExists("HKEY_LOCAL_MACHINE", kKey));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "Registry::getRootKey: invalid root key HKEY_LOCAL_MACHINE",
                               "Registry::getRootKey: invalid root key HKEY_LOCAL_MACHINE"}));
}

TEST_F(RegistryTest, ClassesRootIsOpenedOncePerObject) {
    sim::registry::createKey("HKEY_LOCAL_MACHINE\\Software\\Classes");
    Registry registry;
    const platform::RegKey first = registry.getRootKey("HKCR");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(registry.getRootKey("hkcr"), first);
    registry.setMachine("WINSIM");  // a new binding drops the cached roots
    EXPECT_NE(registry.getRootKey("HKCR"), nullptr);
    EXPECT_NE(registry.getRootKey("HKLM"), nullptr);
    sim::registry::writeValue("HKEY_LOCAL_MACHINE\\Software\\Classes\\.tst", "", platform::kRegSz,
                              withNul("tstfile"));
    EXPECT_EQ(registry.ReadString("HKCR", ".tst", ""), "tstfile");
}

TEST_F(RegistryTest, ClassesRootNeedsTheClassesKey) {
    EXPECT_NE(Registry().getRootKey("HKCR"), nullptr);  // as on every system
    const std::filesystem::path removal = machine.dir() / "no-classes.reg";
    writeHostFile(removal,
                  "Windows Registry Editor Version 5.00\r\n\r\n"
                  "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes]\r\n");
    ASSERT_EQ(sim::registry::importFile(removal), "");
    Registry registry;
    EXPECT_EQ(registry.getRootKey("HKCR"), nullptr);
    EXPECT_FALSE(registry.KeyExists("HKCR", ".tst"));
    EXPECT_EQ(log.text(), "");
}

TEST_F(RegistryTest, RemoteObjectHasNoCurrentUserOrConfig) {
    // An unknown computer would log a failed connection if anything tried to reach it.
    Registry remote("FARAWAY");
    EXPECT_EQ(remote.getRootKey("HKCU"), nullptr);
    EXPECT_EQ(remote.getRootKey("hkcc"), nullptr);
    EXPECT_FALSE(remote.KeyExists("HKCU", "Control Panel\\International"));
    EXPECT_FALSE(remote.CreateKey("HKCU", "Software\\New", true));
    RegValue value;
    value.kind = Reg_String;
    value.text = "x";
    EXPECT_FALSE(remote.WriteValue("HKCC", "System", "x", value));
    EXPECT_EQ(log.text(), "");
    EXPECT_FALSE(sim::registry::keyExists("HKEY_CURRENT_USER\\Software\\New"));
}

TEST_F(RegistryTest, UnknownRemoteComputerIsLogged) {
    Registry remote("FARAWAY");
    EXPECT_FALSE(remote.KeyExists("HKLM", "SOFTWARE"));
    EXPECT_EQ(remote.ReadString("HKU", ".Default", "x"), "");
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "Registry::getRemoteKey: could not access computer FARAWAY (error 53)",
                  "Registry::getRemoteKey: could not access computer FARAWAY (error 53)"}));
}

TEST_F(RegistryTest, NamedComputerIsConnectedAndCanBeUnbound) {
    sim::registry::writeValue(kKeyPath, "Where", platform::kRegSz, withNul("machine"));
    Registry registry("winsim");  // the simulated machine's own name
    EXPECT_EQ(registry.ReadString("HKLM", kKey, "Where"), "machine");
    EXPECT_EQ(registry.getRootKey("HKCU"), nullptr);
    registry.setMachine("");
    EXPECT_TRUE(registry.KeyExists("HKCU", "Control Panel\\International"));
    EXPECT_EQ(registry.ReadString("HKLM", kKey, "Where"), "machine");
    EXPECT_EQ(log.text(), "");
}

TEST_F(RegistryTest, AbsentKeysAndValuesAreNotLogged) {
    Registry registry;
    EXPECT_FALSE(registry.KeyExists("HKLM", "SOFTWARE\\NoSuchKey"));
    EXPECT_FALSE(registry.ValueExists("HKLM", "SOFTWARE\\NoSuchKey", "x"));
    EXPECT_FALSE(registry.ValueExists("HKLM", kKey, "NoSuchValue"));
    RegValue value;
    EXPECT_FALSE(registry.ReadValue("HKLM", kKey, "NoSuchValue", value));
    EXPECT_EQ(registry.ReadString("HKLM", "SOFTWARE\\NoSuchKey", "x"), "");
    EXPECT_TRUE(registry.KeyExists("HKLM", kKey));
    EXPECT_EQ(log.text(), "");
}

TEST_F(RegistryTest, OpenFailuresOtherThanNotFoundAreLogged) {
    injectFault("RegOpenKeyEx|*\\RegistryTest", 5);
    Registry registry;
    EXPECT_FALSE(registry.KeyExists("HKLM", kKey));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"Registry::openKey: could not open key "
                                                     "SOFTWARE\\RegistryTest (error code 5)"}));
}

TEST_F(RegistryTest, ValueExistsNeedsData) {
    sim::registry::writeValue(kKeyPath, "Empty", platform::kRegBinary, "");
    sim::registry::writeValue(kKeyPath, "Byte", platform::kRegBinary, std::string(1, '\0'));
    sim::registry::writeValue(kKeyPath, "Text", platform::kRegSz, withNul(""));
    Registry registry;
    EXPECT_FALSE(registry.ValueExists("HKLM", kKey, "Empty"));
    EXPECT_TRUE(registry.ValueExists("HKLM", kKey, "Byte"));
    EXPECT_TRUE(registry.ValueExists("HKLM", kKey, "text"));
    EXPECT_EQ(log.text(), "");
}

TEST_F(RegistryTest, ReadValueByType) {
    sim::registry::writeValue(kKeyPath, "Sz", platform::kRegSz, withNul("plain text"));
    sim::registry::writeValue(kKeyPath, "Expand", platform::kRegExpandSz,
                              withNul("%SystemRoot%\\x"));
    sim::registry::writeValue(kKeyPath, "Dword", platform::kRegDword, dwordBytes(0x12345678));
    sim::registry::writeValue(kKeyPath, "Multi", platform::kRegMultiSz,
                              std::string("one\0two\0\0three\0\0", 17));
    Registry registry;
    RegValue value;
    ASSERT_TRUE(registry.ReadValue("HKLM", kKey, "Sz", value));
    EXPECT_EQ(value.kind, Reg_String);
    EXPECT_EQ(value.text, "plain text");
    ASSERT_TRUE(registry.ReadValue("HKLM", kKey, "Expand", value));
    EXPECT_EQ(value.kind, Reg_Expand_String);
    EXPECT_EQ(value.text, "%SystemRoot%\\x");
    ASSERT_TRUE(registry.ReadValue("HKLM", kKey, "Dword", value));
    EXPECT_EQ(value.kind, Reg_Dword);
    EXPECT_EQ(value.number, 0x12345678u);
    ASSERT_TRUE(registry.ReadValue("HKLM", kKey, "Multi", value));
    EXPECT_EQ(value.kind, Reg_Multi_String);
    EXPECT_EQ(value.list, (std::vector<CStdStr>{"one", "two"}));
    EXPECT_EQ(log.text(), "");
}

TEST_F(RegistryTest, ReadStringRendersDwordsSigned) {
    sim::registry::writeValue(kKeyPath, "Minus", platform::kRegDword, dwordBytes(0xFFFFFFFF));
    sim::registry::writeValue(kKeyPath, "Seven", platform::kRegDword, dwordBytes(7));
    sim::registry::writeValue(kKeyPath, "Multi", platform::kRegMultiSz, std::string("one\0\0", 5));
    Registry registry;
    EXPECT_EQ(registry.ReadString("HKLM", kKey, "Minus"), "-1");
    EXPECT_EQ(registry.ReadString("HKLM", kKey, "Seven"), "7");
    EXPECT_EQ(registry.ReadString("HKLM", kKey, "Multi"), "");
}

TEST_F(RegistryTest, UnterminatedStringsEndWithTheirData) {
    sim::registry::writeValue(kKeyPath, "Sz", platform::kRegSz, "abc");
    sim::registry::writeValue(kKeyPath, "Multi", platform::kRegMultiSz, std::string("one\0two", 7));
    sim::registry::writeValue(kKeyPath, "Short", platform::kRegDword, std::string("\x05", 1));
    Registry registry;
    EXPECT_EQ(registry.ReadString("HKLM", kKey, "Sz"), "abc");
    RegValue value;
    value.list = {"stale"};
    ASSERT_TRUE(registry.ReadValue("HKLM", kKey, "Multi", value));
    EXPECT_EQ(value.list, (std::vector<CStdStr>{"one", "two"}));
    ASSERT_TRUE(registry.ReadValue("HKLM", kKey, "Short", value));
    EXPECT_EQ(value.number, 5u);
}

TEST_F(RegistryTest, BinaryValuesAreNotReadable) {
    sim::registry::writeValue(kKeyPath, "Blob", platform::kRegBinary, "\x01\x02");
    Registry registry;
    RegValue value;
    value.kind = Reg_String;
    EXPECT_FALSE(registry.ReadValue("HKLM", kKey, "Blob", value));
    EXPECT_EQ(value.kind, Reg_None);
    EXPECT_EQ(registry.ReadString("HKLM", kKey, "Blob"), "");
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "Registry::ReadValue: registry entry Blob had unsupported data type 3",
                  "Registry::ReadValue: registry entry Blob had unsupported data type 3"}));
}

TEST_F(RegistryTest, FailedQueryIsLogged) {
    sim::registry::writeValue(kKeyPath, "Sz", platform::kRegSz, withNul("text"));
    Registry registry;
    RegValue value;
    // A value that cannot be queried at all reads as an absent one, but it may be there: a
    // caller that keeps existing values must not replace it.
    injectFault("RegQueryValueEx|*\\Sz", 5);
    EXPECT_FALSE(registry.ReadValue("HKLM", kKey, "Sz", value));
    EXPECT_TRUE(registry.ValueExists("HKLM", kKey, "Sz"));
    EXPECT_EQ(
        log.lines(),
        (std::vector<std::string>{"Registry::ValueExists: could not query value Sz (error 5)"}));
}

TEST_F(RegistryTest, WriteValueByKind) {
    Registry registry;
    RegValue value;
    value.kind = Reg_Dword;
    value.number = 0xA1B2C3D4;
    EXPECT_TRUE(registry.WriteValue("HKLM", kKey, "Dword", value));
    value.kind = Reg_String;
    value.text = "text";
    EXPECT_TRUE(registry.WriteValue("HKLM", kKey, "Sz", value));
    value.kind = Reg_Expand_String;
    value.text = "%TEMP%";
    EXPECT_TRUE(registry.WriteValue("HKLM", kKey, "", value));
    value.kind = Reg_Binary;
    value.text = "1";
    EXPECT_TRUE(registry.WriteValue("HKLM", kKey, "One", value));
    value.text = "ABC";
    EXPECT_TRUE(registry.WriteValue("HKLM", kKey, "Odd", value));
    value.text = "";
    EXPECT_TRUE(registry.WriteValue("HKLM", kKey, "None", value));

    const StoredValue dword = stored(kKeyPath, "Dword");
    EXPECT_EQ(dword.type, platform::kRegDword);
    EXPECT_EQ(dword.data, "\xD4\xC3\xB2\xA1");
    const StoredValue sz = stored(kKeyPath, "Sz");
    EXPECT_EQ(sz.type, platform::kRegSz);
    EXPECT_EQ(sz.data, withNul("text"));
    const StoredValue expand = stored(kKeyPath, "");
    EXPECT_EQ(expand.type, platform::kRegExpandSz);
    EXPECT_EQ(expand.data, withNul("%TEMP%"));
    const StoredValue one = stored(kKeyPath, "One");
    EXPECT_EQ(one.type, platform::kRegBinary);
    EXPECT_EQ(one.data, "\x10");
    EXPECT_EQ(stored(kKeyPath, "Odd").data, "\xAB\xC0");
    const StoredValue none = stored(kKeyPath, "None");
    EXPECT_TRUE(none.found);
    EXPECT_EQ(none.data, "");
    EXPECT_EQ(log.text(), "");
}

TEST_F(RegistryTest, UnsupportedKindsWriteNothing) {
    Registry registry;
    RegValue value;
    value.kind = Reg_Multi_String;
    value.list = {"a", "b"};
    EXPECT_FALSE(registry.WriteValue("HKLM", kKey, "Multi", value));
    value.kind = Reg_None;
    EXPECT_FALSE(registry.WriteValue("HKLM", kKey, "None", value));
    value.kind = 9;
    EXPECT_FALSE(registry.WriteValue("HKLM", kKey, "Nine", value));
    EXPECT_TRUE(sim::registry::values(kKeyPath).empty());
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "Registry::WriteValue: unsupported registry type Reg_Multi_String",
                               "Registry::WriteValue: unsupported registry type 0",
                               "Registry::WriteValue: unsupported registry type 9"}));
}

TEST_F(RegistryTest, WriteValueNeverCreatesKeys) {
    Registry registry;
    RegValue value;
    value.kind = Reg_String;
    value.text = "x";
    EXPECT_FALSE(registry.WriteValue("HKLM", "SOFTWARE\\RegistryTest\\Missing", "x", value));
    EXPECT_FALSE(sim::registry::keyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\RegistryTest\\Missing"));
    EXPECT_EQ(log.text(), "");
}

TEST_F(RegistryTest, FailedWriteIsLogged) {
    injectFault("RegSetValueEx|*\\Locked", 5);
    Registry registry;
    RegValue value;
    value.kind = Reg_Dword;
    EXPECT_FALSE(registry.WriteValue("HKLM", kKey, "Locked", value));
    EXPECT_FALSE(stored(kKeyPath, "Locked").found);
    EXPECT_EQ(
        log.lines(),
        (std::vector<std::string>{"Registry::WriteValue: RegSetValueEx returned with code 5"}));
}

TEST_F(RegistryTest, DeleteValue) {
    sim::registry::writeValue(kKeyPath, "Gone", platform::kRegSz, withNul("x"));
    sim::registry::writeValue(kKeyPath, "Kept", platform::kRegSz, withNul("y"));
    Registry registry;
    EXPECT_TRUE(registry.DeleteValue("HKLM", kKey, "gone"));
    EXPECT_FALSE(stored(kKeyPath, "Gone").found);
    EXPECT_TRUE(stored(kKeyPath, "Kept").found);
    EXPECT_EQ(log.text(), "");
    EXPECT_FALSE(registry.DeleteValue("HKLM", kKey, "Gone"));
    EXPECT_FALSE(registry.DeleteValue("HKLM", "SOFTWARE\\NoSuchKey", "x"));
    EXPECT_EQ(
        log.lines(),
        (std::vector<std::string>{"Registry::DeleteValue: RegDeleteValue returned error code2"}));
}

TEST(RegistryHexToBytes, PairsReadAsBase16) {
    using Bytes = std::vector<uint8_t>;
    EXPECT_EQ(Registry::HexToBytes(""), Bytes{});
    EXPECT_EQ(Registry::HexToBytes("1"), (Bytes{0x10}));
    EXPECT_EQ(Registry::HexToBytes("ABC"), (Bytes{0xAB, 0xC0}));
    EXPECT_EQ(Registry::HexToBytes("0a1Bff"), (Bytes{0x0A, 0x1B, 0xFF}));
    EXPECT_EQ(Registry::HexToBytes("zz5z"), (Bytes{0x00, 0x05}));
    EXPECT_EQ(Registry::HexToBytes("0x12"), (Bytes{0x00, 0x12}));
}

class CreateKeyTest : public RegistryTest {
  protected:
    static constexpr const char* kGuarded = "D:P(A;;KA;;;SY)";
    static constexpr const char* kChanged = "D:P(A;;KR;;;WD)";
    const std::string a = std::string(kKeyPath) + "\\A";
};

TEST_F(CreateKeyTest, NewKeysTakeTheirParentsRights) {
    sim::registry::createKey(a);
    sim::registry::setKeySecurity(a, kGuarded);
    Registry registry;
    EXPECT_TRUE(registry.CreateKey("HKLM", "SOFTWARE\\RegistryTest\\A\\B\\C", true));
    ASSERT_TRUE(sim::registry::keyExists(a + "\\B\\C"));
    // Changing A afterwards shows that B and C hold copies of their own.
    sim::registry::setKeySecurity(a, kChanged);
    EXPECT_EQ(sim::registry::keySecurity(a + "\\B"), kGuarded);
    EXPECT_EQ(sim::registry::keySecurity(a + "\\B\\C"), kGuarded);
    EXPECT_EQ(log.text(), "");
}

TEST_F(CreateKeyTest, WithoutCloningNewKeysKeepNoRightsOfTheirOwn) {
    sim::registry::createKey(a);
    sim::registry::setKeySecurity(a, kGuarded);
    Registry registry;
    EXPECT_TRUE(registry.CreateKey("HKLM", "SOFTWARE\\RegistryTest\\A\\B", false));
    sim::registry::setKeySecurity(a, kChanged);
    EXPECT_EQ(sim::registry::keySecurity(a + "\\B"), kChanged);
}

TEST_F(CreateKeyTest, ExistingKeysKeepTheirRights) {
    sim::registry::createKey(a + "\\B");
    sim::registry::setKeySecurity(a, kGuarded);
    Registry registry;
    EXPECT_TRUE(registry.CreateKey("HKLM", "SOFTWARE\\RegistryTest\\A\\B\\C", true));
    sim::registry::setKeySecurity(a, kChanged);
    EXPECT_EQ(sim::registry::keySecurity(a + "\\B"), kChanged);  // opened, not created
    EXPECT_EQ(sim::registry::keySecurity(a + "\\B\\C"), kGuarded);
}

TEST(RegistryOnWin9x, CreateKeyCopiesNoRights) {
    TestMachine machine(sim::MachineOptions{.os = "98"});
    LogCapture log;
    const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\A";
    sim::registry::createKey(key);
    sim::registry::setKeySecurity(key, "D:P(A;;KA;;;SY)");
    Registry registry;
    EXPECT_TRUE(registry.CreateKey("HKLM", "SOFTWARE\\A\\B", true));
    EXPECT_TRUE(sim::registry::keyExists(key + "\\B"));
    sim::registry::setKeySecurity(key, "D:P(A;;KR;;;WD)");
    EXPECT_EQ(sim::registry::keySecurity(key + "\\B"), "D:P(A;;KR;;;WD)");
    EXPECT_EQ(log.text(), "");
}

TEST_F(CreateKeyTest, EmptyComponentsArePassedOver) {
    Registry registry;
    EXPECT_TRUE(registry.CreateKey("HKCU", "Software\\X\\", true));
    EXPECT_TRUE(sim::registry::keyExists("HKEY_CURRENT_USER\\Software\\X"));
    EXPECT_TRUE(registry.CreateKey("HKLM", "\\SOFTWARE\\RegistryTest\\\\Y\\Z", true));
    EXPECT_TRUE(sim::registry::keyExists(std::string(kKeyPath) + "\\Y\\Z"));
    EXPECT_TRUE(registry.CreateKey("HKLM", "", true));
    EXPECT_EQ(log.text(), "");
}

TEST_F(CreateKeyTest, FailedCreationIsLogged) {
    injectFault("RegCreateKeyEx|*\\B", 5);
    Registry registry;
    EXPECT_FALSE(registry.CreateKey("HKLM", "SOFTWARE\\RegistryTest\\A\\B\\C", true));
    EXPECT_TRUE(sim::registry::keyExists(a));
    EXPECT_FALSE(sim::registry::keyExists(a + "\\B"));
    EXPECT_FALSE(registry.CreateKey("HKEY_LOCAL_MACHINE", "SOFTWARE\\X", true));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "Registry::CreateKey: RegCreteKeyEx of B failed with code 5",
                               "Registry::getRootKey: invalid root key HKEY_LOCAL_MACHINE"}));
}

TEST_F(CreateKeyTest, FailedCopiesOfRightsAreLoggedButKeepTheKey) {
    Registry registry;
    injectFault("RegGetKeySecurity|*\\A", 5);
    EXPECT_TRUE(registry.CreateKey("HKLM", "SOFTWARE\\RegistryTest\\A\\B", true));
    EXPECT_TRUE(sim::registry::keyExists(a + "\\B"));
    sim::registry::deleteValue(sim::kFaultsKey, "RegGetKeySecurity|*\\A");
    injectFault("RegSetKeySecurity|*\\D", 1314);
    EXPECT_TRUE(registry.CreateKey("HKLM", "SOFTWARE\\RegistryTest\\D", true));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "Registry::cloneKeyAccess: ruh roh, something went wrong; error 5",
                               "Registry::cloneKeyAccess: RegSetKeySecurity returned 1314"}));
}

TEST_F(RegistryTest, CloneKeyAccessCopiesTheDacl) {
    const std::string source = std::string(kKeyPath) + "\\Source";
    const std::string target = std::string(kKeyPath) + "\\Target";
    sim::registry::createKey(source);
    sim::registry::createKey(target);
    sim::registry::setKeySecurity(source, "D:P(A;;KA;;;SY)");
    sim::registry::setKeySecurity(target, "D:P(A;;KR;;;WD)");
    Registry registry;
    const platform::RegKey sourceKey =
        registry.openKey("HKLM", std::string(kKey) + "\\Source", platform::kKeyRead);
    const platform::RegKey targetKey =
        registry.openKey("HKLM", std::string(kKey) + "\\Target", platform::kKeyAllAccess);
    ASSERT_NE(sourceKey, nullptr);
    ASSERT_NE(targetKey, nullptr);
    EXPECT_EQ(registry.cloneKeyAccess(sourceKey, targetKey), 0u);
    EXPECT_EQ(sim::registry::keySecurity(target), "D:P(A;;KA;;;SY)");
    platform::regCloseKey(sourceKey);
    platform::regCloseKey(targetKey);
}

}  // namespace
