#include <optional>

#include "app/dadazado_engine.h"
#include "support/debug_log.h"
#include "support/system_path.h"

namespace {

// Directory codes that name a well-known system directory. 10, 11, 51, 52, 66000 and 66001
// keep the numbers INF authors already know from Windows' own directory identifiers.
std::optional<int> systemPathCodeFor(int code) {
    switch (code) {
        case 1:
            return SystemPath::CURRENT_DIR;
        case 2:
            return SystemPath::TEMP_DIR;
        case 3:
            return SystemPath::PROGRAM_DIR;
        case 10:
            return SystemPath::WINDOWS_DIR;
        case 11:
            return SystemPath::SYSTEM_DIR;
        case 51:
            return SystemPath::SPOOL_DIR;
        case 52:
            return SystemPath::SPOOL_DRIVERS_DIR;
        case 2500:
            return SystemPath::PROGRAM_FILES_DIR;
        case 5000:
        case 10000:
            return SystemPath::PRINTER_DRIVER_VERSION_DIR;
        case 66000:
            return SystemPath::PRINTER_DRIVER_DIR;
        case 66001:
            return SystemPath::PRINT_PROCESSOR_DIR;
        default:
            return std::nullopt;
    }
}

PathObject noDirectoryFor(int code) {
    LogLine("LookupDir: could not get directory for code ", code);
    return {};
}

}  // namespace

PathObject DadazadoEngine::LookupDir(int code) const {
    if (code == kInstallDirCode) return installDir;
    if (const std::optional<int> pathCode = systemPathCodeFor(code)) {
        return SystemPath(*pathCode, true);
    }
    return noDirectoryFor(code);
}
