#include "tools/driver_package/windows_install.h"

#include <cstdlib>
#include <optional>

#include "platform/sim/names.h"
#include "tools/driver_package/system_printer_inf.h"

namespace driver_package {

namespace {

// One TargetOSVersion decoration: nt[architecture][.major[.minor[.productType[.suiteMask]]]].
struct Decoration {
    std::string architecture;  // "", "x86", "amd64", "ia64", ...
    int major = -1, minor = -1, productType = -1;
};

std::optional<Decoration> parseDecoration(const std::string& text) {
    const std::string folded = sim::folded(text);
    if (folded.rfind("nt", 0) != 0) return std::nullopt;
    Decoration decoration;
    const size_t dot = folded.find('.');
    decoration.architecture = folded.substr(2, dot == std::string::npos ? dot : dot - 2);
    std::vector<int> numbers;
    for (size_t at = dot; at != std::string::npos;) {
        const size_t next = folded.find('.', at + 1);
        const std::string part =
            folded.substr(at + 1, next == std::string::npos ? next : next - at - 1);
        numbers.push_back(part.empty() ? -1
                                       : static_cast<int>(std::strtol(part.c_str(), nullptr, 0)));
        at = next;
    }
    if (numbers.size() > 0) decoration.major = numbers[0];
    if (numbers.size() > 1) decoration.minor = numbers[1];
    if (numbers.size() > 2) decoration.productType = numbers[2];
    return decoration;
}

bool matches(const Decoration& d, const WindowsTarget& target) {
    // From 2003 SP1 on, which every 64-bit edition here is, a models section for x64 must say
    // so; a plain NT decoration is for 32-bit Windows.
    if (target.x64 ? d.architecture != "amd64"
                   : !(d.architecture.empty() || d.architecture == "x86"))
        return false;
    if (d.major > target.major || (d.major == target.major && d.minor > target.minor)) return false;
    if (d.productType > 0 && (d.productType == 1) == target.server) return false;
    return true;
}

// Windows takes the decoration closest to the running version: the highest version that is
// not above it, then the one that names the architecture or the product type.
bool closer(const Decoration& a, const Decoration& b) {
    if (a.major != b.major) return a.major > b.major;
    if (a.minor != b.minor) return a.minor > b.minor;
    if (a.architecture.empty() != b.architecture.empty()) return !a.architecture.empty();
    return a.productType > b.productType;
}

// Decorations are read from Windows XP on; earlier versions use the first field whole.
bool readsDecorations(const WindowsTarget& target) {
    return !target.win9x && (target.major > 5 || (target.major == 5 && target.minor >= 1));
}

// The models section Windows reads for one [Manufacturer] line; empty when none applies.
std::string modelsSectionOf(const std::vector<std::string>& fields, const WindowsTarget& target) {
    if (fields.empty() || fields[0].empty()) return {};
    if (!readsDecorations(target)) return fields[0];
    std::optional<Decoration> best;
    std::string bestText;
    for (size_t i = 1; i < fields.size(); ++i) {
        const std::optional<Decoration> d = parseDecoration(fields[i]);
        if (d && matches(*d, target) && (!best || closer(*d, *best))) {
            best = d;
            bestText = fields[i];
        }
    }
    if (best) return fields[0] + "." + bestText;
    return target.x64 ? std::string() : fields[0];
}

std::string acceptedSignature(const WindowsInf& inf, const WindowsTarget& target) {
    const std::string signature = sim::folded(inf.signature());
    if (target.win9x) {
        if (inf.isUnicode()) return "the 9x family does not read INF files saved as UTF-16";
        if (signature == "$chicago$" || signature == "$windows 95$") return {};
        return "the 9x family installs only INF files signed $Chicago$ or $Windows 95$, and this "
               "one is signed " +
               (inf.signature().empty() ? std::string("with nothing") : inf.signature());
    }
    if (signature == "$chicago$" || signature == "$windows 95$" || signature == "$windows nt$")
        return {};
    return "Windows does not accept the INF's signature \"" + inf.signature() + "\"";
}

// DDInstall sections take the most specific platform extension the INF has.
std::string actualInstallSection(const WindowsInf& inf, const WindowsTarget& target,
                                 const std::string& section) {
    if (!target.win9x)
        for (const char* extension : {target.x64 ? ".NTamd64" : ".NTx86", ".NT"})
            if (inf.hasSection(section + extension)) return section + extension;
    return section;
}

// Every file an Include= line names counts, not only the first: "Include=MSXPSDRV.INF,
// NTPRINT.INF".
bool includesSystem(const WindowsInf& inf, const std::string& section) {
    for (const std::vector<std::string>& fields : inf.values(section, "Include"))
        for (const std::string& file : fields)
            if (includesSystemPrinterInf(file)) return true;
    return false;
}

void readDriverFiles(const WindowsInf& inf, const WindowsTarget& target, WindowsModel* m) {
    const std::string& own = m->actualInstallSection;
    const std::string dataSection = inf.value(own, "DataSection");
    // Include= and the data sections of the system's printer INF came with Windows 2000.
    const bool fromSystem = !target.win9x && target.major >= 5 && !dataSection.empty() &&
                            !inf.hasSection(dataSection) && includesSystem(inf, own);
    const SystemDataSection* system = fromSystem ? systemDataSection(dataSection) : nullptr;
    auto entry = [&](const char* key, std::string_view systemValue) {
        std::string value = inf.value(own, key);
        if (value.empty() && !dataSection.empty()) value = inf.value(dataSection, key);
        if (value.empty()) value = systemValue;
        return value;
    };
    m->driverFile = entry("DriverFile", system ? system->driverFile : "");
    m->dataFile = entry("DataFile", "");
    m->configFile = entry("ConfigFile", system ? system->configFile : "");
    m->helpFile = entry("HelpFile", system ? system->helpFile : "");
    for (const std::vector<std::string>& fields : inf.values(own, "LanguageMonitor"))
        for (size_t i = 0; i < fields.size(); ++i) m->languageMonitor += (i ? "," : "") + fields[i];
    if (m->languageMonitor.empty() && system) m->languageMonitor = system->languageMonitor;
    // The printer class installer's defaults for entries the INF leaves out.
    if (m->driverFile.empty()) m->driverFile = m->installSection;
    if (m->dataFile.empty()) m->dataFile = m->installSection;
    if (m->configFile.empty()) m->configFile = m->driverFile;
}

void readCopyFiles(const WindowsInf& inf, WindowsModel* m) {
    for (const std::vector<std::string>& list : inf.values(m->actualInstallSection, "CopyFiles"))
        for (const std::string& item : list) {
            if (item.empty()) continue;
            if (item.front() == '@') {
                m->files.push_back({item.substr(1), item.substr(1), "@"});
                continue;
            }
            for (const WindowsInf::Line& line : inf.lines(item)) {
                // dest[,source[,,flags]]; "dest=source" names a compressed source as well.
                CopiedFile file{line.key, line.key, item};
                if (line.key.empty()) {
                    if (line.fields.empty() || line.fields[0].empty()) continue;
                    file.name = line.fields[0];
                    file.source = line.fields.size() > 1 && !line.fields[1].empty() ? line.fields[1]
                                                                                    : file.name;
                } else if (!line.fields.empty() && !line.fields[0].empty()) {
                    file.source = line.fields[0];
                }
                m->files.push_back(std::move(file));
            }
        }
}

void readRegistryLines(const WindowsInf& inf, WindowsModel* m) {
    auto collect = [&](const char* key, std::vector<std::vector<std::string>>* out) {
        for (const std::vector<std::string>& list : inf.values(m->actualInstallSection, key))
            for (const std::string& section : list)
                for (std::vector<std::string>& fields : inf.fieldLines(section))
                    out->push_back(std::move(fields));
    };
    collect("DelReg", &m->delReg);
    collect("AddReg", &m->addReg);
}

}  // namespace

WindowsModel windowsModel(const WindowsInf& inf, const WindowsTarget& target,
                          const std::string& model) {
    WindowsModel m;
    m.why = acceptedSignature(inf, target);
    if (!m.why.empty()) return m;
    std::string read;  // the models sections this version reads, for the reason
    for (const WindowsInf::Line& maker : inf.lines("Manufacturer")) {
        std::vector<std::string> fields = maker.fields;
        // A line without '=' names its models section itself.
        if (maker.key.empty() && !fields.empty()) fields.resize(1);
        const std::string section = modelsSectionOf(fields, target);
        if (section.empty()) continue;
        read += (read.empty() ? "[" : ", [") + section + "]" +
                (inf.hasSection(section) ? "" : " (missing)");
        for (const WindowsInf::Line& line : inf.lines(section)) {
            if (!sim::equalsIgnoringCase(line.key, model) || line.fields.empty()) continue;
            m.modelsSection = section;
            m.driverName = line.key;
            m.installSection = line.fields[0];
            break;
        }
        if (!m.modelsSection.empty()) break;
    }
    if (m.modelsSection.empty()) {
        if (read.empty())
            m.why = target.x64 ? "no [Manufacturer] line is decorated NTamd64"
                               : "no [Manufacturer] line names a models section";
        else
            m.why = "the models sections this version reads do not list the model: " + read;
        return m;
    }
    m.actualInstallSection = actualInstallSection(inf, target, m.installSection);
    if (m.installSection.empty() || !inf.hasSection(m.actualInstallSection)) {
        m.why = "the model's install section [" + m.installSection + "] does not exist";
        return m;
    }
    readDriverFiles(inf, target, &m);
    readCopyFiles(inf, &m);
    readRegistryLines(inf, &m);
    m.installs = true;
    return m;
}

}  // namespace driver_package
