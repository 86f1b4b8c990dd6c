#include "commands/start_menu_info.h"

#include <cstdint>
#include <ios>

#include "commands/run_context.h"
#include "platform/shell.h"
#include "support/debug_log.h"
#include "support/os_info.h"
#include "support/path_object.h"
#include "support/shortcut.h"

namespace {

struct NamedFolder {
    const char* name;
    int32_t folder;
};

constexpr NamedFolder kFolderNames[] = {
    {"DESKTOP", platform::csidl::kDesktop},
    {"PROGRAMS", platform::csidl::kPrograms},
    {"CONTROLS", platform::csidl::kControls},
    {"PRINTERS", platform::csidl::kPrinters},
    {"PERSONAL", platform::csidl::kPersonal},
    {"FAVORITES", platform::csidl::kFavorites},
    {"STARTUP", platform::csidl::kStartup},
    {"RECENT", platform::csidl::kRecent},
    {"SENDTO", platform::csidl::kSendTo},
    {"BITBUCKET", platform::csidl::kBitBucket},
    {"STARTMENU", platform::csidl::kStartMenu},
    {"DESKTOPDIRECTORY", platform::csidl::kDesktopDirectory},
    {"DRIVES", platform::csidl::kDrives},
    {"NETWORK", platform::csidl::kNetwork},
    {"NETHOOD", platform::csidl::kNetHood},
    {"FONTS", platform::csidl::kFonts},
    {"TEMPLATES", platform::csidl::kTemplates},
    {"COMMON_STARTMENU", platform::csidl::kCommonStartMenu},
    {"COMMON_PROGRAMS", platform::csidl::kCommonPrograms},
    {"COMMON_STARTUP", platform::csidl::kCommonStartup},
    {"COMMON_DESKTOPDIRECTORY", platform::csidl::kCommonDesktopDirectory},
    {"APPDATA", platform::csidl::kAppData},
    {"PRINTHOOD", platform::csidl::kPrintHood},
};

const NamedFolder* namedFolder(const CStdStr& name) {
    for (const NamedFolder& entry : kFolderNames)
        if (name.EqualsNoCase(entry.name)) return &entry;
    return nullptr;
}

// An unknown name means the programs folder that everybody sees where there is one.
int32_t folderOf(const CStdStr& name) {
    if (const NamedFolder* named = namedFolder(name)) return named->folder;
    return OSInfo::current().isWinNT() ? platform::csidl::kCommonPrograms
                                       : platform::csidl::kPrograms;
}

void logFailedLink(const PathObject& folder, const CStdStr& itemName, const PathObject& target,
                   const CStdStr& arguments) {
    LogLine("StartMenuInfo::HandleCommand: failed to create link.");
    LogLine("\tLink folder: " + folder.GetFullPath());
    LogLine("\tItem name: " + itemName);
    LogLine("\tTarget file: " + target.GetFullPath());
    LogLine("\tArguments: " + arguments);
}

}  // namespace

bool StartMenuInfo::isFolderName(const CStdStr& name) { return namedFolder(name) != nullptr; }

StartMenuInfo::StartMenuInfo(RunContext* engine) : GenericInfo(engine, "QenAddGroup") {}

bool StartMenuInfo::Process() {
    // Without the COM library no link can be made: the reason belongs beside each failed link.
    const platform::HResult initialized = platform::coInitializeApartment();
    if (!platform::succeeded(initialized)) {
        LogLine("StartMenuInfo::Process: CoInitializeEx failed with code 0x", std::hex,
                static_cast<uint32_t>(initialized), std::dec);
    }
    return GenericInfo::Process();
}

bool StartMenuInfo::HandleCommand(const std::vector<CStdStr>& arguments) {
    if (arguments.size() < 4) {
        LogLine("StartMenuInfo::HandleCommand: not enough arguments!");
        return false;
    }
    std::string specialFolder;
    platform::getSpecialFolderPath(folderOf(arguments[0]), &specialFolder);
    PathObject folder;
    folder.SetDir(specialFolder);
    folder.AppendDir(engine->DecodeMacros(arguments[1], 255));
    const CStdStr itemName = engine->DecodeMacros(arguments[2], 255);
    const PathObject target(engine->DecodeMacros(arguments[3], 255));
    const CStdStr linkArguments =
        arguments.size() >= 5 ? engine->DecodeMacros(arguments[4], 255) : CStdStr();

    // Without its special folder the group would land in the root of whatever drive is
    // current, so such a link is not made at all.
    if (specialFolder.empty()) {
        LogLine("StartMenuInfo::HandleCommand: special folder " + arguments[0] +
                " is not available.");
        logFailedLink(folder, itemName, target, linkArguments);
        return true;
    }
    Shortcut shortcut;
    shortcut.setLocation(folder, itemName);
    shortcut.setTarget(target);
    shortcut.setArguments(linkArguments);
    if (!shortcut.CreateLink()) logFailedLink(folder, itemName, target, linkArguments);
    return true;
}
