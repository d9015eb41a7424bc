#include "exchange/ranking_columns.h"

#include "text/ascii.h"

namespace lumaref {

std::optional<std::size_t> findColumn(std::span<const std::string> header, const ColumnNames& column) {
    for (std::size_t i = 0; i < header.size(); ++i) {
        for (const std::string_view name : column.names) {
            if (!name.empty() && equalsIgnoringAsciiCase(header[i], name)) return i;
        }
    }
    return std::nullopt;
}

bool hasColumns(std::span<const std::string> header, std::span<const ColumnNames> columns) {
    for (const ColumnNames& column : columns) {
        if (!findColumn(header, column)) return false;
    }
    return true;
}

std::string columnListText(std::span<const ColumnNames> columns) {
    std::string text;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) text += i + 1 == columns.size() ? " and " : ", ";
        text += "\"" + std::string(columns[i].names[0]) + "\"";
    }
    return text;
}

}  // namespace lumaref
