#include "db/store.h"

#include <algorithm>

namespace lumaref {

std::string missingTableMessage(std::string_view table) {
    return "Cannot find the input table or query '" + std::string(table) +
           "'. Make sure it exists and that its name is spelled correctly.";
}

void appendWrittenRow(Table& snapshot, std::span<const FieldValue> values) {
    std::vector<std::optional<std::string_view>> row(snapshot.columns.size());
    for (const auto& value : values) row[value.column] = value.value;
    for (std::size_t i = 0; i < snapshot.columns.size(); ++i) {
        Column& column = snapshot.columns[i];
        if (!row[i]) {
            column.appendNull();
        } else if (column.kind() == FieldKind::Boolean) {
            column.appendBool(*row[i] == "True");
        } else {
            column.appendText(*row[i]);
        }
    }
}

std::string noReadPermissionMessage(std::string_view table) {
    return "Record(s) cannot be read; no read permission on '" + std::string(table) + "'.";
}

std::vector<TableChanges> changesByTable(std::map<std::string, TableChanges>&& gathered) {
    std::vector<TableChanges> changed;
    for (auto& [table, changes] : gathered) {
        if (!changes.everyRow && changes.keys.empty()) continue;
        changes.table = table;
        if (changes.everyRow) {
            changes.keys.clear();
        } else {
            std::sort(changes.keys.begin(), changes.keys.end());
            changes.keys.erase(std::unique(changes.keys.begin(), changes.keys.end()), changes.keys.end());
        }
        changed.push_back(std::move(changes));
    }
    return changed;
}

}  // namespace lumaref
