#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumaref {

// The names one column of a ranking file has gone by, matched in any ASCII letter case ("" unused).
struct ColumnNames {
    std::array<std::string_view, 4> names;
};

// The first of `header` that the column goes by.
std::optional<std::size_t> findColumn(std::span<const std::string> header, const ColumnNames& column);
// Whether the header has every one of `columns`.
bool hasColumns(std::span<const std::string> header, std::span<const ColumnNames> columns);
// The columns for a message: "\"Title\", \"Issn\" and \"SJR\"" (each by its first name).
std::string columnListText(std::span<const ColumnNames> columns);

}  // namespace lumaref
