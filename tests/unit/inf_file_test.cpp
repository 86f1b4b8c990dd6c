#include "support/inf_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ini_line.h"
#include "tests/support/test_machine.h"

namespace {

using Lines = std::vector<std::string>;

Lines asLines(const std::vector<CStdStr>* lines) {
    if (lines == nullptr) return {"<no section>"};
    return Lines(lines->begin(), lines->end());
}

class InfFileTest : public ::testing::Test {
  protected:
    InfFile load(const std::string& content) {
        machine.writeFile(path, content);
        return InfFile(path);
    }

    TestMachine machine;
    const std::string path = "C:\\Drivers\\oem.inf";
};

}  // namespace

TEST_F(InfFileTest, SectionsHoldTrimmedDataLinesInFileOrder) {
    const InfFile inf = load(
        "stray = before any header\r\n"
        "[Version]\r\n"
        "  Signature = \"$Windows NT$\"  \r\n"
        "; a comment\r\n"
        "   # another comment\r\n"
        "\r\n"
        "\t\r\n"
        "[ Spaced ]\r\n"
        "x, 1, %11%\\a.dll\r\n"
        "[]\r\n"
        "orphan\r\n");
    ASSERT_EQ(inf.sections().size(), 3u);
    EXPECT_EQ(inf.sections()[0].name, "Version");
    EXPECT_EQ(inf.sections()[0].lines, (std::vector<CStdStr>{"Signature = \"$Windows NT$\""}));
    EXPECT_EQ(inf.sections()[1].name, " Spaced ");
    EXPECT_EQ(asLines(inf.findSection(" spaced ")), (Lines{"x, 1, %11%\\a.dll"}));
    EXPECT_EQ(inf.findSection("Spaced"), nullptr);
    EXPECT_EQ(asLines(inf.findSection("")), (Lines{"orphan"}));
}

TEST_F(InfFileTest, LookupsIgnoreCaseAndFindTheFirstDuplicate) {
    const InfFile inf = load(
        "[MANUFACTURER]\n"
        "ACME = Acme.Models\n"
        "acme = Second\n"
        "[Manufacturer]\n"
        "Other = Hidden\n");
    ASSERT_EQ(inf.sections().size(), 2u);
    const std::vector<CStdStr>* section = inf.findSection("Manufacturer");
    ASSERT_NE(section, nullptr);
    CStdStr value;
    EXPECT_TRUE(InfFile::getValue(section, "Acme", value));
    EXPECT_EQ(value, "Acme.Models");
    EXPECT_FALSE(InfFile::getValue(section, "Other", value));
    EXPECT_EQ(value, "");
}

TEST_F(InfFileTest, ValueSplittingRules) {
    const InfFile inf = load(
        "[S]\n"
        "CopyFiles = Files.Main ; note\n"
        "\"Name\" = \"Value\"\n"
        "= no name\n"
        "Bare\n"
        "Eq = a=b\n"
        "One = \"\n"
        "Inner = x \"y\" z\n"
        "Twice = \"\"quoted\"\"\n");
    const std::vector<CStdStr>* s = inf.findSection("s");
    CStdStr value;
    EXPECT_TRUE(InfFile::getValue(s, "copyfiles", value));
    EXPECT_EQ(value, "Files.Main ; note");
    EXPECT_TRUE(InfFile::getValue(s, "Name", value));
    EXPECT_EQ(value, "Value");
    EXPECT_FALSE(InfFile::getValue(s, "", value));
    EXPECT_TRUE(InfFile::getValue(s, "bare", value));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(InfFile::getValue(s, "Eq", value));
    EXPECT_EQ(value, "a=b");
    EXPECT_TRUE(InfFile::getValue(s, "One", value));
    EXPECT_EQ(value, "\"");
    EXPECT_TRUE(InfFile::getValue(s, "Inner", value));
    EXPECT_EQ(value, "x \"y\" z");
    EXPECT_TRUE(InfFile::getValue(s, "Twice", value));
    EXPECT_EQ(value, "\"quoted\"");
    value = "stale";
    EXPECT_FALSE(InfFile::getValue(nullptr, "Name", value));
    EXPECT_EQ(value, "");
}

TEST_F(InfFileTest, ReadsUtf16Files) {
    std::string bytes = "\xFF\xFE";
    for (char c : std::string("[Strings]\r\nPrinter = \"Caf\xE9\"\r\n")) {
        bytes += c;
        bytes += '\0';
    }
    const InfFile inf = load(bytes);
    CStdStr value;
    EXPECT_TRUE(InfFile::getValue(inf.findSection("strings"), "printer", value));
    EXPECT_EQ(value, "Caf\xE9");
}

TEST_F(InfFileTest, UnreadableOrJunkFilesGiveWhatTheyCan) {
    LogCapture log;
    const InfFile missing("C:\\Drivers\\missing.inf");
    EXPECT_TRUE(missing.empty());
    EXPECT_EQ(missing.findSection("Version"), nullptr);
    const InfFile directory("C:\\WINDOWS");
    EXPECT_TRUE(directory.empty());
    EXPECT_EQ(log.text(), "");

    static const char junkBytes[] = "\x01\x00[A]\x00\n[B]\nk=\x00v\n\x7F\xFF";
    const InfFile junk = load(std::string(junkBytes, sizeof junkBytes - 1));
    ASSERT_EQ(junk.sections().size(), 1u);
    CStdStr value;
    EXPECT_TRUE(InfFile::getValue(junk.findSection("B"), "k", value));
    EXPECT_EQ(value, std::string("\0v", 2));
}

TEST(IniLineTest, ClassifiesTrimmedLines) {
    EXPECT_EQ(ini::classifyLine(""), ini::LineKind::Empty);
    EXPECT_EQ(ini::classifyLine(";x"), ini::LineKind::Comment);
    EXPECT_EQ(ini::classifyLine("#[x]"), ini::LineKind::Comment);
    EXPECT_EQ(ini::classifyLine("[x]"), ini::LineKind::Header);
    EXPECT_EQ(ini::classifyLine("[]"), ini::LineKind::Header);
    EXPECT_EQ(ini::classifyLine("["), ini::LineKind::Data);
    EXPECT_EQ(ini::classifyLine("]"), ini::LineKind::Data);
    EXPECT_EQ(ini::classifyLine("[x] ; c"), ini::LineKind::Data);
    EXPECT_EQ(ini::headerName("[ a ]"), " a ");
}

TEST(IniLineTest, NameQuotesAreKeptUnlessAsked) {
    CStdStr name;
    CStdStr value;
    ASSERT_TRUE(ini::splitNameValue("\"K\" = \"V\"", name, value, ini::NameQuotes::Keep));
    EXPECT_EQ(name, "\"K\"");
    EXPECT_EQ(value, "V");
    ASSERT_TRUE(ini::splitNameValue(" \"K\"=\"V\" ", name, value, ini::NameQuotes::Remove));
    EXPECT_EQ(name, "K");
    EXPECT_EQ(value, "V");
    EXPECT_FALSE(ini::splitNameValue("=v", name, value, ini::NameQuotes::Keep));
    EXPECT_FALSE(ini::splitNameValue("  = v", name, value, ini::NameQuotes::Keep));
    EXPECT_EQ(name, "");
    EXPECT_EQ(value, "");
}
