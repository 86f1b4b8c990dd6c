#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The shell: special folders, shell links (IShellLinkA with IPersistFile), change
// notification and the COM initialisation they need. Results are HRESULT values.
namespace platform {

using HResult = int32_t;

constexpr HResult kSOk = 0;
constexpr HResult kEFail = static_cast<HResult>(0x80004005u);
constexpr HResult kEInvalidArg = static_cast<HResult>(0x80070057u);
constexpr HResult kCoENotInitialized = static_cast<HResult>(0x800401F0u);

inline bool succeeded(HResult result) { return result >= 0; }
// HRESULT_FROM_WIN32.
inline HResult hresultFromWin32(uint32_t code) {
    return code == 0 ? kSOk : static_cast<HResult>((code & 0xFFFFu) | 0x80070000u);
}

// Shell folder identifiers (CSIDL_*).
namespace csidl {
constexpr int32_t kDesktop = 0x00;
constexpr int32_t kPrograms = 0x02;
constexpr int32_t kControls = 0x03;
constexpr int32_t kPrinters = 0x04;
constexpr int32_t kPersonal = 0x05;
constexpr int32_t kFavorites = 0x06;
constexpr int32_t kStartup = 0x07;
constexpr int32_t kRecent = 0x08;
constexpr int32_t kSendTo = 0x09;
constexpr int32_t kBitBucket = 0x0A;
constexpr int32_t kStartMenu = 0x0B;
constexpr int32_t kDesktopDirectory = 0x10;
constexpr int32_t kDrives = 0x11;
constexpr int32_t kNetwork = 0x12;
constexpr int32_t kNetHood = 0x13;
constexpr int32_t kFonts = 0x14;
constexpr int32_t kTemplates = 0x15;
constexpr int32_t kCommonStartMenu = 0x16;
constexpr int32_t kCommonPrograms = 0x17;
constexpr int32_t kCommonStartup = 0x18;
constexpr int32_t kCommonDesktopDirectory = 0x19;
constexpr int32_t kAppData = 0x1A;
constexpr int32_t kPrintHood = 0x1B;
}  // namespace csidl

// CoInitialize: the apartment model, for the calling thread. Not CoInitializeEx, which
// Windows 95 has only with DCOM installed.
HResult coInitializeApartment();

// SHGetSpecialFolderLocation, then SHGetPathFromIDList into a buffer of MAX_PATH characters.
// The HRESULT of the location; *path is empty when the folder has no file-system path
// (or when the location failed).
HResult getSpecialFolderPath(int32_t folder, std::string* path);

// SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATH, directory, nullptr).
void notifyDirectoryUpdated(const std::string& directory);

// A shell link object (CLSID_ShellLink, IShellLinkA) together with its IPersistFile. Both
// interfaces are released when the object goes.
class ShellLink {
  public:
    ShellLink();
    ~ShellLink();
    ShellLink(const ShellLink&) = delete;
    ShellLink& operator=(const ShellLink&) = delete;

    // CoCreateInstance (in-process server) and QueryInterface for IPersistFile; on failure
    // whatever was obtained is released again and the object stays empty.
    HResult create();

    HResult setPath(const std::string& path);
    HResult setArguments(const std::string& arguments);
    HResult setWorkingDirectory(const std::string& directory);
    HResult setDescription(const std::string& description);
    HResult setIconLocation(const std::string& iconPath, int32_t index);

    // IPersistFile::Save.
    HResult save(const std::u16string& linkPath, bool remember);

    struct State;  // the backend's interfaces

  private:
    std::unique_ptr<State> state;
};

}  // namespace platform
