#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dadazado_engine.h"
#include "tests/support/test_machine.h"

namespace {

constexpr const char* kSystemDir = "C:\\WINDOWS\\system32";

// Strings that probe the order of look-ups: a name that is also a directory code, one whose
// value is empty, one holding a macro of its own, one with the other delimiter inside.
const char* const kInf =
    "[Strings]\r\n"
    "Group = Printers\r\n"
    "a$b = dollar inside\r\n"
    "Nested = %11%\\sub\r\n"
    "10 = Ten\r\n"
    "11 =\r\n"
    "7x = seven\r\n";

class DecodeMacros : public ::testing::Test {
  protected:
    DecodeMacros() : machine(sim::MachineOptions{.locale = 0x0407}) {}

    void SetUp() override {
        machine.writeFile("C:\\x.inf", kInf);
        ASSERT_TRUE(engine.parseCommandLine("-I C:\\x.inf -N Name -P LPT1:"));
        engine.getStrings();
        mark = log.lines().size();
    }

    std::string decode(const std::string& text, int flags = 255) {
        return engine.DecodeMacros(text, flags);
    }
    // The log lines written since the last call (or since the set-up).
    std::vector<std::string> newLogLines() {
        const std::vector<std::string> all = log.lines();
        std::vector<std::string> fresh(all.begin() + static_cast<long>(mark), all.end());
        mark = all.size();
        return fresh;
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
    size_t mark = 0;
};

using Lines = std::vector<std::string>;

TEST_F(DecodeMacros, DirectoryCodesInEitherDelimiter) {
    EXPECT_EQ(decode("%11%\\drivers"), std::string(kSystemDir) + "\\drivers");
    EXPECT_EQ(decode("$11$\\drivers"), std::string(kSystemDir) + "\\drivers");
    EXPECT_EQ(decode("x%10%y$10$z"),
              "xTeny"
              "C:\\WINDOWSz");              // a name wins only with '%'
    EXPECT_EQ(decode("%11%"), kSystemDir);  // an empty value falls back to the code
    EXPECT_EQ(decode("% +11%|$\t11 trailing$"), std::string(kSystemDir) + "|" + kSystemDir);
    EXPECT_EQ(newLogLines(), Lines{});
}

TEST_F(DecodeMacros, NamedMacrosIgnoreCaseAndAreNotExpandedAgain) {
    EXPECT_EQ(decode("%LANG%"), "de_DE");
    EXPECT_EQ(decode("%lang%"), "de_DE");
    EXPECT_EQ(decode("%Lang%.txt"), "de_DE.txt");
    EXPECT_EQ(decode("%GROUP% (%port%)"), "Printers (LPT1:)");
    EXPECT_EQ(decode("%a$b%"), "dollar inside");
    EXPECT_EQ(decode("%Nested%"), "%11%\\sub");
    EXPECT_EQ(decode("[%undefined%]"), "[]");
    EXPECT_EQ(decode("100%%"), "100");
    EXPECT_EQ(newLogLines(), Lines{});  // an absent name is not worth a line
}

TEST_F(DecodeMacros, NumberNamesResolveOnlyWhenNoValueIsDefined) {
    EXPECT_EQ(decode("%7x%"), "seven");
    EXPECT_EQ(newLogLines(), Lines{});
    EXPECT_EQ(decode("<%12abc%>"), "<>");
    EXPECT_EQ(newLogLines(), Lines{"LookupDir: could not get directory for code 12"});
}

TEST_F(DecodeMacros, InvalidAndRunawayMacrosKeepTheirText) {
    EXPECT_EQ(decode("$abc$"), "$abc$");
    EXPECT_EQ(decode("$$"), "$$");
    EXPECT_EQ(newLogLines(), (Lines{"DadazadoEngine::DecodeMacros: invalid macro: abc",
                                    "DadazadoEngine::DecodeMacros: invalid macro: "}));
    EXPECT_EQ(decode("%11"), "%11");
    EXPECT_EQ(decode("a$b%c"), "a$b%c");
    EXPECT_EQ(newLogLines(),
              (Lines{"DadazadoEngine::DecodeMacros: Runaway macro in string %11",
                     "DadazadoEngine::DecodeMacros: Runaway macro in string a$b%c"}));
}

TEST_F(DecodeMacros, FlagsChooseWhatResolves) {
    EXPECT_EQ(decode("%lang%|%11%|$11$", 2), "de_DE||");
    EXPECT_EQ(decode("%lang%|%11%|$11$", 1), std::string("|") + kSystemDir + "|" + kSystemDir);
    EXPECT_EQ(decode("%lang%|%11%|$x$|%x", 4), "|||%x");
    EXPECT_EQ(newLogLines(), Lines{"DadazadoEngine::DecodeMacros: Runaway macro in string "
                                   "%lang%|%11%|$x$|%x"});
}

TEST_F(DecodeMacros, SignedAndHugeNumbersNeverWrapOntoARealCode) {
    // 2^32 + 11 and -(2^32 - 10) would land on 11 and 10 if they wrapped.
    EXPECT_EQ(decode("[%4294967307%][$-4294967286$][%-11%][%99999999999999999999%]"), "[][][][]");
    EXPECT_EQ(newLogLines(), (Lines{"LookupDir: could not get directory for code 2147483647",
                                    "LookupDir: could not get directory for code -2147483648",
                                    "LookupDir: could not get directory for code -11",
                                    "LookupDir: could not get directory for code 2147483647"}));
}

}  // namespace
