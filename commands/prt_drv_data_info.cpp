#include "commands/prt_drv_data_info.h"

#include <cstdio>

#include "commands/run_context.h"
#include "platform/errors.h"
#include "platform/registry.h"
#include "support/debug_log.h"
#include "support/opened_printer.h"

namespace {

using platform::kRegBinary;
using platform::kRegDword;
using platform::kRegSz;
constexpr int kKeepExisting = 2;

struct NamedType {
    const char* name;
    uint32_t type;
};

constexpr NamedType kTypeNames[] = {
    {"STRING", kRegSz},
    {"NUMBER", kRegDword},
    {"BINARY", kRegBinary},
};

const NamedType* namedType(const CStdStr& typeName) {
    for (const NamedType& entry : kTypeNames)
        if (typeName.EqualsNoCase(entry.name)) return &entry;
    return nullptr;
}

uint32_t spoolerTypeOf(const CStdStr& typeName) {
    const NamedType* named = namedType(typeName);
    return named != nullptr ? named->type : kRegSz;
}

// "0x1F" style data is hexadecimal; anything else is read as a decimal number.
uint32_t numberOf(const CStdStr& data) {
    if (data.size() >= 3 && (data[1] == 'x' || data[1] == 'X')) {
        unsigned int value = 0;
        return std::sscanf(data.c_str(), "%x", &value) == 1 ? value : 0;
    }
    return static_cast<uint32_t>(cstd::atoi(data));
}

std::string bytesOf(uint32_t type, const CStdStr& data) {
    if (type == kRegSz) return data + std::string(1, '\0');
    const uint32_t number = numberOf(data);
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
    return bytes;
}

bool keepsExistingValue(platform::PrinterHandle handle, const CStdStr& name, uint32_t type) {
    uint32_t existingType = 0;
    uint32_t needed = 0;
    std::string existing;
    const uint32_t code =
        platform::getPrinterData(handle, name, &existingType, &existing, 260, &needed);
    // A value that cannot be read may well be there: writing would replace what is to be kept.
    if (code != 0 && code != platform::error::kMoreData && code != platform::error::kFileNotFound) {
        LogLine("PrtDrvDataInfo::HandleCommand: GetPrinterData of ", name, " returned ", code,
                "; the value is left as it is");
        return true;
    }
    return existingType == type && (code == 0 || code == platform::error::kMoreData);
}

}  // namespace

bool PrtDrvDataInfo::isTypeName(const CStdStr& name) { return namedType(name) != nullptr; }

PrtDrvDataInfo::PrtDrvDataInfo(RunContext* engine, const platform::PrinterInfo2& printer)
    : GenericInfo(engine, "QenPrtDrvData", printer.driverName), printerName(printer.printerName) {}

void PrtDrvDataInfo::logDetails(const CStdStr& name, const CStdStr& data) const {
    LogLine("\tPrinter: " + printerName);
    LogLine("\tValue name: " + name);
    LogLine("\tData: " + data);
}

bool PrtDrvDataInfo::HandleCommand(const std::vector<CStdStr>& arguments) {
    if (arguments.size() < 3) {
        LogLine("PrtDrvDataInfo::HandleCommand: not enough arguments!");
        return false;
    }
    const uint32_t type = spoolerTypeOf(arguments[0]);
    const CStdStr name = engine->DecodeMacros(arguments[1], 255);
    const CStdStr data = engine->DecodeMacros(arguments[2], 255);
    const int flags = arguments.size() > 3 ? (cstd::atoi(arguments[3]) & 0xFF) : 0;
    if (printerName.empty()) {
        LogLine("PrtDrvDataInfo::HandleCommand: No printer name!");
        return false;
    }
    const OpenedPrinter printer(printerName, platform::kPrinterAllAccess);
    if (!printer) {
        LogLine("PrtDrvDataInfo::HandleCommand: OpenPrinter failed with code ",
                platform::getLastError());
        logDetails(name, data);
        return false;
    }
    return writeValue(printer.get(), name, type, data, flags);
}

bool PrtDrvDataInfo::writeValue(platform::PrinterHandle handle, const CStdStr& name, uint32_t type,
                                const CStdStr& data, int flags) const {
    if ((flags & kKeepExisting) && keepsExistingValue(handle, name, type)) return true;
    const uint32_t code = platform::setPrinterData(handle, name, type, bytesOf(type, data));
    if (code == 0) return true;
    LogLine("PrtDrvDataInfo::HandleCommand: SetPrinterData returned ", code);
    logDetails(name, data);
    return false;
}
