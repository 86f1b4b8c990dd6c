#include <string>
#include <vector>

#include "platform/sim/names.h"
#include "platform/sim/process_host.h"

namespace sim::process {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

size_t skipBlanks(const std::string& text, size_t at) {
    while (at < text.size() && isBlank(text[at])) ++at;
    return at;
}

// The program name takes no escapes: quoted it runs to the next quote, else to a blank.
size_t readProgramName(const std::string& text, std::string* word) {
    size_t at = 0;
    if (!text.empty() && text[0] == '"') {
        const size_t close = text.find('"', 1);
        *word = text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        return close == std::string::npos ? text.size() : close + 1;
    }
    while (at < text.size() && !isBlank(text[at])) ++at;
    *word = text.substr(0, at);
    return at;
}

// One argument after the program name: 2n back-slashes before a quote give n and toggle the
// quoting, 2n+1 give n and a literal quote, "" inside quotes is a literal quote.
size_t readArgument(const std::string& text, size_t at, std::string* word) {
    bool quoted = false;
    while (at < text.size() && (quoted || !isBlank(text[at]))) {
        size_t backslashes = 0;
        while (at < text.size() && text[at] == '\\') ++backslashes, ++at;
        if (at < text.size() && text[at] == '"') {
            word->append(backslashes / 2, '\\');
            if (backslashes % 2 == 1) {
                *word += '"';
            } else if (quoted && at + 1 < text.size() && text[at + 1] == '"') {
                *word += '"';
                ++at;
            } else {
                quoted = !quoted;
            }
            ++at;
            continue;
        }
        word->append(backslashes, '\\');
        if (at < text.size() && (quoted || !isBlank(text[at]))) *word += text[at++];
    }
    return at;
}

}  // namespace

std::vector<std::string> splitCommandLine(const std::string& commandLine) {
    std::vector<std::string> words(1);
    size_t at = readProgramName(commandLine, &words[0]);
    for (at = skipBlanks(commandLine, at); at < commandLine.size();
         at = skipBlanks(commandLine, at)) {
        std::string word;
        at = readArgument(commandLine, at, &word);
        words.push_back(word);
    }
    return words;
}

std::string firstWord(const std::string& commandLine, std::string* rest) {
    const size_t start = skipBlanks(commandLine, 0);
    std::string word;
    const size_t end = start + readProgramName(commandLine.substr(start), &word);
    *rest = commandLine.substr(skipBlanks(commandLine, end));
    return word;
}

bool isBatchFile(const std::string& path) {
    if (path.size() < 4) return false;
    const std::string extension = path.substr(path.size() - 4);
    return sim::equalsIgnoringCase(extension, ".bat") || sim::equalsIgnoringCase(extension, ".cmd");
}

}  // namespace sim::process
