#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/find_files.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

// Every entry a search finds, "name|short name", or the error of the first call.
std::vector<std::string> findAll(const std::string& pattern) {
    FindData data;
    FindSearch* search = findFirstFile(pattern, &data);
    if (search == nullptr) return {"error " + std::to_string(getLastError())};
    std::vector<std::string> found;
    do found.push_back(data.fileName + "|" + data.alternateName);
    while (findNextFile(search, &data));
    const uint32_t end = getLastError();
    findClose(search);
    if (end != 18) found.push_back("ended with " + std::to_string(end));
    return found;
}

std::string shortPathOf(const std::string& path) {
    std::string result;
    return getShortPathName(path, &result) ? result : "error " + std::to_string(getLastError());
}

}  // namespace

TEST(SimFindFiles, ListsDotsFirstThenSortedWithoutRegardToCase) {
    TestMachine machine;
    machine.writeFile("C:\\d\\beta.txt", "12345");
    machine.writeFile("C:\\d\\Alpha.TXT", "");
    machine.writeFile("C:\\d\\README", "");
    machine.writeFile("C:\\d\\Long File Name.html", "");
    fs::create_directories(machine.dir() / "drive_c" / "d" / "sub");
    const std::vector<std::string> all = {
        ".|",      "..|", "Alpha.TXT|", "beta.txt|", "Long File Name.html|LONGFI~1.HTM",
        "README|", "sub|"};
    EXPECT_EQ(findAll("C:\\d\\*.*"), all);
    EXPECT_EQ(findAll("c:\\D\\*"), all);
    EXPECT_EQ(findAll("C:\\d\\*.txt"), (std::vector<std::string>{"Alpha.TXT|", "beta.txt|"}));
    EXPECT_EQ(findAll("C:\\d\\*."), (std::vector<std::string>{".|", "..|", "README|", "sub|"}));
    EXPECT_EQ(findAll("C:\\d\\?eta.*"), (std::vector<std::string>{"beta.txt|"}));
    EXPECT_EQ(findAll("C:\\d\\BETA.TXT"), (std::vector<std::string>{"beta.txt|"}));
    EXPECT_EQ(findAll("C:\\d\\*.dll"), (std::vector<std::string>{"error 2"}));
    EXPECT_EQ(findAll("C:\\none\\*.*"), (std::vector<std::string>{"error 3"}));
    EXPECT_EQ(findAll("C:\\d\\beta.txt\\*"), (std::vector<std::string>{"error 3"}));
}

TEST(SimFindFiles, DescribesEntriesAndLeavesDotsOutAtARoot) {
    TestMachine machine(sim::MachineOptions{.os = "98"});
    machine.writeFile("C:\\d\\beta.txt", "12345");
    ASSERT_TRUE(setFileTimes("C:\\d\\beta.txt", FileTimes{0, 0, 130000000000000000ull}));
    ASSERT_TRUE(setFileAttributes("C:\\d\\beta.txt", kFileAttributeReadOnly));
    FindData data;
    FindSearch* search = findFirstFile("C:\\d\\beta.txt", &data);
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(data.size, 5u);
    EXPECT_EQ(data.attributes, kFileAttributeArchive | kFileAttributeReadOnly);
    EXPECT_EQ(data.lastWrite, 130000000000000000ull);
    EXPECT_FALSE(findNextFile(search, &data));
    EXPECT_EQ(getLastError(), 18u);
    findClose(search);
    EXPECT_FALSE(findNextFile(nullptr, &data));
    EXPECT_EQ(getLastError(), error::kInvalidHandle);

    search = findFirstFile("C:\\*", &data);
    ASSERT_NE(search, nullptr);
    EXPECT_NE(data.fileName, ".");
    bool sawD = false;
    do sawD = sawD || (data.fileName == "d" && data.attributes == kFileAttributeDirectory);
    while (findNextFile(search, &data));
    findClose(search);
    EXPECT_TRUE(sawD);
}

TEST(SimShortPathName, KeepsShortComponentsAndNumbersLongOnesAmongSiblings) {
    TestMachine machine;
    fs::create_directories(machine.dir() / "drive_c" / "Program Files" / "Vendor Tools");
    fs::create_directories(machine.dir() / "drive_c" / "Program Data");
    fs::create_directories(machine.dir() / "drive_c" / "progra~2");
    machine.writeFile("C:\\Program Files\\Vendor Tools\\setup.inf", "");
    machine.writeFile("C:\\Program Files\\a+b;c.tar.gz", "");
    machine.writeFile("C:\\Program Files\\.profile", "");

    // "Program Data" sorts first and takes ~1; ~2 is already an existing 8.3 name.
    EXPECT_EQ(shortPathOf("C:\\Program Data"), "C:\\PROGRA~1");
    EXPECT_EQ(shortPathOf("c:\\program files\\vendor tools\\setup.inf"),
              "c:\\PROGRA~3\\VENDOR~1\\setup.inf");
    EXPECT_EQ(shortPathOf("C:\\Program Files\\a+b;c.tar.gz"), "C:\\PROGRA~3\\A_B_CT~1.GZ");
    EXPECT_EQ(shortPathOf("C:\\Program Files\\.profile"), "C:\\PROGRA~3\\PROFIL~1");
    EXPECT_EQ(shortPathOf("C:\\"), "C:\\");
    EXPECT_EQ(shortPathOf("C:\\WINDOWS\\"), "C:\\WINDOWS\\");
    EXPECT_EQ(shortPathOf("C:\\Program Files\\none.txt"), "error 2");
    EXPECT_EQ(shortPathOf("C:\\none\\none.txt"), "error 3");
    EXPECT_EQ(shortPathOf("\\\\server\\share\\x"), "error 3");

    std::vector<std::string> found = findAll("C:\\Program Files\\*.gz");
    EXPECT_EQ(found, (std::vector<std::string>{"a+b;c.tar.gz|A_B_CT~1.GZ"}));
}

TEST(SimTempFileName, CreatesNumberedFilesThatDoNotClash) {
    TestMachine machine;
    fs::create_directories(machine.dir() / "drive_c" / "tmp");
    std::string first, second, formed;
    const uint32_t a = getTempFileName("C:\\tmp", "dadazado", 0, &first);
    ASSERT_NE(a, 0u);
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", a);
    EXPECT_EQ(first, std::string("C:\\tmp\\dad") + hex + ".TMP");
    EXPECT_TRUE(fs::is_regular_file(machine.host(first)));
    EXPECT_EQ(fs::file_size(machine.host(first)), 0u);

    // A name that is already taken, in any case, is passed over.
    std::snprintf(hex, sizeof hex, "%x", a + 1);
    machine.writeFile(std::string("C:\\tmp\\dad") + hex + ".tmp", "keep");
    const uint32_t b = getTempFileName("C:\\tmp\\", "dad", 0, &second);
    EXPECT_GT(b, a + 1);
    EXPECT_EQ(second.rfind("C:\\tmp\\dad", 0), 0u);
    EXPECT_TRUE(fs::is_regular_file(machine.host(second)));
    EXPECT_EQ(machine.readFile(std::string("C:\\tmp\\dad") + hex + ".tmp"), "keep");

    EXPECT_EQ(getTempFileName("C:\\tmp", "x", 0x2A, &formed), 0x2Au);
    EXPECT_EQ(formed, "C:\\tmp\\x2A.TMP");
    EXPECT_FALSE(fs::exists(machine.host(formed)));

    EXPECT_EQ(getTempFileName("C:\\none", "dad", 0, &formed), 0u);
    EXPECT_EQ(getLastError(), error::kPathNotFound);
    EXPECT_EQ(getTempFileName(first, "dad", 0, &formed), 0u);
    EXPECT_EQ(getLastError(), 267u);
}
