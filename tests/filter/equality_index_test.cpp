// Equality filters answered from the per-column index must select exactly what a scan selects,
// before and after the snapshot changes.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/connection_string.h"
#include "db/record_set.h"
#include "demo_random.h"
#include "filter/filter.h"
#include "filter/selection_filter.h"
#include "support/oracles/row_by_row_filter.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

using Rows = std::vector<std::uint32_t>;

// Values that are equal, or nearly, under case folding: letter case, final sigma, sharp s, accents,
// blanks, bytes that are no UTF-8, the empty text and null.
const std::vector<std::optional<std::string>> kValues = {
    "1234-5678", "1234-567X", "1234-567x", "1234-567x ", "",        std::nullopt, "Physics",
    "PHYSICS",   "ΣΟΦΙΑ",     "σοφια",     "σοφιας",     "Straße",  "STRASSE",    "strasse",
    "Café",      "cafe",      "\xff\xfe",  "O'Brien",    "o'brien",
};
// Literals also include texts no cell holds.
const std::vector<std::string> kLiterals = {"1234-567x", "1234-567X", "",         "physics", "σοφια",
                                            "strasse",   "café",      "\xff\xfe", "o'brien", "absent"};

class RandomFilters {
public:
    explicit RandomFilters(unsigned seed) : random_(seed) {}

    std::optional<std::string> value() { return kValues[pick(kValues.size())]; }
    std::string literal() { return kLiterals[pick(kLiterals.size())]; }
    std::size_t pick(std::size_t count) { return static_cast<std::size_t>(random_.below(count)); }

    // Equality conditions on the given text fields joined by AND and OR, sometimes in parentheses.
    std::string equalityFilter(const std::vector<std::string>& fields, int depth = 0) {
        const std::size_t terms = 1 + pick(3);
        std::string text;
        for (std::size_t i = 0; i < terms; ++i) {
            if (i > 0) text += pick(2) == 0 ? " AND " : " OR ";
            if (depth < 2 && pick(4) == 0) {
                text += "(" + equalityFilter(fields, depth + 1) + ")";
            } else {
                const std::string& field = fields[pick(fields.size())];
                text += (pick(2) == 0 ? field : "[" + field + "]") + (pick(2) == 0 ? " =" : "= ") +
                        lumaref::quoted(literal());
            }
        }
        return text;
    }

private:
    demo::Random random_;
};

Rows scanned(const CompiledFilter& filter, const Table& table) {
    Rows rows;
    filter.evaluateByScan(table, rows);
    return rows;
}

Rows rowByRow(const std::string& text, const Table& table) {
    return test::RowByRowFilter(text, table).matchingRows(table);
}

void setCell(Column& column, std::size_t row, const std::optional<std::string>& value) {
    column.set(row, value ? std::optional<std::string_view>(*value) : std::nullopt);
}

void appendCell(Column& column, const std::optional<std::string>& value) {
    if (value)
        column.appendText(*value);
    else
        column.appendNull();
}

class EqualityIndexProperty : public ::testing::TestWithParam<unsigned> {};

TEST_P(EqualityIndexProperty, IndexedScannedAndRowByRowAgreeBeforeAndAfterChanges) {
    RandomFilters random(GetParam());
    Table table;
    table.columns.emplace_back(FieldInfo{"ISSN", FieldKind::Text, 0});
    table.columns.emplace_back(FieldInfo{"category", FieldKind::Text, 0});
    const std::size_t rows = 1 + random.pick(60);
    for (std::size_t row = 0; row < rows; ++row)
        for (Column& column : table.columns) appendCell(column, random.value());

    const auto check = [&](const char* when) {
        for (int i = 0; i < 25; ++i) {
            const std::string text = random.equalityFilter({"ISSN", "category", "Category"});
            const CompiledFilter filter = CompiledFilter::compile(text, table);
            ASSERT_TRUE(filter.answeredByIndex()) << text;
            Rows indexed;
            filter.evaluate(table, indexed);
            const Rows expected = rowByRow(text, table);
            EXPECT_EQ(indexed, expected) << when << ": " << text;
            EXPECT_EQ(scanned(filter, table), expected) << when << ": " << text;
        }
    };
    check("as loaded");
    for (int round = 0; round < 4; ++round) {
        // Edits anywhere (the last row is rewritten in place, others held apart), then appends.
        for (int edit = 0; edit < 10; ++edit) {
            Column& column = table.columns[random.pick(2)];
            setCell(column, random.pick(table.rowCount()), random.value());
        }
        setCell(table.columns[0], table.rowCount() - 1, random.value());
        for (int added = 0; added < 3; ++added)
            for (Column& column : table.columns) appendCell(column, random.value());
        check("after changes");
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, EqualityIndexProperty, ::testing::Range(1u, 41u),
                         [](const auto& seed) { return "Seed" + std::to_string(seed.param); });

// Enough edits for the column to fold its edited cells back into one block, nulls among them.
TEST(EqualityIndex, StaysCurrentWhenManyEditsAreFoldedBack) {
    constexpr int kRows = 10000;
    Table table;
    table.columns.emplace_back(FieldInfo{"Q", FieldKind::Text, 0});
    Column& column = table.columns[0];
    for (int i = 0; i < kRows; ++i) column.appendText(i % 3 == 0 ? "Q1" : "q2");
    const CompiledFilter q1 = CompiledFilter::compile("Q = 'q1'", table);
    Rows before;
    q1.evaluate(table, before);  // builds the index
    EXPECT_EQ(before.size(), static_cast<std::size_t>((kRows + 2) / 3));
    for (int i = 0; i < kRows; i += 2)
        column.set(static_cast<std::size_t>(i),
                   i % 4 == 0 ? std::nullopt : std::optional<std::string_view>("Q3"));
    for (const char* text : {"Q = 'q1'", "Q = 'q2'", "Q = 'Q3'", "Q = ''", "Q = 'q1' OR Q = ''"}) {
        const CompiledFilter filter = CompiledFilter::compile(text, table);
        Rows indexed;
        filter.evaluate(table, indexed);
        EXPECT_EQ(indexed, rowByRow(text, table)) << text;
        EXPECT_FALSE(indexed.empty()) << text;
    }
    for (int i = 0; i < kRows; i += 4) ASSERT_TRUE(column.isNull(static_cast<std::size_t>(i)));
}

TEST(EqualityIndex, LeavesOtherKindsOfConditionToTheScan) {
    Table table;
    table.columns.emplace_back(FieldInfo{"ISSN", FieldKind::Text, 0});
    table.columns.emplace_back(FieldInfo{"Flag", FieldKind::Boolean, 0});
    table.columns.emplace_back(FieldInfo{"Rank", FieldKind::Integer, 0});
    const struct {
        const char* text;
        bool indexed;
    } cases[] = {
        {"ISSN = 'a'", true},
        {"ISSN ='a' OR ISSN='b'", true},
        {"ISSN = 'a' AND (ISSN = 'b' OR iSsN = 'c')", true},
        {"Flag = True", false},  // null reads as false
        {"Rank = 1", false},     // "1.0" equals 1
        {"ISSN = 'a' AND Flag = True", false},
        {"ISSN <> 'a'", false},
        {"ISSN Like 'a'", false},  // Like also ignores accents
        {"ISSN = Null", false},    // null only, not the empty text
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompiledFilter::compile(c.text, table).answeredByIndex(), c.indexed) << c.text;
}

// Through the record set: posts (edits and appends) keep the index current, and the filter results
// the record set remembers are not reused once the data changed.
class RecordSetIndexProperty : public ::testing::TestWithParam<unsigned> {
protected:
    test::TempDir dir;
    test::CurrentDir cwd{dir.path()};
};

TEST_P(RecordSetIndexProperty, EqualityFiltersSelectWhatTheScanSelectsAcrossPosts) {
    RandomFilters random(GetParam());
    const auto sqlValue = [](const std::optional<std::string>& value) {
        return value ? test::sqlQuoted(*value) : std::string("NULL");
    };
    std::string sql = "BEGIN;";
    for (int row = 0; row < 30; ++row) {
        sql += "INSERT INTO journals (Title, ISSN, category) VALUES ('T" + std::to_string(row) + "', " +
               sqlValue(random.value()) + ", " + sqlValue(random.value()) + ");";
    }
    test::createDatabase(dir.file("Database.mdb"), sql + "COMMIT;");
    Connection connection(kDefaultConnectionString);
    RecordSet journals("ADOQuery1", connection, "journals");
    journals.open();
    journals.setFiltered(true);

    // The same conditions under a yes/no test that always holds: not answerable from the index.
    const auto visible = [&journals](const std::string& filter) {
        journals.setFilter(filter);
        std::vector<std::string> titles;
        for (journals.first(); !journals.eof(); journals.next())
            titles.push_back(journals.fieldAsString("Title"));
        return titles;
    };
    const auto check = [&](const char* when) {
        for (int i = 0; i < 15; ++i) {
            const std::string text = random.equalityFilter({"ISSN", "category"});
            const auto scannedTitles = visible("(" + text +
                                               ") AND ([Science Citation Index] = True OR "
                                               "[Science Citation Index] = False)");
            EXPECT_EQ(visible(text), scannedTitles) << when << ": " << text;
        }
    };
    check("as loaded");
    for (int round = 0; round < 3; ++round) {
        for (int edit = 0; edit < 5; ++edit) {
            journals.setFilter("");
            journals.setRecNo(
                1 + static_cast<int>(random.pick(static_cast<std::size_t>(journals.recordCount()))));
            journals.edit();
            const char* field = random.pick(2) == 0 ? "ISSN" : "category";
            journals.setFieldAsString(field, random.value().value_or(""));
            journals.post();
        }
        journals.append();
        journals.setFieldAsString("Title", "Added " + std::to_string(round));
        journals.setFieldAsString("ISSN", random.value().value_or(""));
        journals.post();
        check("after posts");
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RecordSetIndexProperty, ::testing::Range(1u, 9u),
                         [](const auto& seed) { return "Seed" + std::to_string(seed.param); });

}  // namespace
}  // namespace lumaref
