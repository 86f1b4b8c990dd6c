#pragma once

#include <cstdint>
#include <vector>

#include "support/cstd_str.h"

// Kinds of a registry value as the rest of the system sees them; the registry wrapper maps
// them onto the platform's own type numbers, which callers never handle.
constexpr int Reg_None = 0;
constexpr int Reg_Dword = 1;
constexpr int Reg_String = 2;
constexpr int Reg_Expand_String = 3;
constexpr int Reg_Binary = 4;
constexpr int Reg_Multi_String = 5;

// A typed registry value. Only the member that belongs to kind carries meaning: number for
// Reg_Dword, text for the string kinds (and the hexadecimal data of Reg_Binary when writing),
// list for Reg_Multi_String.
struct RegValue {
    int kind = Reg_None;
    uint32_t number = 0;
    CStdStr text;
    std::vector<CStdStr> list;
};
