#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/errors.h"
#include "platform/lz.h"
#include "platform/registry.h"
#include "platform/sim/faults.h"
#include "platform/sim/files_in_use.h"
#include "platform/sim/registry_store.h"
#include "tests/support/registry_data.h"
#include "tests/support/szdd_files.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

// Text with long repeats and stretches of every byte value, so that both literal bytes and
// back references of all lengths occur in the compressed form.
std::string sampleContent() {
    std::string content;
    uint32_t seed = 12345;
    for (int line = 0; line < 4000; ++line) {
        content += "[Printer.Files] line " + std::to_string(line % 97) + " = driver.dll\r\n";
        seed = seed * 1103515245u + 12345u;
        if (line % 50 == 0)
            for (int i = 0; i < 256; ++i) content += static_cast<char>((seed >> 16) + i);
    }
    return content;
}

class LzTest : public ::testing::Test {
  protected:
    // Expands a file of the machine into C:\out\result.bin; the result of lzCopy.
    int32_t expand(const std::string& source) {
        const int32_t from = lzOpenFile(source, kLzOpenRead);
        EXPECT_GE(from, 0) << source;
        const int32_t to = lzOpenFile("C:\\out\\result.bin", kLzOpenCreate);
        EXPECT_GE(to, 0);
        const int32_t copied = lzCopy(from, to);
        lzClose(from);
        lzClose(to);
        return copied;
    }

    // Compresses content with the peer tool into the machine at path.
    void writeCompressed(const std::string& path, const std::string& content) {
        const fs::path plain = machine.dir() / "plain.tmp";
        writeHostFile(plain, content);
        machine.writeFile(path, "");
        ASSERT_TRUE(makeSzdd(plain, machine.host(path)));
    }

    void SetUp() override { machine.writeFile("C:\\out\\placeholder", ""); }

    TestMachine machine;
};

TEST_F(LzTest, CompressedFileExpandsLikeThePeerTool) {
    const std::string content = sampleContent();
    writeCompressed("C:\\src\\DRIVER.DL_", content);
    ASSERT_EQ(readHostFile(machine.host("C:\\src\\DRIVER.DL_")).substr(0, 4), "SZDD");

    EXPECT_EQ(expand("C:\\src\\driver.dl_"), static_cast<int32_t>(content.size()));
    const std::string expanded = machine.readFile("C:\\out\\result.bin");
    EXPECT_EQ(expanded, content);
    const fs::path peer = machine.dir() / "peer.bin";
    ASSERT_TRUE(expandSzdd(machine.host("C:\\src\\DRIVER.DL_"), peer));
    EXPECT_EQ(expanded, readHostFile(peer));
}

TEST_F(LzTest, PlainAndEmptyFilesCopyUnchanged) {
    std::string binary = "MZ";
    for (int i = 0; i < 70000; ++i) binary += static_cast<char>(i * 7);
    machine.writeFile("C:\\src\\plain.dll", binary);
    EXPECT_EQ(expand("C:\\src\\plain.dll"), static_cast<int32_t>(binary.size()));
    EXPECT_EQ(machine.readFile("C:\\out\\result.bin"), binary);

    machine.writeFile("C:\\src\\empty.txt", "");
    machine.writeFile("C:\\out\\result.bin", "old content");
    EXPECT_EQ(expand("C:\\src\\empty.txt"), 0);
    EXPECT_EQ(machine.readFile("C:\\out\\result.bin"), "");

    // Shorter than a whole header: plain data, even though it starts with the magic.
    const std::string magicOnly("SZDD\x88\xF0\x27\x33", 8);
    machine.writeFile("C:\\src\\short.bin", magicOnly);
    EXPECT_EQ(expand("C:\\src\\short.bin"), 8);
    EXPECT_EQ(machine.readFile("C:\\out\\result.bin"), magicOnly);
}

TEST_F(LzTest, TruncatedStreamsGiveWhatWasDecoded) {
    const std::string content = sampleContent();
    writeCompressed("C:\\src\\whole.tx_", content);
    const std::string compressed = machine.readFile("C:\\src\\whole.tx_");

    machine.writeFile("C:\\src\\cut.tx_", compressed.substr(0, compressed.size() / 3));
    const int32_t copied = expand("C:\\src\\cut.tx_");
    const std::string expanded = machine.readFile("C:\\out\\result.bin");
    EXPECT_GT(copied, 0);
    EXPECT_LT(copied, static_cast<int32_t>(content.size()));
    EXPECT_EQ(static_cast<size_t>(copied), expanded.size());
    EXPECT_EQ(expanded, content.substr(0, expanded.size()));

    machine.writeFile("C:\\src\\header.tx_", compressed.substr(0, 14));
    EXPECT_EQ(expand("C:\\src\\header.tx_"), 0);
}

TEST_F(LzTest, GarbageAfterTheHeaderStillDecodesWithoutReadingPastIt) {
    std::string corrupt("SZDD\x88\xF0\x27\x33\x41\x00\x00\x10\x00\x00", 14);
    for (int i = 0; i < 3000; ++i) corrupt += static_cast<char>(i * 31 + 7);
    machine.writeFile("C:\\src\\corrupt.tx_", corrupt);
    const int32_t copied = expand("C:\\src\\corrupt.tx_");
    EXPECT_GE(copied, 0);
    EXPECT_EQ(static_cast<size_t>(copied), machine.readFile("C:\\out\\result.bin").size());
}

TEST_F(LzTest, UnknownCompressionModeIsRefusedAtOpen) {
    writeCompressed("C:\\src\\mode.tx_", sampleContent());
    std::string compressed = machine.readFile("C:\\src\\mode.tx_");
    compressed[8] = 'B';
    machine.writeFile("C:\\src\\mode.tx_", compressed);
    EXPECT_EQ(lzOpenFile("C:\\src\\mode.tx_", kLzOpenRead), kLzErrorUnknownAlgorithm);
}

TEST_F(LzTest, BadHandles) {
    machine.writeFile("C:\\src\\a.txt", "abc");
    const int32_t source = lzOpenFile("C:\\src\\a.txt", kLzOpenRead);
    const int32_t destination = lzOpenFile("C:\\out\\b.txt", kLzOpenCreate);
    ASSERT_GE(source, 0);
    ASSERT_GE(destination, 0);
    EXPECT_NE(source, destination);

    EXPECT_EQ(lzCopy(12345, destination), kLzErrorBadInHandle);
    EXPECT_EQ(lzCopy(source, 12345), kLzErrorBadOutHandle);
    // A handle open for writing is no source, one open for reading no destination.
    EXPECT_EQ(lzCopy(destination, destination), kLzErrorBadInHandle);
    EXPECT_EQ(lzCopy(source, source), kLzErrorBadOutHandle);

    lzClose(source);
    EXPECT_EQ(lzCopy(source, destination), kLzErrorBadInHandle);
    lzClose(destination);
    lzClose(destination);  // closing twice is harmless
    EXPECT_EQ(machine.readFile("C:\\out\\b.txt"), "");
}

TEST_F(LzTest, OpenFailuresReportTheReason) {
    machine.writeFile("C:\\src\\present.txt", "");
    EXPECT_EQ(lzOpenFile("C:\\src\\missing.txt", kLzOpenRead), -1);
    EXPECT_EQ(getLastError(), error::kFileNotFound);
    EXPECT_EQ(lzOpenFile("C:\\nowhere\\x.txt", kLzOpenCreate), -1);
    EXPECT_EQ(getLastError(), error::kPathNotFound);

    machine.writeFile("C:\\out\\readonly.txt", "keep");
    fs::permissions(machine.host("C:\\out\\readonly.txt"), fs::perms::owner_read);
    EXPECT_EQ(lzOpenFile("C:\\out\\readonly.txt", kLzOpenCreate), -1);
    EXPECT_EQ(getLastError(), error::kAccessDenied);
    EXPECT_EQ(machine.readFile("C:\\out\\readonly.txt"), "keep");

    machine.writeFile("C:\\out\\busy.dll", "loaded");
    sim::registry::writeValue(sim::kFilesInUseKey, "C:\\OUT\\BUSY.DLL", kRegDword,
                              dword(error::kSharingViolation));
    EXPECT_EQ(lzOpenFile("C:\\out\\busy.dll", kLzOpenCreate), -1);
    EXPECT_EQ(getLastError(), error::kSharingViolation);
    EXPECT_EQ(machine.readFile("C:\\out\\busy.dll"), "loaded");
    const int32_t reader = lzOpenFile("C:\\out\\busy.dll", kLzOpenRead);
    EXPECT_GE(reader, 0);  // reading it is allowed
    lzClose(reader);

    machine.writeFile("C:\\src\\faulty.tx_", "data");
    sim::registry::writeValue(sim::kFaultsKey, "LZOpenFile|*\\faulty.tx_", kRegDword,
                              dword(error::kLockViolation));
    EXPECT_EQ(lzOpenFile("C:\\src\\faulty.tx_", kLzOpenRead), -1);
    EXPECT_EQ(getLastError(), error::kLockViolation);
}

TEST_F(LzTest, CreateTruncatesAnExistingFile) {
    machine.writeFile("C:\\src\\new.txt", "new");
    machine.writeFile("C:\\out\\result.bin", "a much longer old content");
    EXPECT_EQ(expand("C:\\src\\new.txt"), 3);
    EXPECT_EQ(machine.readFile("C:\\out\\result.bin"), "new");
}

}  // namespace
