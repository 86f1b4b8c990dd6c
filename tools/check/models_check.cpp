#include "tools/check/models_check.h"

#include <unordered_set>

#include "support/string_tokenizer.h"

namespace check {

namespace {

constexpr const char* kManufacturerSection = "Manufacturer";

std::string bracketed(const CStdStr& name) { return "[" + name + "]"; }

// "Acme,NTx86": the sections a decorated line means to Windows, [Acme.NTx86], that exist.
std::vector<CStdStr> decoratedSections(const CheckContext& context, const CStdStr& value) {
    std::vector<CStdStr> words;
    StringTokenizer(value, ',', StringTokenizer::TrimBefore).all(words);
    std::vector<CStdStr> existing;
    for (size_t i = 1; i < words.size(); ++i) {
        const CStdStr decorated = words[0] + "." + words[i];
        if (context.inf.section(decorated) != nullptr) existing.push_back(decorated);
    }
    return existing;
}

void reportMissingManufacturer(const CheckContext& context, const CStdStr& name, int line) {
    std::string text = "manufacturer section " + bracketed(name) + " does not exist";
    if (name.find(',') != CStdStr::npos) {
        text +=
            ": the utility uses the whole value as the section name and never splits it "
            "at commas";
        const std::vector<CStdStr> decorated = decoratedSections(context, name);
        for (size_t i = 0; i < decorated.size(); ++i)
            text +=
                (i == 0 ? ", so it never reads the models of " : " or ") + bracketed(decorated[i]);
    }
    context.error(line, text);
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
    for (const KeyLine& manufacturer : PackageInf::keyLines(*manufacturers)) {
        const CStdStr name = manufacturer.value.empty() ? manufacturer.name : manufacturer.value;
        const InfSection* models = context.inf.section(name);
        if (models == nullptr) {
            reportMissingManufacturer(context, name, manufacturer.line);
            continue;
        }
        for (const KeyLine& model : PackageInf::keyLines(*models))
            checkModelLine(context, model, found);
    }
    return found.list;
}

}  // namespace check
