#include "vault/ItemLoader.h"

#include "vault/SealedModel.h"

namespace zorvan {

ItemRecord ItemLoader::Load(BlockNumber item) {
    return model_ != nullptr ? model_->Load(item) : reader_->Load(item);
}

}  // namespace zorvan
