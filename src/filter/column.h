#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "filter/equality_index.h"
#include "filter/null_bits.h"
#include "text/field.h"
#include "text/text_fold.h"

namespace lumaref {

// A folded copy of a text column, laid out contiguously so one memmem can scan every cell.
// Cells are not separated: a match must be checked to lie inside one cell.
// Edited rows live in `overrides` (their bytes in `arena` are stale) until the copy is rebuilt.
struct FoldedColumn {
    std::string arena;
    std::vector<std::uint32_t> offsets;  // rows + 1 prefix sums into arena
    std::unordered_map<std::uint32_t, std::string> overrides;

    std::size_t rows() const { return offsets.empty() ? 0 : offsets.size() - 1; }
    bool overridden(std::size_t row) const { return !overrides.empty() && overrides.count(row) != 0; }
    std::string_view cell(std::size_t row) const;
};

// One column of a snapshot. Text, Integer and Real cells are kept as their text in one byte arena
// (numbers in their shortest round-trip form); yes/no cells as one byte each. A column loaded in two
// parts keeps the later part's bytes in an arena of their own (its tail), joined to the first by the
// first change: a load does not copy half of every column.
// Views returned by text() stay valid until the column is next modified.
class Column {
public:
    static constexpr std::size_t kNoTail = std::numeric_limits<std::size_t>::max();

    explicit Column(FieldInfo info);

    const FieldInfo& info() const { return info_; }
    FieldKind kind() const { return info_.kind; }
    std::size_t size() const { return nulls_.size(); }

    void reserve(std::size_t rows, std::size_t bytes);
    std::size_t textBytes() const { return arena_.size() + tail_.size(); }
    // Gives back the slack a load left behind when it is large enough to matter.
    void shrinkToFit();
    // Every cell of a load passes through these, so they stay inline and, while the column keeps no
    // folded copy or index, touch nothing else.
    void appendNull() {
        if (tailRow_ != kNoTail) joinTail();
        nulls_.push_back(true);
        if (info_.kind == FieldKind::Boolean) {
            bools_.push_back(-1);
        } else {
            offsets_.push_back(static_cast<std::uint32_t>(arena_.size()));
        }
        noteAppended();
    }
    void appendText(std::string_view text) {  // not for Boolean columns
        if (tailRow_ != kNoTail) joinTail();
        if (text.size() > kMaxArenaBytes - arena_.size()) refuseBytes();
        nulls_.push_back(false);
        arena_.append(text);
        offsets_.push_back(static_cast<std::uint32_t>(arena_.size()));
        noteAppended();
    }
    void appendBool(bool value) {  // Boolean columns only
        nulls_.push_back(false);
        bools_.push_back(value ? 1 : 0);
        noteAppended();
    }
    // Appends every row of `other`, a column of the same field as loaded (no edits of its own).
    void appendColumn(const Column& other);
    // The same for the later part of a load: its bytes become this column's tail, where they are.
    void appendLoadedPart(Column&& later);

    bool isNull(std::size_t row) const { return nulls_[row]; }
    // Null reads as the empty text; yes/no as "True" or "False". Inline: an export reads every cell.
    // A null text cell holds no bytes, so an unedited text column reads without its null bit.
    std::string_view text(std::size_t row) const {
        if (info_.kind == FieldKind::Boolean || !overrides_.empty()) return editedOrBooleanText(row);
        return cellBytes().cell(row);
    }
    // The bytes text() reads, for a column read straight from them (no yes/no cells, no edits): row r is
    // [ends[r], ends[r + 1]) of bytes, and from tailRow on, row tailRow + k is [tailEnds[k],
    // tailEnds[k + 1]) of tailBytes. Null bytes otherwise. Valid until the column is next modified.
    struct CellBytes {
        const char* bytes = nullptr;
        const std::uint32_t* ends = nullptr;
        std::size_t tailRow = kNoTail;
        const char* tailBytes = nullptr;
        const std::uint32_t* tailEnds = nullptr;

        std::string_view cell(std::size_t row) const {
            if (row >= tailRow) {
                const std::uint32_t* at = tailEnds + (row - tailRow);
                return {tailBytes + at[0], at[1] - at[0]};
            }
            return {bytes + ends[row], ends[row + 1] - ends[row]};
        }
    };
    CellBytes cellBytes() const {
        if (info_.kind == FieldKind::Boolean || !overrides_.empty()) return {};
        return {arena_.data(), offsets_.data(), tailRow_, tail_.data(), tailOffsets_.data()};
    }
    // Boolean columns: nullopt for null.
    std::optional<bool> boolean(std::size_t row) const;

    // Replaces a cell. For Boolean columns the text must be "True" or "False".
    void set(std::size_t row, std::optional<std::string_view> value);
    // Drops every row from `rows` on: appended rows that were never stored. Folded copies and the index
    // are built again when next asked for.
    void truncate(std::size_t rows);

    // Built the first time it is asked for, then kept current by set() and append*().
    const FoldedColumn& folded(FoldMode mode) const;
    // The folded copy if one was asked for already, else null.
    const FoldedColumn* foldedIfMade(FoldMode mode) const {
        return folded_[mode == FoldMode::Case ? 0 : 1].get();
    }
    // Text columns: the rows by their text folded for case, built on first use and kept current
    // by set() and append*() from then on.
    const EqualityIndex& equalityIndex() const;

    std::size_t memoryBytes() const;

private:
    // Offsets are 32-bit to keep a million-row snapshot small.
    static constexpr std::size_t kMaxArenaBytes = std::numeric_limits<std::uint32_t>::max();

    [[noreturn]] void refuseBytes() const;
    // Moves the tail's bytes after the others: every change starts with it.
    void joinTail();
    // The bytes of every row before `row`.
    std::size_t bytesBefore(std::size_t row) const {
        return row <= tailRow_ ? offsets_[row] : offsets_[tailRow_] + tailOffsets_[row - tailRow_];
    }
    std::string_view editedOrBooleanText(std::size_t row) const;
    void noteAppended() const {
        if (folded_[0] || folded_[1] || index_) keepCopiesCurrent(size() - 1);
    }
    void keepCopiesCurrent(std::size_t row) const;
    // Appends the folded cells of rows [first, last) to `into`, its offsets counted from 0.
    void foldRows(FoldedColumn& into, std::size_t first, std::size_t last, FoldMode mode) const;
    void compact();
    void noteChange(std::size_t row) const;
    void indexAppended(std::size_t row) const;

    FieldInfo info_;
    NullBits nulls_;
    std::string arena_;
    std::vector<std::uint32_t> offsets_{0};  // prefix sums; unused for Boolean
    // Rows from tailRow_ on (none: kNoTail) are read from tail_, by prefix sums of their own.
    std::size_t tailRow_ = kNoTail;
    std::string tail_;
    std::vector<std::uint32_t> tailOffsets_;
    std::unordered_map<std::uint32_t, std::string> overrides_;
    std::vector<std::int8_t> bools_;
    mutable std::unique_ptr<FoldedColumn> folded_[2];
    mutable std::unique_ptr<EqualityIndex> index_;
};

// The columns of a snapshot, all of the same length.
class Table {
public:
    std::vector<Column> columns;

    std::size_t rowCount() const { return columns.empty() ? 0 : columns.front().size(); }
    // Index of the column named `name` in any letter case, or -1.
    int findColumn(std::string_view name) const;
};

}  // namespace lumaref
