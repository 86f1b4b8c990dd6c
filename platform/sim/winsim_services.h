#pragma once

// What the simulated machine offers a library it loads, when the library exports
// "void WinSimAttach(const WinSimServices*)": substitutes of outside libraries record their
// calls in the machine's journal and open the machine's files through it. Plain C, so that a
// library needs nothing of ours to use it.
extern "C" {
struct WinSimServices {
    const char* journalPath;
    // The host path of a Windows path of the machine, into out (size bytes, zero-terminated);
    // 0 when it does not fit.
    int (*hostPath)(const char* windowsPath, char* out, int size);
};
}
