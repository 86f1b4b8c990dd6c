#pragma once

#include <cstddef>
#include <vector>

#include "support/cstd_str.h"

// A list of texts kept in ascending order. Comparison folds ASCII letters unless the list is
// made case-sensitive; a list without duplicates refuses a text that compares equal to one it
// already holds, so the flags decide what "the same text" means.
class CStdStringList {
  public:
    static constexpr int NoDuplicates = 0x01;
    static constexpr int CaseSensitive = 0x10;

    using const_iterator = std::vector<CStdStr>::const_iterator;

    explicit CStdStringList(int flags = 0) : flags(flags) {}

    // False when duplicates are refused and an equal text is already present.
    bool Insert(const CStdStr& text);
    // Index of the first element equal to text, or -1.
    int Find(const CStdStr& text) const;
    bool Contains(const CStdStr& text) const { return Find(text) >= 0; }

    size_t size() const { return items.size(); }
    bool empty() const { return items.empty(); }
    const CStdStr& operator[](size_t index) const { return items[index]; }
    const_iterator begin() const { return items.begin(); }
    const_iterator end() const { return items.end(); }
    void clear() { items.clear(); }

  private:
    int compare(const CStdStr& a, const CStdStr& b) const;
    // The first element that is not smaller than text.
    const_iterator firstNotSmaller(const CStdStr& text) const;

    int flags;
    std::vector<CStdStr> items;
};
