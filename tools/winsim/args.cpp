#include "tools/winsim/args.h"

#include "tools/winsim/dump_lines.h"

namespace winsim {

namespace {

const OptionSpec* findSpec(const std::vector<OptionSpec>& specs, const std::string& name) {
    for (const OptionSpec& option : specs)
        if (option.name == name) return &option;
    return nullptr;
}

bool isHelp(const std::string& word) { return word == "--help" || word == "-h"; }

bool isOption(const std::string& word) { return word.size() > 1 && word[0] == '-'; }

// One option at words[*index]; *index ends on the last word it used.
std::string parseOption(const std::vector<std::string>& words, size_t* index,
                        const std::vector<OptionSpec>& specs, ParsedArgs* parsed) {
    const std::string& word = words[*index];
    const size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    const OptionSpec* option = findSpec(specs, name);
    if (option == nullptr) return "unknown option " + name;
    if (parsed->has(name)) return "option " + name + " given twice";
    if (!option->takesValue) {
        if (equals != std::string::npos) return "option " + name + " takes no value";
        parsed->options[name] = "";
        return {};
    }
    if (equals != std::string::npos) {
        parsed->options[name] = word.substr(equals + 1);
        return {};
    }
    if (*index + 1 >= words.size()) return "option " + name + " needs a value";
    parsed->options[name] = words[++*index];
    return {};
}

}  // namespace

std::string ParsedArgs::value(const std::string& name, const std::string& fallback) const {
    const auto it = options.find(name);
    return it == options.end() ? fallback : it->second;
}

std::string parseArgs(const std::vector<std::string>& words, const std::vector<OptionSpec>& specs,
                      ParsedArgs* parsed) {
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--") {
            parsed->separatorSeen = true;
            parsed->afterSeparator.assign(words.begin() + static_cast<long>(i) + 1, words.end());
            return {};
        }
        if (isHelp(word)) {
            parsed->help = true;
        } else if (isOption(word)) {
            std::string problem = parseOption(words, &i, specs, parsed);
            if (!problem.empty()) return problem;
        } else {
            parsed->positional.push_back(word);
        }
    }
    return {};
}

bool parseDecimal(const std::string& text, uint32_t max, uint32_t* number) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > max) return false;
    *number = static_cast<uint32_t>(value);
    return true;
}

bool parseHex(const std::string& text, size_t maxDigits, uint32_t* number) {
    if (text.empty() || text.size() > maxDigits) return false;
    uint32_t value = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return false;
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    *number = value;
    return true;
}

std::vector<std::string> splitList(const std::string& text) { return dump::splitOn(text, ','); }

}  // namespace winsim
