#include <windows.h>

#include "app/dadazado_main.h"
#include "platform/win32/handle_counts.h"

// A silent utility: no window, no console, only the engine and its exit code.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int) {
    const int exitCode = dadazadoMain(CStdStr(cmdLine != nullptr ? cmdLine : ""));
    platform::win32::reportHandleCounts();
    return exitCode;
}
