#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumaref {

// Splits decoded list-file text into items: CR LF, lone CR and lone LF end a line; a break at the
// very end adds no empty item; an empty line is an item; a zero byte ends the text.
std::vector<std::string> splitListText(std::string_view text);

// Reads a list file as every text file is read (text_file.h: UTF-8, UTF-16 after its byte-order mark, or
// Windows-1252). Throws Error("Cannot open file \"<path>\". <reason>"), or the reader's Error for a
// file that is not text.
std::vector<std::string> readListFile(const std::string& path);

// Writes items, each followed by CR LF, replacing the file atomically.
// Throws Error("Cannot create file \"<path>\". <reason>"), or "Stream write error" when the disk takes
// fewer bytes than written, and leaves any previous file whole.
void writeListFile(const std::string& path, const std::vector<std::string>& items);

// Paths of the list files in the list folder (with or without a trailing separator): lists/ beside
// the program, in the data folder, or any folder the settings name.
std::string categoriesListPath(std::string_view listFolder);
std::string frequenciesListPath(std::string_view listFolder);
// The subject file of a category, or nullopt when the category is not a valid file name
// (".", "..", or containing a path separator or a zero byte): such a name finds no file and
// cannot be written. The empty category is a real category of the data; its file is
// "subjects/.txt".
std::optional<std::string> subjectListPath(std::string_view listFolder, std::string_view category);

}  // namespace lumaref
