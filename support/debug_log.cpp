#include "support/debug_log.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/system_info.h"

DebugBufLog::~DebugBufLog() { delete[] path; }

void DebugBufLog::SetFileName(const char* newPath) {
    char* copy = new char[std::strlen(newPath) + 1];
    std::strcpy(copy, newPath);
    delete[] path;
    path = copy;
}

void DebugBufLog::FlushLine() {
    if (line.empty()) return;
    // A file that cannot be opened loses the line: the recorder never reports on itself.
    if (path != nullptr && path[0] != '\0') platform::appendTextFile(path, line);
    line.clear();
}

DebugBufLog::int_type DebugBufLog::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return c;
    const char ch = traits_type::to_char_type(c);
    line += ch;
    if (ch == '\n') FlushLine();
    return c;
}

int DebugBufLog::sync() {
    FlushLine();
    return 0;
}

DebugLog::DebugLog() : std::ostream(nullptr) { rdbuf(&buffer); }

DebugLog::~DebugLog() { buffer.pubsync(); }

void DebugLog::SetFileName(const CStdStr& name) {
    fileName = name;
    buffer.SetFileName(fileName.c_str());
}

void DebugLog::StartTimer() { startTicks = platform::processClockMillis(); }

void DebugLog::LogElapsed(const char* format) {
    const float seconds = static_cast<float>(platform::processClockMillis() - startTicks) * 0.001f;
    if (format == nullptr) {
        *this << " ** Elapsed time: " << seconds << " ** " << '\n';
        flush();
        return;
    }
    const int needed = std::snprintf(nullptr, 0, format, static_cast<double>(seconds));
    if (needed < 0) return;
    std::vector<char> text(static_cast<size_t>(needed) + 1);
    std::snprintf(text.data(), text.size(), format, static_cast<double>(seconds));
    *this << text.data() << '\n';
    flush();
}

namespace {
DebugLog theDebugLog;
}

DebugLog& GetDebugLog() { return theDebugLog; }
