// The protected format's readers: the file header, the seal, and the deciphered
// contents. Contents that parse must load every item and rebuild to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/StorageError.h"
#include "vault/SealedFile.h"
#include "vault/SealedModel.h"

using namespace zorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    // A key of zeros: deriving one per input would only slow the search.
    static const SealedKey key{LockedBuffer(sealed::kKeySize), kKdfFloor, {}};
    try {
        sealed::DecodeHeader(bytes, "fuzz");
        sealed::Unseal(bytes, key);
    } catch (const StorageError&) {
    }
    try {
        const SealedModel model = SealedModel::Parse(LockedBuffer(bytes), "fuzz");
        for (const auto& group : model.groups()) {
            for (const BlockNumber item : group.items) {
                model.Load(item);
            }
        }
        const SealedModel again = model.Build(model.Edit());
        const auto a = model.contents().span();
        const auto b = again.contents().span();
        if (a.size() != b.size() || !std::equal(a.begin(), a.end(), b.begin())) {
            std::abort();
        }
    } catch (const StorageError&) {
    }
    return 0;
}
