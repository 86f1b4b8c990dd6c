#pragma once

#include "support/cstd_str.h"

// What both entry points do once they have the command-line text: one engine, one run, its
// result as the exit code.
int dadazadoMain(const CStdStr& commandLine);
