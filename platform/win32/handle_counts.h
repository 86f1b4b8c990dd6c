#pragma once

// Counts of the printer handles, registry keys and libraries the program opens and closes,
// so a run can prove it closed all it opened. A process that leaks a printer handle keeps a
// spooler connection, and a leaked key handle keeps a hive busy until the process ends.
namespace platform::win32 {

enum class CountedHandle { Printer, RegistryKey, Library };

void countOpened(CountedHandle kind);
void countClosed(CountedHandle kind);

// Writes one line per kind ("printer handles: opened 3, closed 3") to the file that the
// environment variable DADAZADO_HANDLE_COUNTS names; nothing when it is not set.
void reportHandleCounts();

}  // namespace platform::win32
