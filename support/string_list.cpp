#include "support/string_list.h"

#include <algorithm>

int CStdStringList::compare(const CStdStr& a, const CStdStr& b) const {
    if (flags & CaseSensitive) return a.compare(b);
    return a.CompareNoCase(b);
}

CStdStringList::const_iterator CStdStringList::firstNotSmaller(const CStdStr& text) const {
    // The list is always sorted, so a binary search finds the same place a walk from the front
    // would: the first element that is not smaller, i.e. after every smaller one.
    return std::lower_bound(
        items.begin(), items.end(), text,
        [this](const CStdStr& item, const CStdStr& key) { return compare(item, key) < 0; });
}

bool CStdStringList::Insert(const CStdStr& text) {
    const const_iterator place = firstNotSmaller(text);
    if ((flags & NoDuplicates) && place != items.end() && compare(*place, text) == 0) return false;
    items.insert(place, text);
    return true;
}

int CStdStringList::Find(const CStdStr& text) const {
    const const_iterator place = firstNotSmaller(text);
    if (place == items.end() || compare(*place, text) != 0) return -1;
    return static_cast<int>(place - items.begin());
}
