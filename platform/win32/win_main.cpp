#include <windows.h>

#include "app/dadazado_main.h"

// A silent utility: no window, no console, only the engine and its exit code.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int) {
    return dadazadoMain(CStdStr(cmdLine != nullptr ? cmdLine : ""));
}
