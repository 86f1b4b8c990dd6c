#include "tools/check/findings.h"

#include <algorithm>
#include <tuple>

namespace check {

namespace {

std::string counted(size_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace

bool Finding::operator<(const Finding& other) const {
    return std::tie(file, line, severity, text) <
           std::tie(other.file, other.line, other.severity, other.text);
}

void Report::add(const std::string& file, int line, Severity severity, const std::string& text) {
    findings.insert(Finding{file, line, severity, text});
}

size_t Report::errorCount() const {
    return static_cast<size_t>(
        std::count_if(findings.begin(), findings.end(),
                      [](const Finding& f) { return f.severity == Severity::Error; }));
}

size_t Report::warningCount() const { return findings.size() - errorCount(); }

void Report::print(std::ostream& out, const std::string& infName) const {
    for (const Finding& finding : findings) {
        out << finding.file << ':' << finding.line << ": "
            << (finding.severity == Severity::Error ? "error" : "warning") << ": " << finding.text
            << '\n';
    }
    out << "dadazado-check: " << counted(errorCount(), "error") << ", "
        << counted(warningCount(), "warning") << " in " << infName << '\n';
}

}  // namespace check
