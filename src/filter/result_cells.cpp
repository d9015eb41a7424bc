#include "filter/result_cells.h"

namespace lumaref {

namespace {

// How far ahead of the row being copied its successors' offsets and bytes are fetched: the rows lie
// scattered over the column.
constexpr std::size_t kOffsetsAhead = 32;
constexpr std::size_t kBytesAhead = 16;

void appendCell(FoldedColumn& to, std::string_view cell) {
    to.arena.append(cell);
    to.offsets.push_back(static_cast<std::uint32_t>(to.arena.size()));
}

}  // namespace

std::size_t ResultCells::memoryBytes() const {
    return cells.arena.capacity() + cells.offsets.capacity() * sizeof(std::uint32_t);
}

std::shared_ptr<const ResultCells> gatherCells(const Table& table, int column,
                                               const std::vector<std::uint32_t>& rows) {
    const FoldedColumn& folded =
        table.columns[static_cast<std::size_t>(column)].folded(FoldMode::CaseAndAccents);
    auto gathered = std::make_shared<ResultCells>();
    gathered->column = column;
    FoldedColumn& to = gathered->cells;
    to.offsets.reserve(rows.size() + 1);
    to.offsets.push_back(0);
    if (folded.rows() != 0) to.arena.reserve(folded.arena.size() / folded.rows() * (rows.size() + 1));
    const std::size_t count = rows.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (i + kOffsetsAhead < count) __builtin_prefetch(&folded.offsets[rows[i + kOffsetsAhead]]);
        if (i + kBytesAhead < count)
            __builtin_prefetch(folded.arena.data() + folded.offsets[rows[i + kBytesAhead]]);
        appendCell(to, folded.cell(rows[i]));
    }
    return gathered;
}

std::shared_ptr<const ResultCells> pickCells(const ResultCells& from,
                                             const std::vector<std::uint32_t>& places) {
    auto picked = std::make_shared<ResultCells>();
    picked->column = from.column;
    FoldedColumn& to = picked->cells;
    to.offsets.reserve(places.size() + 1);
    to.offsets.push_back(0);
    std::size_t bytes = 0;
    for (const std::uint32_t place : places)
        bytes += from.cells.offsets[place + 1] - from.cells.offsets[place];
    to.arena.reserve(bytes);
    for (const std::uint32_t place : places) appendCell(to, from.cells.cell(place));
    return picked;
}

}  // namespace lumaref
