#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "platform/BinaryFile.h"
#include "platform/SecureBytes.h"
#include "vault/BlockNumber.h"
#include "vault/ItemRecord.h"
#include "vault/RecordHeader.h"

namespace zorvan {

class Cipher;

// Reads records from the item file through one open handle, so that loading a
// whole group costs one read per record. Every record is checked against the file's
// extent before anything is allocated for it; damage throws StorageError naming
// the file and the block. Records are deciphered with the key the reader is given;
// a reader made without one reads headers only.
class ItemReader {
public:
    static constexpr std::uint64_t kBlockSize = 16;

    enum class Scope {
        kSome,       // a group, or a few records
        kWholeFile,  // records all over the file: it is read once, whole
    };

    ItemReader(const std::filesystem::path& itmFile, const Cipher& cipher,
               Scope scope = Scope::kSome);
    explicit ItemReader(const std::filesystem::path& itmFile, Scope scope = Scope::kSome);

    RecordHeader ReadHeader(BlockNumber block);
    ItemRecord Load(BlockNumber block);
    SecureBytes ReadData(BlockNumber block);

private:
    // Header and deciphered data of the record.
    RecordHeader ReadRecord(BlockNumber block, SecureBytes* data);
    // Bytes of the file from offset, at most out.size(); how many there were.
    std::size_t Fetch(std::uint64_t offset, std::span<std::uint8_t> out);

    BinaryFile file_;
    const Cipher* cipher_ = nullptr;
    std::uint64_t size_;
    // A group's records mostly lie close together, so nearby reads are served from
    // one larger read. It holds enciphered bytes only.
    std::vector<std::uint8_t> window_;
    std::uint64_t windowAt_ = 0;
    std::uint64_t lastOffset_ = 0;
    bool whole_ = false;  // the window holds the whole file
};

}  // namespace zorvan
