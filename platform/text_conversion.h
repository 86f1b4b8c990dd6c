#pragma once

#include <string>

// Conversions through the ANSI code page (MultiByteToWideChar / WideCharToMultiByte, CP_ACP).
namespace platform {

std::u16string ansiToWide(const std::string& text);
std::string wideToAnsi(const std::u16string& text);

}  // namespace platform
