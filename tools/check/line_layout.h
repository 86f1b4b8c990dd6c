#pragma once

#include <optional>
#include <string>
#include <vector>

#include "support/cstd_str.h"
#include "tools/check/findings.h"

// How the lines of one command kind are laid out: the arguments its handler reads, what it
// does with each, and how many a line must have.
namespace check {

struct CheckContext;

struct Problem {
    Severity severity;
    std::string text;
};

// What the handler does with an argument.
enum class Use {
    Text,        // used as written
    Expanded,    // macros expanded
    Number,      // read as a number, no macros
    SourceFile,  // expanded; a file the package provides, possibly in the SZDD format
    Archive,     // expanded; a zip archive the package provides
    Program,     // expanded; a program the package may provide
};

// A check of an argument's text beyond its use; none when the text fits.
using FieldCheck = std::optional<Problem> (*)(const CStdStr& text);

struct Argument {
    const char* name;
    Use use;
    FieldCheck check = nullptr;
};

struct LineLayout {
    // Lines of the standard directives' shape have no leading name and install-kind fields:
    // every field is an argument.
    bool plain = false;
    size_t required = 0;
    std::vector<Argument> arguments;  // by position, from the first argument
    // A check of the line's fields together, beyond each argument's own.
    void (*lineCheck)(const CheckContext& context, const std::vector<CStdStr>& fields,
                      int line) = nullptr;
};

inline bool isExpanded(Use use) { return use != Use::Text && use != Use::Number; }

}  // namespace check
