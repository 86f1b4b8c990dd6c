#include "support/path_object.h"

#include <gtest/gtest.h>

#include "tests/support/test_machine.h"

namespace {

void expectParts(const PathObject& path, const char* dir, const char* fileName) {
    EXPECT_EQ(path.GetDir(), dir);
    EXPECT_EQ(path.GetFileName(), fileName);
}

}  // namespace

TEST(PathObjectTest, SetFullPathSplitsDirectoryAndFileName) {
    expectParts(PathObject("C:\\Drivers\\oem.inf"), "C:\\Drivers", "oem.inf");
    expectParts(PathObject("C:/Drivers/oem.inf"), "C:\\Drivers", "oem.inf");
    expectParts(PathObject("  C:\\Drivers\\oem.inf \t"), "C:\\Drivers", "oem.inf");
    expectParts(PathObject("C:\\Drivers\\"), "C:\\Drivers", "");
    expectParts(PathObject("oem.inf"), "", "oem.inf");
    expectParts(PathObject("C:oem.inf"), "C:", "oem.inf");
    expectParts(PathObject("C:\\A\\archive.tar.gz"), "C:\\A", "archive.tar.gz");
    expectParts(PathObject("\\\\server\\share\\f.txt"), "\\\\server\\share", "f.txt");

    const PathObject root("C:\\");
    expectParts(root, "C:", "");
    EXPECT_EQ(root.GetFullPath(), "C:");
    EXPECT_FALSE(root.HasFileName());
    EXPECT_EQ(PathObject("C:\\Drivers\\oem.inf").GetFullPath(), "C:\\Drivers\\oem.inf");
}

TEST(PathObjectTest, BlankTextIsRejectedAndChangesNothing) {
    PathObject path("C:\\Keep\\me.txt");
    EXPECT_FALSE(path.SetFullPath(" \t "));
    EXPECT_FALSE(path.SetFullPath(""));
    expectParts(path, "C:\\Keep", "me.txt");
    expectParts(PathObject("   "), "", "");
}

TEST(PathObjectTest, SetDirAndAppendDirNormalise) {
    PathObject path("C:\\A\\f.txt");
    path.AppendDir("sub/dir\\");
    expectParts(path, "C:\\A\\sub\\dir", "f.txt");
    path.AppendDir("");
    EXPECT_EQ(path.GetDir(), "C:\\A\\sub\\dir");
    path.AppendDir("\\x");
    EXPECT_EQ(path.GetDir(), "C:\\A\\sub\\dir\\x");
    path.SetDir("D:/Other/");
    expectParts(path, "D:\\Other", "f.txt");
    path.SetFileName("g.dll");
    EXPECT_EQ(path.GetFullPath(), "D:\\Other\\g.dll");
}

TEST(PathObjectTest, ParentOfADirectoryObject) {
    const PathObject parent = PathObject("C:\\A\\B\\").GetParent();
    expectParts(parent, "C:\\A", "");
    expectParts(parent.GetParent(), "C:", "");
    // The parent is taken from the directory part: the file name plays no role.
    expectParts(PathObject("C:\\A\\B\\f.txt").GetParent(), "C:\\A", "");
}

TEST(PathObjectTest, ComparesWithoutCase) {
    EXPECT_EQ(PathObject("C:\\Drivers\\OEM.INF"), PathObject("c:\\drivers\\oem.inf"));
    EXPECT_FALSE(PathObject("C:\\A\\x") == PathObject("C:\\A\\y"));
    // The directory decides before the file name does.
    EXPECT_LT(PathObject("C:\\A\\z"), PathObject("C:\\B\\a"));
    EXPECT_LT(PathObject("C:\\A\\a"), PathObject("c:\\a\\B"));
}

TEST(PathObjectTest, ExistsNeedsAFileNameAndAnEntry) {
    TestMachine machine;
    machine.writeFile("C:\\Drivers\\oem.inf", "[Version]\n");
    EXPECT_TRUE(PathObject("c:\\drivers\\OEM.inf").Exists());
    EXPECT_FALSE(PathObject("C:\\Drivers\\missing.inf").Exists());
    // An existing directory passes when named as a file, never as a directory object.
    EXPECT_TRUE(PathObject("C:\\Drivers").Exists());
    EXPECT_FALSE(PathObject("C:\\Drivers\\").Exists());
    EXPECT_FALSE(PathObject().Exists());
}
