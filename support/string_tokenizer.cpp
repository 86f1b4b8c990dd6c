#include "support/string_tokenizer.h"

namespace {

bool isQuoted(const CStdStr& word) {
    return word.size() >= 2 && word.front() == '"' && word.back() == '"';
}

}  // namespace

StringTokenizer::StringTokenizer(const CStdStr& input, char separator, int flags)
    : input(input), separator(separator), flags(flags) {}

size_t StringTokenizer::searchStart() const {
    // A leading quoted part hides its separators; an unbalanced quote hides nothing, so a
    // stray quote can never swallow the rest of the line.
    if (!(flags & Quotes) || !hasMore() || input[position] != '"') return position;
    const size_t closing = input.find('"', position + 1);
    return closing == CStdStr::npos ? position : closing;
}

void StringTokenizer::takeWord(CStdStr& word) {
    const size_t at = input.find(separator, searchStart());
    if (at == CStdStr::npos) {
        word = input.substr(position);
        position = input.size();
        return;
    }
    word = input.substr(position, at - position);
    position = at + 1;
    word.TrimRight();
}

void StringTokenizer::skipBlanks() {
    while (hasMore() && cstd::isSpace(input[position])) ++position;
}

bool StringTokenizer::next(CStdStr& word) {
    word.clear();
    if (flags & TrimBefore) skipBlanks();
    if (!hasMore()) return false;
    takeWord(word);
    if ((flags & Quotes) && isQuoted(word)) word = word.substr(1, word.size() - 2);
    skipBlanks();
    return true;
}

void StringTokenizer::all(std::vector<CStdStr>& words) {
    words.clear();
    CStdStr word;
    while (hasMore()) {
        if (next(word)) words.push_back(word);
    }
}
