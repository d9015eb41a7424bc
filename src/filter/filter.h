#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "filter/column.h"
#include "filter/result_cells.h"

namespace lumaref {

struct FilterNode;

// A filter criteria text in the ADO Recordset filter syntax, compiled once against a table's columns.
// compile() throws Error(kFilterArgumentsError) for a text that does not parse or names an unknown field.
class CompiledFilter {
public:
    CompiledFilter();
    ~CompiledFilter();
    CompiledFilter(CompiledFilter&&) noexcept;
    CompiledFilter& operator=(CompiledFilter&&) noexcept;

    static CompiledFilter compile(std::string_view criteria, const Table& table);

    // True for an empty (or blank) text: every row passes.
    bool matchesAll() const;
    // The rows passing the filter, ascending: from the equality indexes when the filter is made only of
    // text equality conditions, else evaluated a column at a time.
    void evaluate(const Table& table, std::vector<std::uint32_t>& rows) const;
    // The same, always a column at a time (no index is built or read).
    void evaluateByScan(const Table& table, std::vector<std::uint32_t>& rows) const;
    bool answeredByIndex() const { return indexed_; }

    // Whether this filter's rows are, on any snapshot, among the rows `wider` selects: then they can be
    // found among those rows alone (see findNarrowing).
    bool narrows(const CompiledFilter& wider) const;
    // The rows passing the filter, given `widerRows`, the rows (ascending) that `wider`, a filter this
    // one narrows, selects on the same snapshot: only the condition the two do not share is tested, in
    // `widerCells` (null, or wider's searchedCells()) when they hold its column. A filter that does not
    // narrow `wider` is evaluated in full. `cells` is set to the result's searchedCells().
    void evaluateNarrowed(const Table& table, const CompiledFilter& wider,
                          const std::vector<std::uint32_t>& widerRows, const ResultCells* widerCells,
                          std::vector<std::uint32_t>& rows, std::shared_ptr<const ResultCells>& cells) const;

    // For `rows`, this filter's result on `table`: the cells of the column a word is searched for in
    // (the last "field Like '*word*'" among the conditions all rows pass), kept so that the word typed
    // on is looked for in them alone. Null without such a condition, or for rows so many that a scan of
    // the whole column costs no more.
    std::shared_ptr<const ResultCells> searchedCells(const Table& table,
                                                     const std::vector<std::uint32_t>& rows) const;

private:
    std::unique_ptr<FilterNode> root_;
    bool indexed_ = false;
};

}  // namespace lumaref
