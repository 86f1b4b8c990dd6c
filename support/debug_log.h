#pragma once

#include <ostream>
#include <streambuf>
#include <string>

#include "support/cstd_str.h"

// The flight recorder's buffer: it has no put area, so every character arrives through
// overflow, and each completed line is appended to the file with its own open and close. A
// line is thus complete on disk the moment its line feed is inserted, and other programs can
// read the file while the run goes on.
class DebugBufLog : public std::streambuf {
  public:
    DebugBufLog() = default;
    ~DebugBufLog() override;
    DebugBufLog(const DebugBufLog&) = delete;
    DebugBufLog& operator=(const DebugBufLog&) = delete;

    void SetFileName(const char* path);
    void FlushLine();

  protected:
    int_type overflow(int_type c) override;
    int sync() override;

  private:
    char* path = nullptr;  // own zero-terminated copy, null until set
    std::string line;
};

// The one process-wide diagnostic stream. Writers build a line with insertions, end it with
// '\n' and flush; whether anything reaches a file is decided once, by SetFileName.
class DebugLog : public std::ostream {
  public:
    DebugLog();
    ~DebugLog() override;

    void SetFileName(const CStdStr& name);
    const CStdStr& GetFileName() const { return fileName; }

    void StartTimer();
    // With a printf format, writes format(seconds) and a line feed; with null, the
    // " ** Elapsed time: <seconds> ** " line.
    void LogElapsed(const char* format);

  private:
    CStdStr fileName;
    long startTicks = 0;
    DebugBufLog buffer;
};

DebugLog& GetDebugLog();

// Writes one line from its parts, each as the stream inserts it (numbers in decimal), and
// flushes it: the one way the system writes to the flight recorder.
template <typename... Parts>
void LogLine(const Parts&... parts) {
    DebugLog& log = GetDebugLog();
    (log << ... << parts) << '\n';
    log.flush();
}
