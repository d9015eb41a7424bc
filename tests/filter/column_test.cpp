// Text folding and the snapshot columns that keep raw and folded copies in step.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "db/declared_type.h"
#include "filter/column.h"
#include "text/field.h"
#include "text/text_fold.h"

namespace lumaref {
namespace {

TEST(TextFold, FoldsCaseAndOptionallyAccents) {
    struct Case {
        std::string input;
        std::string caseOnly;
        std::string caseAndAccents;
    };
    const Case cases[] = {
        {"Optics LETTERS", "optics letters", "optics letters"},
        // Eight bytes at a time: the neighbours of A and Z stay, a mark takes the capital before it.
        {"@AZ[`az{ JOURNAL OF APPLIED ", "@az[`az{ journal of applied ", "@az[`az{ journal of applied "},
        {"ANNALES DE L'INSTITUTE\xCC\x81", "annales de l'institut\xC3\xA9", "annales de l'institute"},
        {"ÉCOLE Normale", "école normale", "ecole normale"},
        {"E\xCC\x81"
         "cole",
         "\xC3\xA9"
         "cole",
         "ecole"},  // decomposed É folds like the composed one
        {"Straße", "strasse", "strasse"},
        {"مجلة العلوم", "مجلة العلوم", "مجلة العلوم"},
        {"Caf\xE9 bad \xFF", "caf\xE9 bad \xFF", "caf\xE9 bad \xFF"},  // invalid UTF-8 bytes survive
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(foldText(c.input, FoldMode::Case), c.caseOnly) << c.input;
        EXPECT_EQ(foldText(c.input, FoldMode::CaseAndAccents), c.caseAndAccents) << c.input;
    }
    EXPECT_TRUE(sameName("E-ISSN", "e-issn"));
    EXPECT_TRUE(sameName("UMSÄTZE", "Umsätze"));
    EXPECT_FALSE(sameName("Title", "Titles"));
}

TEST(TextFold, Utf8ChecksAndTruncationNeverSplitACharacter) {
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("Zeitschrift für Physik"));
    EXPECT_FALSE(isValidUtf8("Caf\xE9"));
    EXPECT_FALSE(isValidUtf8("\xC3"));  // cut in the middle of a character
    EXPECT_EQ(truncateToChars("abcdef", 3), "abc");
    EXPECT_EQ(truncateToChars("ééé", 2), "éé");
    EXPECT_EQ(truncateToChars("ab", 5), "ab");
    EXPECT_EQ(truncateToChars("a\xFF"
                              "bc",
                              2),
              "a\xFF");
}

TEST(FieldKinds, DeclaredTypesMapToKindsAndSizes) {
    struct Case {
        const char* declared;
        FieldKind kind;
        std::size_t maxChars;
    };
    const Case cases[] = {
        {"TEXT(255)", FieldKind::Text, 255},
        {"varchar( 40 )", FieldKind::Text, 40},
        {"TEXT", FieldKind::Text, 0},
        {"MEMO", FieldKind::Text, 0},
        {"BOOLEAN", FieldKind::Boolean, 0},
        {"INTEGER", FieldKind::Integer, 0},
        {"DOUBLE", FieldKind::Real, 0},
        {"REAL", FieldKind::Real, 0},
        {"", FieldKind::Text, 0},
        {"WHATEVER(12)", FieldKind::Text, 0},
    };
    for (const auto& c : cases) {
        const FieldInfo info = fieldFromDeclaredType("f", c.declared);
        EXPECT_EQ(info.kind, c.kind) << c.declared;
        EXPECT_EQ(info.maxChars, c.maxChars) << c.declared;
    }
}

TEST(ColumnStorage, EditsAndAppendsKeepFoldedCopiesCurrent) {
    Column column(FieldInfo{"Title", FieldKind::Text, 0});
    for (int i = 0; i < 10; ++i) column.appendText("Row " + std::to_string(i));
    column.appendNull();
    const FoldedColumn& folded = column.folded(FoldMode::Case);
    EXPECT_EQ(folded.cell(3), "row 3");
    EXPECT_EQ(folded.cell(10), "");

    column.set(3, std::string_view("ÉDITED"));
    column.set(10, std::string_view("Last"));
    column.appendText("APPENDED");
    EXPECT_EQ(column.text(3), "ÉDITED");
    EXPECT_EQ(column.text(10), "Last");
    EXPECT_FALSE(column.isNull(10));
    const FoldedColumn& again = column.folded(FoldMode::Case);
    EXPECT_EQ(again.cell(3), "édited");
    EXPECT_EQ(again.cell(10), "last");
    EXPECT_EQ(again.cell(11), "appended");
    EXPECT_EQ(column.folded(FoldMode::CaseAndAccents).cell(3), "edited");
    column.set(4, std::nullopt);
    EXPECT_TRUE(column.isNull(4));
    EXPECT_EQ(column.text(4), "");
}

TEST(ColumnStorage, ManyEditsAreFoldedBackWithoutLosingAValue) {
    constexpr int kRows = 40000;
    Column column(FieldInfo{"IF", FieldKind::Text, 0});
    for (int i = 0; i < kRows; ++i) column.appendText("v" + std::to_string(i));
    column.folded(FoldMode::Case);
    for (int i = 0; i < kRows; i += 2)
        column.set(static_cast<std::size_t>(i), std::string_view("E" + std::to_string(i)));
    const FoldedColumn& folded = column.folded(FoldMode::Case);
    for (int i = 0; i < kRows; ++i) {
        const std::string expected = (i % 2 == 0 ? "E" : "v") + std::to_string(i);
        ASSERT_EQ(column.text(static_cast<std::size_t>(i)), expected);
        std::string lower = expected;
        lower[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(lower[0])));
        ASSERT_EQ(folded.cell(static_cast<std::size_t>(i)), lower);
    }
}

TEST(ColumnStorage, BooleansReadAsTrueFalseOrEmpty) {
    Column column(FieldInfo{"Science Citation Index", FieldKind::Boolean, 0});
    column.appendBool(true);
    column.appendBool(false);
    column.appendNull();
    EXPECT_EQ(column.text(0), "True");
    EXPECT_EQ(column.text(1), "False");
    EXPECT_EQ(column.text(2), "");
    EXPECT_EQ(column.boolean(2), std::nullopt);
    column.set(2, std::string_view("True"));
    EXPECT_EQ(column.boolean(2), true);
}

// A column loaded in two parts keeps the later part's bytes apart until its first change: read, folded,
// changed and cut, it is the column loaded whole.
TEST(ColumnStorage, ALoadedPartReadsAndChangesAsTheWholeColumn) {
    using Cells = std::vector<std::optional<std::string>>;
    const Cells cells = {"Alpha", std::nullopt, "ÉCOLE", "", "Beta", "Óptica", std::nullopt, "Zeta", "x"};
    constexpr std::size_t kFirstPart = 4;
    const auto append = [](Column& column, const std::optional<std::string>& cell) {
        if (cell)
            column.appendText(*cell);
        else
            column.appendNull();
    };
    struct Change {
        const char* name;
        void (*apply)(Column& column);
    };
    const Change changes[] = {
        {"none", [](Column&) {}},
        {"a later cell set", [](Column& c) { c.set(7, std::string_view("Omega")); }},
        {"an earlier cell set", [](Column& c) { c.set(1, std::string_view("Gamma")); }},
        {"a row appended", [](Column& c) { c.appendText("Appended"); }},
        {"cut in the later part", [](Column& c) { c.truncate(6); }},
        {"cut in the earlier part", [](Column& c) { c.truncate(2); }},
    };
    for (const Change& change : changes) {
        Column whole(FieldInfo{"Title", FieldKind::Text, 0});
        Column parts(whole.info());
        Column later(whole.info());
        for (std::size_t row = 0; row < cells.size(); ++row) {
            append(whole, cells[row]);
            append(row < kFirstPart ? parts : later, cells[row]);
        }
        parts.appendLoadedPart(std::move(later));
        EXPECT_EQ(parts.textBytes(), whole.textBytes()) << change.name;
        change.apply(whole);
        change.apply(parts);
        ASSERT_EQ(parts.size(), whole.size()) << change.name;
        const Column::CellBytes bytes = parts.cellBytes();
        for (std::size_t row = 0; row < whole.size(); ++row) {
            EXPECT_EQ(parts.text(row), whole.text(row)) << change.name << " row " << row;
            EXPECT_EQ(parts.isNull(row), whole.isNull(row)) << change.name << " row " << row;
            if (bytes.bytes != nullptr) {
                EXPECT_EQ(bytes.cell(row), whole.text(row)) << change.name;
            }
            EXPECT_EQ(parts.folded(FoldMode::CaseAndAccents).cell(row),
                      whole.folded(FoldMode::CaseAndAccents).cell(row))
                << change.name << " row " << row;
        }
    }
}

}  // namespace
}  // namespace lumaref
