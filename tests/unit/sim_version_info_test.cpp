#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry_store.h"
#include "platform/version_info.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

constexpr uint32_t kResourceDataNotFound = 1812;
constexpr uint32_t kResourceTypeNotFound = 1813;
constexpr const char* kDriverPath = "C:\\drivers\\driver.dll";

std::string fixture(const std::string& name) {
    return readHostFile(fs::path(DADAZADO_PE_FIXTURE_DIR) / name);
}

uint32_t u32At(const std::string& bytes, size_t offset) {
    uint32_t value;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

void putU32(std::string& bytes, size_t offset, uint32_t value) {
    std::memcpy(bytes.data() + offset, &value, 4);
}

// The whole block as getFileVersionInfo fills it, in a buffer of exactly the size asked for
// so that a write past it shows under the address sanitizer.
std::optional<std::vector<char>> versionBlockOf(const std::string& path) {
    const uint32_t size = getFileVersionInfoSize(path);
    if (size == 0) return std::nullopt;
    std::vector<char> block(size);
    if (!getFileVersionInfo(path, size, block.data())) return std::nullopt;
    return block;
}

std::optional<std::string> queryText(const std::vector<char>& block, const std::string& sub) {
    const void* value = nullptr;
    uint32_t length = 0;
    if (!verQueryValue(block.data(), sub, &value, &length)) return std::nullopt;
    const std::string text(static_cast<const char*>(value));
    EXPECT_EQ(length, text.size() + 1) << sub;
    return text;
}

// As the product asks: the first translation names the string table holding FileVersion.
std::optional<std::string> fileVersionOf(const std::vector<char>& block) {
    const void* value = nullptr;
    uint32_t length = 0;
    if (!verQueryValue(block.data(), "\\VarFileInfo\\Translation", &value, &length) || length < 4)
        return std::nullopt;
    uint32_t translation;
    std::memcpy(&translation, value, 4);
    char sub[64];
    std::snprintf(sub, sizeof sub, "\\StringFileInfo\\%08lx\\FileVersion",
                  static_cast<unsigned long>((translation << 16) | (translation >> 16)));
    return queryText(block, sub);
}

struct FixtureCase {
    const char* file;
    const char* fileVersion;
    uint32_t versionMs;  // the fixed part's dwFileVersionMS
    uint32_t versionLs;
};

class FixtureVersions : public ::testing::TestWithParam<FixtureCase> {
  protected:
    TestMachine machine;
};

TEST_P(FixtureVersions, FileVersionThroughTheTranslation) {
    const FixtureCase& c = GetParam();
    machine.writeFile(kDriverPath, fixture(c.file));
    const auto block = versionBlockOf(kDriverPath);
    ASSERT_TRUE(block.has_value()) << c.file << " error " << getLastError();
    EXPECT_EQ(fileVersionOf(*block), std::optional<std::string>(c.fileVersion));

    // Room for the block, the signature after it, and an ANSI copy of every text.
    uint16_t rootLength;
    std::memcpy(&rootLength, block->data(), 2);
    EXPECT_EQ(block->size(), rootLength * 2u + 4u);

    const void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(verQueryValue(block->data(), "\\", &value, &length));
    ASSERT_EQ(length, 52u);
    const std::string fixed(static_cast<const char*>(value), length);
    EXPECT_EQ(u32At(fixed, 0), 0xFEEF04BDu);
    EXPECT_EQ(u32At(fixed, 8), c.versionMs);
    EXPECT_EQ(u32At(fixed, 12), c.versionLs);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureVersions,
                         ::testing::Values(FixtureCase{"ver_1_0.dll", "1.0", 0x10000, 0},
                                           FixtureCase{"ver_1_0_0.dll", "1.0.0", 0x10000, 0},
                                           FixtureCase{"ver_2_0.dll", "2.0", 0x20000, 0},
                                           FixtureCase{"ver_10_0.dll", "10.0", 0xA0000, 0},
                                           FixtureCase{"ver_1_2_3_4_commas.dll", "1, 2, 3, 4",
                                                       0x10002, 0x30004},
                                           FixtureCase{"ver_2_0_pe32.dll", "2.0", 0x20000, 0}));

TEST(VersionQueries, KeysIgnoreCaseAndAnswersStayValid) {
    TestMachine machine;
    machine.writeFile(kDriverPath, fixture("ver_1_2_3_4_commas.dll"));
    const auto block = versionBlockOf(kDriverPath);
    ASSERT_TRUE(block.has_value());

    const void* version = nullptr;
    const void* company = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(
        verQueryValue(block->data(), "\\StringFileInfo\\040904B0\\fileversion", &version, &length));
    ASSERT_TRUE(
        verQueryValue(block->data(), "\\stringfileinfo\\040904b0\\CompanyName", &company, &length));
    EXPECT_STREQ(static_cast<const char*>(version), "1, 2, 3, 4");
    EXPECT_STREQ(static_cast<const char*>(company), "Fixture Printing");
    EXPECT_EQ(queryText(*block, "\\StringFileInfo\\040904b0\\FileVersion"), "1, 2, 3, 4");

    const void* value = nullptr;
    EXPECT_FALSE(
        verQueryValue(block->data(), "\\StringFileInfo\\040904b0\\Missing", &value, &length));
    EXPECT_EQ(getLastError(), kResourceTypeNotFound);
    EXPECT_FALSE(
        verQueryValue(block->data(), "\\StringFileInfo\\040704e4\\FileVersion", &value, &length));
}

TEST(VersionQueries, ShortBufferGetsABlockThatFitsIt) {
    TestMachine machine;
    machine.writeFile(kDriverPath, fixture("ver_1_0.dll"));
    const uint32_t size = getFileVersionInfoSize(kDriverPath);
    ASSERT_GT(size, 0u);
    for (uint32_t shorter : {size - 1, size / 2, 200u, 20u}) {
        std::vector<char> block(shorter);
        if (!getFileVersionInfo(kDriverPath, shorter, block.data())) continue;
        uint16_t rootLength;
        std::memcpy(&rootLength, block.data(), 2);
        EXPECT_LE(rootLength * 2u + 4u, shorter);
        // Whatever a query finds lies inside the buffer.
        for (const char* sub :
             {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904b0\\FileVersion",
              "\\StringFileInfo\\040904b0\\ProductVersion"}) {
            const void* value = nullptr;
            uint32_t length = 0;
            if (!verQueryValue(block.data(), sub, &value, &length)) continue;
            const char* at = static_cast<const char*>(value);
            EXPECT_GE(at, block.data());
            EXPECT_LE(at + length, block.data() + shorter);
        }
    }
    std::vector<char> tiny(5);
    EXPECT_FALSE(getFileVersionInfo(kDriverPath, 5, tiny.data()));
    EXPECT_EQ(getLastError(), error::kInsufficientBuffer);
}

TEST(VersionErrors, FilesWithoutVersionInformation) {
    TestMachine machine;
    machine.writeFile("C:\\drivers\\present.txt", "");
    EXPECT_EQ(getFileVersionInfoSize("C:\\drivers\\missing.dll"), 0u);
    EXPECT_EQ(getLastError(), error::kFileNotFound);

    machine.writeFile("C:\\drivers\\readme.txt", "MZ but only text\r\n");
    EXPECT_EQ(getFileVersionInfoSize("C:\\drivers\\readme.txt"), 0u);
    EXPECT_EQ(getLastError(), kResourceDataNotFound);

    machine.writeFile("C:\\drivers\\plain.dll", fixture("no_version.dll"));
    EXPECT_EQ(getFileVersionInfoSize("C:\\drivers\\plain.dll"), 0u);
    EXPECT_EQ(getLastError(), kResourceTypeNotFound);
    std::vector<char> block(1024);
    EXPECT_FALSE(getFileVersionInfo("C:\\drivers\\plain.dll", 1024, block.data()));

    machine.writeFile(kDriverPath, fixture("ver_1_0.dll"));
    std::string code;
    for (int i = 0; i < 4; ++i) code += static_cast<char>((error::kAccessDenied >> (8 * i)) & 0xFF);
    sim::registry::writeValue(sim::kFaultsKey, "GetFileVersionInfoSize|*\\driver.dll", kRegDword,
                              code);
    EXPECT_EQ(getFileVersionInfoSize(kDriverPath), 0u);
    EXPECT_EQ(getLastError(), error::kAccessDenied);
}

class BrokenImages : public ::testing::Test {
  protected:
    void SetUp() override {
        image = fixture("ver_2_0.dll");
        peHeader = u32At(image, 0x3C);
        optionalHeader = peHeader + 24;
    }

    uint32_t sizeOf(const std::string& bytes) {
        machine.writeFile(kDriverPath, bytes);
        return getFileVersionInfoSize(kDriverPath);
    }

    TestMachine machine;
    std::string image;
    size_t peHeader = 0;
    size_t optionalHeader = 0;
};

TEST_F(BrokenImages, BrokenHeadersGiveNoResource) {
    ASSERT_GT(sizeOf(image), 0u);
    struct Corruption {
        const char* what;
        size_t offset;
        uint32_t value;
    };
    const Corruption corruptions[] = {
        {"PE header past the end", 0x3C, 0xFFFFFFF0u},
        {"PE signature", peHeader, 0x00004550u ^ 0x01u},
        {"section count past the end", peHeader + 6, 0xFFFF0000u | image[peHeader + 8]},
        {"optional header magic", optionalHeader, 0x12345678u},
        {"resource directory RVA", optionalHeader + 112 + 16, 0x7FFFFFF0u},
        {"directory count", optionalHeader + 108, 2u},
    };
    for (const Corruption& c : corruptions) {
        std::string broken = image;
        ASSERT_LE(c.offset + 4, broken.size()) << c.what;
        if (std::strcmp(c.what, "section count past the end") == 0) {
            broken[c.offset] = '\xFF';
            broken[c.offset + 1] = '\xFF';
        } else {
            putU32(broken, c.offset, c.value);
        }
        EXPECT_EQ(sizeOf(broken), 0u) << c.what;
        EXPECT_EQ(getLastError(), kResourceDataNotFound) << c.what;
    }
}

TEST_F(BrokenImages, EveryTruncationIsSafe) {
    const uint32_t whole = sizeOf(image);
    ASSERT_GT(whole, 0u);
    size_t firstComplete = image.size();
    for (size_t length = 0; length < image.size(); length += 7) {
        const uint32_t size = sizeOf(image.substr(0, length));
        if (size == 0) {
            EXPECT_EQ(getLastError(), kResourceDataNotFound) << length;
            EXPECT_LT(length, firstComplete) << "lost again at " << length;
            continue;
        }
        EXPECT_EQ(size, whole) << length;
        firstComplete = std::min(firstComplete, length);
    }
}

TEST_F(BrokenImages, LengthsInsideTheVersionBlockStayInside) {
    const std::u16string key = u"VS_VERSION_INFO";
    const std::string keyBytes(reinterpret_cast<const char*>(key.data()), key.size() * 2);
    const size_t root = image.find(keyBytes);
    ASSERT_NE(root, std::string::npos);
    ASSERT_GE(root, 6u);
    const size_t rootStart = root - 6;

    // A root claiming more than the resource holds is cut down to the resource.
    std::string claimsMore = image;
    claimsMore[rootStart] = claimsMore[rootStart + 1] = '\xFF';
    const uint32_t whole = sizeOf(image);
    const uint32_t size = sizeOf(claimsMore);
    EXPECT_GE(size, whole);
    EXPECT_LE(size, whole + 8);  // the resource's own size, padded to 32 bits at most

    // Children whose lengths point outside their parents end the walk: whatever a query
    // still finds lies inside the block.
    for (size_t at = rootStart + 40; at + 2 < rootStart + whole / 2; at += 2) {
        std::string broken = image;
        broken[at] = '\xF0';
        broken[at + 1] = '\x7F';
        machine.writeFile(kDriverPath, broken);
        const auto block = versionBlockOf(kDriverPath);
        ASSERT_TRUE(block.has_value()) << at;
        for (const char* sub :
             {"\\VarFileInfo\\Translation", "\\StringFileInfo\\040904b0\\FileVersion"}) {
            const void* value = nullptr;
            uint32_t length = 0;
            if (!verQueryValue(block->data(), sub, &value, &length)) continue;
            const char* found = static_cast<const char*>(value);
            EXPECT_GE(found, block->data()) << at;
            EXPECT_LE(found + length, block->data() + block->size()) << at;
        }
    }
}

}  // namespace
