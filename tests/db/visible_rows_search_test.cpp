#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "db/visible_rows.h"
#include "demo_random.h"
#include "filter/search_condition.h"
#include "filter/selection_filter.h"
#include "support/oracles/plain_sort.h"
#include "support/oracles/row_by_row_filter.h"

namespace lumaref {
namespace {

using Rows = std::vector<std::uint32_t>;

// Journals whose titles and ISSNs collide under folding (case, accents, ß), with a few categories
// and an index flag for the selection filter.
class RandomJournals {
public:
    explicit RandomJournals(std::uint64_t seed) : random_(seed) {}

    Table table(std::size_t rows) {
        Table table;
        for (const char* name : {"Title", "ISSN", "category"})
            table.columns.emplace_back(FieldInfo{name, FieldKind::Text, 0});
        table.columns.emplace_back(FieldInfo{"Science Citation Index", FieldKind::Boolean, 0});
        for (std::size_t row = 0; row < rows; ++row) {
            appendText(table.columns[0], word(32));
            appendText(table.columns[1], word(6));
            appendText(table.columns[2], std::string(1, static_cast<char>('A' + pick(3))));
            if (chance(10))
                table.columns[3].appendNull();
            else
                table.columns[3].appendBool(chance(2));
        }
        return table;
    }

    // What a user types next: mostly a letter, sometimes Backspace, now and then a wildcard.
    void type(std::string& text) {
        if (!text.empty() && chance(4)) {
            // One whole character, as the line edit removes it.
            std::size_t end = text.size() - 1;
            while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
            text.resize(end);
            return;
        }
        text += chance(12) ? (chance(2) ? "*" : "%") : kPieces[pick(std::size(kPieces))];
    }

    SelectionInputs selection() {
        SelectionInputs inputs;
        if (!chance(3))
            inputs.category = std::string(1, static_cast<char>(chance(2) ? 'A' + pick(3) : 'a' + pick(3)));
        inputs.indexButton = chance(3) ? 1 : 5;
        return inputs;
    }

    std::string_view field() { return chance(4) ? "ISSN" : "Journal Title"; }
    std::size_t pick(std::size_t n) { return static_cast<std::size_t>(random_.below(n)); }
    bool chance(std::size_t oneIn) { return pick(oneIn) == 0; }

private:
    static constexpr const char* kPieces[] = {"o", "O", "p", "t", "ó", "s", "ß", " ", "i", "c"};

    void appendText(Column& column, const std::string& text) {
        if (chance(20))
            column.appendNull();
        else
            column.appendText(text);
    }

    std::string word(std::size_t maxPieces) {
        std::string text;
        for (std::size_t n = pick(maxPieces + 1); n > 0; --n) text += kPieces[pick(std::size(kPieces))];
        return text;
    }

    demo::Random random_;
};

Rows shown(const VisibleRows& visible) {
    Rows rows;
    for (std::size_t i = 0; i < visible.count(); ++i)
        rows.push_back(static_cast<std::uint32_t>(visible.row(static_cast<int>(i))));
    return rows;
}

// The rows `filter` selects in the order `sort` shows them: the plain sort of every row, with those the
// filter leaves out taken away.
Rows expectedRows(const std::string& filter, const Table& table, const std::optional<RowSort>& sort) {
    Rows matching = test::RowByRowFilter(filter, table).matchingRows(table);
    if (!sort) return matching;
    Rows sorted;
    for (const std::uint32_t row :
         test::plainSortedRows(table.columns[static_cast<std::size_t>(sort->column)], sort->direction)) {
        if (std::binary_search(matching.begin(), matching.end(), row)) sorted.push_back(row);
    }
    return sorted;
}

// The search handler's filters in the order it applies them: the selection filter, then the selection
// with the search condition. Typing on, Backspace, a new selection or field now and then, and with
// `sorting` a click on a column title; every result must be the plain row-by-row one in the plain sort's
// order, whether it came from a scan, from narrowing or from the kept results.
void typeAndCompare(std::uint64_t seed, std::size_t rows, int keystrokes, bool sorting = false) {
    RandomJournals random(seed);
    Table table = random.table(rows);
    VisibleRows visible;
    visible.showAll(table);
    std::optional<RowSort> sort;
    SelectionInputs selection = random.selection();
    std::string_view field = random.field();
    std::string typed;
    for (int step = 0; step < keystrokes; ++step) {
        if (random.chance(15)) selection = random.selection();
        if (random.chance(20)) field = random.field();
        if (random.chance(40) && table.rowCount() > 0) {
            table.columns[0].set(random.pick(table.rowCount()), std::string_view("optics"));
            visible.snapshotChanged();
        }
        if (sorting && random.chance(6)) {
            sort = random.chance(5)
                       ? std::nullopt
                       : std::optional<RowSort>(RowSort{
                             static_cast<int>(random.pick(4)),
                             random.chance(2) ? SortDirection::Descending : SortDirection::Ascending});
            visible.setSort(sort, table);
        }
        random.type(typed);
        std::string filter = selectionFilterText(selection);
        visible.filter(filter, table);
        if (!typed.empty()) filter += searchCondition(field, typed, filter.empty());
        visible.filter(filter, table);
        ASSERT_EQ(shown(visible), expectedRows(filter, table, sort))
            << "seed " << seed << " step " << step << ": " << filter;
    }
}

TEST(VisibleRowsSearch, TypingOnAndBackspaceSelectWhatAScanSelects) {
    for (std::uint64_t seed = 1; seed <= 40; ++seed) typeAndCompare(seed, seed % 10 == 0 ? 2000 : 300, 60);
}

TEST(VisibleRowsSearch, ASortHoldsThroughTypingBackspaceAndEdits) {
    for (std::uint64_t seed = 1; seed <= 30; ++seed)
        typeAndCompare(seed, seed % 10 == 0 ? 2000 : 300, 60, true);
}

// Large enough that the scans and the one-by-one tests share their rows with a second thread.
TEST(VisibleRowsSearch, TwoThreadedScansSelectWhatAScanSelects) { typeAndCompare(7, 300'000, 12); }

}  // namespace
}  // namespace lumaref
