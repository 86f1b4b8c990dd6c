#include "commands/reg_info.h"

#include "commands/run_context.h"
#include "support/debug_log.h"
#include "support/registry.h"

namespace {

constexpr uint32_t kTypeMask = 0xFFFF0001u;
constexpr uint32_t kDwordFlags = 0x00010001u;
constexpr uint32_t kBinaryFlags = 0x00000001u;
constexpr int kNoClobber = 2;

void logNotEnoughArguments() { LogLine("PrtDrvDataInfo::HandleCommand: not enough arguments!"); }

}  // namespace

RegValue setupRegValue(int flags, const CStdStr& data) {
    RegValue value;
    const uint32_t kind = static_cast<uint32_t>(flags) & kTypeMask;
    if (kind == kBinaryFlags) LogLine("setupRegValue: binary type not supported, assuming DWORD");
    if (kind == kDwordFlags || kind == kBinaryFlags) {
        value.kind = Reg_Dword;
        value.number = cstd::infNumber(data);
    } else {
        value.kind = Reg_String;
        value.text = data;
    }
    return value;
}

AddRegInfo::AddRegInfo(RunContext* engine, const CStdStr& driverName)
    : GenericInfo(engine, "AddReg", driverName) {}

bool AddRegInfo::HandleCommand(const std::vector<CStdStr>& arguments) {
    if (arguments.size() < 3) {
        logNotEnoughArguments();
        return false;
    }
    std::vector<CStdStr> fields = arguments;
    fields.resize(5);
    const CStdStr root = engine->DecodeMacros(fields[0], 255);
    const CStdStr subKey = engine->DecodeMacros(fields[1], 255);
    const CStdStr valueName = engine->DecodeMacros(fields[2], 255);
    // Windows has just applied these lines reading 0x as hexadecimal; reading them any other
    // way would overwrite the values it wrote correctly.
    const int flags = static_cast<int>(cstd::infNumber(fields[3]));
    const RegValue value = setupRegValue(flags, engine->DecodeMacros(fields[4], 255));

    Registry registry;
    registry.CreateKey(root, subKey, true);
    const bool success = ((flags & kNoClobber) && registry.ValueExists(root, subKey, valueName)) ||
                         registry.WriteValue(root, subKey, valueName, value);
    if (success)
        engine->logOperation(3, "Uninstaller", CStdStr(root + ", \"" + subKey + "\", " + valueName),
                             true);
    return success;
}

DeleteRegInfo::DeleteRegInfo(RunContext* engine, const CStdStr& driverName)
    : GenericInfo(engine, "DelReg", driverName) {}

bool DeleteRegInfo::HandleCommand(const std::vector<CStdStr>& arguments) {
    if (arguments.size() < 2) {
        logNotEnoughArguments();
        return false;
    }
    const CStdStr valueName =
        arguments.size() > 2 ? engine->DecodeMacros(arguments[2], 255) : CStdStr();
    return Registry().DeleteValue(engine->DecodeMacros(arguments[0], 255),
                                  engine->DecodeMacros(arguments[1], 255), valueName);
}
