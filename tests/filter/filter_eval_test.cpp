#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "demo_random.h"
#include "filter/filter.h"
#include "support/oracles/row_by_row_filter.h"
#include "text/error.h"

namespace lumaref {
namespace {

using Rows = std::vector<std::uint32_t>;

Table textTable(std::initializer_list<std::optional<std::string_view>> cells) {
    Table table;
    table.columns.emplace_back(FieldInfo{"Title", FieldKind::Text, 0});
    for (const auto& cell : cells) {
        if (cell)
            table.columns[0].appendText(*cell);
        else
            table.columns[0].appendNull();
    }
    return table;
}

Rows evaluate(std::string_view criteria, const Table& table) {
    Rows rows;
    CompiledFilter::compile(criteria, table).evaluate(table, rows);
    return rows;
}

Rows evaluateRowByRow(std::string_view criteria, const Table& table) {
    return test::RowByRowFilter(criteria, table).matchingRows(table);
}

TEST(FilterEval, MatchesNeverSpanTwoCells) {
    const Table table = textTable({"ab", "cd", "", std::nullopt, "b", "cab", "abcd"});
    const struct {
        std::string_view criteria;
        Rows expected;
    } cases[] = {
        {"Title Like '*bc*'", {6}},  // "ab"+"cd" and "b"+"cab" join only in the arena
        {"Title Like '*dbc*'", {}},  // "cd" + "" + "b" + "cab"
        {"Title Like '*b*'", {0, 4, 5, 6}}, {"Title Like '*cd*'", {1, 6}}, {"Title Like '*ab*'", {0, 5, 6}},
        {"Title Like '*b*d'", {6}},         {"Title = 'b'", {4}},          {"Title = 'ab'", {0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(evaluate(c.criteria, table), c.expected) << c.criteria;
        EXPECT_EQ(evaluateRowByRow(c.criteria, table), c.expected) << c.criteria;
    }
}

TEST(FilterEval, EditedRowsAreJudgedByTheirNewValue) {
    Table table = textTable({"Optics", "Acoustics", "Optical Review", "Nuclear"});
    // Build the folded copies first, so the edits below must be carried into them.
    EXPECT_EQ(evaluate("Title Like '*optic*'", table), (Rows{0, 2}));
    EXPECT_EQ(evaluate("Title = 'nuclear'", table), (Rows{3}));
    EXPECT_EQ(evaluate("Title <> 'nuclear'", table), (Rows{0, 1, 2}));

    Column& title = table.columns[0];
    title.set(0, std::string_view("Plasma"));  // a middle row: held apart from the arena
    title.set(1, std::string_view("Photonics OPTICS"));
    title.set(2, std::nullopt);
    title.set(3, std::string_view("OPTICS"));  // the last row: rewritten in place
    const struct {
        std::string_view criteria;
        Rows expected;
    } cases[] = {
        {"Title Like '*optic*'", {1, 3}}, {"Title Like 'optic*'", {3}},     {"Title = 'optics'", {3}},
        {"Title = 'PLASMA'", {0}},        {"Title <> 'optics'", {0, 1, 2}}, {"Title = ''", {2}},
        {"Title = 'nuclear'", {}},        {"Title Like '*al*'", {}},        {"Title > 'p'", {0, 1}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(evaluate(c.criteria, table), c.expected) << c.criteria;
        EXPECT_EQ(evaluateRowByRow(c.criteria, table), c.expected) << c.criteria;
    }
}

// Random small tables, random criteria: the column-at-a-time evaluation must select exactly the rows
// the row-by-row one does, before and after edits.
class RandomFilters {
public:
    explicit RandomFilters(unsigned seed) : random_(seed) {}

    Table table(std::size_t rows) {
        Table table;
        table.columns.emplace_back(FieldInfo{"a", FieldKind::Text, 0});
        table.columns.emplace_back(FieldInfo{"B b", FieldKind::Text, 0});
        table.columns.emplace_back(FieldInfo{"flag", FieldKind::Boolean, 0});
        table.columns.emplace_back(FieldInfo{"n", FieldKind::Integer, 0});
        for (std::size_t row = 0; row < rows; ++row) {
            for (Column& column : table.columns) {
                if (chance(8))
                    column.appendNull();
                else if (column.kind() == FieldKind::Boolean)
                    column.appendBool(chance(2));
                else if (column.kind() == FieldKind::Integer)
                    column.appendText(std::to_string(pick(7) - 3));
                else
                    column.appendText(word(5));
            }
        }
        return table;
    }

    void edit(Table& table) {
        const std::size_t row = pick(table.rowCount());
        Column& column = table.columns[pick(table.columns.size())];
        if (chance(6))
            column.set(row, std::nullopt);
        else if (column.kind() == FieldKind::Boolean)
            column.set(row, std::string_view(chance(2) ? "True" : "False"));
        else if (column.kind() == FieldKind::Integer)
            column.set(row, std::to_string(pick(7) - 3));
        else
            column.set(row, word(5));
    }

    std::string criteria(int depth = 0) {
        if (depth < 3 && chance(3)) {
            const std::string join = chance(2) ? " AND " : " or ";
            std::string text = criteria(depth + 1) + join + criteria(depth + 1);
            return chance(2) ? "(" + text + ")" : text;
        }
        switch (pick(4)) {
            case 0:
                return "a" + textTerm();
            case 1:
                return "[B b]" + textTerm();
            case 2:
                return std::string("[flag] ") + (chance(2) ? "=" : "<>") + (chance(2) ? " True" : " false");
            default:
                return std::string("n ") + kOps[pick(6)] + " " + std::to_string(pick(7) - 3);
        }
    }

private:
    static constexpr const char* kOps[] = {"=", "<>", "<", ">", "<=", ">="};

    std::size_t pick(std::size_t n) { return static_cast<std::size_t>(random_.below(n)); }
    bool chance(std::size_t oneIn) { return pick(oneIn) == 0; }

    // Letters chosen to collide under folding: case, an accent, and the two-letter fold of ß.
    std::string word(std::size_t maxLength) {
        static const char* const kPieces[] = {"a", "A", "b", "é", "E", "e", "ß", "s", " "};
        std::string text;
        for (std::size_t n = pick(maxLength + 1); n > 0; --n) text += kPieces[pick(std::size(kPieces))];
        return text;
    }

    std::string textTerm() {
        if (chance(3)) {
            std::string pattern;
            for (std::size_t n = pick(5); n > 0; --n)
                pattern += chance(3) ? (chance(2) ? "*" : "%") : word(2);
            return " Like '" + pattern + "'";
        }
        return std::string(" ") + kOps[pick(6)] + " '" + word(3) + "'";
    }

    demo::Random random_;
};

TEST(FilterEval, ColumnAtATimeAgreesWithRowByRow) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        RandomFilters random(seed);
        // Sizes up to a few hundred rows, so AND sometimes tests candidates one by one and sometimes
        // scans and intersects.
        Table table = random.table(seed % 40 == 0 ? 400 : seed % 13);
        for (int round = 0; round < 3; ++round) {
            for (int i = 0; i < 20; ++i) {
                const std::string criteria = random.criteria();
                ASSERT_EQ(evaluate(criteria, table), evaluateRowByRow(criteria, table))
                    << "seed " << seed << " round " << round << ": " << criteria;
            }
            if (table.rowCount() == 0) break;
            for (int edits = 0; edits < 5; ++edits) random.edit(table);
        }
    }
}

}  // namespace
}  // namespace lumaref
