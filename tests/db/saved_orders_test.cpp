// Orders kept between sessions: used only for exactly the column they were made from, from a whole file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "db/saved_orders.h"
#include "demo_random.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

constexpr std::size_t kRows = 300;

Column columnOf(std::uint64_t seed) {
    static constexpr const char* kPieces[] = {"journal ", "Of ", "optics", "ÓPTICA", "3.5", "", "-1"};
    demo::Random random(seed);
    Column column(FieldInfo{"Title", FieldKind::Text, 0});
    for (std::size_t row = 0; row < kRows; ++row) {
        std::string text;
        for (std::size_t n = random.below(4); n > 0; --n) text += kPieces[random.below(std::size(kPieces))];
        column.appendText(text);
    }
    return column;
}

std::vector<std::uint32_t> shown(const ColumnOrder& order, SortDirection direction) {
    std::vector<std::uint32_t> rows;
    order.arrange(direction, rows);
    return rows;
}

std::string onlyFileIn(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path());
    EXPECT_EQ(files.size(), 1U);
    return files.empty() ? std::string() : files.front();
}

TEST(SavedOrders, AnOrderIsReadBackForTheColumnItWasMadeFrom) {
    const test::TempDir dir;
    const SavedOrders orders(dir.file("orders"), kRows);
    const Column column = columnOf(1);
    EXPECT_FALSE(orders.read(column));
    const ColumnOrder made = orders.orderOf(column);
    const std::optional<ColumnOrder> read = orders.read(column);
    ASSERT_TRUE(read);
    for (const SortDirection direction : {SortDirection::Ascending, SortDirection::Descending})
        EXPECT_EQ(shown(*read, direction), shown(ColumnOrder::build(column), direction));
    // A small column sorts faster than its file reads: nothing is kept for it.
    const SavedOrders largeOnly(dir.file("large"), kRows + 1);
    EXPECT_EQ(shown(largeOnly.orderOf(column), SortDirection::Ascending),
              shown(made, SortDirection::Ascending));
    EXPECT_FALSE(std::filesystem::exists(dir.file("large")));
}

// Whatever became of the column or the file since, the order is made again, never read wrong.
TEST(SavedOrders, AnythingChangedSinceIsNotUsed) {
    struct Case {
        const char* name;
        void (*change)(Column& column, const std::string& file);
    };
    const Case cases[] = {
        {"one cell edited", [](Column& column, const std::string&) { column.set(7, "Optics"); }},
        {"one cell otherwise",
         [](Column& column, const std::string&) {
             Column other(column.info());
             for (std::size_t row = 0; row < column.size(); ++row)
                 other.appendText(row == 7 ? std::string(column.text(row)) + " "
                                           : std::string(column.text(row)));
             column = std::move(other);
         }},
        {"file cut short",
         [](Column&, const std::string& file) {
             std::filesystem::resize_file(file, std::filesystem::file_size(file) - 1);
         }},
        {"two rows of the order swapped",
         [](Column&, const std::string& file) {
             std::string bytes = test::readFile(file);
             const std::size_t first = 32;  // past the header
             std::swap_ranges(bytes.begin() + first, bytes.begin() + first + 4, bytes.begin() + first + 4);
             test::writeFile(file, bytes);
         }},
        {"file emptied", [](Column&, const std::string& file) { test::writeFile(file, ""); }},
    };
    for (const Case& c : cases) {
        const test::TempDir dir;
        const SavedOrders orders(dir.path(), kRows);
        Column column = columnOf(2);
        orders.orderOf(column);
        c.change(column, onlyFileIn(dir.path()));
        EXPECT_FALSE(orders.read(column)) << c.name;
        EXPECT_EQ(shown(orders.orderOf(column), SortDirection::Descending),
                  shown(ColumnOrder::build(column), SortDirection::Descending))
            << c.name;
    }
}

TEST(SavedOrders, AFolderThatCannotBeMadeKeepsNothingAndStillSorts) {
    const test::TempDir dir;
    test::writeFile(dir.file("taken"), "a file where the folder would be");
    const SavedOrders orders(dir.file("taken/orders"), kRows);
    const Column column = columnOf(3);
    EXPECT_EQ(shown(orders.orderOf(column), SortDirection::Ascending),
              shown(ColumnOrder::build(column), SortDirection::Ascending));
    EXPECT_FALSE(orders.read(column));
}

}  // namespace
}  // namespace lumaref
