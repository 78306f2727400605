// A vault's bitmap, index and item file as found on disk. Input: bitmap length and
// index length (two bytes each, little-endian), the bitmap, the index, then the item
// file. Every record is loaded, the start-up check runs, and a record is stored onto
// the bitmap, read back and freed.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzScratch.h"
#include "platform/StorageError.h"
#include "vault/Cipher.h"
#include "vault/ItemReader.h"
#include "vault/ItemStore.h"
#include "vault/VaultCheck.h"

using namespace zorvan;

namespace {

std::string_view Take(std::string_view& input, std::size_t length) {
    const auto part = input.substr(0, length);
    input.remove_prefix(part.size());
    return part;
}

std::size_t TakeLength(std::string_view& input) {
    const auto bytes = Take(input, 2);
    std::size_t length = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        length |= static_cast<std::size_t>(static_cast<std::uint8_t>(bytes[i])) << (8 * i);
    }
    return length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Cipher cipher(KeyBytes("zorvan").span());

    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t bmpLength = TakeLength(input);
    const std::size_t idxLength = TakeLength(input);
    const auto bmp = Take(input, bmpLength);
    const auto idx = Take(input, idxLength);
    DataPaths paths;
    paths.strBmpFile = fuzz::WriteScratch("Zorvan.bmp", bmp);
    paths.strIdxFile = fuzz::WriteScratch("Zorvan.idx", idx);
    paths.strItmFile = fuzz::WriteScratch("Zorvan.itm", input);
    paths.strIniFile = fuzz::WriteScratch("Zorvan.ini", "");

    {
        ItemReader reader(paths.strItmFile, cipher);
        const std::size_t blocks = input.size() / ItemStore::kBlockSize + 1;
        for (BlockNumber block = 0; block <= static_cast<BlockNumber>(blocks) && block < 300;
             ++block) {
            try {
                reader.Load(block);
            } catch (const StorageError&) {
            }
        }
    }
    VaultCheck::Run(paths).Message();

    ItemStore store(paths.strItmFile, paths.strBmpFile, cipher);
    ItemRecord item;
    item.ItemName = "fuzz";
    item.AccountMemo = std::string(40, 'm');
    ItemPlaintext plain = BuildItemPlaintext(item);
    cipher.Encrypt(plain.bytes.span());
    try {
        const BlockNumber block = store.StoreItem(plain.bytes.span(), plain.count, 0, 0.0);
        // Whatever the bitmap said, the new record must take only blocks it marked
        // free (or blocks past both files' ends) and must read back as stored.
        const std::uint64_t itmBlocks =
            (input.size() + ItemStore::kBlockSize - 1) / ItemStore::kBlockSize;
        for (std::uint64_t b = static_cast<std::uint64_t>(block);
             b < static_cast<std::uint64_t>(block) + static_cast<std::uint64_t>(plain.count); ++b) {
            const std::uint64_t index = b - 1;
            const bool used = index / 8 < bmp.size()
                                  ? ((static_cast<std::uint8_t>(bmp[index / 8]) >> (index % 8)) & 1)
                                  : b <= itmBlocks;
            if (used) {
                std::abort();
            }
        }
        if (!(store.LoadItem(block) == item)) {
            std::abort();
        }
        store.FreeItem(block);
    } catch (const StorageError&) {
    }
    for (const BlockNumber block : {1, 2, 5}) {
        try {
            store.FreeItem(block);
        } catch (const StorageError&) {
        }
    }
    return 0;
}
