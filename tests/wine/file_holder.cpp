// Holds files the way another program would while dadazado runs under Wine: each opened for
// reading with a given sharing, or loaded as a library. Reports readiness by creating a file,
// and lets everything go when a second file appears.
//   file_holder.exe READY RELEASE HOW PATH [HOW PATH]...
//   HOW: share=none | share=read | share=read,delete | share=read,write,delete | image
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool shareModeOf(const std::string& how, DWORD* mode) {
    const std::string prefix = "share=";
    if (how.compare(0, prefix.size(), prefix) != 0) return false;
    *mode = 0;
    std::string list = how.substr(prefix.size()) + ",";
    for (size_t start = 0, end; (end = list.find(',', start)) != std::string::npos;
         start = end + 1) {
        const std::string word = list.substr(start, end - start);
        if (word == "read")
            *mode |= FILE_SHARE_READ;
        else if (word == "write")
            *mode |= FILE_SHARE_WRITE;
        else if (word == "delete")
            *mode |= FILE_SHARE_DELETE;
        else if (word != "none")
            return false;
    }
    return true;
}

bool exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || (argc - 3) % 2 != 0) {
        std::fprintf(stderr, "usage: file_holder READY RELEASE HOW PATH [HOW PATH]...\n");
        return 2;
    }
    std::vector<HANDLE> files;
    std::vector<HMODULE> libraries;
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string how = argv[i];
        const char* path = argv[i + 1];
        DWORD share = 0;
        if (how == "image") {
            // Mapped as an image without running its code, as a loaded driver library is.
            HMODULE library = LoadLibraryExA(path, nullptr, DONT_RESOLVE_DLL_REFERENCES);
            if (library == nullptr) {
                std::fprintf(stderr, "file_holder: cannot load %s (%lu)\n", path, GetLastError());
                return 1;
            }
            libraries.push_back(library);
        } else if (shareModeOf(how, &share)) {
            HANDLE file =
                CreateFileA(path, GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE) {
                std::fprintf(stderr, "file_holder: cannot open %s (%lu)\n", path, GetLastError());
                return 1;
            }
            files.push_back(file);
        } else {
            std::fprintf(stderr, "file_holder: unknown way of holding: %s\n", how.c_str());
            return 2;
        }
    }
    HANDLE ready = CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(ready);
    while (!exists(argv[2])) Sleep(50);
    for (HANDLE file : files) CloseHandle(file);
    for (HMODULE library : libraries) FreeLibrary(library);
    return 0;
}
