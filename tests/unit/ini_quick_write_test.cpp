#include "support/ini_quick_write.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry_store.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace {

constexpr const char* kIni = "C:\\conf\\app.ini";

class QuickWriteTest : public ::testing::Test {
  protected:
    explicit QuickWriteTest(const sim::MachineOptions& options = {}) : machine(options) {}

    void writeIni(const std::string& text) { machine.writeFile(kIni, text); }
    std::string ini() const { return machine.readFile(kIni); }
    static void injectFault(const std::string& name, uint32_t error) {
        sim::registry::writeValue(sim::kFaultsKey, name, kRegDword, dword(error));
    }

    TestMachine machine;
    LogCapture log;
};

TEST_F(QuickWriteTest, WriteReplacesTheValueAndKeepsEveryOtherLineTrimmed) {
    writeIni(
        "; settings\r\n"
        "  [Main]  \r\n"
        "\r\n"
        "   Mode = old  \r\n"
        "# note\r\n"
        "Other=1\r\n"
        "[Next]\n"
        "Mode=untouched");
    EXPECT_TRUE(QuickWriteIniString(kIni, "main", "MODE", "new value"));
    EXPECT_EQ(ini(),
              "; settings\r\n[Main]\r\n\r\nMode=new value\r\n# note\r\nOther=1\r\n"
              "[Next]\r\nMode=untouched\r\n");
    EXPECT_TRUE(tempFilesIn("C:\\conf").empty());
}

TEST_F(QuickWriteTest, MissingKeyGoesAtTheEndOfItsSectionOrUnderANewHeader) {
    writeIni("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    EXPECT_TRUE(QuickWriteIniString(kIni, "A", "New", "v"));
    EXPECT_EQ(ini(), "[A]\r\nx=1\r\n\r\nNew=v\r\n[B]\r\ny=2\r\n");
    // A file that ends inside the section gets the entry without another header.
    EXPECT_TRUE(QuickWriteIniString(kIni, "b", "Last", ""));
    EXPECT_EQ(ini(), "[A]\r\nx=1\r\n\r\nNew=v\r\n[B]\r\ny=2\r\nLast=\r\n");
    EXPECT_TRUE(QuickWriteIniString(kIni, "C", "k", "3"));
    EXPECT_EQ(ini(), "[A]\r\nx=1\r\n\r\nNew=v\r\n[B]\r\ny=2\r\nLast=\r\n[C]\r\nk=3\r\n");
    writeIni("");
    EXPECT_TRUE(QuickWriteIniString(kIni, "S", "k", "v"));
    EXPECT_EQ(ini(), "[S]\r\nk=v\r\n");
}

TEST_F(QuickWriteTest, OnlyTheFirstOccurrenceInTheTargetSectionCounts) {
    writeIni("[Other]\r\nk=o\r\n[S]\r\nk=1\r\nk=2\r\n");
    EXPECT_TRUE(QuickWriteIniString(kIni, "S", "K", "9"));
    EXPECT_EQ(ini(), "[Other]\r\nk=o\r\n[S]\r\nk=9\r\nk=2\r\n");
    EXPECT_TRUE(QuickDeleteIniString(kIni, "S", "k", ""));
    EXPECT_EQ(ini(), "[Other]\r\nk=o\r\n[S]\r\nk=2\r\n");
}

TEST_F(QuickWriteTest, DeleteWithAValueRemovesOnlyAMatchingEntry) {
    writeIni("[S]\r\nDevice=\"Laser,winspool\"\r\nDevice=Laser,winspool\r\n");
    // The first entry is judged and kept; the matching duplicate after it stays as well.
    EXPECT_TRUE(QuickDeleteIniString(kIni, "S", "device", "Other"));
    EXPECT_EQ(ini(), "[S]\r\nDevice=\"Laser,winspool\"\r\nDevice=Laser,winspool\r\n");
    // The file's value loses its quotes before it is compared; case is ignored.
    EXPECT_TRUE(QuickDeleteIniString(kIni, "S", "device", "LASER,WINSPOOL"));
    EXPECT_EQ(ini(), "[S]\r\nDevice=Laser,winspool\r\n");
    EXPECT_TRUE(QuickDeleteIniString(kIni, "S", "absent", ""));
    EXPECT_EQ(ini(), "[S]\r\nDevice=Laser,winspool\r\n");
}

TEST_F(QuickWriteTest, QuotedNameInTheFileIsAnotherKeyAndSpacedHeaderAnotherSection) {
    writeIni("[S]\r\n\"Name\"=x\r\n[ T ]\r\nName=y\r\n");
    EXPECT_TRUE(QuickWriteIniString(kIni, "S", "Name", "z"));
    EXPECT_TRUE(QuickWriteIniString(kIni, "T", "Name", "w"));
    EXPECT_EQ(ini(), "[S]\r\n\"Name\"=x\r\nName=z\r\n[ T ]\r\nName=y\r\n[T]\r\nName=w\r\n");
}

TEST_F(QuickWriteTest, Utf16FileStaysUtf16) {
    const std::string marked("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0", 22);
    writeIni(marked);
    EXPECT_TRUE(QuickWriteIniString(kIni, "S", "j", "2"));
    EXPECT_EQ(ini(), marked + std::string("j\0=\0"
                                          "2\0\r\0\n\0",
                                          10));
}

TEST_F(QuickWriteTest, RefusedArgumentsAndMissingFileTouchNothing) {
    writeIni("[S]\r\nk=1\r\n");
    EXPECT_FALSE(QuickWriteIniString("", "S", "k", "v"));
    EXPECT_FALSE(QuickWriteIniString(kIni, "", "k", "v"));
    EXPECT_FALSE(QuickDeleteIniString(kIni, "S", "", ""));
    EXPECT_FALSE(quick_write_helper(kIni, "S", "k", "v", 3));
    EXPECT_EQ(ini(), "[S]\r\nk=1\r\n");
    EXPECT_TRUE(log.lines().empty());
    EXPECT_FALSE(QuickWriteIniString("C:\\conf\\none.ini", "S", "k", "v"));
    EXPECT_TRUE(log.contains(
        "quick_write_helper: could not open file C:\\conf\\none.ini for reading.\r\n"));
    EXPECT_FALSE(std::filesystem::exists(machine.host("C:\\conf\\none.ini")));
    EXPECT_TRUE(tempFilesIn("C:\\conf").empty());
}

TEST_F(QuickWriteTest, FailedReplacementLeavesTheFileAndNoTemporaryFile) {
    const std::string original = "[S]\r\nk=1\r\n";
    writeIni(original);
    ASSERT_TRUE(platform::setFileAttributes(kIni, platform::kFileAttributeReadOnly));
    EXPECT_FALSE(QuickWriteIniString(kIni, "S", "k", "2"));
    EXPECT_TRUE(
        log.contains("quick_write_helper: could not copy temp file to destination "
                     "(error 5).\r\n"));
    EXPECT_TRUE(log.contains("\r\nDestination: C:\\conf\\app.ini\r\n"));
    ASSERT_TRUE(platform::setFileAttributes(kIni, platform::kFileAttributeNormal));

    setFileInUse(kIni, 32);
    EXPECT_FALSE(QuickDeleteIniString(kIni, "S", "k", ""));
    EXPECT_TRUE(log.contains("(error 32).\r\n"));
    EXPECT_EQ(ini(), original);
    EXPECT_TRUE(tempFilesIn("C:\\conf").empty());
}

TEST_F(QuickWriteTest, TemporaryFileThatCannotBeWrittenOrReadBackIsNeverPutInPlace) {
    const std::string original = "[S]\r\nk=1\r\n";
    writeIni(original);
    // A value with a line break would split the entry into two lines.
    EXPECT_FALSE(QuickWriteIniString(kIni, "S", "k", "a\nb=c"));
    EXPECT_TRUE(log.contains(" does not read back as written.\r\n"));
    EXPECT_EQ(ini(), original);
    EXPECT_TRUE(tempFilesIn("C:\\conf").empty());

    injectFault("CreateFile|*.TMP", 5);
    EXPECT_FALSE(QuickWriteIniString(kIni, "S", "k", "2"));
    EXPECT_TRUE(log.contains("quick_write_helper: could not open file C:\\conf\\tmp"));
    EXPECT_EQ(ini(), original);
    EXPECT_TRUE(tempFilesIn("C:\\conf").empty());
}

class QuickWrite9xTest : public QuickWriteTest {
  protected:
    QuickWrite9xTest() : QuickWriteTest(sim::MachineOptions{.os = "98SE"}) {}
};

// The family has no replacing rename: the file is put in place by renames, which a read-only
// file and a file another program holds refuse as they do on the NT family.
TEST_F(QuickWrite9xTest, FileIsCopiedOverUnlessReadOnlyOrHeld) {
    writeIni("[S]\r\nk=1\r\n");
    EXPECT_TRUE(QuickWriteIniString(kIni, "S", "k", "2"));
    EXPECT_EQ(ini(), "[S]\r\nk=2\r\n");

    ASSERT_TRUE(platform::setFileAttributes(kIni, platform::kFileAttributeReadOnly));
    EXPECT_FALSE(QuickWriteIniString(kIni, "S", "k", "3"));
    EXPECT_TRUE(
        log.contains("quick_write_helper: could not copy temp file to destination "
                     "(error 5).\r\n"));
    EXPECT_EQ(platform::getFileAttributes(kIni) & platform::kFileAttributeReadOnly,
              platform::kFileAttributeReadOnly);
    ASSERT_TRUE(platform::setFileAttributes(kIni, platform::kFileAttributeNormal));
    setFileInUse(kIni, 32);
    EXPECT_FALSE(QuickDeleteIniString(kIni, "S", "k", ""));
    EXPECT_TRUE(log.contains("(error 32).\r\n"));

    EXPECT_EQ(ini(), "[S]\r\nk=2\r\n");
    EXPECT_FALSE(log.contains("could not delete temp file"));
    EXPECT_TRUE(tempFilesIn("C:\\conf").empty());
    EXPECT_TRUE(tempFilesIn("C:\\WINDOWS").empty());
    EXPECT_TRUE(tempFilesIn("C:\\WINDOWS\\TEMP").empty());
}

// Text the ANSI code page cannot hold: only the line the edit writes goes through it, every
// other line keeps its bytes, and half a unit at the end stays there.
void expectUnicodeLinesKept(const TestMachine& machine) {
    const std::u16string text =
        u"[Other]\r\nGreek=\u03b1\u03b2\u03b3\u03b4\r\n"
        u"CJK=\u6253\u5370\u673a\r\n[S]\r\nOld=1\r\n";
    std::string bytes("\xFF\xFE", 2);
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    machine.writeFile(kIni, bytes + "\x7F");
    EXPECT_TRUE(QuickWriteIniString(kIni, "S", "New", "1"));
    EXPECT_EQ(machine.readFile(kIni), bytes + std::string("N\0e\0w\0=\0"
                                                          "1\0\r\0\n\0\x7F",
                                                          15));
}

TEST_F(QuickWriteTest, Utf16LinesTheEditDoesNotChangeKeepTheirBytes) {
    expectUnicodeLinesKept(machine);
}

TEST_F(QuickWrite9xTest, Utf16LinesTheEditDoesNotChangeKeepTheirBytes) {
    expectUnicodeLinesKept(machine);
}

}  // namespace
