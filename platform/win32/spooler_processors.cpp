#include <windows.h>
#include <winspool.h>

#include <string>

#include "platform/spooler.h"

namespace platform {

bool addPrintProcessor(const std::string& environment, const std::string& libraryName,
                       const std::string& processorName) {
    std::string environmentText = environment;
    std::string library = libraryName;
    std::string name = processorName;
    return AddPrintProcessorA(nullptr, environmentText.empty() ? nullptr : environmentText.data(),
                              library.data(), name.data()) != FALSE;
}

}  // namespace platform
