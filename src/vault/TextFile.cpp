#include "vault/TextFile.h"

#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/BinaryFile.h"
#include "platform/Codepage.h"
#include "platform/FileAccess.h"
#include "platform/FileSteps.h"
#include "platform/StorageError.h"
#include "platform/SystemError.h"
#include "platform/WholeFile.h"

namespace zorvan::textfile {

namespace {

// A UTF-8 byte order mark, as editors put in front of a file they saved. These
// three bytes are no code page 932 text, so dropping them can change no valid file,
// and the first line (a section header, say) is then read as the user sees it.
std::string_view WithoutUtf8Bom(std::string_view bytes) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    return bytes.starts_with(kBom) ? bytes.substr(kBom.size()) : bytes;
}

[[noreturn]] void Fail(const std::filesystem::path& path, const char* what,
                       const std::error_code& error) {
    throw StorageError(path, std::string(what) + ": " + SystemErrorText(error));
}

}  // namespace

std::string AppendLine(std::string text, std::string_view line) {
    if (text.empty()) {
        return std::string(line);
    }
    text += "\r\n";
    text += line;
    return text;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text = AppendLine(std::move(text), line);
    }
    return text;
}

std::vector<std::string> SplitLines(std::string_view text) {
    const auto views = SplitLineViews(text);
    return std::vector<std::string>(views.begin(), views.end());
}

std::vector<std::string_view> SplitLineViews(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            continue;
        }
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

std::vector<std::string> ReadLines(const std::filesystem::path& file) {
    return SplitLines(codepage::FromAnsi(
        WithoutUtf8Bom(ReadWholeFile<std::string>(file, BinaryFile::Mode::kReadWrite))));
}

std::vector<std::string> ReadExistingLines(const std::filesystem::path& file) {
    return SplitLines(codepage::FromAnsi(WithoutUtf8Bom(ReadWholeFile<std::string>(file))));
}

void Rewrite(const std::filesystem::path& file, std::string_view text) {
    ReplaceFileAtomically(file, codepage::ToAnsi(text));
}

bool FileExists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool FolderExists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

void CreateFolder(const std::filesystem::path& path) {
    CreatePrivateFolders(path);
}

void DeleteFile(const std::filesystem::path& path) {
    filesteps::Announce("remove", path);
    std::error_code error;
    if (!std::filesystem::remove(path, error) || error) {
        Fail(path, "削除できません",
             error ? error : std::make_error_code(std::errc::no_such_file_or_directory));
    }
}

std::vector<std::string> ListFileNames(const std::filesystem::path& folder) {
    std::error_code error;
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error)) {
            names.push_back(PathToUtf8(it->path().filename()));
        }
    }
    if (error) {
        Fail(folder, "フォルダを読めません", error);
    }
    return names;
}

}  // namespace zorvan::textfile
