#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumaref {

// The ranking files Lumaref reads, told apart by their header row.
enum class RankingLayout : std::uint8_t { Jcr, Sjr, Doaj, OwnList };

// A header row: its layout, separator and line (from 1), and its names with blanks around them trimmed.
struct RankingHeader {
    RankingLayout layout = RankingLayout::OwnList;
    char separator = ',';
    std::size_t line = 0;
    std::vector<std::string> names;
};

// The header among the first lines of a UTF-8 text: the first row, with a comma, semicolon or tab
// between its fields, that names every column the layout needs (of the first layout that fits, in the
// order JCR, SJR, DOAJ, own list; or of `layout` only). Lines above it are a banner.
std::optional<RankingHeader> findRankingHeader(std::string_view text,
                                               std::optional<RankingLayout> layout = std::nullopt);

// The refusal of a file whose header is none of these (`layout`, or any): the columns it has (those of
// its first row of several fields) and those each layout needs.
std::string unknownLayoutMessage(std::string_view text, const std::string& fileName,
                                 std::optional<RankingLayout> layout);

}  // namespace lumaref
