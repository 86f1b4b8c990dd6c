#include "support/zip_extract.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry_store.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"
#include "tests/support/zip_files.h"

namespace {

namespace fs = std::filesystem;

// 2021-03-14 15:09:26 UTC, the default stored time of ZipMember, as a FILETIME.
constexpr uint64_t kStoredTime = (1615734566ull + 11644473600ull) * 10000000ull;

// Larger than the copy buffer, and not a run of one byte, so that block joins show.
std::string bulkContent() {
    std::string text;
    for (int i = 0; text.size() < 3 * kZipCopyBufferSize + 123; ++i) text += std::to_string(i);
    return text;
}

class ZipExtractTest : public ::testing::Test {
  protected:
    explicit ZipExtractTest(const sim::MachineOptions& options = {}) : machine(options) {}

    void writeArchive(const std::string& windowsPath, const std::vector<ZipMember>& members) {
        ASSERT_TRUE(writeZipArchive(machine.host(windowsPath), members));
    }
    bool extract(const std::string& archive, const std::string& target) {
        PathObject targetDir;
        targetDir.SetDir(target);
        return ExtractZipTo(PathObject(CStdStr(archive)), targetDir);
    }
    bool exists(const std::string& windowsPath) const {
        return fs::exists(machine.host(windowsPath));
    }
    uint64_t lastWrite(const std::string& windowsPath) const {
        platform::FileTimes times;
        EXPECT_TRUE(platform::getFileTimes(windowsPath, &times)) << windowsPath;
        return times.lastWrite;
    }

    TestMachine machine;
    LogCapture log;
};

TEST_F(ZipExtractTest, InfoZipArchiveIsExtractedIntoNewSubdirectoriesWithItsTimes) {
    const fs::path tree = machine.dir() / "tree";
    fs::create_directories(tree / "sub" / "deep");
    writeHostFile(tree / "readme.txt", "read me");
    writeHostFile(tree / "sub" / "deep" / "data.bin", bulkContent());
    fs::create_directories(tree / "empty");
    // Even seconds: the archive keeps times to two seconds.
    const auto stamp = std::chrono::file_clock::from_sys(
        std::chrono::sys_seconds(std::chrono::seconds(1500000000)));
    for (const char* file : {"readme.txt", "sub/deep/data.bin"})
        fs::last_write_time(tree / file, stamp);
    ASSERT_TRUE(zipDirectory(tree, machine.host("C:\\pkg\\drv.zip")));

    EXPECT_TRUE(extract("C:\\pkg\\drv.zip", "C:\\out\\new"));
    EXPECT_EQ(machine.readFile("C:\\out\\new\\readme.txt"), "read me");
    EXPECT_EQ(machine.readFile("C:\\out\\new\\sub\\deep\\data.bin"), bulkContent());
    EXPECT_TRUE(fs::is_directory(machine.host("C:\\out\\new\\empty")));
    const uint64_t expected = (1500000000ull + 11644473600ull) * 10000000ull;
    EXPECT_EQ(lastWrite("C:\\out\\new\\readme.txt"), expected);
    EXPECT_EQ(lastWrite("C:\\out\\new\\sub\\deep\\data.bin"), expected);
    EXPECT_EQ(log.text(), "");
}

TEST_F(ZipExtractTest, ExistingFilesAreReplacedAndStoredMembersCopied) {
    machine.writeFile("C:\\out\\a.txt", "an older and longer text");
    writeArchive("C:\\pkg\\a.zip", {{.name = "a.txt", .content = "new", .stored = true},
                                    {.name = "empty.txt", .content = ""}});
    EXPECT_TRUE(extract("C:\\pkg\\a.zip", "C:\\out"));
    EXPECT_EQ(machine.readFile("C:\\out\\a.txt"), "new");
    EXPECT_EQ(machine.readFile("C:\\out\\empty.txt"), "");
    EXPECT_EQ(lastWrite("C:\\out\\a.txt"), kStoredTime);
}

TEST_F(ZipExtractTest, MembersThatWouldLeaveTheTargetAreSkippedAndLogged) {
    const std::vector<std::string> unsafe = {"..\\..\\WINDOWS\\system32\\x.dll",
                                             "../../WINDOWS/system32/y.dll",
                                             "C:\\x.txt",
                                             "C:x.txt",
                                             "\\root.txt",
                                             "/root2.txt",
                                             "sub/../../up.txt",
                                             "sub\\.. \\up2.txt",
                                             "\\\\server\\share\\z.txt"};
    std::vector<ZipMember> members;
    for (const std::string& name : unsafe) members.push_back({.name = name, .content = "evil"});
    members.push_back({.name = "ok/safe..name.txt", .content = "fine"});
    members.push_back({.name = "..dots", .content = "dots"});
    writeArchive("C:\\pkg\\evil.zip", members);

    EXPECT_TRUE(extract("C:\\pkg\\evil.zip", "C:\\out\\t"));
    EXPECT_EQ(machine.readFile("C:\\out\\t\\ok\\safe..name.txt"), "fine");
    EXPECT_EQ(machine.readFile("C:\\out\\t\\..dots"), "dots");
    for (const char* path : {"C:\\WINDOWS\\system32\\x.dll", "C:\\WINDOWS\\system32\\y.dll",
                             "C:\\x.txt", "C:\\root.txt", "C:\\root2.txt", "C:\\up.txt",
                             "C:\\out\\up.txt", "C:\\out\\up2.txt", "C:\\out\\t\\x.txt"})
        EXPECT_FALSE(exists(path)) << path;
    EXPECT_TRUE(
        log.contains("ZipListContents: skipped member ..\\..\\WINDOWS\\system32\\x.dll "
                     "whose name leads out of the target directory\r\n"));
    EXPECT_TRUE(log.contains("ZipListContents: skipped member \\root2.txt whose name"));
    EXPECT_EQ(log.lines().size(), unsafe.size());
}

TEST_F(ZipExtractTest, OpeningFailuresAndEmptyArchives) {
    EXPECT_FALSE(extract("C:\\pkg\\missing.zip", "C:\\out"));
    EXPECT_TRUE(log.contains("ZipListContents: could not open zip file C:\\pkg\\missing.zip\r\n"));
    machine.writeFile("C:\\pkg\\text.zip", "this is no archive");
    EXPECT_FALSE(extract("C:\\pkg\\text.zip", "C:\\out"));
    EXPECT_TRUE(log.contains("ZipListContents: could not open zip file C:\\pkg\\text.zip\r\n"));
    EXPECT_FALSE(ZipListContents(nullptr, ZipExtract, "C:\\out", nullptr));
    EXPECT_FALSE(ZipListContents("", ZipExtract, "C:\\out", nullptr));
    EXPECT_EQ(log.lines().size(), 2u);

    // An archive without members: its end record alone (as zip leaves it when every member
    // is deleted), with a comment, and behind a stub as in a self-extracting archive.
    writeArchive("C:\\pkg\\empty.zip", {});
    const std::string endRecord = machine.readFile("C:\\pkg\\empty.zip");
    ASSERT_EQ(endRecord.size(), 22u);
    std::string commented = endRecord;
    commented[20] = 2;
    machine.writeFile("C:\\pkg\\commented.zip", commented + "hi");
    machine.writeFile("C:\\pkg\\stub.zip", "stub" + endRecord);
    machine.writeFile("C:\\pkg\\cut.zip", endRecord.substr(0, 21));
    for (const char* archive :
         {"C:\\pkg\\empty.zip", "C:\\pkg\\commented.zip", "C:\\pkg\\stub.zip"})
        EXPECT_TRUE(extract(archive, "C:\\out")) << archive;
    std::vector<CStdStr> names{"left over"};
    EXPECT_TRUE(ZipListContents("C:\\pkg\\empty.zip", ZipList, nullptr, &names));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(extract("C:\\pkg\\cut.zip", "C:\\out"));
    EXPECT_EQ(log.lines().size(), 3u);
    EXPECT_FALSE(exists("C:\\out"));
}

TEST_F(ZipExtractTest, ListingModesFillTheListInArchiveOrder) {
    writeArchive("C:\\pkg\\l.zip", {{.name = "b/one.txt", .content = "1"},
                                    {.name = "a.txt", .content = "2"},
                                    {.name = "../skip.txt", .content = "3"}});
    std::vector<CStdStr> names{"left over"};
    EXPECT_TRUE(ZipListContents("C:\\pkg\\l.zip", ZipList, "C:\\out", &names));
    EXPECT_EQ(names, (std::vector<CStdStr>{"b\\one.txt", "a.txt", "..\\skip.txt"}));
    EXPECT_TRUE(ZipListContents("C:\\pkg\\l.zip", ZipList, "C:\\out", nullptr));
    EXPECT_FALSE(exists("C:\\out"));

    names.clear();
    EXPECT_TRUE(ZipListContents("C:\\pkg\\l.zip", ZipListAndExtract, "C:\\out", &names));
    EXPECT_EQ(names.size(), 3u);
    EXPECT_EQ(machine.readFile("C:\\out\\b\\one.txt"), "1");
    EXPECT_FALSE(exists("C:\\skip.txt"));

    // Extracting alone leaves a supplied list alone.
    names = {"kept"};
    EXPECT_TRUE(ZipListContents("C:\\pkg\\l.zip", ZipExtract, "C:\\out2", &names));
    EXPECT_EQ(names, std::vector<CStdStr>{"kept"});
    EXPECT_EQ(machine.readFile("C:\\out2\\a.txt"), "2");
}

TEST_F(ZipExtractTest, WithoutTargetMembersGoBelowTheCurrentDirectory) {
    writeArchive("C:\\pkg\\r.zip",
                 {{.name = "sub/r.txt", .content = "r"}, {.name = "top.txt", .content = "t"}});
    ASSERT_TRUE(platform::createDirectory("C:\\work"));
    ASSERT_TRUE(platform::setCurrentDirectory("C:\\work"));
    EXPECT_TRUE(ZipListContents("C:\\pkg\\r.zip", ZipExtract, nullptr, nullptr));
    EXPECT_EQ(machine.readFile("C:\\work\\sub\\r.txt"), "r");
    EXPECT_EQ(machine.readFile("C:\\work\\top.txt"), "t");
}

TEST_F(ZipExtractTest, DamagedMembersLeaveNoFileBehindAndTheRestIsExtracted) {
    const std::string stored = "stored member content";
    writeArchive("C:\\pkg\\bad.zip", {{.name = "packed.bin", .content = bulkContent()},
                                      {.name = "stored.txt", .content = stored, .stored = true},
                                      {.name = "good.txt", .content = "good"}});
    std::string bytes = machine.readFile("C:\\pkg\\bad.zip");
    // The first member's data follows its 30-byte local header, name and extra field.
    const size_t dataStart =
        30 + static_cast<unsigned char>(bytes[26]) + static_cast<unsigned char>(bytes[28]);
    bytes[dataStart] = static_cast<char>(0xFF);  // a deflate block type that does not exist
    bytes[bytes.find(stored) + 3] ^= 0x20;
    machine.writeFile("C:\\pkg\\bad.zip", bytes);

    EXPECT_TRUE(extract("C:\\pkg\\bad.zip", "C:\\out"));
    EXPECT_FALSE(exists("C:\\out\\packed.bin"));
    EXPECT_FALSE(exists("C:\\out\\stored.txt"));
    EXPECT_EQ(machine.readFile("C:\\out\\good.txt"), "good");
    EXPECT_TRUE(log.contains(
        "zip_extract_file: unable to read the archive's data for C:\\out\\packed.bin (Error: "));
    EXPECT_TRUE(
        log.contains("zip_extract_file: checksum mismatch for C:\\out\\stored.txt "
                     "(Error: -105)\r\n"));
}

// Each member would replace a file of the machine; none can be written whole.
TEST_F(ZipExtractTest, MembersThatCannotBeWrittenWholeLeaveTheOldFileAsItWas) {
    const std::string old = "the machine's own file\r\n";
    for (const char* name : {"packed.bin", "stored.txt", "secret.txt", "full\\full.txt"})
        machine.writeFile(std::string("C:\\out\\") + name, old);
    writeArchive("C:\\pkg\\bad.zip",
                 {{.name = "packed.bin", .content = bulkContent()},
                  {.name = "stored.txt", .content = "stored member", .stored = true},
                  {.name = "secret.txt", .content = "plain", .stored = true},
                  {.name = "full/full.txt", .content = bulkContent()}});
    std::string bytes = machine.readFile("C:\\pkg\\bad.zip");
    const size_t dataStart =
        30 + static_cast<unsigned char>(bytes[26]) + static_cast<unsigned char>(bytes[28]);
    bytes[dataStart] = static_cast<char>(0xFF);
    bytes[bytes.find("stored member") + 1] ^= 0x20;
    // The encryption bit, in the member's local and central headers.
    const size_t local = bytes.rfind("PK\3\4", bytes.find("secret.txt"));
    const size_t central = bytes.rfind("PK\1\2", bytes.rfind("secret.txt"));
    bytes[local + 6] |= 1;
    bytes[central + 8] |= 1;
    machine.writeFile("C:\\pkg\\bad.zip", bytes);
    sim::registry::writeValue(sim::kFaultsKey, "WriteFile|C:\\out\\full\\*", kRegDword, dword(112));

    EXPECT_TRUE(extract("C:\\pkg\\bad.zip", "C:\\out"));
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(machine.host("C:\\out")))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 4u) << "scratch files left behind";
    for (const char* name : {"packed.bin", "stored.txt", "secret.txt", "full\\full.txt"})
        EXPECT_EQ(machine.readFile(std::string("C:\\out\\") + name), old) << name;
    EXPECT_TRUE(log.contains("checksum mismatch for C:\\out\\stored.txt"));
    EXPECT_TRUE(log.contains("skipped member secret.txt which is encrypted"));
    EXPECT_TRUE(log.contains("unable to write C:\\out\\full\\full.txt (Error: 112)"));
}

TEST_F(ZipExtractTest, ImpossibleStoredDateExtractsWithoutTimes) {
    writeArchive("C:\\pkg\\d.zip", {{.name = "d.txt", .content = "d", .day = 0},
                                    {.name = "e.txt", .content = "e", .month = 14}});
    EXPECT_TRUE(extract("C:\\pkg\\d.zip", "C:\\out"));
    EXPECT_EQ(machine.readFile("C:\\out\\d.txt"), "d");
    EXPECT_EQ(machine.readFile("C:\\out\\e.txt"), "e");
    EXPECT_NE(lastWrite("C:\\out\\d.txt"), kStoredTime);
    EXPECT_TRUE(
        log.contains("zip_extract_file: unable to call SystemTimeToFileTime for "
                     "C:\\out\\d.txt(Error: 87)\r\n"));
    EXPECT_TRUE(log.contains("SystemTimeToFileTime for C:\\out\\e.txt(Error: 87)\r\n"));
}

TEST_F(ZipExtractTest, RefusedFileTimesAreLoggedAndTheFileKept) {
    sim::registry::writeValue(sim::kFaultsKey, "SetFileTime|*\\locked.txt", kRegDword, dword(5));
    writeArchive("C:\\pkg\\t.zip",
                 {{.name = "locked.txt", .content = "l"}, {.name = "free.txt", .content = "f"}});
    EXPECT_TRUE(extract("C:\\pkg\\t.zip", "C:\\out"));
    EXPECT_EQ(machine.readFile("C:\\out\\locked.txt"), "l");
    EXPECT_EQ(lastWrite("C:\\out\\free.txt"), kStoredTime);
    EXPECT_EQ(log.text(),
              "zip_extract_file: unable to call SetFileTime for C:\\out\\locked.txt (Error: "
              "5)\r\n");
}

// A walk makes a directory once for the members that follow each other in it, but one that
// could not be made is tried again for every member, as each logs its own failure.
TEST_F(ZipExtractTest, EachMembersDirectoryIsMadeEvenWhenTheyAlternate) {
    sim::registry::writeValue(sim::kFaultsKey, "CreateDirectory|*\\refused\\", kRegDword, dword(5));
    writeArchive("C:\\pkg\\d.zip", {{.name = "one/a.txt", .content = "a"},
                                    {.name = "two/b.txt", .content = "b"},
                                    {.name = "one/c.txt", .content = "c"},
                                    {.name = "refused/d.txt", .content = "d"},
                                    {.name = "refused/e.txt", .content = "e"},
                                    {.name = "one/f.txt", .content = "f"}});
    EXPECT_TRUE(extract("C:\\pkg\\d.zip", "C:\\out"));
    for (const char* name : {"one\\a.txt", "two\\b.txt", "one\\c.txt", "one\\f.txt"})
        EXPECT_TRUE(exists(std::string("C:\\out\\") + name)) << name;
    EXPECT_FALSE(exists("C:\\out\\refused"));
    const std::string failure =
        "FileOp::MakePath: tried to create directory C:\\out\\refused\\ but failed.  (Error code: "
        "5)";
    const std::string text = log.text();
    size_t count = 0;
    for (size_t at = text.find(failure); at != std::string::npos; at = text.find(failure, at + 1))
        ++count;
    EXPECT_EQ(count, 2u) << text;
}

class ZipExtractWin9xTest : public ZipExtractTest {
  protected:
    ZipExtractWin9xTest() : ZipExtractTest(sim::MachineOptions{.os = "98"}) {}
};

TEST_F(ZipExtractWin9xTest, TimesAreSetAndAnUncreatableFileIsReported) {
    ASSERT_TRUE(fs::create_directories(machine.host("C:\\out\\taken.txt")));
    writeArchive("C:\\pkg\\n.zip",
                 {{.name = "ninex.txt", .content = "9"}, {.name = "taken.txt", .content = "x"}});
    EXPECT_TRUE(extract("C:\\pkg\\n.zip", "C:\\out"));
    EXPECT_EQ(machine.readFile("C:\\out\\ninex.txt"), "9");
    EXPECT_EQ(lastWrite("C:\\out\\ninex.txt"), kStoredTime);
    EXPECT_TRUE(fs::is_directory(machine.host("C:\\out\\taken.txt")));
    EXPECT_TRUE(
        log.contains("zip_extract_file: unable to call SetFileTime for "
                     "C:\\out\\taken.txt (Error: "));
}

TEST_F(ZipExtractWin9xTest, ArchiveThatIsOnlyItsEndRecordExtractsNothing) {
    writeArchive("C:\\pkg\\empty.zip", {});
    EXPECT_TRUE(extract("C:\\pkg\\empty.zip", "C:\\out"));
    EXPECT_TRUE(log.lines().empty());
    EXPECT_FALSE(exists("C:\\out"));
}

}  // namespace
