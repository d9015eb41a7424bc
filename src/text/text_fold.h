#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumaref {

enum class FoldMode {
    Case,            // Unicode case folding (equality, ordering)
    CaseAndAccents,  // also strips combining marks (Like)
};

// Appends the folded form of utf8 to out. Invalid UTF-8 bytes are copied unchanged,
// so folding never fails and never loses input.
void appendFolded(std::string& out, std::string_view utf8, FoldMode mode);
std::string foldText(std::string_view utf8, FoldMode mode);

// Which Unicode tables the folding follows: a fold kept from another version may differ.
std::string_view foldTablesVersion();

// Case-insensitive comparison of names (fields, tables).
bool sameName(std::string_view a, std::string_view b);

bool isValidUtf8(std::string_view bytes);
// The longest prefix of utf8 holding at most maxChars code points (never splits a character).
std::string_view truncateToChars(std::string_view utf8, std::size_t maxChars);

}  // namespace lumaref
