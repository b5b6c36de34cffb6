// A folder whose full path has an exact length, made and removed with the wide
// file functions and their \\?\ form, which take paths of any length.
#pragma once

#include "tests/support/AppDriver.h"

#include <windows.h>

#include <set>
#include <string>

inline std::wstring Wide(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

inline std::wstring LongName(const std::string& path) {
    return Wide("\\\\?\\" + path);
}

inline void RemoveWide(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveWide(path);
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

// Under the temporary folder, in levels of at most 120 characters.
class DeepFolder {
public:
    explicit DeepFolder(size_t length) : root_(MakeTempFolder("baldrix-deep")), path_(root_) {
        ok_ = !root_.empty() && length >= root_.size() + 2;
        size_t remaining = ok_ ? length - root_.size() : 0;
        while (ok_ && remaining > 0) {
            // Each level takes a backslash; never leave one character for the next.
            const size_t name = remaining <= 121 ? remaining - 1 : remaining == 122 ? 119 : 120;
            path_ += "\\" + std::string(name, 'd');
            remaining -= name + 1;
            ok_ = CreateDirectoryW(LongName(path_).c_str(), nullptr) != FALSE;
        }
    }
    ~DeepFolder() { RemoveWide(LongName(root_)); }
    DeepFolder(const DeepFolder&) = delete;
    DeepFolder& operator=(const DeepFolder&) = delete;

    bool Ok() const { return ok_; }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

    // Every name in the folder, whatever its length.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        WIN32_FIND_DATAW fd;
        HANDLE find = FindFirstFileW(LongName(path_ + "\\*").c_str(), &fd);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring w = fd.cFileName;
                if (w != L"." && w != L"..") {
                    std::string narrow;
                    for (const wchar_t c : w) {
                        narrow += c < 0x80 ? static_cast<char>(c) : '?';
                    }
                    names.insert(narrow);
                }
            } while (FindNextFileW(find, &fd));
            FindClose(find);
        }
        return names;
    }
    std::string Read(const std::string& path) const {
        std::string bytes;
        HANDLE f = CreateFileW(LongName(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) {
            return bytes;
        }
        char buffer[65536];
        DWORD n = 0;
        while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n > 0) {
            bytes.append(buffer, n);
        }
        CloseHandle(f);
        return bytes;
    }
    bool Write(const std::string& path, const std::string& bytes) const {
        HANDLE f = CreateFileW(LongName(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                               nullptr);
        DWORD n = 0;
        const bool ok = f != INVALID_HANDLE_VALUE &&
                        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) &&
                        n == bytes.size();
        if (f != INVALID_HANDLE_VALUE) {
            CloseHandle(f);
        }
        return ok;
    }

private:
    std::string root_;
    std::string path_;
    bool ok_ = true;
};
