#include "support/ini_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/test_machine.h"

namespace {

bool hasLine(const LogCapture& log, const std::string& line) {
    const std::vector<std::string> lines = log.lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A section that hides one key, as a derived model may.
class FilteringSection : public IniSection {
  public:
    using IniSection::IniSection;
    bool GetValue(const CStdStr& key, CStdStr& value) const override {
        return !key.EqualsNoCase("secret") && IniSection::GetValue(key, value);
    }
};

class FilteringFile : public IniFile {
  public:
    IniSection* AddSection(const CStdStr& name) override {
        if (IniSection* existing = FindSection(name)) return existing;
        return adoptSection(std::make_unique<FilteringSection>(name));
    }
};

std::string utf16(const std::string& text) {
    std::string bytes;
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

class IniFileTest : public ::testing::Test {
  protected:
    TestMachine machine;
    const std::string path = "C:\\Temp.isf";
};

}  // namespace

TEST_F(IniFileTest, WritesSectionsKeysAndAnEmptyLineAfterEach) {
    IniFile ini;
    EXPECT_EQ(ini.GetEncoding(), TextFile::AnsiText);
    ini.SetValue("Install", "Uninstaller", "1");
    ASSERT_TRUE(ini.Write(path));
    EXPECT_EQ(machine.readFile(path), "[Install]\r\nUninstaller=1\r\n\r\n");

    ini.SetValue("Files", "B", "2");
    ini.SetValue("Files", "A", "");
    ini.SetFileName(path);
    ASSERT_TRUE(ini.Write());
    EXPECT_EQ(machine.readFile(path),
              "[Install]\r\nUninstaller=1\r\n\r\n[Files]\r\nB=2\r\nA=\r\n\r\n");
}

TEST_F(IniFileTest, KeysAndSectionsMatchWithoutCase) {
    IniFile ini;
    ini.SetValue("Setup", "Dir", "C:\\A");
    ini.SetValue("Setup", "Name", "x");
    ini.SetValue("SETUP", "DIR", "C:\\B");
    ASSERT_EQ(ini.GetSections().size(), 1u);
    const IniSection* section = ini.FindSection("setup");
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->GetKeys(), (std::vector<CStdStr>{"Dir", "Name"}));
    CStdStr value;
    ASSERT_TRUE(section->GetValue("dir", value));
    EXPECT_EQ(value, "C:\\B");
    EXPECT_FALSE(section->GetValue("Missing", value));
    EXPECT_EQ(ini.AddSection("SeTuP"), section);
    EXPECT_EQ(ini.FindSection("Other"), nullptr);
    ASSERT_TRUE(ini.Write(path));
    EXPECT_EQ(machine.readFile(path), "[Setup]\r\nDir=C:\\B\r\nName=x\r\n\r\n");
}

TEST_F(IniFileTest, EmptyNamesAreRefusedWithTheirMessages) {
    LogCapture log;
    IniFile ini;
    ini.SetValue("", "k", "v");
    ini.SetValue("S", "", "v");
    EXPECT_TRUE(ini.GetSections().empty());
    EXPECT_FALSE(ini.Write());
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "IniFile::SetValue: section name cannot be empty",
                               "IniFile::SetValue: value name cannot be empty",
                               "IniFile::Write: empty file name!",
                           }));
}

TEST_F(IniFileTest, OpenFailureIsLogged) {
    LogCapture log;
    IniFile ini;
    ini.SetValue("S", "k", "v");
    EXPECT_FALSE(ini.Write("C:\\No\\Such\\Dir\\x.ini"));
    EXPECT_TRUE(
        hasLine(log, "IniFile::Write: Failed to open C:\\No\\Such\\Dir\\x.ini for writing."))
        << log.text();
}

TEST_F(IniFileTest, WritesUtf16WhenAsked) {
    IniFile ini;
    ini.SetEncoding(TextFile::Utf16Text);
    ini.SetValue("S", "k", "\xE9");
    ASSERT_TRUE(ini.Write(path));
    EXPECT_EQ(machine.readFile(path), "\xFF\xFE" + utf16("[S]\r\nk=\xE9\r\n\r\n"));
}

TEST_F(IniFileTest, WriteAsksTheVirtualGetValue) {
    FilteringFile ini;
    ini.SetValue("S", "Shown", "1");
    ini.SetValue("S", "Secret", "2");
    ASSERT_TRUE(ini.Write(path));
    EXPECT_EQ(machine.readFile(path), "[S]\r\nShown=1\r\n\r\n");
}
