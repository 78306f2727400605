#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Text files and folders. Files hold code page 932 with CR LF line ends; in
// memory texts are UTF-8. Every failure throws StorageError naming the file.
namespace zorvan::textfile {

// The joining rule of every file the program builds: empty text gives line,
// otherwise text + CR LF + line. So there is no terminator after the last line.
std::string AppendLine(std::string text, std::string_view line);

// Joins lines by AppendLine, in order.
std::string JoinLines(const std::vector<std::string>& lines);

// Splits text into lines. CR LF, a lone CR and a lone LF each end a line; a
// terminator at the very end does not start another line.
std::vector<std::string> SplitLines(std::string_view text);

// SplitLines as views into text, for text that must not be copied (an import's
// passwords): no copy is left behind to wipe.
std::vector<std::string_view> SplitLineViews(std::string_view text);

// All lines of a file, decoded (a leading UTF-8 byte order mark dropped). A missing
// file is created empty first.
std::vector<std::string> ReadLines(const std::filesystem::path& file);

// All lines of a file that must exist.
std::vector<std::string> ReadExistingLines(const std::filesystem::path& file);

// Replaces the file's content with the encoded text, atomically.
void Rewrite(const std::filesystem::path& file, std::string_view text);

bool FileExists(const std::filesystem::path& path);
bool FolderExists(const std::filesystem::path& path);
// Creates the folder and any missing ones above it, for the user alone.
void CreateFolder(const std::filesystem::path& path);
void DeleteFile(const std::filesystem::path& path);
// Names (without folder) of the files directly in the folder.
std::vector<std::string> ListFileNames(const std::filesystem::path& folder);

}  // namespace zorvan::textfile
