// Compiles arbitrary criteria against a small fixed table; whatever compiles must evaluate column at a
// time to exactly the rows the row-by-row evaluation passes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "filter/filter.h"
#include "support/oracles/row_by_row_filter.h"
#include "text/error.h"

namespace {

using lumaref::Column;
using lumaref::FieldInfo;
using lumaref::FieldKind;

void addText(lumaref::Table& table, const char* name, FieldKind kind,
             std::initializer_list<const char*> cells) {
    Column column(FieldInfo{name, kind, 0});
    for (const char* cell : cells) {
        if (cell == nullptr)
            column.appendNull();
        else
            column.appendText(cell);
    }
    table.columns.push_back(std::move(column));
}

lumaref::Table makeTable() {
    lumaref::Table table;
    addText(table, "Title", FieldKind::Text,
            {"Applied Optics", "ÉCOLE des Mines", nullptr, "", "ab", "cd", "Straße 50%", "O'Brien \"x\""});
    addText(table, "E-ISSN", FieldKind::Text, {"1234-5678", nullptr, "12", "12.50", "a", "b", "", "x"});
    addText(table, "category", FieldKind::Text,
            {"Physics", "physics", "École", nullptr, "ecole", "PHYSICS", "Chemistry", "é"});
    Column flag(FieldInfo{"Science Citation Index", FieldKind::Boolean, 0});
    for (int row = 0; row < 8; ++row) {
        if (row % 3 == 2)
            flag.appendNull();
        else
            flag.appendBool(row % 3 == 0);
    }
    table.columns.push_back(std::move(flag));
    addText(table, "Rank", FieldKind::Integer, {"1", "10", nullptr, "-2", "0", "7", "3", "100"});
    addText(table, "Score", FieldKind::Real, {"2.5", nullptr, "-0.5", "1e+20", "0", "7", "3.25", "1"});
    // An edited row after the folded copies exist, so evaluation must honour the overrides.
    table.columns[0].folded(lumaref::FoldMode::Case);
    table.columns[0].folded(lumaref::FoldMode::CaseAndAccents);
    table.columns[0].set(1, std::string_view("optics école"));
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const lumaref::Table table = makeTable();
    const std::string_view criteria(reinterpret_cast<const char*>(data), size);
    lumaref::CompiledFilter filter;
    try {
        filter = lumaref::CompiledFilter::compile(criteria, table);
    } catch (const lumaref::Error&) {
        return 0;
    }
    std::vector<std::uint32_t> rows;
    filter.evaluate(table, rows);
    if (rows != lumaref::test::RowByRowFilter(criteria, table).matchingRows(table)) std::abort();
    return 0;
}
