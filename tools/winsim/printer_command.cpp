#include <cstdio>

#include "platform/registry.h"
#include "platform/sim/registry_data.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/spooler_keys.h"
#include "tools/winsim/command.h"
#include "tools/winsim/commands.h"

namespace winsim {

namespace {

const CommandInfo kPrinterAdd = {
    "printer add",
    "usage: winsim printer add DIR NAME --driver DRIVER [--port PORT] [--server \\\\HOST]\n"
    "  Adds a local printer, or with --server a connection to printer NAME on computer HOST.\n"
    "  --port      port name (default LPT1:)\n",
    {{"--driver", true}, {"--port", true}, {"--server", true}},
    2,
    2};

constexpr uint32_t kLocalAttribute = 0x40;
constexpr uint32_t kNetworkAttribute = 0x10;

struct NewPrinter {
    std::string name;
    std::string driver;
    std::string port;
    std::string host;  // empty for a local printer
};

// Windows refuses back-slashes and commas in printer names: they separate server and printer.
bool isValidPrinterName(const std::string& name) {
    return !name.empty() && name.find_first_of("\\,\r\n") == std::string::npos;
}

// "\\HOST" as HOST; empty when it is not a computer name.
std::string hostOf(const std::string& server) {
    if (server.size() < 3 || server.compare(0, 2, "\\\\") != 0) return {};
    const std::string host = server.substr(2);
    return host.find_first_of("\\/, \t\r\n") == std::string::npos ? host : std::string();
}

std::string keyOf(const NewPrinter& printer) {
    if (printer.host.empty()) return std::string(sim::spooler::kPrintersKey) + "\\" + printer.name;
    return std::string(sim::spooler::kConnectionsKey) + "\\,," + printer.host + "," + printer.name;
}

void writeText(const std::string& key, const char* name, const std::string& text) {
    sim::registry::writeValue(key, name, platform::kRegSz, textData(text));
}

void writeNumber(const std::string& key, const char* name, uint32_t number) {
    sim::registry::writeValue(key, name, platform::kRegDword, sim::dwordData(number));
}

void writeLocalValues(const std::string& key, const NewPrinter& printer) {
    writeText(key, "Name", printer.name);
    for (const char* empty :
         {"Share Name", "Description", "Location", "Separator File", "Parameters"})
        writeText(key, empty, "");
    writeNumber(key, "Attributes", kLocalAttribute);
    writeNumber(key, "Priority", 0);
    writeNumber(key, "Default Priority", 1);
    writeNumber(key, "StartTime", 0);
    writeNumber(key, "UntilTime", 0);
    writeNumber(key, "Status", 0);
}

void writeConnectionValues(const std::string& key, const NewPrinter& printer) {
    writeText(key, "Server", "\\\\" + printer.host);
    writeText(key, "Provider", "win32spl.dll");
    writeNumber(key, "Attributes", kNetworkAttribute);
}

void writePrinter(const NewPrinter& printer) {
    const std::string key = keyOf(printer);
    sim::registry::createKey(key);
    if (printer.host.empty())
        writeLocalValues(key, printer);
    else
        writeConnectionValues(key, printer);
    writeText(key, "Printer Driver", printer.driver);
    writeText(key, "Port", printer.port);
    writeText(key, "Print Processor", "WinPrint");
    writeText(key, "Datatype", "RAW");
    if (printer.host.empty()) sim::registry::createKey(key + "\\PrinterDriverData");
}

// Empty when the command line names a printer that can be added, else what is wrong.
std::string describePrinter(const ParsedArgs& args, NewPrinter* printer) {
    printer->name = args.positional[1];
    if (!isValidPrinterName(printer->name)) return "bad printer name \"" + printer->name + "\"";
    if (!args.has("--driver") || args.value("--driver").empty()) return "--driver is required";
    printer->driver = args.value("--driver");
    printer->port = args.value("--port", "LPT1:");
    if (args.has("--server")) {
        printer->host = hostOf(args.value("--server"));
        if (printer->host.empty())
            return "bad server \"" + args.value("--server") + "\" (expected \\\\HOST)";
    }
    if (!sim::registry::isStorableKeyPath(keyOf(*printer))) return "printer name too long";
    return {};
}

}  // namespace

int runPrinterAdd(const std::vector<std::string>& words) {
    ParsedArgs args;
    int exitCode = kExitSuccess;
    if (!prepare(kPrinterAdd, words, &args, &exitCode)) return exitCode;
    NewPrinter printer;
    const std::string problem = describePrinter(args, &printer);
    if (!problem.empty()) return usageError(kPrinterAdd, problem);
    if (!openExistingMachine(kPrinterAdd, args.positional[0], &exitCode)) return exitCode;
    if (sim::registry::keyExists(keyOf(printer)))
        return failure(kPrinterAdd, "printer \"" + printer.name + "\" already exists");
    writePrinter(printer);
    return kExitSuccess;
}

}  // namespace winsim
