#pragma once

#include "tools/check/line_layout.h"

// The argument table of each command kind whose lines the utility reads.
namespace check {

LineLayout unzipLayout();
LineLayout runProgramLayout();
LineLayout installFileLayout();
LineLayout deleteRegLayout();
LineLayout addRegLayout();
LineLayout printerDataLayout();
LineLayout monitorLayout();
LineLayout updateIniLayout();
LineLayout startMenuLayout();
LineLayout deleteFileLayout();
LineLayout uninstallLayout();

}  // namespace check
