#include <string_view>

#include "platform/shell.h"
#include "platform/sim/faults.h"
#include "platform/sim/os_keys.h"
#include "platform/sim/registry_store.h"

// Special folders of the simulated machine are where Windows itself publishes them: the
// "Explorer\Shell Folders" keys of the current user and of the machine.
namespace platform {

namespace {

constexpr const char* kUserShellFolders =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kCommonShellFolders =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct FolderEntry {
    int32_t folder;
    const char* key;        // null: a virtual folder, which has a location but no path
    const char* valueName;  // null with a null key
};

constexpr FolderEntry kFolders[] = {
    {csidl::kDesktop, kUserShellFolders, "Desktop"},
    {csidl::kPrograms, kUserShellFolders, "Programs"},
    {csidl::kControls, nullptr, nullptr},
    {csidl::kPrinters, nullptr, nullptr},
    {csidl::kPersonal, kUserShellFolders, "Personal"},
    {csidl::kFavorites, kUserShellFolders, "Favorites"},
    {csidl::kStartup, kUserShellFolders, "Startup"},
    {csidl::kRecent, kUserShellFolders, "Recent"},
    {csidl::kSendTo, kUserShellFolders, "SendTo"},
    {csidl::kBitBucket, nullptr, nullptr},
    {csidl::kStartMenu, kUserShellFolders, "Start Menu"},
    {csidl::kDesktopDirectory, kUserShellFolders, "Desktop"},
    {csidl::kDrives, nullptr, nullptr},
    {csidl::kNetwork, nullptr, nullptr},
    {csidl::kNetHood, kUserShellFolders, "NetHood"},
    {csidl::kFonts, kUserShellFolders, "Fonts"},
    {csidl::kTemplates, kUserShellFolders, "Templates"},
    {csidl::kCommonStartMenu, kCommonShellFolders, "Common Start Menu"},
    {csidl::kCommonPrograms, kCommonShellFolders, "Common Programs"},
    {csidl::kCommonStartup, kCommonShellFolders, "Common Startup"},
    {csidl::kCommonDesktopDirectory, kCommonShellFolders, "Common Desktop"},
    {csidl::kAppData, kUserShellFolders, "AppData"},
    {csidl::kPrintHood, kUserShellFolders, "PrintHood"},
};

constexpr size_t kMaxPath = 260;

const FolderEntry* findFolder(int32_t folder) {
    for (const FolderEntry& entry : kFolders)
        if (entry.folder == folder) return &entry;
    return nullptr;
}

}  // namespace

HResult getSpecialFolderPath(int32_t folder, std::string* path) {
    path->clear();
    if (uint32_t fault = sim::injectedFault("SHGetSpecialFolderLocation", std::to_string(folder)))
        return hresultFromWin32(fault);
    const FolderEntry* entry = findFolder(folder);
    if (entry == nullptr) return kEInvalidArg;
    if (entry->key == nullptr) return kSOk;
    // A folder the machine does not publish has no location at all.
    const std::string value =
        sim::expandEnvironment(sim::registry::readString(entry->key, entry->valueName));
    if (value.empty()) return kEFail;
    // SHGetPathFromIDList fills a buffer of MAX_PATH characters and gives nothing for a path
    // that does not fit.
    if (value.size() < kMaxPath) *path = value;
    return kSOk;
}

}  // namespace platform
