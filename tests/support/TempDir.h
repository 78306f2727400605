#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "vault/DataFiles.h"

namespace zorvan::test {

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // The vault paths of this folder, with the files created.
    DataPaths InitVault() const { return InitDataFiles(path_); }

private:
    std::filesystem::path path_;
};

// Whole file as bytes, and a file written from bytes.
std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

// Every file below folder, by its path relative to folder, with its bytes.
std::map<std::string, std::string> FolderBytes(const std::filesystem::path& folder);

}  // namespace zorvan::test
