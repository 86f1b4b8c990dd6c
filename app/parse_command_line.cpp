#include "app/dadazado_engine.h"
#include "support/debug_log.h"
#include "support/string_tokenizer.h"

namespace {

// A word of exactly "-x" names the option x; anything else is not an option.
char optionLetter(const CStdStr& word) {
    if (word.size() != 2 || word[0] != '-') return 0;
    return cstd::toUpperAscii(word[1]);
}

}  // namespace

bool DadazadoEngine::parseCommandLine(const CStdStr& commandLine) {
    std::vector<CStdStr> words;
    StringTokenizer(commandLine, ' ', StringTokenizer::Quotes | StringTokenizer::TrimBefore)
        .all(words);

    PathObject infPath;
    char pending = 0;
    for (const CStdStr& word : words) {
        if (word.empty()) continue;
        if (pending == 0) {
            pending = optionLetter(word);
            continue;
        }
        switch (pending) {
            case 'I':
                infPath.SetFullPath(word);
                break;
            case 'N':
                printerName = word;
                break;
            case 'P':
                portName = word;
                break;
            case 'S':
                silentMode = true;
                break;
            default:
                break;
        }
        pending = 0;
    }

    bool result = true;
    if (infPath.Exists()) {
        inf = std::make_unique<InfFile>(infPath.GetFullPath());
    } else {
        LogLine("parseCommandLine: could not load INF: ", infPath.GetFullPath());
        result = false;
    }
    if (printerName.empty()) {
        LogLine("parseCommandLine: no printer name specified.");
        result = false;
    }
    return result;
}
