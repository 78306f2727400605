#pragma once

#include <filesystem>
#include <optional>

#include "vault/BlockNumber.h"
#include "vault/ItemReader.h"
#include "vault/ItemRecord.h"

namespace zorvan {

class Cipher;
class SealedModel;

// Loads many items of an open vault in a row: through one open item file for the
// legacy format, from the deciphered contents held in memory for the protected one.
class ItemLoader {
public:
    ItemLoader(const std::filesystem::path& itmFile, const Cipher& cipher,
               ItemReader::Scope scope) {
        reader_.emplace(itmFile, cipher, scope);
    }
    explicit ItemLoader(const SealedModel& model) : model_(&model) {}

    ItemRecord Load(BlockNumber item);

private:
    std::optional<ItemReader> reader_;
    const SealedModel* model_ = nullptr;
};

}  // namespace zorvan
