#include "vault/VaultCheck.h"

#include <exception>

#include "platform/BinaryFile.h"
#include "vault/GroupIndex.h"
#include "vault/ItemReader.h"
#include "vault/TextFile.h"

namespace zorvan {

namespace {

std::vector<std::uint8_t> ReadBitmap(const std::filesystem::path& file) {
    try {
        BinaryFile bmp(file, BinaryFile::Mode::kRead);
        std::vector<std::uint8_t> bits(static_cast<std::size_t>(bmp.Size()));
        bits.resize(bmp.ReadAt(0, bits));
        return bits;
    } catch (const std::exception&) {
        return {};
    }
}

bool InUse(const std::vector<std::uint8_t>& bits, std::uint64_t block) {
    const std::uint64_t index = block - 1;
    return index / 8 < bits.size() && ((bits[index / 8] >> (index % 8)) & 1) != 0;
}

}  // namespace

VaultCheck::Report VaultCheck::Run(const DataPaths& paths) {
    Report report;
    const auto bits = ReadBitmap(paths.strBmpFile);
    // Which listed record owns each block, by first block; 0 for none.
    std::vector<std::uint32_t> owner;
    std::unique_ptr<ItemReader> reader;
    try {
        // Lines jump all over the file; one read of it beats one per record.
        reader = std::make_unique<ItemReader>(paths.strItmFile, ItemReader::Scope::kWholeFile);
    } catch (const std::exception&) {
    }
    const auto problem = [&](const std::string& group, const std::string& entry,
                             const std::string& what) {
        report.problems.push_back({group, entry, what});
    };
    for (const auto& line : textfile::ReadLines(paths.strIdxFile)) {
        const auto parts = SplitTabs(line);
        const std::string group = GroupIndex::GetGroupName(line);
        for (std::size_t i = 1; i < parts.size(); ++i) {
            const auto block = ParseBlockNumber(parts[i]);
            if (!block || *block < 1) {
                problem(group, parts[i], "ブロック番号が正しくありません");
                continue;
            }
            RecordHeader header;
            try {
                if (!reader) {
                    throw std::runtime_error("no item file");
                }
                header = reader->ReadHeader(*block);
            } catch (const std::exception&) {
                problem(group, parts[i], "アイテムファイルの範囲外か、レコードが壊れています");
                continue;
            }
            const auto first = static_cast<std::uint64_t>(*block);
            const auto last = first + static_cast<std::uint64_t>(header.count) - 1;
            if (owner.size() < last + 1) {
                owner.resize(last + 1, 0);
            }
            bool free = false;
            std::uint32_t clash = 0;
            for (std::uint64_t b = first; b <= last; ++b) {
                free = free || !InUse(bits, b);
                if (owner[b] != 0 && clash == 0) {
                    clash = owner[b];
                }
                owner[b] = static_cast<std::uint32_t>(first);
            }
            if (clash == first) {
                problem(group, parts[i], "同じアイテムが索引に二度あります");
            } else if (clash != 0) {
                problem(group, parts[i],
                        "ブロック " + std::to_string(clash) + " のアイテムと重なっています");
            }
            if (free) {
                problem(group, parts[i], "使用中として記録されていないブロックを含みます");
            }
        }
    }
    for (std::uint64_t b = 1; b <= bits.size() * 8; ++b) {
        if (InUse(bits, b) && (b >= owner.size() || owner[b] == 0)) {
            ++report.leakedBlocks;
        }
    }
    return report;
}

std::string VaultCheck::Report::Message(std::size_t mostShown) const {
    if (problems.empty()) {
        return {};
    }
    std::string text = "保管庫に問題が見つかりました (" + std::to_string(problems.size()) +
                       " 件)。ファイルは変更していません。";
    for (std::size_t i = 0; i < problems.size() && i < mostShown; ++i) {
        const Problem& p = problems[i];
        text += "\r\n・グループ「" + p.group + "」の " + p.entry + ": " + p.what;
    }
    if (problems.size() > mostShown) {
        text += "\r\n・ほか " + std::to_string(problems.size() - mostShown) + " 件";
    }
    return text;
}

}  // namespace zorvan
