#include <cstdint>

#include "app/dadazado_engine.h"
#include "platform/errors.h"
#include "platform/library.h"
#include "support/debug_log.h"

namespace {

// The logging library's entries take the caller-cleans-up convention, the default.
using AddAnyItemEntry = void (*)(const char*, const char*, int32_t, const char*);
using AddDriverNameExEntry = void (*)(const char*, const char*, int32_t);

}  // namespace

void DadazadoEngine::flushLogOps(const CStdStr& argument) {
    LogLine("DadazadoEngine::flushLogOps: logging operations...");
    if (logOps.empty()) return;
    platform::LibraryHandle library = platform::loadLibrary("ZUVERU.DLL");
    if (library == nullptr) {
        LogLine("DadazadoEngine::FlushLogOps: Could not load ZuvEru, error code ",
                platform::getLastError());
        return;
    }
    if (auto addAnyItem =
            reinterpret_cast<AddAnyItemEntry>(platform::getProcAddress(library, "AddAnyItem"))) {
        for (const std::unique_ptr<LogOp>& op : logOps)
            addAnyItem(op->owner.c_str(), op->item.c_str(), op->type,
                       op->useArgument ? argument.c_str() : "");
    } else {
        LogLine("DadazadoEngine::FlushLogOps: could not get address of AddAnyItem");
    }
    if (auto addDriverName = reinterpret_cast<AddDriverNameExEntry>(
            platform::getProcAddress(library, "AddDriverNameEx")))
        addDriverName(driverName.c_str(), argument.c_str(), static_cast<int32_t>(networkLevel));
    platform::freeLibrary(library);
}
