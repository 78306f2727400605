#pragma once

#include <QTemporaryDir>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/StorageError.h"
#include "ui/Session.h"
#include "vault/DataFiles.h"

namespace zorvan::test {

// A data folder of its own for one test, optionally holding a copy of the sample
// vault (master password "zorvan").
class UiTempVault {
public:
    explicit UiTempVault(bool withSample = false) {
        if (withSample) {
            for (const char* name : {"Zorvan.ini", "Zorvan.idx", "Zorvan.itm", "Zorvan.bmp"}) {
                Write(name, Read(std::filesystem::path(ZORVAN_TEST_DATA) / "vault-sample" / name));
            }
        }
        session = std::make_unique<Session>(InitDataFiles(folder()));
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
