#include "support/string_tokenizer.h"

namespace {

bool isQuoted(const CStdStr& word) {
    return word.size() >= 2 && word.front() == '"' && word.back() == '"';
}

}  // namespace

StringTokenizer::StringTokenizer(const CStdStr& input, char separator, int flags)
    : rest(input), separator(separator), flags(flags) {}

size_t StringTokenizer::searchStart() const {
    // A leading quoted part hides its separators; an unbalanced quote hides nothing, so a
    // stray quote can never swallow the rest of the line.
    if (!(flags & Quotes) || rest.empty() || rest.front() != '"') return 0;
    const size_t closing = rest.find('"', 1);
    return closing == CStdStr::npos ? 0 : closing;
}

void StringTokenizer::takeWord(CStdStr& word) {
    const size_t at = rest.find(separator, searchStart());
    if (at == CStdStr::npos) {
        word = rest;
        rest.clear();
        return;
    }
    word = rest.substr(0, at);
    rest.erase(0, at + 1);
    word.TrimRight();
}

bool StringTokenizer::next(CStdStr& word) {
    word.clear();
    if (flags & TrimBefore) rest.TrimLeft();
    if (rest.empty()) return false;
    takeWord(word);
    if ((flags & Quotes) && isQuoted(word)) word = word.substr(1, word.size() - 2);
    rest.TrimLeft();
    return true;
}

void StringTokenizer::all(std::vector<CStdStr>& words) {
    words.clear();
    CStdStr word;
    while (hasMore()) {
        if (next(word)) words.push_back(word);
    }
}
