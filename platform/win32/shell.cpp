#include "platform/shell.h"

#include <windows.h>
// The shell and COM declarations need the types above.
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace platform {

struct ShellLink::State {
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;

    ~State() {
        if (file != nullptr) file->Release();
        if (link != nullptr) link->Release();
    }
};

HResult coInitializeApartment() { return CoInitialize(nullptr); }

HResult getSpecialFolderPath(int32_t folder, std::string* path) {
    path->clear();
    LPITEMIDLIST items = nullptr;
    const HRESULT located = SHGetSpecialFolderLocation(nullptr, folder, &items);
    if (FAILED(located)) return located;
    char buffer[MAX_PATH] = {};
    if (SHGetPathFromIDListA(items, buffer)) *path = buffer;
    CoTaskMemFree(items);
    return located;
}

void notifyDirectoryUpdated(const std::string& directory) {
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHA, directory.c_str(), nullptr);
}

ShellLink::ShellLink() = default;
ShellLink::~ShellLink() = default;

HResult ShellLink::create() {
    state.reset();
    auto created = std::make_unique<State>();
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&created->link));
    if (FAILED(result)) {
        created->link = nullptr;
        return result;
    }
    result =
        created->link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&created->file));
    if (FAILED(result)) {
        created->file = nullptr;
        return result;
    }
    state = std::move(created);
    return S_OK;
}

HResult ShellLink::setPath(const std::string& path) {
    return state ? state->link->SetPath(path.c_str()) : E_FAIL;
}

HResult ShellLink::setArguments(const std::string& arguments) {
    return state ? state->link->SetArguments(arguments.c_str()) : E_FAIL;
}

HResult ShellLink::setWorkingDirectory(const std::string& directory) {
    return state ? state->link->SetWorkingDirectory(directory.c_str()) : E_FAIL;
}

HResult ShellLink::setDescription(const std::string& description) {
    return state ? state->link->SetDescription(description.c_str()) : E_FAIL;
}

HResult ShellLink::setIconLocation(const std::string& iconPath, int32_t index) {
    return state ? state->link->SetIconLocation(iconPath.c_str(), index) : E_FAIL;
}

HResult ShellLink::save(const std::u16string& linkPath, bool remember) {
    if (!state) return E_FAIL;
    return state->file->Save(reinterpret_cast<LPCOLESTR>(linkPath.c_str()),
                             remember ? TRUE : FALSE);
}

}  // namespace platform
