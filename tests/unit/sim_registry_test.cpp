#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/sim/registry_store.h"
#include "platform/text_conversion.h"
#include "tests/support/test_machine.h"

namespace reg = sim::registry;
namespace fs = std::filesystem;
using namespace platform;

namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00\r\n";

fs::path registryFile(const TestMachine& machine) { return machine.dir() / "registry.reg"; }

// Replaces the machine's registry.reg and loads it; the load's message.
std::string loadText(const TestMachine& machine, const std::string& text) {
    writeHostFile(registryFile(machine), text);
    return reg::load(registryFile(machine));
}

std::string utf16File(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::string hexOf(const std::string& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// Every key below path with its values, depth first, as comparable text.
void dumpKey(const std::string& path, std::string& out) {
    out += "[" + path + "]\n";
    for (const auto& [name, value] : reg::values(path))
        out += "  " + hexOf(name) + " " + std::to_string(value.first) + " " + hexOf(value.second) +
               "\n";
    for (const std::string& sub : reg::subkeys(path)) dumpKey(path + "\\" + sub, out);
}

std::string dumpAll() {
    std::string out;
    for (const char* root :
         {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_USERS", "HKEY_CURRENT_CONFIG"})
        dumpKey(root, out);
    return out;
}

bool registryIsEmpty() {
    for (const char* root : {"HKLM", "HKCU", "HKU", "HKCC"})
        if (!reg::subkeys(root).empty() || !reg::values(root).empty()) return false;
    return true;
}

std::string valueData(const std::string& key, const std::string& name, uint32_t expectedType) {
    uint32_t type = 99;
    std::string data;
    EXPECT_TRUE(reg::readValue(key, name, &type, &data)) << key << " " << name;
    EXPECT_EQ(type, expectedType) << name;
    return data;
}

const std::string kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Test";

}  // namespace

// ---------------------------------------------------------------------------------------------
// Reading .reg files

TEST(SimRegistryLoad, ReadsEveryValueTypeOfAVersion5File) {
    TestMachine machine;
    const std::string text = kHeader +
                             "; a comment\r\n"
                             "\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n"
                             "@=\"default\"\r\n"
                             "\"Text\"=\"C:\\\\Program Files\\\\\\\"q\\\"\"\r\n"
                             "\"Empty\"=\"\"\r\n"
                             "\"Number\"=dword:0001e240\r\n"
                             "\"Binary\"=hex:00,ff,10\r\n"
                             "\"None\"=hex(0):\r\n"
                             "\"Expand\"=hex(2):25,00,41,00,ac,20,00,00\r\n"
                             "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,\\\r\n"
                             "  00,00\r\n"
                             "\"Qword\"=hex(b):01,02,03,04,05,06,07,08\r\n"
                             "\"Odd\"=hex(12345678):7f\r\n";
    ASSERT_EQ(loadText(machine, text), "");
    EXPECT_EQ(valueData(kKey, "", kRegSz), std::string("default\0", 8));
    EXPECT_EQ(valueData(kKey, "Text", kRegSz), std::string("C:\\Program Files\\\"q\"\0", 21));
    EXPECT_EQ(valueData(kKey, "Empty", kRegSz), std::string(1, '\0'));
    EXPECT_EQ(valueData(kKey, "Number", kRegDword), std::string("\x40\xe2\x01\x00", 4));
    EXPECT_EQ(valueData(kKey, "Binary", kRegBinary), std::string("\x00\xff\x10", 3));
    EXPECT_EQ(valueData(kKey, "None", kRegNone), "");
    // UTF-16 in the file, the code page's bytes in the registry (U+20AC is 0x80).
    EXPECT_EQ(valueData(kKey, "Expand", kRegExpandSz), std::string("%A\x80\0", 4));
    EXPECT_EQ(valueData(kKey, "Multi", kRegMultiSz), std::string("a\0b\0\0", 5));
    EXPECT_EQ(valueData(kKey, "Qword", kRegQword), "\x01\x02\x03\x04\x05\x06\x07\x08");
    EXPECT_EQ(valueData(kKey, "Odd", 0x12345678), "\x7f");
    EXPECT_EQ(reg::readString(kKey, "Number"), "123456");
    EXPECT_EQ(reg::readString(kKey, "Expand"), "%A\x80");
    std::vector<std::string> order;
    for (const auto& value : reg::values(kKey)) order.push_back(value.first);
    EXPECT_EQ(order, (std::vector<std::string>{"", "Text", "Empty", "Number", "Binary", "None",
                                               "Expand", "Multi", "Qword", "Odd"}));
}

TEST(SimRegistryLoad, Regedit4FilesHoldEightBitStringDataAndMayUseLineFeeds) {
    TestMachine machine;
    ASSERT_EQ(loadText(machine,
                       "REGEDIT4\n\n[HKEY_CURRENT_USER\\Environment]\n"
                       "\"TEMP\"=hex(2):25,54,25,00\n\"List\"=hex(7):61,00,00\n\"S\"=\"x\"\n"),
              "");
    EXPECT_EQ(valueData("HKCU\\Environment", "TEMP", kRegExpandSz), std::string("%T%\0", 4));
    EXPECT_EQ(valueData("HKCU\\Environment", "List", kRegMultiSz), std::string("a\0\0", 3));
    EXPECT_EQ(valueData("HKCU\\Environment", "S", kRegSz), std::string("x\0", 2));
}

TEST(SimRegistryLoad, Utf16FilesAreConvertedToTheCodePage) {
    TestMachine machine;
    std::string file = utf16File(kHeader + "[HKLM\\SOFTWARE\\Test]\r\n\"Caf");
    file += std::string("\xE9\x00", 2);  // U+00E9
    file += utf16File("\"=\"").substr(2);
    file += std::string("\xAC\x20", 2);  // U+20AC
    file += std::string("\x00\x4E", 2);  // U+4E00, not in the code page
    file += utf16File("\"\r\n\"E\"=hex(2):41,00,00,00\r\n").substr(2);
    ASSERT_EQ(loadText(machine, file), "");
    EXPECT_EQ(valueData(kKey, "Caf\xE9", kRegSz), std::string("\x80?\0", 3));
    EXPECT_EQ(valueData(kKey, "E", kRegExpandSz), std::string("A\0", 2));
}

TEST(SimRegistryLoad, DeletesKeyTreesAndValuesAndMergesRepeatedKeys) {
    TestMachine machine;
    ASSERT_EQ(
        loadText(machine, kHeader + "[HKLM\\SOFTWARE\\Gone\\Deep]\r\n\"a\"=\"1\"\r\n"
                                    "[HKLM\\SOFTWARE\\Test]\r\n\"keep\"=\"1\"\r\n\"drop\"=\"2\"\r\n"
                                    "[-HKLM\\software\\GONE]\r\n"
                                    "[-HKLM\\SOFTWARE\\NeverThere]\r\n"
                                    "[HKLM\\SOFTWARE\\test]\r\n\"DROP\"=-\r\n\"late\"=\"3\"\r\n"),
        "");
    EXPECT_FALSE(reg::keyExists("HKLM\\SOFTWARE\\Gone"));
    EXPECT_FALSE(reg::keyExists("HKLM\\SOFTWARE\\Gone\\Deep"));
    ASSERT_EQ(reg::values(kKey).size(), 2u);
    EXPECT_EQ(reg::values(kKey)[0].first, "keep");
    EXPECT_EQ(reg::values(kKey)[1].first, "late");
    EXPECT_EQ(reg::subkeys("HKLM\\SOFTWARE"), std::vector<std::string>{"Test"});
}

TEST(SimRegistryLoad, MissingFileIsAnEmptyRegistryThatIsSavedAtTheFirstFlush) {
    TestMachine machine;
    fs::remove(registryFile(machine));
    ASSERT_EQ(reg::load(registryFile(machine)), "");
    EXPECT_TRUE(registryIsEmpty());
    EXPECT_FALSE(fs::exists(registryFile(machine)));
    EXPECT_TRUE(reg::createKey("HKCU\\New"));
    reg::flush();
    EXPECT_NE(readHostFile(registryFile(machine)).find("\r\n[HKEY_CURRENT_USER\\New]\r\n"),
              std::string::npos);
}

struct MalformedCase {
    const char* text;
    int line;
    const char* problem;  // a fragment of the message
};

TEST(SimRegistryLoad, MalformedFilesNameFileAndLineLeaveTheRegistryEmptyAndTheFileAlone) {
    const MalformedCase cases[] = {
        {"REGEDIT5\r\n", 1, "not a registry file"},
        {"", 1, "empty file"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A\r\n", 2, "']'"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\n\"a\"=\"x\\n\"\r\n", 3,
         "bad escape"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\n\"a\"=\"open\r\n", 3,
         "unterminated"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\n\"a=\"x\"\r\n", 3, "'='"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\n\"a\"=hex:0g\r\n", 3, "hex byte"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\n\"a\"=hex:100\r\n", 3, "hex byte"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\n\"a\"=hex:01,,02\r\n", 3,
         "hex byte"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\n\"a\"=dword:123456789\r\n", 3,
         "dword"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\n\"a\"=dword:\r\n", 3, "dword"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\n\"a\"=hex(2):41\r\n", 3, "odd"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\n\"a\"=hex(zz):41\r\n", 3, "type"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\n\"a\"=hex:01,\\\r\n", 3,
         "end of the file"},
        {"Windows Registry Editor Version 5.00\r\n\r\n\"a\"=\"x\"\r\n", 3, "outside of a key"},
        {"Windows Registry Editor Version 5.00\r\n[-HKLM\\A]\r\n\"a\"=\"x\"\r\n", 3,
         "outside of a key"},
        {"Windows Registry Editor Version 5.00\r\n[HKEY_NOWHERE\\A]\r\n", 2, "unknown root"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\\\A]\r\n", 2, "empty key name"},
        {"Windows Registry Editor Version 5.00\r\n[-HKLM]\r\n", 2, "root"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\nname=\"x\"\r\n", 3, "unexpected"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\n\"a\"=\"x\" junk\r\n", 3,
         "after the string"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\n\"a\"=qword:1\r\n", 3,
         "unrecognised"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\A]\r\n\"a\rb\"=\"x\"\r\n", 3,
         "line break"},
    };
    TestMachine machine;
    for (const MalformedCase& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string expected =
            registryFile(machine).string() + ":" + std::to_string(c.line) + ": ";
        const std::string problem = loadText(machine, c.text);
        EXPECT_EQ(problem.rfind(expected, 0), 0u) << problem;
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
        EXPECT_TRUE(registryIsEmpty());
        // Nothing is saved over a file that could not be read.
        reg::writeValue("HKLM\\SOFTWARE\\After", "v", kRegSz, std::string("x\0", 2));
        EXPECT_TRUE(reg::createKey("HKCU\\AlsoAfter"));
        EXPECT_EQ(readHostFile(registryFile(machine)), c.text);
        EXPECT_FALSE(fs::exists(registryFile(machine).string() + ".tmp"));
    }
}

TEST(SimRegistryLoad, Utf16FileWithAnOddByteCountIsRefused) {
    TestMachine machine;
    const std::string text = utf16File(kHeader + "[HKLM\\A]\r\n") + "x";
    const std::string problem = loadText(machine, text);
    EXPECT_EQ(problem.rfind(registryFile(machine).string() + ":3: ", 0), 0u) << problem;
    EXPECT_TRUE(registryIsEmpty());
}

TEST(SimRegistryLoad, SurvivesJunk) {
    TestMachine machine;
    std::mt19937 random(12345);
    std::vector<std::string> inputs = {
        "\xFF\xFE",
        "\xFF\xFE\x41",
        "\xFF",
        std::string(1, '\0'),
        kHeader + "[",
        kHeader + "[]",
        kHeader + "@",
        kHeader + "\"",
        kHeader + "[HKLM]\r\n@=\\",
        kHeader + "[HKLM\\A]\r\n\"a\"=hex(" + std::string(5000, '9') + "):00",
        kHeader + "[HKLM\\A]\r\n\"" + std::string(3'000'000, 'A'),
        kHeader + "[HKLM\\A]\r\n\"a\"=hex:" + std::string(1'000'000, ','),
        kHeader + "[HKLM" + std::string(3'000'000, '\\') + "]",
    };
    std::string deep = kHeader + "[HKLM";
    for (int i = 0; i < 200000; ++i) deep += "\\a";
    inputs.push_back(deep + "]\r\n");
    for (int n = 0; n < 300; ++n) {
        std::string junk = n % 2 ? kHeader : utf16File(kHeader);
        const size_t length = random() % 400;
        for (size_t i = 0; i < length; ++i)
            junk += static_cast<char>("[]\\\"@=-:,;hexdword(0)a\r\n\xff\xfe"[random() % 27]);
        inputs.push_back(junk);
    }
    for (const std::string& input : inputs) {
        const std::string problem = loadText(machine, input);
        if (!problem.empty()) {
            EXPECT_EQ(problem.rfind(registryFile(machine).string() + ":", 0), 0u);
            EXPECT_TRUE(registryIsEmpty());
        }
    }
    const std::string problem = loadText(machine, deep + "]\r\n");
    EXPECT_NE(problem.find("deeper than 512"), std::string::npos) << problem.substr(0, 200);
}

// ---------------------------------------------------------------------------------------------
// Saving

TEST(SimRegistrySave, EveryChangeIsSavedAtomicallyAndReadsBackIdentically) {
    TestMachine machine;
    std::string everyByte;
    for (int c = 1; c < 256; ++c) everyByte += static_cast<char>(c);
    reg::createKey("HKLM\\SOFTWARE\\Test\\Empty Key");
    reg::createKey("HKLM\\SOFTWARE\\Test\\Odd]Name [x]");
    reg::writeValue(kKey, "", kRegSz, std::string("default\0", 8));
    reg::writeValue(kKey, "quote\"back\\slash", kRegSz, std::string("a\"b\\c\0", 6));
    reg::writeValue(kKey, "NoNul", kRegSz, "abc");
    reg::writeValue(kKey, "EmbeddedNul", kRegSz, std::string("a\0b\0", 4));
    reg::writeValue(kKey, "LineBreak", kRegSz, std::string("a\r\nb\0", 5));
    reg::writeValue(kKey, "EmptySz", kRegSz, "");
    reg::writeValue(kKey, "ShortDword", kRegDword, "\x01\x02\x03");
    reg::writeValue(kKey, "Dword", kRegDword, std::string("\x00\x00\x00\x80", 4));
    reg::writeValue(kKey, "EveryByteExpand", kRegExpandSz, everyByte);
    reg::writeValue(kKey, "EveryByteMulti", kRegMultiSz, everyByte + everyByte);
    reg::writeValue(kKey, "EveryByteBinary", kRegBinary, everyByte);
    reg::writeValue(kKey, "None", kRegNone, "");
    reg::writeValue(kKey, "Big type", 0xFFFFFFFF, "z");
    reg::writeValue(kKey, std::string(300, 'n'), kRegBinary, "\x01");
    reg::writeValue("HKCC\\Cfg", "x", kRegDwordBigEndian, std::string("\0\0\0\1", 4));
    const std::string before = dumpAll();
    reg::flush();
    EXPECT_FALSE(fs::exists(registryFile(machine).string() + ".tmp"));
    const std::string saved = readHostFile(registryFile(machine));
    ASSERT_EQ(saved.rfind(kHeader, 0), 0u);
    // Hex data is wrapped; only a line holding a long name may pass 80 columns.
    size_t hexLines = 0;
    for (const std::string& line : splitLines(saved)) {
        if (line.rfind("  ", 0) != 0 && line.find("=hex") == std::string::npos) continue;
        ++hexLines;
        if (line.find(std::string(300, 'n')) == std::string::npos) {
            EXPECT_LE(line.size(), 80u) << line;
        }
    }
    EXPECT_GT(hexLines, 20u);
    EXPECT_NE(saved.find("\r\n\"Dword\"=dword:80000000\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\n\"NoNul\"=hex(1):61,62,63\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\n@=\"default\"\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\n\"quote\\\"back\\\\slash\"=\"a\\\"b\\\\c\"\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\n[HKEY_LOCAL_MACHINE\\Software\\Test\\Empty Key]\r\n"),
              std::string::npos);

    machine.reload();
    EXPECT_EQ(dumpAll(), before);
    // A second save of what was read is the same text.
    reg::writeValue(kKey, "Dword", kRegDword, std::string("\x00\x00\x00\x80", 4));
    reg::flush();
    EXPECT_EQ(readHostFile(registryFile(machine)), saved);
}

TEST(SimRegistrySave, NamesThatTheFileCannotHoldAreRefused) {
    TestMachine machine;
    EXPECT_FALSE(reg::isStorableKeyPath("HKLM\\a\nb"));
    EXPECT_FALSE(reg::isStorableKeyPath("HKXX\\a"));
    EXPECT_FALSE(reg::isStorableKeyPath("HKLM\\" + std::string(256, 'k')));
    EXPECT_TRUE(reg::isStorableKeyPath("HKLM\\" + std::string(255, 'k')));
    EXPECT_FALSE(reg::createKey("HKLM\\a\r\nb"));
    reg::writeValue(kKey, "two\nlines", kRegSz, std::string("x\0", 2));
    EXPECT_FALSE(reg::readValue(kKey, "two\nlines", nullptr, nullptr));
    RegKey key = nullptr;
    EXPECT_EQ(regCreateKey(predefinedKey(PredefinedKey::LocalMachine), "SOFTWARE\\a\nb",
                           kKeyAllAccess, &key, nullptr),
              error::kInvalidParameter);
    machine.reload();  // what was saved still reads
}

// ---------------------------------------------------------------------------------------------
// Names and roots

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

// ---------------------------------------------------------------------------------------------
// The Win32 surface

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

// ---------------------------------------------------------------------------------------------
// Key security

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
    ASSERT_EQ(loadText(machine, text), "");
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

// ---------------------------------------------------------------------------------------------
// The code page

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
