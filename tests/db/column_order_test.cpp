// The order a click on a column title shows: typed keys, empty cells last, stable, against the plain sort.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "db/column_order.h"
#include "demo_random.h"
#include "support/case_name.h"
#include "support/oracles/plain_sort.h"

namespace lumaref {
namespace {

using Cells = std::vector<std::optional<std::string>>;

Column columnOf(const Cells& cells, FieldKind kind = FieldKind::Text) {
    Column column(FieldInfo{"c", kind, 0});
    for (const auto& cell : cells) {
        if (!cell)
            column.appendNull();
        else if (kind == FieldKind::Boolean)
            column.appendBool(*cell == "True");
        else
            column.appendText(*cell);
    }
    return column;
}

std::vector<std::string> textsIn(const Column& column, const std::vector<std::uint32_t>& rows) {
    std::vector<std::string> texts;
    texts.reserve(rows.size());
    for (const std::uint32_t row : rows) texts.emplace_back(column.isNull(row) ? "(null)" : column.text(row));
    return texts;
}

struct SortCase {
    const char* name;
    Cells cells;
    std::vector<std::string> ascending;  // the cells' texts in ascending order ("(null)" for null)
    FieldKind kind = FieldKind::Text;
};

void PrintTo(const SortCase& c, std::ostream* out) { *out << c.name; }

class ColumnOrderTest : public ::testing::TestWithParam<SortCase> {};

TEST_P(ColumnOrderTest, BothDirectionsAreThePlainSort) {
    const SortCase& c = GetParam();
    const Column column = columnOf(c.cells, c.kind);
    const ColumnOrder order = ColumnOrder::build(column);
    std::vector<std::uint32_t> rows;
    order.arrange(SortDirection::Ascending, rows);
    EXPECT_EQ(textsIn(column, rows), c.ascending);
    EXPECT_EQ(rows, test::plainSortedRows(column, SortDirection::Ascending));
    order.arrange(SortDirection::Descending, rows);
    EXPECT_EQ(rows, test::plainSortedRows(column, SortDirection::Descending));
}

const std::string kWithZero("ab\0", 3);
const std::string kPrefix = "journal of applied physics and ";  // ties for four key chunks

INSTANTIATE_TEST_SUITE_P(
    Cases, ColumnOrderTest,
    ::testing::Values(
        SortCase{"NumbersByValue",
                 {"10", "9.5", "-1", "1e2", "+3", "0", "-0", " 7 ", "2.50"},
                 {"-1", "0", "-0", "2.50", "+3", " 7 ", "9.5", "10", "1e2"}},
        SortCase{"NumbersBeforeTextsEmptyLast",
                 {"Q2", "", "3.1", std::nullopt, "N/A", "0.7", "", "q1"},
                 {"0.7", "3.1", "N/A", "q1", "Q2", "", "(null)", ""}},
        SortCase{"AccentsAndCaseFolded",
                 {"Zoo", "été", "Ete", "ÉTÉ", "abc", "Ábd", "Straße", "strasse"},
                 {"abc", "Ábd", "été", "Ete", "ÉTÉ", "Straße", "strasse", "Zoo"}},
        SortCase{"TiesKeepStoredOrder", {"b", "A", "a", "B", "a", "A"}, {"A", "a", "a", "A", "b", "B"}},
        SortCase{"LongSharedPrefixes",
                 {kPrefix + "b", kPrefix, kPrefix + "a", "journal", kPrefix + "a", kPrefix + "ab"},
                 {"journal", kPrefix, kPrefix + "a", kPrefix + "a", kPrefix + "ab", kPrefix + "b"}},
        SortCase{"ZeroBytesAndShorterTexts",
                 {kWithZero, "ab", "abc", kWithZero, "ab"},
                 {"ab", "ab", kWithZero, kWithZero, "abc"}},
        SortCase{"YesNo",
                 {"True", std::nullopt, "False", "True"},
                 {"False", "True", "True", "(null)"},
                 FieldKind::Boolean},
        SortCase{"AllEmpty", {"", std::nullopt, ""}, {"", "(null)", ""}}, SortCase{"NoRows", {}, {}}),
    test::CaseName());

// Many rows, so the byte passes and their ties run, not only the comparison sort of short ranges:
// numbers and texts from few pieces (long equal prefixes, duplicates, accents), empty cells, and edits
// after the first order, which the folded copy keeps beside its bytes.
TEST(ColumnOrder, ManyRowsAreThePlainSort) {
    static constexpr const char* kPieces[] = {"journal ", "of ", "Optics", "ÓPTICA", "a",
                                              "b",        " ",   "ß",      "1",      "-"};
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        demo::Random random(seed);
        Column column(FieldInfo{"c", FieldKind::Text, 0});
        // The first is large enough for its texts to be sorted on two threads.
        const std::size_t count = seed == 1 ? 60'000 : 6000;
        for (std::size_t row = 0; row < count; ++row) {
            std::string text;
            switch (random.below(5)) {
                case 0:
                    text = std::to_string(static_cast<int>(random.below(400)) - 200) + "." +
                           std::to_string(random.below(10));
                    break;
                case 1:
                    break;  // empty
                default:
                    for (std::size_t n = random.below(12); n > 0; --n)
                        text += kPieces[random.below(std::size(kPieces))];
            }
            if (random.chance(50))
                column.appendNull();
            else
                column.appendText(text);
        }
        for (int pass = 0; pass < 2; ++pass) {
            const ColumnOrder order = ColumnOrder::build(column);
            for (const SortDirection direction : {SortDirection::Ascending, SortDirection::Descending}) {
                std::vector<std::uint32_t> rows;
                order.arrange(direction, rows);
                ASSERT_EQ(rows, test::plainSortedRows(column, direction))
                    << "seed " << seed << " pass " << pass;
            }
            // The second order reads the search's folded copy, made before the edits and kept current.
            if (pass == 0) column.folded(FoldMode::CaseAndAccents);
            for (int edit = 0; edit < 300; ++edit)
                column.set(random.below(column.size()),
                           std::string_view(kPieces[random.below(std::size(kPieces))]));
        }
    }
}

// Parts read back from a file are an order only when each row is in it once and its groups can be walked.
TEST(ColumnOrder, PartsThatAreNoOrderAreRefused) {
    struct Case {
        const char* name;
        std::vector<std::uint32_t> ascending;
        std::vector<std::uint64_t> starts;
        std::size_t filled;
        bool order;
    };
    const Case cases[] = {
        {"an order", {2, 0, 1}, {0b101}, 2, true},
        {"a row past the last", {2, 0, 3}, {0b101}, 2, false},
        {"a row twice", {2, 0, 2}, {0b101}, 2, false},
        {"more filled than rows", {2, 0, 1}, {0b101}, 4, false},
        {"no group at the first place", {2, 0, 1}, {0b100}, 2, false},
        {"starts for other rows", {2, 0, 1}, {0b101, 0}, 2, false},
    };
    for (const Case& c : cases) {
        const std::optional<ColumnOrder> order = ColumnOrder::fromParts(c.ascending, c.starts, c.filled);
        EXPECT_EQ(order.has_value(), c.order) << c.name;
    }
}

}  // namespace
}  // namespace lumaref
