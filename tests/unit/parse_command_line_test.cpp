#include <gtest/gtest.h>

#include "app/dadazado_engine.h"
#include "platform/files.h"
#include "tests/support/test_machine.h"

namespace {

class ParseCommandLine : public ::testing::Test {
  protected:
    void SetUp() override {
        machine.writeFile("C:\\Drivers\\My Printer\\oem.inf", "[Manufacturer]\r\n");
        machine.writeFile("C:\\x.inf", "[Version]\r\n");
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
};

TEST_F(ParseCommandLine, QuotedPathAndPrinterLoseTheirQuotes) {
    EXPECT_TRUE(engine.parseCommandLine(
        "-I \"C:\\Drivers\\My Printer\\oem.inf\" -N \"Office Laser\" -P LPT1:"));
    EXPECT_EQ(engine.getPrinterName(), "Office Laser");
    EXPECT_EQ(engine.getPortName(), "LPT1:");
    ASSERT_NE(engine.getInf(), nullptr);
    EXPECT_NE(engine.getInf()->findSection("manufacturer"), nullptr);
    EXPECT_FALSE(engine.isSilentMode());
    EXPECT_TRUE(log.text().empty());
}

TEST_F(ParseCommandLine, OptionLettersIgnoreCaseAndBlanksCollapse) {
    EXPECT_TRUE(engine.parseCommandLine("  -i    x.inf     -n   Printer  "));
    EXPECT_EQ(engine.getPrinterName(), "Printer");
    EXPECT_NE(engine.getInf(), nullptr);
}

TEST_F(ParseCommandLine, SlashIsNoOptionMarker) {
    EXPECT_FALSE(engine.parseCommandLine("/I x.inf -N P"));
    EXPECT_EQ(engine.getInf(), nullptr);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"parseCommandLine: could not load INF: "});
}

TEST_F(ParseCommandLine, SilentOptionConsumesTheNextWord) {
    EXPECT_FALSE(engine.parseCommandLine("-S -N Printer -I x.inf"));
    EXPECT_TRUE(engine.isSilentMode());
    EXPECT_EQ(engine.getPrinterName(), "");
    EXPECT_NE(engine.getInf(), nullptr);
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{"parseCommandLine: no printer name specified."});
}

TEST_F(ParseCommandLine, EmptyQuotedWordIsSkippedSoTheNextOptionBecomesTheValue) {
    EXPECT_FALSE(engine.parseCommandLine("-N \"\" -I x.inf"));
    EXPECT_EQ(engine.getPrinterName(), "-I");
    EXPECT_EQ(engine.getInf(), nullptr);
}

TEST_F(ParseCommandLine, LaterOptionsReplaceEarlierOnesAndStrayWordsAreIgnored) {
    EXPECT_TRUE(engine.parseCommandLine("stray -N First -X ignored -N Second -I x.inf -P"));
    EXPECT_EQ(engine.getPrinterName(), "Second");
    EXPECT_EQ(engine.getPortName(), "");
}

TEST_F(ParseCommandLine, BothMessagesAppearWhenBothChecksFail) {
    EXPECT_FALSE(engine.parseCommandLine("-I C:\\nothere.inf"));
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"parseCommandLine: could not load INF: C:\\nothere.inf",
                                        "parseCommandLine: no printer name specified."}));
}

TEST_F(ParseCommandLine, ADirectoryCountsAsFoundAndGivesAnEmptyInf) {
    EXPECT_TRUE(engine.parseCommandLine("-I C:\\Drivers -N P"));
    ASSERT_NE(engine.getInf(), nullptr);
    EXPECT_EQ(engine.getInf()->findSection("Manufacturer"), nullptr);
}

TEST_F(ParseCommandLine, ABareFileNameIsFoundInTheCurrentDirectory) {
    ASSERT_TRUE(platform::setCurrentDirectory("C:\\Drivers\\My Printer"));
    EXPECT_TRUE(engine.parseCommandLine("-I oem.inf -N P"));
    ASSERT_NE(engine.getInf(), nullptr);
    EXPECT_NE(engine.getInf()->findSection("Manufacturer"), nullptr);
    EXPECT_FALSE(DadazadoEngine().parseCommandLine("-I x.inf -N P"));
    EXPECT_TRUE(log.contains("parseCommandLine: could not load INF: x.inf\r\n"));
    platform::setCurrentDirectory("C:\\");
}

TEST_F(ParseCommandLine, UnbalancedQuotesDoNotCrash) {
    EXPECT_FALSE(engine.parseCommandLine("-N \"Office -I \"x.inf"));
    EXPECT_FALSE(engine.parseCommandLine("\""));
    EXPECT_FALSE(engine.parseCommandLine("-I \"x.inf"));
}

}  // namespace
