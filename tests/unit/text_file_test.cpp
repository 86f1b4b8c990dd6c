#include "support/text_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_machine.h"

namespace {

const std::string kMark = "\xFF\xFE";

// Little-endian UTF-16 bytes of 8-bit ASCII text.
std::string utf16(const std::string& ascii) {
    std::string bytes;
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::vector<std::string> readAll(const std::string& path, int32_t encoding = 0) {
    TextFile file;
    std::vector<std::string> lines;
    if (!file.Open(path, TextFile::ReadMode, encoding)) return {"<open failed>"};
    CStdStr line;
    while (file.ReadString(line)) lines.push_back(line);
    EXPECT_TRUE(line.empty());
    return lines;
}

using Lines = std::vector<std::string>;

class TextFileTest : public ::testing::Test {
  protected:
    void SetUp() override { machine.writeFile("C:\\Text\\keep.txt", ""); }

    TestMachine machine;
    const std::string path = "C:\\Text\\file.txt";
};

}  // namespace

TEST_F(TextFileTest, DetectsEncodingByMark) {
    EXPECT_EQ(DetectEncoding(path), TextFile::UnknownText);
    machine.writeFile(path, kMark + utf16("a"));
    EXPECT_EQ(DetectEncoding(path), TextFile::Utf16Text);
    machine.writeFile(path, "\xFF");
    EXPECT_EQ(DetectEncoding(path), TextFile::AnsiText);
    machine.writeFile(path, "");
    EXPECT_EQ(DetectEncoding(path), TextFile::AnsiText);
    machine.writeFile(path,
                      "\xFE\xFF"
                      "ab");
    EXPECT_EQ(DetectEncoding(path), TextFile::AnsiText);
}

TEST_F(TextFileTest, AnsiLineEnds) {
    machine.writeFile(path, "first\r\n\r\nthird\nfourth\r\r\n\rfifth\n");
    EXPECT_EQ(readAll(path), (Lines{"first", "", "third", "fourth\r", "\rfifth"}));
    machine.writeFile(path, "no final line feed");
    EXPECT_EQ(readAll(path), (Lines{"no final line feed"}));
    machine.writeFile(path, "\n");
    EXPECT_EQ(readAll(path), (Lines{""}));
    machine.writeFile(path, "");
    EXPECT_EQ(readAll(path), Lines{});
}

TEST_F(TextFileTest, Utf16IsReadAsAnsiText) {
    // "caf\u00e9\r\n\r\n\u20ac 5" - both characters exist in the ANSI code page.
    machine.writeFile(path, kMark + utf16("caf") + std::string("\xE9\x00", 2) + utf16("\r\n\r\n") +
                                std::string("\xAC\x20", 2) + utf16(" 5\n"));
    EXPECT_EQ(readAll(path), (Lines{"caf\xE9", "", "\x80 5"}));
}

TEST_F(TextFileTest, Utf16OddAndDegenerateFiles) {
    machine.writeFile(path, kMark);
    EXPECT_EQ(readAll(path), Lines{});
    // A trailing half unit is dropped; the complete units before it are kept.
    machine.writeFile(path, kMark + utf16("ab\ncd") + "x");
    EXPECT_EQ(readAll(path), (Lines{"ab", "cd"}));
    machine.writeFile(path, kMark + "x");
    EXPECT_EQ(readAll(path), Lines{});
    // A character outside the code page comes out as a replacement, not as lost text.
    machine.writeFile(path, kMark + std::string("\x3A\x26", 2) + utf16("!"));
    EXPECT_EQ(readAll(path), (Lines{"?!"}));
}

TEST_F(TextFileTest, Utf16DeclaredByCallerWithoutMarkKeepsFirstUnit) {
    machine.writeFile(path, utf16("hi\nyo"));
    EXPECT_EQ(readAll(path, TextFile::Utf16Text), (Lines{"hi", "yo"}));
}

TEST_F(TextFileTest, JunkNulBytesAndHugeLines) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919) & 0xFF);
    junk += "end";
    machine.writeFile(path, junk);
    const Lines expected = splitLines(junk);
    ASSERT_GT(expected.size(), 1u);
    EXPECT_EQ(readAll(path), expected);

    machine.writeFile(path, std::string("a\0b\nc", 5));
    EXPECT_EQ(readAll(path), (Lines{std::string("a\0b", 3), "c"}));

    const std::string huge(3 * 1024 * 1024, 'x');
    machine.writeFile(path, huge + "\r\nend");
    const Lines lines = readAll(path);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), huge.size());
    EXPECT_EQ(lines[1], "end");
}

TEST_F(TextFileTest, WritesAnsiWithCarriageReturns) {
    TextFile file;
    ASSERT_TRUE(file.Open(path, TextFile::WriteMode, TextFile::AnsiText));
    EXPECT_TRUE(file.WriteString("one\ntwo\n"));
    EXPECT_FALSE(file.WriteString(""));
    EXPECT_TRUE(file.WriteString("caf\xE9"));
    file.Close();
    file.Close();
    EXPECT_EQ(machine.readFile(path), "one\r\ntwo\r\ncaf\xE9");
}

TEST_F(TextFileTest, WritesUtf16WithMarkAndReadsItBack) {
    {
        TextFile file;
        ASSERT_TRUE(file.Open(path, TextFile::WriteMode, TextFile::Utf16Text));
        EXPECT_TRUE(file.WriteString("a\n\x80\n"));
    }
    EXPECT_EQ(machine.readFile(path),
              kMark + utf16("a\r\n") + std::string("\xAC\x20", 2) + utf16("\r\n"));
    EXPECT_EQ(readAll(path), (Lines{"a", "\x80"}));
}

TEST_F(TextFileTest, OpenRules) {
    TextFile file;
    EXPECT_FALSE(file.Open("", TextFile::ReadMode, TextFile::AnsiText));
    EXPECT_FALSE(file.Open(path, TextFile::WriteMode, TextFile::UnknownText));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(file.Open(path, TextFile::WriteMode, TextFile::AnsiText));
    EXPECT_TRUE(file.IsOpen());
    // Reopening closes the first file; detection now finds it.
    EXPECT_TRUE(file.Open(path, TextFile::WriteMode, TextFile::UnknownText));
    EXPECT_EQ(file.GetEncoding(), TextFile::AnsiText);
    EXPECT_FALSE(file.Open("C:\\Missing\\x.txt", TextFile::ReadMode, TextFile::AnsiText));
    CStdStr line = "stale";
    EXPECT_FALSE(file.ReadString(line));
    EXPECT_EQ(line, "");
    EXPECT_FALSE(file.WriteString("x"));
}

TEST_F(TextFileTest, FailuresAreLogged) {
    machine.writeFile(path, "data\n");
    LogCapture log;
    TextFile file;
    EXPECT_FALSE(file.Open(path, 7, TextFile::AnsiText));
    EXPECT_FALSE(file.Open("C:\\Missing\\x.txt", TextFile::WriteMode, TextFile::AnsiText));
    // An unknown encoding opens but reads as the end and writes nothing.
    ASSERT_TRUE(file.Open(path, TextFile::ReadMode, 9));
    CStdStr line;
    EXPECT_FALSE(file.ReadString(line));
    EXPECT_FALSE(file.WriteString("x"));
    EXPECT_EQ(log.lines(),
              (Lines{"TextFile::Open: file " + path + ": attempted to open with an unknown mode: 7",
                     "TextFile::Open: open of C:\\Missing\\x.txt failed.",
                     "TextFile::ReadString: unsupported encoding type!",
                     "TextFile::WriteString: unsupported encoding type!"}));
}

TEST_F(TextFileTest, AppendAddsToExistingAndCreatesMissing) {
    machine.writeFile(path, "old\r\n");
    {
        TextFile file;
        ASSERT_TRUE(file.Open(path, TextFile::AppendMode, TextFile::UnknownText));
        EXPECT_TRUE(file.WriteString("new\n"));
    }
    EXPECT_EQ(machine.readFile(path), "old\r\nnew\r\n");

    const std::string wide = "C:\\Text\\wide.txt";
    for (const char* text : {"1\n", "2\n"}) {
        TextFile file;
        ASSERT_TRUE(file.Open(wide, TextFile::AppendMode, TextFile::Utf16Text));
        EXPECT_TRUE(file.WriteString(text));
    }
    EXPECT_EQ(machine.readFile(wide), kMark + utf16("1\r\n2\r\n"));
    // Appending with detection to a UTF-16 file continues in UTF-16 without a second mark.
    {
        TextFile file;
        ASSERT_TRUE(file.Open(wide, TextFile::AppendMode, TextFile::UnknownText));
        EXPECT_EQ(file.GetEncoding(), TextFile::Utf16Text);
        EXPECT_TRUE(file.WriteString("3"));
    }
    EXPECT_EQ(readAll(wide), (Lines{"1", "2", "3"}));
}

TEST_F(TextFileTest, AppendToEmptyFileInUtf16StartsItWithTheMark) {
    machine.writeFile(path, "");
    {
        TextFile file;
        ASSERT_TRUE(file.Open(path, TextFile::AppendMode, TextFile::Utf16Text));
        EXPECT_TRUE(file.WriteString("x"));
    }
    EXPECT_EQ(machine.readFile(path), kMark + utf16("x"));
}
