#include "filter/column.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "filter/two_thread_scan.h"
#include "text/error.h"

namespace lumaref {

namespace {

constexpr std::string_view kTrue = "True";
constexpr std::string_view kFalse = "False";
// Below this a second thread costs more to start than it saves.
constexpr std::size_t kRowsWorthTwoThreads = 16'384;

[[noreturn]] void refuseTooLarge(const std::string& column) {
    throw Error("The values of field '" + column + "' are too large to load (more than 4 GB).");
}

// Offsets are 32-bit to keep a million-row snapshot small; a column past that is refused, not wrapped.
void checkArenaSize(std::size_t bytes, const std::string& column) {
    if (bytes > std::numeric_limits<std::uint32_t>::max()) refuseTooLarge(column);
}

}  // namespace

std::string_view FoldedColumn::cell(std::size_t row) const {
    if (!overrides.empty()) {
        const auto it = overrides.find(static_cast<std::uint32_t>(row));
        if (it != overrides.end()) return it->second;
    }
    return std::string_view(arena).substr(offsets[row], offsets[row + 1] - offsets[row]);
}

Column::Column(FieldInfo info) : info_(std::move(info)) {}

void Column::reserve(std::size_t rows, std::size_t bytes) {
    if (tailRow_ != kNoTail) joinTail();
    nulls_.reserve(rows);
    if (info_.kind == FieldKind::Boolean) {
        bools_.reserve(rows);
    } else {
        offsets_.reserve(rows + 1);
        arena_.reserve(bytes);
    }
}

void Column::shrinkToFit() {
    // Shrinking copies the block, so a little slack is cheaper to keep than to give back.
    const auto shrink = [](auto& container) {
        if (container.capacity() > container.size() + container.size() / 8 + 64) container.shrink_to_fit();
    };
    shrink(nulls_);
    shrink(arena_);
    shrink(offsets_);
    shrink(bools_);
    shrink(tail_);
    shrink(tailOffsets_);
}

void Column::joinTail() {
    const auto base = static_cast<std::uint32_t>(arena_.size());
    arena_.append(tail_);
    offsets_.reserve(offsets_.size() + tailOffsets_.size() - 1);
    for (std::size_t k = 1; k < tailOffsets_.size(); ++k) offsets_.push_back(base + tailOffsets_[k]);
    tail_ = std::string();
    tailOffsets_ = std::vector<std::uint32_t>();
    tailRow_ = kNoTail;
}

void Column::appendLoadedPart(Column&& later) {
    const bool plain = info_.kind != FieldKind::Boolean && tailRow_ == kNoTail && later.tailRow_ == kNoTail &&
                       overrides_.empty() && later.overrides_.empty() && !folded_[0] && !folded_[1] &&
                       !index_ && size() > 0;
    if (!plain) {
        appendColumn(later);
        return;
    }
    // The tail is joined one day: the offsets must then still fit.
    checkArenaSize(arena_.size() + later.arena_.size(), info_.name);
    tailRow_ = size();
    nulls_.append(later.nulls_);
    tail_ = std::move(later.arena_);
    tailOffsets_ = std::move(later.offsets_);
}

void Column::refuseBytes() const { refuseTooLarge(info_.name); }

void Column::keepCopiesCurrent(std::size_t row) const {
    if (folded_[0] || folded_[1]) noteChange(row);
    indexAppended(row);
}

void Column::appendColumn(const Column& other) {
    if (tailRow_ != kNoTail) joinTail();
    const std::size_t first = size();
    nulls_.append(other.nulls_);
    if (info_.kind == FieldKind::Boolean) {
        bools_.insert(bools_.end(), other.bools_.begin(), other.bools_.end());
    } else {
        checkArenaSize(arena_.size() + other.textBytes(), info_.name);
        for (const auto& [bytes, ends] :
             {std::pair{&other.arena_, &other.offsets_}, std::pair{&other.tail_, &other.tailOffsets_}}) {
            const auto base = static_cast<std::uint32_t>(arena_.size());
            arena_.append(*bytes);
            for (std::size_t row = 1; row < ends->size(); ++row) offsets_.push_back(base + (*ends)[row]);
        }
    }
    if (folded_[0] || folded_[1] || index_) {
        for (std::size_t row = first; row < size(); ++row) {
            if (folded_[0] || folded_[1]) noteChange(row);
            indexAppended(row);
        }
    }
}

std::string_view Column::editedOrBooleanText(std::size_t row) const {
    if (nulls_[row]) return {};
    if (info_.kind == FieldKind::Boolean) return bools_[row] ? kTrue : kFalse;
    if (!overrides_.empty()) {
        const auto it = overrides_.find(static_cast<std::uint32_t>(row));
        if (it != overrides_.end()) return it->second;
    }
    return CellBytes{arena_.data(), offsets_.data(), tailRow_, tail_.data(), tailOffsets_.data()}.cell(row);
}

std::optional<bool> Column::boolean(std::size_t row) const {
    if (nulls_[row]) return std::nullopt;
    if (info_.kind == FieldKind::Boolean) return bools_[row] != 0;
    return std::nullopt;
}

void Column::set(std::size_t row, std::optional<std::string_view> value) {
    if (tailRow_ != kNoTail) joinTail();
    std::string oldKey;
    if (index_) oldKey = foldText(text(row), FoldMode::Case);
    nulls_.set(row, !value.has_value());
    if (info_.kind == FieldKind::Boolean) {
        bools_[row] = value ? (*value == kTrue ? 1 : 0) : -1;
    } else if (row + 1 == size() && overrides_.count(static_cast<std::uint32_t>(row)) == 0) {
        // The last row's bytes end the arena, so it can be rewritten in place.
        const std::string_view text = value ? *value : std::string_view();
        checkArenaSize(offsets_[row] + text.size(), info_.name);
        arena_.resize(offsets_[row]);
        arena_.append(text);
        offsets_[row + 1] = static_cast<std::uint32_t>(arena_.size());
    } else {
        overrides_[static_cast<std::uint32_t>(row)] = value ? std::string(*value) : std::string();
        // Edited rows are few in browsing, but an update may touch most of them: fold them back in.
        if (overrides_.size() > 4096 && overrides_.size() > size() / 8) compact();
    }
    if (folded_[0] || folded_[1]) noteChange(row);
    if (index_) {
        std::string newKey = foldText(text(row), FoldMode::Case);
        if (newKey != oldKey) {
            index_->remove(static_cast<std::uint32_t>(row), oldKey);
            index_->add(static_cast<std::uint32_t>(row), std::move(newKey));
        }
    }
}

void Column::truncate(std::size_t rows) {
    if (rows >= size()) return;
    if (tailRow_ != kNoTail) joinTail();
    nulls_.resize(rows);
    if (info_.kind == FieldKind::Boolean) {
        bools_.resize(rows);
    } else {
        offsets_.resize(rows + 1);
        arena_.resize(offsets_.back());
        std::erase_if(overrides_, [rows](const auto& edited) { return edited.first >= rows; });
    }
    folded_[0].reset();
    folded_[1].reset();
    index_.reset();
}

void Column::indexAppended(std::size_t row) const {
    if (index_) index_->add(static_cast<std::uint32_t>(row), foldText(text(row), FoldMode::Case));
}

const EqualityIndex& Column::equalityIndex() const {
    if (!index_) {
        auto built = std::make_unique<EqualityIndex>();
        // The folded copy, when a scan already made it, spares folding every cell again.
        const FoldedColumn* folded = folded_[0].get();
        for (std::size_t row = 0; row < size(); ++row) {
            built->add(static_cast<std::uint32_t>(row), folded != nullptr
                                                            ? std::string(folded->cell(row))
                                                            : foldText(text(row), FoldMode::Case));
        }
        index_ = std::move(built);
    }
    return *index_;
}

// Runs once per few thousand edits, over every row: the edited rows are merged in row order
// rather than looked up one row at a time.
void Column::compact() {
    std::vector<std::pair<std::uint32_t, const std::string*>> edited;
    edited.reserve(overrides_.size());
    for (const auto& [row, value] : overrides_) edited.emplace_back(row, &value);
    std::sort(edited.begin(), edited.end());
    std::string arena;
    std::vector<std::uint32_t> offsets;
    arena.reserve(arena_.size());
    offsets.reserve(offsets_.size());
    offsets.push_back(0);
    std::size_t next = 0;
    for (std::size_t row = 0; row < size(); ++row) {
        std::string_view value;
        if (next < edited.size() && edited[next].first == row) {
            value = *edited[next++].second;
        } else {
            value = std::string_view(arena_).substr(offsets_[row], offsets_[row + 1] - offsets_[row]);
        }
        checkArenaSize(arena.size() + value.size(), info_.name);
        arena.append(value);
        offsets.push_back(static_cast<std::uint32_t>(arena.size()));
    }
    arena_ = std::move(arena);
    offsets_ = std::move(offsets);
    overrides_.clear();
}

const FoldedColumn& Column::folded(FoldMode mode) const {
    auto& slot = folded_[mode == FoldMode::Case ? 0 : 1];
    if (!slot) {
        // Many rows are folded in two halves at once, the second then appended to the first.
        const std::size_t rows = size();
        const std::size_t split = rows < kRowsWorthTwoThreads ? rows : rows / 2;
        auto built = std::make_unique<FoldedColumn>();
        FoldedColumn later;
        // Room for both halves from the start: the second is appended without moving the first.
        built->offsets.reserve(rows + 1);
        built->arena.reserve(info_.kind == FieldKind::Boolean ? rows * 5 : textBytes());
        if (split == rows) {
            foldRows(*built, 0, rows, mode);
        } else {
            runOnTwoThreads([&] { foldRows(*built, 0, split, mode); },
                            [&] { foldRows(later, split, rows, mode); });
        }
        const std::size_t base = built->arena.size();
        checkArenaSize(base + later.arena.size(), info_.name);
        built->arena.append(later.arena);
        for (std::size_t row = 1; row < later.offsets.size(); ++row)
            built->offsets.push_back(static_cast<std::uint32_t>(base + later.offsets[row]));
        slot = std::move(built);
    }
    return *slot;
}

void Column::foldRows(FoldedColumn& into, std::size_t first, std::size_t last, FoldMode mode) const {
    const std::size_t rows = last - first;
    into.arena.reserve(info_.kind == FieldKind::Boolean ? rows * 5 : bytesBefore(last) - bytesBefore(first));
    into.offsets.reserve(rows + 1);
    into.offsets.push_back(0);
    for (std::size_t row = first; row < last; ++row) {
        appendFolded(into.arena, text(row), mode);
        checkArenaSize(into.arena.size(), info_.name);
        into.offsets.push_back(static_cast<std::uint32_t>(into.arena.size()));
    }
}

// Keeps the folded copies current: an appended row extends them, an edited row overrides its cell.
void Column::noteChange(std::size_t row) const {
    for (int i = 0; i < 2; ++i) {
        auto& slot = folded_[i];
        if (!slot) continue;
        const FoldMode mode = i == 0 ? FoldMode::Case : FoldMode::CaseAndAccents;
        std::string value = foldText(text(row), mode);
        if (row == slot->rows()) {
            if (slot->arena.size() + value.size() > std::numeric_limits<std::uint32_t>::max()) {
                slot.reset();  // rebuilt (and refused cleanly) on next use
                continue;
            }
            slot->arena.append(value);
            slot->offsets.push_back(static_cast<std::uint32_t>(slot->arena.size()));
        } else if (row + 1 == slot->rows() && !slot->overridden(row)) {
            slot->arena.resize(slot->offsets[row]);
            slot->arena.append(value);
            slot->offsets[row + 1] = static_cast<std::uint32_t>(slot->arena.size());
        } else {
            slot->overrides[static_cast<std::uint32_t>(row)] = std::move(value);
            if (slot->overrides.size() > 4096 && slot->overrides.size() > slot->rows() / 8) slot.reset();
        }
    }
}

std::size_t Column::memoryBytes() const {
    std::size_t bytes = sizeof(*this) + nulls_.capacity() / 8 + arena_.capacity() + tail_.capacity() +
                        (offsets_.capacity() + tailOffsets_.capacity()) * sizeof(std::uint32_t) +
                        bools_.capacity();
    for (const auto& [row, value] : overrides_)
        bytes += sizeof(row) + sizeof(std::string) + value.capacity() + 16;
    if (index_) bytes += index_->memoryBytes();
    for (const auto& slot : folded_) {
        if (!slot) continue;
        bytes += slot->arena.capacity() + slot->offsets.capacity() * sizeof(std::uint32_t);
        for (const auto& [row, value] : slot->overrides)
            bytes += sizeof(row) + sizeof(std::string) + value.capacity() + 16;
    }
    return bytes;
}

int Table::findColumn(std::string_view name) const {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (sameName(columns[i].info().name, name)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace lumaref
