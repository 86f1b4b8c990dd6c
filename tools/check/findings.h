#pragma once

#include <ostream>
#include <set>
#include <string>

// What the check found, a line each, in the form compilers use so that editors can jump to
// the place.
namespace check {

enum class Severity { Error, Warning };

struct Finding {
    std::string file;
    int line = 0;
    Severity severity = Severity::Error;
    std::string text;

    bool operator<(const Finding& other) const;
};

// The findings of one package, each once: a command section that several install sections
// name is looked at once for each, and says what it says once.
class Report {
  public:
    void add(const std::string& file, int line, Severity severity, const std::string& text);
    void error(const std::string& file, int line, const std::string& text) {
        add(file, line, Severity::Error, text);
    }
    void warning(const std::string& file, int line, const std::string& text) {
        add(file, line, Severity::Warning, text);
    }

    size_t errorCount() const;
    size_t warningCount() const;

    // Every finding sorted by file and line, then the summary line naming infName.
    void print(std::ostream& out, const std::string& infName) const;

  private:
    std::set<Finding> findings;
};

}  // namespace check
