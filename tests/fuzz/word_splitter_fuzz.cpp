// The word splitter with every separator and flag combination, and the INI line rules and the
// sorted list that consume its words.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/cstd_str.h"
#include "support/ini_line.h"
#include "support/string_list.h"
#include "support/string_tokenizer.h"
#include "tests/fuzz/fuzz_machine.h"

namespace {

size_t totalLength(const std::vector<CStdStr>& words) {
    size_t total = 0;
    for (const CStdStr& word : words) total += word.size();
    return total;
}

// Taking words one at a time must end and agree with taking them all at once.
std::vector<CStdStr> wordsOneByOne(const CStdStr& text, char separator, int flags) {
    StringTokenizer tokens(text, separator, flags);
    std::vector<CStdStr> words;
    CStdStr word;
    while (tokens.next(word)) {
        words.push_back(word);
        fuzz::check(words.size() <= text.size() + 1, "the splitter does not end");
    }
    fuzz::check(word.empty(), "an exhausted splitter gave a word");
    fuzz::check(!tokens.hasMore(), "the splitter stopped with text left");
    return words;
}

void splitWords(const CStdStr& text, char separator, int flags) {
    const std::vector<CStdStr> words = wordsOneByOne(text, separator, flags);
    std::vector<CStdStr> all{"stale"};
    StringTokenizer(text, separator, flags).all(all);
    fuzz::check(all == words, "next() and all() split differently");
    fuzz::check(totalLength(words) <= text.size(), "words hold more text than the input");

    for (int listFlags : {0, CStdStringList::NoDuplicates,
                          CStdStringList::NoDuplicates | CStdStringList::CaseSensitive}) {
        CStdStringList list(listFlags);
        for (const CStdStr& word : words) list.Insert(word);
        for (const CStdStr& word : words) fuzz::check(list.Contains(word), "inserted word lost");
        for (size_t i = 1; i < list.size(); ++i) {
            const int order = (listFlags & CStdStringList::CaseSensitive)
                                  ? list[i - 1].compare(list[i])
                                  : list[i - 1].CompareNoCase(list[i]);
            fuzz::check(order <= 0, "the list is out of order");
        }
    }
}

void readAsIniLine(const CStdStr& text) {
    const CStdStr trimmed = text.Trimmed();
    if (ini::classifyLine(trimmed) == ini::LineKind::Header) ini::headerName(trimmed);
    CStdStr name, value;
    for (ini::NameQuotes quotes : {ini::NameQuotes::Keep, ini::NameQuotes::Remove}) {
        if (!ini::splitNameValue(trimmed, name, value, quotes))
            fuzz::check(name.empty() && value.empty(), "a refused line left a name or value");
    }
    ini::withoutEnclosingQuotes(text);
}

}  // namespace

// The first byte picks the flags, the second the separator; the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int flags = data[0] & (StringTokenizer::Quotes | StringTokenizer::TrimBefore);
    const char separator = static_cast<char>(data[1]);
    const CStdStr text(reinterpret_cast<const char*>(data + 2), size - 2);
    splitWords(text, separator, flags);
    readAsIniLine(text);
    return 0;
}
