#include "support/string_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> words(const std::string& input, char separator, int flags) {
    StringTokenizer tokenizer(input, separator, flags);
    std::vector<CStdStr> found;
    tokenizer.all(found);
    return std::vector<std::string>(found.begin(), found.end());
}

using Words = std::vector<std::string>;
constexpr int kCommandLine = StringTokenizer::Quotes | StringTokenizer::TrimBefore;

}  // namespace

TEST(StringTokenizerTest, EmptyFieldsAndTrailingSeparator) {
    EXPECT_EQ(words("a, ,b", ',', 0), (Words{"a", "", "b"}));
    EXPECT_EQ(words("a,b,", ',', 0), (Words{"a", "b"}));
    EXPECT_EQ(words("a,,b", ',', 0), (Words{"a", "", "b"}));
    EXPECT_EQ(words(",a", ',', 0), (Words{"", "a"}));
    EXPECT_EQ(words(",", ',', 0), (Words{""}));
    EXPECT_EQ(words("", ',', 0), Words{});
}

TEST(StringTokenizerTest, WhiteSpaceAroundSeparatorsDisappears) {
    EXPECT_EQ(words("a \t, b ,\tc", ',', 0), (Words{"a", "b", "c"}));
    // Without TrimBefore the first word keeps its leading blanks, and the last word keeps
    // trailing blanks because no separator follows it.
    EXPECT_EQ(words("  a,b  ", ',', 0), (Words{"  a", "b  "}));
    EXPECT_EQ(words("  a,b", ',', StringTokenizer::TrimBefore), (Words{"a", "b"}));
    EXPECT_EQ(words("x\r\n\v\f,y", ',', 0), (Words{"x", "y"}));
}

TEST(StringTokenizerTest, MiddleQuotesAreKept) {
    EXPECT_EQ(words("a\"b,c\"", ',', StringTokenizer::Quotes), (Words{"a\"b", "c\""}));
    EXPECT_EQ(words("a\"b\"c", ',', StringTokenizer::Quotes), (Words{"a\"b\"c"}));
}

TEST(StringTokenizerTest, QuotesGroupAndLoseOneEnclosingPair) {
    EXPECT_EQ(words("\"x,y\",z", ',', StringTokenizer::Quotes), (Words{"x,y", "z"}));
    EXPECT_EQ(words("\"\"\"x\"\"\",z", ',', StringTokenizer::Quotes), (Words{"\"\"x\"\"", "z"}));
    EXPECT_EQ(words("\"\",z", ',', StringTokenizer::Quotes), (Words{"", "z"}));
    // Text after the closing quote belongs to the word up to the next separator.
    EXPECT_EQ(words("\"a,b\"c,d", ',', StringTokenizer::Quotes), (Words{"\"a,b\"c", "d"}));
    // Without the flag quotes are ordinary characters.
    EXPECT_EQ(words("\"x,y\",z", ',', 0), (Words{"\"x", "y\"", "z"}));
}

TEST(StringTokenizerTest, UnbalancedQuotesSplitAsPlainText) {
    EXPECT_EQ(words("\"abc,def", ',', StringTokenizer::Quotes), (Words{"\"abc", "def"}));
    EXPECT_EQ(words("\"", ',', StringTokenizer::Quotes), (Words{"\""}));
    EXPECT_EQ(words("a,\"", ',', StringTokenizer::Quotes), (Words{"a", "\""}));
    EXPECT_EQ(words("\",\"", ',', StringTokenizer::Quotes), (Words{","}));
    EXPECT_EQ(words("-N \"Office Laser", ' ', kCommandLine), (Words{"-N", "\"Office", "Laser"}));
}

TEST(StringTokenizerTest, CommandLineSettings) {
    EXPECT_EQ(
        words("-I \"C:\\Drivers\\My Printer\\oem.inf\" -N \"Office Laser\"", ' ', kCommandLine),
        (Words{"-I", "C:\\Drivers\\My Printer\\oem.inf", "-N", "Office Laser"}));
    EXPECT_EQ(words("  -i   x.inf\t -n  Printer  ", ' ', kCommandLine),
              (Words{"-i", "x.inf", "-n", "Printer"}));
    EXPECT_EQ(words("-N \"\" -I x.inf", ' ', kCommandLine), (Words{"-N", "", "-I", "x.inf"}));
    EXPECT_EQ(words("   ", ' ', kCommandLine), Words{});
}

TEST(StringTokenizerTest, NextReportsExhaustionWithAnEmptyWord) {
    StringTokenizer tokenizer("one,two", ',', 0);
    CStdStr word = "stale";
    EXPECT_TRUE(tokenizer.hasMore());
    EXPECT_TRUE(tokenizer.next(word));
    EXPECT_EQ(word, "one");
    EXPECT_TRUE(tokenizer.next(word));
    EXPECT_EQ(word, "two");
    EXPECT_FALSE(tokenizer.hasMore());
    word = "stale";
    EXPECT_FALSE(tokenizer.next(word));
    EXPECT_EQ(word, "");

    // Blanks only: TrimBefore leaves nothing to take.
    StringTokenizer blanks(" \t ", ',', StringTokenizer::TrimBefore);
    EXPECT_TRUE(blanks.hasMore());
    EXPECT_FALSE(blanks.next(word));
    EXPECT_FALSE(blanks.hasMore());
}

TEST(StringTokenizerTest, AllReplacesTheListAndTakesOnlyWhatIsLeft) {
    StringTokenizer tokenizer("a.b.c", '.', 0);
    CStdStr first;
    ASSERT_TRUE(tokenizer.next(first));
    std::vector<CStdStr> found{"old"};
    tokenizer.all(found);
    EXPECT_EQ(std::vector<std::string>(found.begin(), found.end()), (Words{"b", "c"}));
    tokenizer.all(found);
    EXPECT_TRUE(found.empty());
}

TEST(StringTokenizerTest, OtherSeparators) {
    EXPECT_EQ(words("key = value = more", '=', 0), (Words{"key", "value", "more"}));
    EXPECT_EQ(words("a. b.", '.', StringTokenizer::Quotes), (Words{"a", "b"}));
}
