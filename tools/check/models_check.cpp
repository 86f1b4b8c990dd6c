#include "tools/check/models_check.h"

#include <climits>
#include <set>
#include <unordered_set>

#include "support/string_tokenizer.h"
#include "tools/check/standard_lines_check.h"

namespace check {

namespace {

constexpr const char* kManufacturerSection = "Manufacturer";

std::string bracketed(const CStdStr& name) { return "[" + name + "]"; }

// "Acme,NTx86": the sections the line means to Windows that exist: the decorated ones,
// [Acme.NTx86], and the undecorated [Acme], which Windows reads where no decoration applies.
std::vector<const InfSection*> windowsModelSections(const CheckContext& context,
                                                    const CStdStr& value,
                                                    std::vector<CStdStr>* names) {
    std::vector<CStdStr> words;
    StringTokenizer(value, ',', StringTokenizer::TrimBefore).all(words);
    for (CStdStr& word : words) word.TrimRight();  // Windows trims both ends of a field
    std::vector<const InfSection*> existing;
    for (size_t i = 1; i <= words.size() && !words.empty(); ++i) {
        const CStdStr name = i < words.size() ? words[0] + "." + words[i] : words[0];
        if (const InfSection* section = context.inf.section(name)) {
            existing.push_back(section);
            names->push_back(name);
        }
    }
    return existing;
}

// What the utility finds through the manufacturer lines it can follow.
struct Readable {
    std::set<const InfSection*> sections;
    std::set<CStdStr> models;  // in lower case
};

// The manufacturer lines up to a header that a comment follows: Windows ends the section there,
// and that header is reported on its own.
std::vector<KeyLine> manufacturerLines(const InfSection& manufacturers) {
    int end = INT_MAX;
    for (size_t i = 0; i < manufacturers.lines.size() && end == INT_MAX; ++i)
        if (isCommentedHeader(manufacturers.lines[i])) end = manufacturers.lineNumbers[i];
    std::vector<KeyLine> lines = PackageInf::keyLines(manufacturers);
    std::erase_if(lines, [end](const KeyLine& line) { return line.line >= end; });
    return lines;
}

Readable readableModels(const CheckContext& context, const InfSection& manufacturers) {
    Readable readable;
    for (const KeyLine& manufacturer : manufacturerLines(manufacturers)) {
        const CStdStr name = manufacturer.value.empty() ? manufacturer.name : manufacturer.value;
        const InfSection* section = context.inf.section(name);
        if (section == nullptr) continue;
        readable.sections.insert(section);
        for (const KeyLine& model : PackageInf::keyLines(*section))
            readable.models.insert(model.name.ToLower());
    }
    return readable;
}

bool allModelsReadable(const std::vector<const InfSection*>& sections, const Readable& readable) {
    for (const InfSection* section : sections)
        for (const KeyLine& model : PackageInf::keyLines(*section))
            if (readable.models.count(model.name.ToLower()) == 0) return false;
    return true;
}

// A remedy both read alike: Windows reads an undecorated line on every 32-bit version, and the
// 64-bit editions pass it over; a decorated line falls back to its undecorated section where
// no decoration applies, so that section stays empty.
std::string decoratedRemedy(const CStdStr& key, const CStdStr& value) {
    CStdStr base;
    StringTokenizer(value, ',', StringTokenizer::TrimBefore).next(base);
    base.TrimRight();
    return "; list the models the utility must find under an undecorated line of their own, " +
           key + " = " + base +
           ", whose whole value names a section: every 32-bit Windows reads that section too, "
           "while the 64-bit editions pass undecorated lines over, so keep decorations only for "
           "them, on another line with another section name (" +
           key + " = " + base + "64, NTamd64, with an empty [" + base +
           "64] for the 32-bit versions that fall back to it)";
}

// Returns the sections Windows reads for the line and the utility does not.
std::vector<const InfSection*> reportMissingManufacturer(const CheckContext& context,
                                                         const KeyLine& manufacturer,
                                                         const CStdStr& name,
                                                         const Readable& readable) {
    std::string text = "manufacturer section " + bracketed(name) + " does not exist";
    std::vector<const InfSection*> unread;
    if (name.find(',') != CStdStr::npos) {
        std::vector<CStdStr> names;
        const std::vector<const InfSection*> sections = windowsModelSections(context, name, &names);
        // The remedy in place: another line already gives the utility every model.
        if (!sections.empty() && allModelsReadable(sections, readable)) return unread;
        text +=
            ": the utility uses the whole value as the section name and never splits it "
            "at commas";
        const char* joint = ", so it never reads the models of ";
        for (size_t i = 0; i < names.size(); ++i) {
            if (readable.sections.count(sections[i]) != 0) continue;
            unread.push_back(sections[i]);
            text += joint + bracketed(names[i]);
            joint = " or ";
        }
        text += decoratedRemedy(manufacturer.name, name);
    }
    context.error(manufacturer.line, text);
    return unread;
}

// A model key written as %strkey%: Windows names the driver by the string's text.
void checkModelKey(const CheckContext& context, const KeyLine& model) {
    const CStdStr& key = model.name;
    if (key.size() < 3 || key.front() != '%' || key.back() != '%') return;
    const InfSection* strings = context.inf.section("Strings");
    const std::optional<KeyLine> text =
        strings ? PackageInf::firstKey(*strings, key.substr(1, key.size() - 2)) : std::nullopt;
    const CStdStr driverName = text ? text->value : key;
    context.warning(model.line, "model " + key + ": Windows names the driver \"" + driverName +
                                    "\", but the utility compares the model key as written, "
                                    "never finds that driver and stops with exit code 4; "
                                    "write the name itself as the key, \"" +
                                    driverName + "\" = ...");
}

// The install section a model line names: its first field, as the utility takes it.
CStdStr installSectionName(const CStdStr& modelValue) {
    CStdStr first;
    StringTokenizer(modelValue, ',', StringTokenizer::Quotes | StringTokenizer::TrimBefore)
        .next(first);
    return first;
}

// The install sections found, each once, in the order the models name them.
struct FoundSections {
    std::vector<InstallSection> list;
    std::unordered_set<const InfSection*>
        seen;  // a package of many models is checked in linear time

    void addOnce(const CStdStr& name, const InfSection* section) {
        if (seen.insert(section).second) list.push_back({name, section});
    }
};

void checkModelLine(const CheckContext& context, const KeyLine& model, FoundSections& found) {
    checkModelKey(context, model);
    const CStdStr name = installSectionName(model.value);
    const std::string what = "model \"" + model.name + "\"";
    if (name.empty()) {
        context.error(model.line, what + " names no install section");
        return;
    }
    const InfSection* section = context.inf.section(name);
    if (section == nullptr)
        context.error(model.line,
                      "install section " + bracketed(name) + " of " + what + " does not exist");
    else if (section->lines.empty())
        context.error(model.line,
                      "install section " + bracketed(name) + " of " + what + " is empty");
    else
        found.addOnce(name, section);
}

}  // namespace

std::vector<InstallSection> checkModels(const CheckContext& context) {
    FoundSections found;
    const InfSection* manufacturers = context.inf.section(kManufacturerSection);
    if (manufacturers == nullptr) {
        context.error(1, "no [Manufacturer] section: the utility stops with exit code 3");
        return {};
    }
    const Readable readable = readableModels(context, *manufacturers);
    for (const KeyLine& manufacturer : manufacturerLines(*manufacturers)) {
        const CStdStr name = manufacturer.value.empty() ? manufacturer.name : manufacturer.value;
        std::vector<const InfSection*> models;
        if (const InfSection* section = context.inf.section(name))
            models.push_back(section);
        else  // what Windows reads is checked too, for the day the remedy is in place
            models = reportMissingManufacturer(context, manufacturer, name, readable);
        for (const InfSection* section : models)
            for (const KeyLine& model : PackageInf::keyLines(*section))
                checkModelLine(context, model, found);
    }
    return found.list;
}

}  // namespace check
