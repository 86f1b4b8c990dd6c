#pragma once

#include <vector>

#include "support/cstd_str.h"

// The one word splitter of the system: the command line, INF field lists, section name lists
// and command lines all go through it, with their own separator and flags.
class StringTokenizer {
  public:
    // A word may be enclosed in double quotes: the separator inside them does not split, and
    // one enclosing pair is removed.
    static constexpr int Quotes = 1;
    // White space at the front of the rest is removed before each word.
    static constexpr int TrimBefore = 2;

    StringTokenizer(const CStdStr& input, char separator, int flags);

    bool hasMore() const { return position < input.size(); }
    // False when there was nothing left to take; the word is then empty.
    bool next(CStdStr& word);
    // Replaces the contents of words with every remaining word.
    void all(std::vector<CStdStr>& words);

  private:
    size_t searchStart() const;
    void takeWord(CStdStr& word);
    void skipBlanks();

    // The words are taken from the front of the rest of the input, which starts at position:
    // a line of many fields is split in time linear in its length.
    CStdStr input;
    size_t position = 0;
    char separator;
    int flags;
};
