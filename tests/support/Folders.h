// Files and folders for the tests. Everything goes through the wide file
// functions and, for full paths, their \\?\ form, so that a path of any
// length works the same as a short one.
#pragma once

#include <windows.h>

#include <set>
#include <string>

// The path as the wide functions take it: \\?\ before a full path ("C:\...").
std::wstring LongName(const std::string& path);

bool FileExists(const std::string& path);
// The file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Makes or replaces the file; answers whether all of it was written.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// The names in a folder, "." and ".." left out.
std::set<std::string> FolderNames(const std::string& folder);
// The same, less the program and its settings file: a copy or temporary
// file left behind shows here.
std::set<std::string> StrayFiles(const std::string& folder);
// Makes a folder (its parent must exist); answers whether it did.
bool MakeFolder(const std::string& path);
// A fresh empty folder under the temporary folder; empty when none could be made.
std::string MakeTempFolder(const char* prefix);
// Removes the folder and all it holds, read-only files included.
void RemoveTree(const std::string& folder);

// A fresh folder under the temporary folder, removed with all it holds when
// the object goes.
class TempFolder {
public:
    explicit TempFolder(const char* prefix = "baldrix-test") : path_(MakeTempFolder(prefix)) {}
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Ok() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    std::set<std::string> Names() const { return FolderNames(path_); }

private:
    std::string path_;
};

// A folder whose full path has an exact length: levels of at most 120
// characters under a fresh temporary folder, all removed when the object goes.
class DeepFolder {
public:
    explicit DeepFolder(size_t length);
    DeepFolder(const DeepFolder&) = delete;
    DeepFolder& operator=(const DeepFolder&) = delete;

    bool Ok() const { return ok_; }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    std::set<std::string> Names() const { return FolderNames(path_); }

private:
    TempFolder root_;
    std::string path_;
    bool ok_ = false;
};
