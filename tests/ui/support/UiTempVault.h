#pragma once

#include <QTemporaryDir>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/StorageError.h"
#include "ui/Session.h"
#include "vault/DataFiles.h"

namespace zorvan::test {

// A data folder of its own for one test, optionally holding a copy of the sample
// vault (master password "zorvan").
class UiTempVault {
public:
    static constexpr const char* kFiles[] = {"Zorvan.ini", "Zorvan.idx", "Zorvan.itm",
                                             "Zorvan.bmp"};

    explicit UiTempVault(bool withSample = false) {
        for (const char* name : kFiles) {
            if (withSample) {
                Write(name, Data(std::string("vault-sample/") + name));
            }
        }
        session = std::make_unique<Session>(InitDataFiles(folder()));
    }

    // A file of tests/data.
    static std::string Data(const std::string& name) {
        return Read(std::filesystem::path(ZORVAN_TEST_DATA) / name);
    }
    // The four vault files, or with sample those of the sample vault.
    std::vector<std::string> Files(bool sample = false) const {
        std::vector<std::string> files;
        for (const char* name : kFiles) {
            files.push_back(sample ? Data(std::string("vault-sample/") + name) : ReadFile(name));
        }
        return files;
    }
    // Swaps a file for a folder, so that writing it fails.
    static void Break(const std::filesystem::path& file) {
        std::filesystem::remove(file);
        std::filesystem::create_directory(file);
    }

    std::filesystem::path folder() const { return Utf8ToPath(dir_.path().toStdString()); }
    std::string ReadFile(const std::string& name) const { return Read(folder() / name); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(folder() / name, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    std::unique_ptr<Session> session;

private:
    static std::string Read(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    QTemporaryDir dir_;
};

}  // namespace zorvan::test
