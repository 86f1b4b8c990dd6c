#include "tools/winsim/trial_report.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tools/winsim/dump_lines.h"

namespace winsim {

namespace {

// Words the flight recorder's messages use when something went wrong.
constexpr const char* kFailureWords[] = {"fail",          "could not",       "cannot",
                                         "can't",         "not found",       "does not exist",
                                         "invalid",       "error parsing",   "not enough arguments",
                                         "unable",        "won't budge",     "unsupported",
                                         "not supported", "not been loaded", "no printer name",
                                         "missing"};

void listItems(std::ostringstream& out, const char* heading,
               const std::vector<std::string>& items) {
    if (items.empty()) return;
    out << "  " << heading << ":\n";
    for (std::string item : items) {
        for (char& c : item)
            if (c == '\t') c = ' ';
        out << "    " << item << "\n";
    }
}

void listDifference(std::ostringstream& out, const char* what, const Difference& difference) {
    std::string heading = std::string(what) + " added";
    listItems(out, heading.c_str(), difference.added);
    heading = std::string(what) + " changed";
    listItems(out, heading.c_str(), difference.changed);
    heading = std::string(what) + " removed";
    listItems(out, heading.c_str(), difference.removed);
}

std::string counts(const Difference& d) {
    return "+" + std::to_string(d.added.size()) + " ~" + std::to_string(d.changed.size()) + " -" +
           std::to_string(d.removed.size());
}

nlohmann::json differenceJson(const Difference& d) {
    return {{"added", d.added}, {"changed", d.changed}, {"removed", d.removed}};
}

}  // namespace

std::string exitMeaning(int exitCode) {
    switch (exitCode) {
        case 0:
            return "the run got through";
        case 1:
            return "bad command line: INF file not found, or no printer name";
        case 2:
            return "the printer could not be read from the spooler";
        case 3:
            return "the INF has no [Manufacturer] section";
        case 4:
            return "no manufacturer section lists the driver's model";
        default:
            return "the utility did not run";
    }
}

std::vector<std::string> failureLines(const std::string& flightRecorder) {
    std::vector<std::string> lines;
    std::istringstream in(flightRecorder);
    bool reporting = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A report's detail lines follow it, indented with tabs.
        if (reporting && !line.empty() && line.front() == '\t') {
            lines.push_back(line);
            continue;
        }
        reporting = false;
        const std::string text = dump::lower(line);
        if (text.find("successfully") != std::string::npos) continue;
        for (const char* word : kFailureWords)
            if (text.find(word) != std::string::npos) {
                lines.push_back(line);
                reporting = true;
                break;
            }
    }
    return lines;
}

std::string describeResult(const TrialResult& result) {
    std::ostringstream out;
    out << "== " << result.version << ": ";
    if (!result.windowsInstalls) {
        out << "not installed by Windows: " << result.notInstalled << "\n";
        return out.str();
    }
    if (!result.problem.empty()) {
        out << "not run: " << result.problem << "\n";
        return out.str();
    }
    out << "exit " << result.exitCode << " (" << exitMeaning(result.exitCode) << ")\n";
    out << "  driver: " << result.driverName << "\n";
    if (!result.explanation.empty()) out << "  why: " << result.explanation << "\n";
    listItems(out, "flight-recorder lines that report a failure", result.failures);
    const MachineChanges& c = result.changes;
    listDifference(out, "files", c.files);
    listDifference(out, "registry values", c.registry);
    listDifference(out, "printers", c.printers);
    listDifference(out, "drivers", c.drivers);
    listDifference(out, "monitors", c.monitors);
    listDifference(out, "print processors", c.processors);
    listItems(out, "shortcuts", c.shortcuts);
    listItems(out, "programs started", c.programs);
    listItems(out, "waiting for the next restart", c.restart);
    return out.str();
}

std::string resultTable(const std::vector<TrialResult>& results) {
    std::ostringstream out;
    char line[256];
    std::snprintf(line, sizeof line,
                  "%-9s %-4s %-8s %4s %8s %-14s %-14s %8s %7s %8s %10s %9s %8s %7s\n", "version",
                  "arch", "windows", "exit", "failures", "files", "registry", "printers", "drivers",
                  "monitors", "processors", "shortcuts", "programs", "restart");
    out << line;
    for (const TrialResult& r : results) {
        if (!r.windowsInstalls || r.exitCode < 0) {
            std::snprintf(line, sizeof line, "%-9s %-4s %-8s %4s\n", r.version.c_str(),
                          r.architecture.c_str(), r.windowsInstalls ? "installs" : "no", "-");
            out << line;
            continue;
        }
        const MachineChanges& c = r.changes;
        std::snprintf(line, sizeof line,
                      "%-9s %-4s %-8s %4d %8zu %-14s %-14s %8zu %7zu %8zu %10zu %9zu %8zu %7zu\n",
                      r.version.c_str(), r.architecture.c_str(), "installs", r.exitCode,
                      r.failures.size(), counts(c.files).c_str(), counts(c.registry).c_str(),
                      c.printers.size(), c.drivers.size(), c.monitors.size(), c.processors.size(),
                      c.shortcuts.size(), c.programs.size(), c.restart.size());
        out << line;
    }
    return out.str();
}

std::string resultJson(const std::string& package, const std::string& model,
                       const std::vector<TrialResult>& results) {
    nlohmann::json runs = nlohmann::json::array();
    for (const TrialResult& r : results) {
        const MachineChanges& c = r.changes;
        nlohmann::json run = {{"version", r.version},
                              {"architecture", r.architecture},
                              {"windowsInstalls", r.windowsInstalls},
                              {"driverName", r.driverName},
                              {"exitCode", r.exitCode},
                              {"exitMeaning", exitMeaning(r.exitCode)},
                              {"failures", r.failures},
                              {"files", differenceJson(c.files)},
                              {"registry", differenceJson(c.registry)},
                              {"printers", differenceJson(c.printers)},
                              {"drivers", differenceJson(c.drivers)},
                              {"monitors", differenceJson(c.monitors)},
                              {"printProcessors", differenceJson(c.processors)},
                              {"shortcuts", c.shortcuts},
                              {"programs", c.programs},
                              {"restart", c.restart}};
        if (!r.problem.empty()) run["problem"] = r.problem;
        if (!r.notInstalled.empty()) run["notInstalled"] = r.notInstalled;
        if (!r.explanation.empty()) run["explanation"] = r.explanation;
        runs.push_back(std::move(run));
    }
    const nlohmann::json document = {{"package", package}, {"model", model}, {"runs", runs}};
    return document.dump(2) + "\n";
}

}  // namespace winsim
