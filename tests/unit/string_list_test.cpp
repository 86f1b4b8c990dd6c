#include "support/string_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> contents(const CStdStringList& list) {
    return std::vector<std::string>(list.begin(), list.end());
}

CStdStringList filled(int flags, const std::vector<std::string>& texts) {
    CStdStringList list(flags);
    for (const std::string& text : texts) list.Insert(text);
    return list;
}

}  // namespace

TEST(StringListTest, KeepsAscendingOrderWhateverTheInsertionOrder) {
    const CStdStringList list = filled(0, {"pear", "apple", "fig", "banana", "apple2"});
    EXPECT_EQ(contents(list),
              (std::vector<std::string>{"apple", "apple2", "banana", "fig", "pear"}));
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[2], "banana");
}

TEST(StringListTest, CaseInsensitiveByDefaultFoldingAsciiOnly) {
    const CStdStringList list = filled(0, {"beta", "ALPHA", "Gamma"});
    EXPECT_EQ(contents(list), (std::vector<std::string>{"ALPHA", "beta", "Gamma"}));
    EXPECT_TRUE(list.Contains("alpha"));
    EXPECT_EQ(list.Find("GAMMA"), 2);
    // '_' lies between the upper- and lower-case letters: folding to lower case puts it
    // before every letter, byte order after the upper-case ones.
    EXPECT_EQ(contents(filled(0, {"aB", "a_"})), (std::vector<std::string>{"a_", "aB"}));
    EXPECT_EQ(contents(filled(CStdStringList::CaseSensitive, {"a_", "aB"})),
              (std::vector<std::string>{"aB", "a_"}));
    // Bytes above 127 are not letters for folding: \xC9 and \xE9 stay different.
    const CStdStringList high = filled(CStdStringList::NoDuplicates, {"\xE9", "\xC9"});
    EXPECT_EQ(high.size(), 2u);
}

TEST(StringListTest, CaseSensitiveFlagComparesBytes) {
    const CStdStringList list = filled(CStdStringList::CaseSensitive, {"beta", "Beta", "alpha"});
    EXPECT_EQ(contents(list), (std::vector<std::string>{"Beta", "alpha", "beta"}));
    EXPECT_FALSE(list.Contains("ALPHA"));
    EXPECT_EQ(list.Find("Beta"), 0);
}

TEST(StringListTest, NoDuplicatesRefusesEqualTextsUnderTheListsComparison) {
    CStdStringList noCase(CStdStringList::NoDuplicates);
    EXPECT_TRUE(noCase.Insert("File.dll"));
    EXPECT_FALSE(noCase.Insert("FILE.DLL"));
    EXPECT_FALSE(noCase.Insert("File.dll"));
    EXPECT_EQ(contents(noCase), (std::vector<std::string>{"File.dll"}));

    CStdStringList exact(CStdStringList::NoDuplicates | CStdStringList::CaseSensitive);
    EXPECT_TRUE(exact.Insert("File.dll"));
    EXPECT_TRUE(exact.Insert("FILE.DLL"));
    EXPECT_FALSE(exact.Insert("FILE.DLL"));
    EXPECT_EQ(exact.size(), 2u);
}

TEST(StringListTest, WithoutNoDuplicatesEqualTextGoesBeforeTheFirstEqualOne) {
    CStdStringList list;
    EXPECT_TRUE(list.Insert("b"));
    EXPECT_TRUE(list.Insert("B"));
    EXPECT_TRUE(list.Insert("a"));
    EXPECT_TRUE(list.Insert("b"));
    // Each new "b" lands before the first element that is not smaller, i.e. in front of the
    // equal ones already there.
    EXPECT_EQ(contents(list), (std::vector<std::string>{"a", "b", "B", "b"}));
    EXPECT_EQ(list.Find("B"), 1);
}

TEST(StringListTest, EmptyTextsFindAndClear) {
    CStdStringList list(CStdStringList::NoDuplicates);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.Find("x"), -1);
    EXPECT_TRUE(list.Insert(""));
    EXPECT_FALSE(list.Insert(""));
    EXPECT_TRUE(list.Insert("z"));
    EXPECT_EQ(list[0], "");
    EXPECT_EQ(list.Find("y"), -1);
    EXPECT_EQ(list.Find("zz"), -1);
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(list.Contains("z"));
    EXPECT_TRUE(list.Insert("z"));
}
