#include "support/registry_reads.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/little_endian.h"
#include "support/debug_log.h"

using platform::RegKey;

namespace {

// A DWORD stored with fewer than four bytes reads as the bytes there are.
uint32_t littleEndianNumber(const std::vector<uint8_t>& data, uint32_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size());
    return static_cast<uint32_t>(platform::littleEndian(bytes, 0, std::min<uint32_t>(size, 4)));
}

// The text that starts at offset and ends at the first NUL or at end, whichever comes first.
CStdStr textAt(const std::vector<uint8_t>& data, size_t offset, size_t end) {
    const auto first = data.begin() + static_cast<std::ptrdiff_t>(offset);
    const auto last = std::find(first, data.begin() + static_cast<std::ptrdiff_t>(end), 0);
    return CStdStr(first, last);
}

std::vector<CStdStr> multiStrings(const std::vector<uint8_t>& data, uint32_t size) {
    std::vector<CStdStr> strings;
    size_t offset = 0;
    while (offset < size) {
        CStdStr text = textAt(data, offset, size);
        if (text.empty()) break;
        offset += text.size() + 1;
        strings.push_back(std::move(text));
    }
    return strings;
}

bool decodeValue(uint32_t type, const std::vector<uint8_t>& data, uint32_t size,
                 const CStdStr& valueName, RegValue& value) {
    switch (type) {
        case platform::kRegSz:
        case platform::kRegExpandSz:
            value.text = textAt(data, 0, size);
            value.kind = type == platform::kRegSz ? Reg_String : Reg_Expand_String;
            return true;
        case platform::kRegDword:
            value.number = littleEndianNumber(data, size);
            value.kind = Reg_Dword;
            return true;
        case platform::kRegMultiSz:
            value.list = multiStrings(data, size);
            value.kind = Reg_Multi_String;
            return true;
        default:
            value.kind = Reg_None;
            LogLine("Registry::ReadValue: registry entry ", valueName,
                    " had unsupported data type ", type);
            return false;
    }
}

}  // namespace

namespace registry_reads {

ScopedKey::~ScopedKey() {
    if (key != nullptr) platform::regCloseKey(key);
}

RegKey openKey(RegKey root, const CStdStr& subKey, uint32_t access) {
    if (root == nullptr) return nullptr;
    RegKey key = nullptr;
    const uint32_t code = platform::regOpenKey(root, subKey, access, &key);
    if (code == 0) return key;
    if (code != platform::error::kFileNotFound)
        LogLine("Registry::openKey: could not open key ", subKey, " (error code ", code, ")");
    return nullptr;
}

bool keyExists(RegKey root, const CStdStr& subKey) {
    const ScopedKey key(openKey(root, subKey, platform::kKeyRead));
    return static_cast<bool>(key);
}

bool valueExists(RegKey root, const CStdStr& subKey, const CStdStr& valueName) {
    const ScopedKey key(openKey(root, subKey, platform::kKeyRead));
    if (!key) return false;
    uint32_t size = 0;
    const uint32_t queried = platform::regQueryValue(key.get(), valueName, nullptr, nullptr, &size);
    // A value that cannot be read may well be there: a caller that keeps existing values must
    // not replace it.
    if (queried != 0 && queried != platform::error::kFileNotFound) {
        LogLine("Registry::ValueExists: could not query value ", valueName, " (error ", queried,
                ")");
        return true;
    }
    if (queried != 0 || size == 0) return false;
    std::vector<uint8_t> data(size, 0);
    const uint32_t code =
        platform::regQueryValue(key.get(), valueName, nullptr, data.data(), &size);
    return code == 0 && size != 0;
}

bool readValue(RegKey root, const CStdStr& subKey, const CStdStr& valueName, RegValue& value) {
    const ScopedKey key(openKey(root, subKey, platform::kKeyRead));
    if (!key) return false;
    uint32_t size = 0;
    platform::regQueryValue(key.get(), valueName, nullptr, nullptr, &size);
    if (size == 0) return false;
    // Two zero bytes past the data end a string or list that was stored without its NULs.
    std::vector<uint8_t> data(static_cast<size_t>(size) + 2, 0);
    uint32_t type = platform::kRegNone;
    const uint32_t code = platform::regQueryValue(key.get(), valueName, &type, data.data(), &size);
    if (code != 0) {
        LogLine("Registry::ReadValue: could not query value ", valueName, " (return code ", code,
                ")");
        return false;
    }
    size = std::min<uint32_t>(size, static_cast<uint32_t>(data.size()));
    return decodeValue(type, data, size, valueName, value);
}

CStdStr readString(RegKey root, const CStdStr& subKey, const CStdStr& valueName) {
    RegValue value;
    if (!readValue(root, subKey, valueName, value)) return {};
    switch (value.kind) {
        case Reg_Dword:
            return CStdStr(std::to_string(static_cast<int32_t>(value.number)));
        case Reg_String:
        case Reg_Expand_String:
            return value.text;
        default:
            return {};
    }
}

}  // namespace registry_reads
