// Writes a flight-recorder line without its line feed and exits, so a test can see whether
// the text still reaches the file when the process ends.
#include <cstdio>

#include "platform/sim/machine.h"
#include "support/debug_log.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: log_tail_writer <machine> <log path> <text>\n");
        return 2;
    }
    if (!sim::openMachine(argv[1]).empty()) return 3;
    GetDebugLog().SetFileName(argv[2]);
    GetDebugLog() << argv[3];
    return 0;
}
