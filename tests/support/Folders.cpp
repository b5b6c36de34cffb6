#include "tests/support/Folders.h"

#include "tests/support/TestText.h"

#include <vector>

namespace {

std::string Narrow(const std::wstring& wide) {
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n,
                        nullptr, nullptr);
    return bytes;
}

bool IsFullPath(const std::string& path) {
    return path.size() >= 3 && path[1] == ':' && path[2] == '\\';
}

// Calls the function with each name in the folder (its find data too), "." and ".." left out.
template <class Visit> void EachName(const std::string& folder, Visit visit) {
    WIN32_FIND_DATAW fd;
    const HANDLE find = FindFirstFileW(LongName(folder + "\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring name = fd.cFileName;
        if (name != L"." && name != L"..") {
            visit(Narrow(name), fd);
        }
    } while (FindNextFileW(find, &fd));
    FindClose(find);
}

} // namespace

std::wstring LongName(const std::string& path) {
    return AnsiToWide(IsFullPath(path) ? "\\\\?\\" + path : path);
}

bool FileExists(const std::string& path) {
    return GetFileAttributesW(LongName(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    const HANDLE f = CreateFileW(LongName(path).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    std::vector<char> buffer(65536);
    DWORD n = 0;
    while (ReadFile(f, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr) && n > 0) {
        bytes.append(buffer.data(), n);
    }
    CloseHandle(f);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    const HANDLE f = CreateFileW(LongName(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD n = 0;
    const bool whole = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) &&
                       n == bytes.size();
    return CloseHandle(f) && whole;
}

std::set<std::string> FolderNames(const std::string& folder) {
    std::set<std::string> names;
    EachName(folder, [&](const std::string& name, const WIN32_FIND_DATAW&) { names.insert(name); });
    return names;
}

std::set<std::string> StrayFiles(const std::string& folder) {
    std::set<std::string> names = FolderNames(folder);
    for (auto it = names.begin(); it != names.end();) {
        const bool ours = lstrcmpiA(it->c_str(), "bALDRIX.exe") == 0 ||
                          lstrcmpiA(it->c_str(), "bALDRIX.ini") == 0;
        it = ours ? names.erase(it) : std::next(it);
    }
    return names;
}

bool MakeFolder(const std::string& path) {
    return CreateDirectoryW(LongName(path).c_str(), nullptr) != FALSE;
}

std::string MakeTempFolder(const char* prefix) {
    static unsigned counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    for (;;) {
        char name[MAX_PATH];
        wsprintfA(name, "%s%s-%lu-%u", temp, prefix, GetCurrentProcessId(), ++counter);
        if (MakeFolder(name)) {
            return name;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return std::string();
        }
    }
}

void RemoveTree(const std::string& folder) {
    if (folder.empty()) {
        return;
    }
    EachName(folder, [&](const std::string& name, const WIN32_FIND_DATAW& fd) {
        const std::string path = folder + "\\" + name;
        SetFileAttributesW(LongName(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTree(path);
        } else {
            DeleteFileW(LongName(path).c_str());
        }
    });
    SetFileAttributesW(LongName(folder).c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(LongName(folder).c_str());
}

DeepFolder::DeepFolder(size_t length) : root_("baldrix-deep"), path_(root_.Path()) {
    ok_ = root_.Ok() && length >= path_.size() + 2;
    size_t remaining = ok_ ? length - path_.size() : 0;
    while (ok_ && remaining > 0) {
        // Each level takes a backslash; never leave one character for the next.
        const size_t name = remaining <= 121 ? remaining - 1 : remaining == 122 ? 119 : 120;
        path_ += "\\" + std::string(name, 'd');
        remaining -= name + 1;
        ok_ = MakeFolder(path_);
    }
}
