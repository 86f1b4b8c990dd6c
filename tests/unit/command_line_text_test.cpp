#include "platform/sim/command_line_text.h"

#include <gtest/gtest.h>

namespace {

std::string lineOf(std::vector<const char*> args) {
    args.insert(args.begin(), "dadazado");
    return sim::windowsCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(WindowsCommandLine, PlainArgumentsAreJoinedByOneBlank) {
    EXPECT_EQ(lineOf({}), "");
    EXPECT_EQ(lineOf({"-N", "Printer", "-I", "C:\\x.inf"}), "-N Printer -I C:\\x.inf");
}

TEST(WindowsCommandLine, EmptyBlankAndQuoteArgumentsAreQuoted) {
    EXPECT_EQ(lineOf({"-N", ""}), "-N \"\"");
    EXPECT_EQ(lineOf({"Office Laser"}), "\"Office Laser\"");
    EXPECT_EQ(lineOf({"a\tb"}), "\"a\tb\"");
    EXPECT_EQ(lineOf({"say \"hi\""}), "\"say \\\"hi\\\"\"");
}

TEST(WindowsCommandLine, BackSlashesAreDoubledOnlyBeforeAQuote) {
    EXPECT_EQ(lineOf({"C:\\My Dir\\"}), "\"C:\\My Dir\\\\\"");
    EXPECT_EQ(lineOf({"C:\\My Dir\\x"}), "\"C:\\My Dir\\x\"");
    EXPECT_EQ(lineOf({"a\\\"b"}), "\"a\\\\\\\"b\"");
}

}  // namespace
