// Reading registry.reg and .reg files into the simulated registry.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/registry_store.h"
#include "tests/support/registry_file.h"
#include "tests/support/test_machine.h"

namespace reg = sim::registry;
namespace fs = std::filesystem;
using namespace platform;

namespace {

std::string utf16File(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
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

}  // namespace

TEST(SimRegistryLoad, ReadsEveryValueTypeOfAVersion5File) {
    TestMachine machine;
    const std::string text = kRegFileHeader +
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
    ASSERT_EQ(loadRegistryText(machine, text), "");
    EXPECT_EQ(valueData(kTestKey, "", kRegSz), std::string("default\0", 8));
    EXPECT_EQ(valueData(kTestKey, "Text", kRegSz), std::string("C:\\Program Files\\\"q\"\0", 21));
    EXPECT_EQ(valueData(kTestKey, "Empty", kRegSz), std::string(1, '\0'));
    EXPECT_EQ(valueData(kTestKey, "Number", kRegDword), std::string("\x40\xe2\x01\x00", 4));
    EXPECT_EQ(valueData(kTestKey, "Binary", kRegBinary), std::string("\x00\xff\x10", 3));
    EXPECT_EQ(valueData(kTestKey, "None", kRegNone), "");
    // UTF-16 in the file, the code page's bytes in the registry (U+20AC is 0x80).
    EXPECT_EQ(valueData(kTestKey, "Expand", kRegExpandSz), std::string("%A\x80\0", 4));
    EXPECT_EQ(valueData(kTestKey, "Multi", kRegMultiSz), std::string("a\0b\0\0", 5));
    EXPECT_EQ(valueData(kTestKey, "Qword", kRegQword), "\x01\x02\x03\x04\x05\x06\x07\x08");
    EXPECT_EQ(valueData(kTestKey, "Odd", 0x12345678), "\x7f");
    EXPECT_EQ(reg::readString(kTestKey, "Number"), "123456");
    EXPECT_EQ(reg::readString(kTestKey, "Expand"), "%A\x80");
    std::vector<std::string> order;
    for (const auto& value : reg::values(kTestKey)) order.push_back(value.first);
    EXPECT_EQ(order, (std::vector<std::string>{"", "Text", "Empty", "Number", "Binary", "None",
                                               "Expand", "Multi", "Qword", "Odd"}));
}

TEST(SimRegistryLoad, Regedit4FilesHoldEightBitStringDataAndMayUseLineFeeds) {
    TestMachine machine;
    ASSERT_EQ(
        loadRegistryText(machine,
                         "REGEDIT4\n\n[HKEY_CURRENT_USER\\Environment]\n"
                         "\"TEMP\"=hex(2):25,54,25,00\n\"List\"=hex(7):61,00,00\n\"S\"=\"x\"\n"),
        "");
    EXPECT_EQ(valueData("HKCU\\Environment", "TEMP", kRegExpandSz), std::string("%T%\0", 4));
    EXPECT_EQ(valueData("HKCU\\Environment", "List", kRegMultiSz), std::string("a\0\0", 3));
    EXPECT_EQ(valueData("HKCU\\Environment", "S", kRegSz), std::string("x\0", 2));
}

TEST(SimRegistryLoad, Utf16FilesAreConvertedToTheCodePage) {
    TestMachine machine;
    std::string file = utf16File(kRegFileHeader + "[HKLM\\SOFTWARE\\Test]\r\n\"Caf");
    file += std::string("\xE9\x00", 2);  // U+00E9
    file += utf16File("\"=\"").substr(2);
    file += std::string("\xAC\x20", 2);  // U+20AC
    file += std::string("\x00\x4E", 2);  // U+4E00, not in the code page
    file += utf16File("\"\r\n\"E\"=hex(2):41,00,00,00\r\n").substr(2);
    ASSERT_EQ(loadRegistryText(machine, file), "");
    EXPECT_EQ(valueData(kTestKey, "Caf\xE9", kRegSz), std::string("\x80?\0", 3));
    EXPECT_EQ(valueData(kTestKey, "E", kRegExpandSz), std::string("A\0", 2));
}

TEST(SimRegistryLoad, DeletesKeyTreesAndValuesAndMergesRepeatedKeys) {
    TestMachine machine;
    ASSERT_EQ(loadRegistryText(machine,
                               kRegFileHeader +
                                   "[HKLM\\SOFTWARE\\Gone\\Deep]\r\n\"a\"=\"1\"\r\n"
                                   "[HKLM\\SOFTWARE\\Test]\r\n\"keep\"=\"1\"\r\n\"drop\"=\"2\"\r\n"
                                   "[-HKLM\\software\\GONE]\r\n"
                                   "[-HKLM\\SOFTWARE\\NeverThere]\r\n"
                                   "[HKLM\\SOFTWARE\\test]\r\n\"DROP\"=-\r\n\"late\"=\"3\"\r\n"),
              "");
    EXPECT_FALSE(reg::keyExists("HKLM\\SOFTWARE\\Gone"));
    EXPECT_FALSE(reg::keyExists("HKLM\\SOFTWARE\\Gone\\Deep"));
    ASSERT_EQ(reg::values(kTestKey).size(), 2u);
    EXPECT_EQ(reg::values(kTestKey)[0].first, "keep");
    EXPECT_EQ(reg::values(kTestKey)[1].first, "late");
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
        const std::string problem = loadRegistryText(machine, c.text);
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
    const std::string text = utf16File(kRegFileHeader + "[HKLM\\A]\r\n") + "x";
    const std::string problem = loadRegistryText(machine, text);
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
        kRegFileHeader + "[",
        kRegFileHeader + "[]",
        kRegFileHeader + "@",
        kRegFileHeader + "\"",
        kRegFileHeader + "[HKLM]\r\n@=\\",
        kRegFileHeader + "[HKLM\\A]\r\n\"a\"=hex(" + std::string(5000, '9') + "):00",
        kRegFileHeader + "[HKLM\\A]\r\n\"" + std::string(3'000'000, 'A'),
        kRegFileHeader + "[HKLM\\A]\r\n\"a\"=hex:" + std::string(1'000'000, ','),
        kRegFileHeader + "[HKLM" + std::string(3'000'000, '\\') + "]",
    };
    std::string deep = kRegFileHeader + "[HKLM";
    for (int i = 0; i < 200000; ++i) deep += "\\a";
    inputs.push_back(deep + "]\r\n");
    for (int n = 0; n < 300; ++n) {
        std::string junk = n % 2 ? kRegFileHeader : utf16File(kRegFileHeader);
        const size_t length = random() % 400;
        for (size_t i = 0; i < length; ++i)
            junk += static_cast<char>("[]\\\"@=-:,;hexdword(0)a\r\n\xff\xfe"[random() % 27]);
        inputs.push_back(junk);
    }
    for (const std::string& input : inputs) {
        const std::string problem = loadRegistryText(machine, input);
        if (!problem.empty()) {
            EXPECT_EQ(problem.rfind(registryFile(machine).string() + ":", 0), 0u);
            EXPECT_TRUE(registryIsEmpty());
        }
    }
    const std::string problem = loadRegistryText(machine, deep + "]\r\n");
    EXPECT_NE(problem.find("deeper than 512"), std::string::npos) << problem.substr(0, 200);
}
