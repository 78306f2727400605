// A CSV file to import: the bytes as one line for ParseCsvLine, then the whole file
// imported into an empty vault, whose group must then list one readable item per line.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzScratch.h"
#include "csv/CsvEngine.h"
#include "csv/CsvFormat.h"
#include "vault/Cipher.h"
#include "vault/GroupIndex.h"
#include "vault/ItemReader.h"
#include "vault/Vault.h"

using namespace zorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    csv::ParseCsvLine(bytes, 40000.0);

    const DataPaths paths = fuzz::FreshVault("vault");
    const auto file = fuzz::WriteScratch("import.csv", bytes);
    Vault vault(paths);
    vault.UseKeyOf("zorvan");
    CsvEngine engine(vault);
    std::size_t imported = 0;
    CsvHooks hooks;
    hooks.itemImported = [&](const ItemRecord&, BlockNumber) { ++imported; };
    if (!engine.ImportCsv(file, "g", hooks)) {
        if (engine.lastError().empty()) {
            std::abort();
        }
        return 0;
    }
    const auto entry = GroupIndex(paths.strIdxFile).GetGroupItems("g");
    if (imported > 0 && entry.size() != imported + 1) {
        std::abort();
    }
    auto reader = vault.Reader();
    for (std::size_t i = 1; i < entry.size(); ++i) {
        reader.Load(*ParseBlockNumber(entry[i]));
    }
    return 0;
}
