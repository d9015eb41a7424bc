// RecordSet::refresh, and the refresh of every record set of a connection.
#include "db/record_set_refresh.h"

#include <algorithm>

#include "db/connection.h"
#include "db/record_set.h"

namespace lumaref {

namespace {

bool sameShape(const Table& a, const Table& b) {
    if (a.columns.size() != b.columns.size()) return false;
    for (std::size_t i = 0; i < a.columns.size(); ++i) {
        const FieldInfo& left = a.columns[i].info();
        const FieldInfo& right = b.columns[i].info();
        if (left.name != right.name || left.kind != right.kind) return false;
    }
    return true;
}

bool sameCell(const Column& a, std::size_t rowA, const Column& b, std::size_t rowB) {
    return a.isNull(rowA) == b.isNull(rowB) && a.text(rowA) == b.text(rowB);
}

bool sameRow(const Table& a, std::size_t rowA, const Table& b, std::size_t rowB) {
    for (std::size_t i = 0; i < a.columns.size(); ++i)
        if (!sameCell(a.columns[i], rowA, b.columns[i], rowB)) return false;
    return true;
}

std::optional<std::string_view> cellOf(const Column& column, std::size_t row) {
    return column.isNull(row) ? std::nullopt : std::optional<std::string_view>(column.text(row));
}

void appendCell(Column& to, const Column& from, std::size_t row) {
    if (from.isNull(row)) {
        to.appendNull();
    } else if (from.kind() == FieldKind::Boolean) {
        to.appendBool(*from.boolean(row));
    } else {
        to.appendText(from.text(row));
    }
}

}  // namespace

std::size_t RecordSet::refresh(const TableChanges& changes) {
    requireActive();
    if (editing()) throw error("Cannot take in other programs' changes while a record is being edited");
    const int position = cursor_.position();
    const std::optional<RowKey> current =
        position >= 0 ? std::optional<RowKey>(keys_[visible_.row(position)]) : std::nullopt;
    bool reshaped = true;
    const std::size_t differing = changes.everyRow ? reloadEveryRow() : refreshRows(changes.keys, reshaped);
    if (differing == 0) return 0;

    const int count = recordCount();
    int target = -1;
    if (current) {
        if (const std::optional<std::size_t> row = keys_.find(*current)) target = visible_.positionOf(*row);
    }
    if (target < 0 && count > 0) target = std::clamp(position, 0, count - 1);
    if (reshaped && listener_ != nullptr) listener_->rowsReset();
    if (target < 0) {
        cursor_.first(count);
    } else if (target != position) {
        cursor_.goTo(target, count);
    }
    return differing;
}

std::size_t RecordSet::refreshRows(const std::vector<RowKey>& keys, bool& reshaped) {
    if (keys.empty()) return 0;
    const LoadedTable rows = connection_.store().loadRows(tableName_, keys);
    if (!sameShape(rows.table, table_)) return reloadEveryRow();
    std::vector<std::uint32_t> touched;
    bool appended = false;
    for (std::size_t i = 0; i < rows.keys.size(); ++i) {
        if (const std::optional<std::size_t> row = keys_.find(rows.keys[i])) {
            if (sameRow(table_, *row, rows.table, i)) continue;
            for (std::size_t c = 0; c < table_.columns.size(); ++c) {
                if (!sameCell(table_.columns[c], *row, rows.table.columns[c], i))
                    table_.columns[c].set(*row, cellOf(rows.table.columns[c], i));
            }
            touched.push_back(static_cast<std::uint32_t>(*row));
        } else {
            for (std::size_t c = 0; c < table_.columns.size(); ++c)
                appendCell(table_.columns[c], rows.table.columns[c], i);
            touched.push_back(static_cast<std::uint32_t>(keys_.size()));
            keys_.push_back(rows.keys[i]);
            appended = true;
        }
    }
    if (touched.empty()) return 0;
    std::sort(touched.begin(), touched.end());
    visible_.snapshotChanged();
    if (filtered_ && !filterText_.empty()) {
        reshaped = visible_.refresh(filterText_, table_, touched);
    } else {
        visible_.showAll(table_);
        // Under a sort, a changed value may move its row.
        reshaped = appended || visible_.sort().has_value();
    }
    if (!reshaped && listener_ != nullptr) {
        for (const std::uint32_t row : touched) {
            const int shown = visible_.positionOf(row);
            if (shown >= 0) listener_->rowChanged(shown);
        }
    }
    return touched.size();
}

// The snapshot is kept, folded copies and indexes with it, unless some row differs.
std::size_t RecordSet::reloadEveryRow() {
    LoadedTable loaded = connection_.store().load(tableName_);
    std::size_t differing = 0;
    if (!sameShape(loaded.table, table_)) {
        differing = std::max(loaded.keys.size(), keys_.size());
    } else {
        std::size_t matched = 0;
        for (std::size_t i = 0; i < loaded.keys.size(); ++i) {
            const std::optional<std::size_t> row = keys_.find(loaded.keys[i]);
            if (row) ++matched;
            if (!row || !sameRow(table_, *row, loaded.table, i)) ++differing;
        }
        differing += keys_.size() - matched;
    }
    if (differing == 0) return 0;
    table_ = std::move(loaded.table);
    keys_.assign(std::move(loaded.keys));
    visible_.snapshotChanged();
    visible_.showAll(table_);
    if (filtered_ && !filterText_.empty()) {
        try {
            visible_.filter(filterText_, table_);
        } catch (...) {
            // A filter the new columns cannot answer is given up, as when the record set opens.
            filtered_ = false;
            if (listener_ != nullptr) listener_->rowsReset();
            cursor_.first(recordCount());
            throw;
        }
    }
    return differing;
}

std::optional<std::vector<std::size_t>> refreshRecordSets(Connection& connection,
                                                          std::span<RecordSet* const> recordSets) {
    if (!connection.connected()) return std::nullopt;
    for (const RecordSet* records : recordSets) {
        if (records->state() == RecordSet::State::Edit || records->state() == RecordSet::State::Insert)
            return std::nullopt;
    }
    std::vector<std::size_t> differing(recordSets.size(), 0);
    for (const TableChanges& changes : connection.store().othersChanges()) {
        for (std::size_t i = 0; i < recordSets.size(); ++i) {
            if (recordSets[i]->active() && recordSets[i]->table() == changes.table)
                differing[i] += recordSets[i]->refresh(changes);
        }
    }
    return differing;
}

}  // namespace lumaref
