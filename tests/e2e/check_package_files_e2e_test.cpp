// dadazado-check on package files the utility cannot use: archive members that would not be
// written, and names no Windows machine can hold.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/sim/scratch_directory.h"
#include "tests/support/program_run.h"
#include "tests/support/test_machine.h"
#include "tests/support/zip_files.h"

namespace {

namespace fs = std::filesystem;

std::string infUnzipping(const std::string& archive) {
    return "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n\"A\"=A.Models\r\n"
           "[A.Models]\r\n\"A Printer\" = Install, AId\r\n[Install]\r\nQenUnZipZipFile=Zips\r\n"
           "[Zips]\r\nx, 1, %1%\\" +
           archive + ", C:\\Out\r\n";
}

// The member's local header and its entry in the central directory.
void patch(std::string& bytes, const std::string& member, size_t localOffset, size_t centralOffset,
           char value) {
    bytes[bytes.rfind("PK\3\4", bytes.find(member)) + localOffset] = value;
    bytes[bytes.rfind("PK\1\2", bytes.rfind(member)) + centralOffset] = value;
}

TEST(DadazadoCheckFiles, ArchiveMembersThatWouldNotBeWrittenAreNamed) {
    const fs::path package = sim::makeScratchDirectory("dadazado-check-files");
    ASSERT_FALSE(package.empty());
    writeHostFile(package / "oem.inf", infUnzipping("BAD.ZIP"));
    ASSERT_TRUE(writeZipArchive(package / "BAD.ZIP",
                                {{.name = "good.txt", .content = "good"},
                                 {.name = "crc.txt", .content = "checksum member", .stored = true},
                                 {.name = "secret.txt", .content = "secret", .stored = true},
                                 {.name = "method.txt", .content = "method member"},
                                 {.name = "size.txt", .content = "size member"}}));
    std::string bytes = readHostFile(package / "BAD.ZIP");
    bytes[bytes.find("checksum member")] ^= 0x20;
    patch(bytes, "secret.txt", 6, 8, 1);    // the encryption flag
    patch(bytes, "method.txt", 8, 10, 12);  // method 12
    patch(bytes, "size.txt", 22, 24, 99);   // a larger stated size
    writeHostFile(package / "BAD.ZIP", bytes);

    const ProgramResult result = runProgram(DADAZADO_CHECK_BINARY, {package.string()});
    const std::string& out = result.standardError;
    EXPECT_NE(out.find("member crc.txt fails its checksum"), std::string::npos) << out;
    EXPECT_NE(out.find("member secret.txt is encrypted"), std::string::npos) << out;
    EXPECT_NE(out.find("member method.txt is compressed with method 12"), std::string::npos) << out;
    EXPECT_NE(out.find("member size.txt states a size of 99 bytes but holds 11"), std::string::npos)
        << out;
    EXPECT_EQ(out.find("good.txt"), std::string::npos) << out;
    fs::remove_all(package);
}

TEST(DadazadoCheckFiles, AFileNamedLikeADeviceIsNamed) {
    const fs::path package = sim::makeScratchDirectory("dadazado-check-files");
    ASSERT_FALSE(package.empty());
    writeHostFile(package / "oem.inf", infUnzipping("NUL.ZIP"));
    writeHostFile(package / "NUL.ZIP", "");
    const ProgramResult result = runProgram(DADAZADO_CHECK_BINARY, {package.string()});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.standardError.find("cannot copy " + (package / "NUL.ZIP").string() +
                                        " onto the scratch machine: Windows reserves the name NUL"),
              std::string::npos)
        << result.standardError;
    fs::remove_all(package);
}

}  // namespace
