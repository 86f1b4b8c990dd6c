// Saving the simulated registry to registry.reg.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/sim/registry_store.h"
#include "tests/support/registry_file.h"
#include "tests/support/test_machine.h"

namespace reg = sim::registry;
namespace fs = std::filesystem;
using namespace platform;

namespace {

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

}  // namespace

TEST(SimRegistrySave, EveryChangeIsSavedAtomicallyAndReadsBackIdentically) {
    TestMachine machine;
    std::string everyByte;
    for (int c = 1; c < 256; ++c) everyByte += static_cast<char>(c);
    reg::createKey("HKLM\\SOFTWARE\\Test\\Empty Key");
    reg::createKey("HKLM\\SOFTWARE\\Test\\Odd]Name [x]");
    reg::writeValue(kTestKey, "", kRegSz, std::string("default\0", 8));
    reg::writeValue(kTestKey, "quote\"back\\slash", kRegSz, std::string("a\"b\\c\0", 6));
    reg::writeValue(kTestKey, "NoNul", kRegSz, "abc");
    reg::writeValue(kTestKey, "EmbeddedNul", kRegSz, std::string("a\0b\0", 4));
    reg::writeValue(kTestKey, "LineBreak", kRegSz, std::string("a\r\nb\0", 5));
    reg::writeValue(kTestKey, "EmptySz", kRegSz, "");
    reg::writeValue(kTestKey, "ShortDword", kRegDword, "\x01\x02\x03");
    reg::writeValue(kTestKey, "Dword", kRegDword, std::string("\x00\x00\x00\x80", 4));
    reg::writeValue(kTestKey, "EveryByteExpand", kRegExpandSz, everyByte);
    reg::writeValue(kTestKey, "EveryByteMulti", kRegMultiSz, everyByte + everyByte);
    reg::writeValue(kTestKey, "EveryByteBinary", kRegBinary, everyByte);
    reg::writeValue(kTestKey, "None", kRegNone, "");
    reg::writeValue(kTestKey, "Big type", 0xFFFFFFFF, "z");
    reg::writeValue(kTestKey, std::string(300, 'n'), kRegBinary, "\x01");
    reg::writeValue("HKCC\\Cfg", "x", kRegDwordBigEndian, std::string("\0\0\0\1", 4));
    const std::string before = dumpAll();
    reg::flush();
    EXPECT_FALSE(fs::exists(registryFile(machine).string() + ".tmp"));
    const std::string saved = readHostFile(registryFile(machine));
    ASSERT_EQ(saved.rfind(kRegFileHeader, 0), 0u);
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
    reg::writeValue(kTestKey, "Dword", kRegDword, std::string("\x00\x00\x00\x80", 4));
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
    reg::writeValue(kTestKey, "two\nlines", kRegSz, std::string("x\0", 2));
    EXPECT_FALSE(reg::readValue(kTestKey, "two\nlines", nullptr, nullptr));
    RegKey key = nullptr;
    EXPECT_EQ(regCreateKey(predefinedKey(PredefinedKey::LocalMachine), "SOFTWARE\\a\nb",
                           kKeyAllAccess, &key, nullptr),
              error::kInvalidParameter);
    machine.reload();  // what was saved still reads
}
