#include "platform/text_conversion.h"

#include <windows.h>

#include <climits>

namespace platform {

std::u16string ansiToWide(const std::string& text) {
    if (text.empty()) return {};
    if (text.size() > INT_MAX) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::u16string wide(static_cast<size_t>(needed), u'\0');
    const int written = MultiByteToWideChar(CP_ACP, 0, text.data(), length,
                                            reinterpret_cast<wchar_t*>(wide.data()), needed);
    if (written <= 0) return {};
    wide.resize(static_cast<size_t>(written));
    return wide;
}

std::string wideToAnsi(const std::u16string& text) {
    if (text.empty()) return {};
    if (text.size() > INT_MAX) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {};
    }
    const int length = static_cast<int>(text.size());
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string narrow(static_cast<size_t>(needed), '\0');
    const int written =
        WideCharToMultiByte(CP_ACP, 0, wide, length, narrow.data(), needed, nullptr, nullptr);
    if (written <= 0) return {};
    narrow.resize(static_cast<size_t>(written));
    return narrow;
}

}  // namespace platform
