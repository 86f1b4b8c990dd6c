#include "commands/processor_info.h"

#include "commands/run_context.h"
#include "platform/errors.h"
#include "support/debug_log.h"
#include "support/opened_printer.h"
#include "support/string_tokenizer.h"

namespace {

struct KeyPair {
    const char* processorKey;
    const char* dataTypeKey;
};

// The custom keys come first, so that a driver can name another processor for this system
// than the one the standard installation sets up.
constexpr KeyPair kKeyPairs[] = {
    {"QenPrintProcessor", "QenDefaultDataType"},
    {"PrintProcessor", "DefaultDataType"},
};

constexpr int kFieldFlags = StringTokenizer::Quotes | StringTokenizer::TrimBefore;

// A value enclosed in quotes as a whole is one text that may itself hold commas.
CStdStr unquoted(CStdStr value) {
    value.Trim();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

ProcessorInfo::ProcessorInfo(RunContext* engine, platform::PrinterInfo2* printer)
    : GenericInfo(engine, "PrintProcessor"), printer(printer) {}

bool ProcessorInfo::HandleCommand(const std::vector<CStdStr>&) { return true; }

bool ProcessorInfo::Process() {
    if (printer == nullptr) return false;
    const CStdStr installSection = engine->getInstallSection(printer->driverName);
    if (installSection.empty()) return false;
    LogLine("ProcessorInfo Status");
    LogLine("\t\tPrinter name:    " + printer->printerName);
    LogLine("\t\tDriver name:     " + printer->driverName);
    LogLine("\t\tInstall section: " + installSection);
    CStdStr dataSection;
    if (!engine->getInfValue(installSection, "DataSection", dataSection)) {
        LogLine("\t\tNo data section!");
        return false;
    }
    LogLine("\t\tData section:    " + dataSection);
    readProcessorKeys(dataSection);
    addProcessor();
    writeProcessorInfo();
    return true;
}

void ProcessorInfo::readProcessorKeys(const CStdStr& dataSection) {
    for (const KeyPair& pair : kKeyPairs) {
        const bool found = readProcessorKey(dataSection, pair.processorKey);
        if (dataType.empty()) readDataTypeKey(dataSection, pair.dataTypeKey);
        if (found) return;
    }
}

bool ProcessorInfo::readProcessorKey(const CStdStr& dataSection, const char* key) {
    CStdStr value;
    if (!engine->getInfValue(dataSection, key, value)) return false;
    StringTokenizer fields(unquoted(engine->DecodeMacros(value, 255)), ',', kFieldFlags);
    fields.next(processorName);
    fields.next(processorDll);
    return !processorName.empty();
}

void ProcessorInfo::readDataTypeKey(const CStdStr& dataSection, const char* key) {
    CStdStr value;
    if (!engine->getInfValue(dataSection, key, value)) return;
    StringTokenizer(value, ',', kFieldFlags).next(dataType);
}

bool ProcessorInfo::addProcessor() {
    LogLine("ProcessorInfo::addProcessor: About to add processor.");
    LogLine("\t\tProcessor: " + processorName);
    LogLine("\t\tDLL: " + processorDll);
    LogLine("\t\tData Type: " + dataType);
    if (processorName.empty() || processorDll.empty()) return false;
    if (!platform::addPrintProcessor(engine->getDriverEnvironment(), processorDll, processorName)) {
        const uint32_t code = platform::getLastError();
        LogLine("ProcessorInfo::addProcessor: system AddPrintProcessor returned ", code);
        return false;
    }
    LogLine("ProcessorInfo::addProcessor: added processor successfully!");
    return true;
}

bool ProcessorInfo::printerAlreadyConfigured() const {
    return !printer->printProcessor.empty() && !printer->datatype.empty() &&
           printer->printProcessor == processorName && printer->datatype == dataType;
}

bool ProcessorInfo::writeProcessorInfo() {
    if (printer == nullptr || processorName.empty() || printerAlreadyConfigured()) return false;
    LogLine("PrinterInfo::writeProcessorInfo: adding processor " + processorName + " to printer " +
            printer->printerName);
    OpenedPrinter opened(printer->printerName, platform::kPrinterAllAccess);
    if (opened.get() == nullptr) {
        logPrinterFailure("ProcessorInfo::WriteProcessorInfo: OpenPrinter failed.",
                          platform::getLastError());
        return false;
    }
    printer->printProcessor = processorName;
    // Without a data type of its own the driver leaves the printer's one in force.
    if (!dataType.empty()) printer->datatype = dataType;
    if (!platform::setPrinter(opened.get(), *printer)) {
        logPrinterFailure("ProcessorInfo::writeProcessorInfo: SetPrinter failed.",
                          platform::getLastError());
        return false;
    }
    return true;
}

void ProcessorInfo::logPrinterFailure(const char* message, uint32_t code) const {
    LogLine(message);
    LogLine("\tCode: ", code, "\n\tPrint object: ", printer->printerName,
            "\n\tProcessor: ", processorName);
}
