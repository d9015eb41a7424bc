#include "db/column_order.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "filter/two_thread_scan.h"
#include "text/ascii.h"
#include "text/number_text.h"
#include "text/text_fold.h"

namespace lumaref {

namespace {

struct NumberItem {
    std::uint64_t key;
    std::uint32_t row;
};

// A text's item carries where its bytes are: a deeper key is one read from memory, not two.
struct TextItem {
    std::uint64_t key;
    const char* text;
    std::uint32_t length;
    std::uint32_t row;
};

// Up to this many rows a range is sorted by comparison: counting 256 buckets would cost more.
constexpr std::size_t kSmallRange = 48;
constexpr int kTopShift = 56;
// How far ahead of the row whose key is being read its bytes are fetched.
constexpr std::size_t kBytesAhead = 8;
// Below this a second thread costs more to start than it saves.
constexpr std::size_t kRowsWorthTwoThreads = 16'384;

// A number's bits, ordered as the numbers are: negatives below positives, -0 as 0.
std::uint64_t numberKey(double value) {
    if (value == 0) value = 0;
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
}

// Eight bytes of a folded text from `depth` on, the first the most significant; zeros past its end.
std::uint64_t chunkKey(std::string_view text, std::size_t depth) {
    if (depth >= text.size()) return 0;
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + depth, std::min<std::size_t>(8, text.size() - depth));
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
    return lowerAsciiWord(word);
}

// A cell that cannot be a number is told by its first character, without a parse.
bool mayBeNumber(std::string_view text) {
    const char c = text.front();
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == ' ';
}

// What a run of equal keys still needs.
enum class Tie {
    Equal,    // nothing: its cells are equal
    Deeper,   // a sort by the next keys, now given
    Compare,  // a sort by comparing its cells
};

// Numbers: equal keys are equal values.
struct NumberKeys {
    using Item = NumberItem;

    Tie refine(std::vector<Item>& /*items*/, std::size_t /*first*/, std::size_t /*last*/,
               std::size_t /*depth*/) const {
        return Tie::Equal;
    }
    int compareFrom(const Item& /*a*/, const Item& /*b*/, std::size_t /*depth*/) const { return 0; }
};

// Texts: the key is the folded text's eight bytes at `depth`; a run that ties there is given the next
// eight, until its texts end.
struct TextKeys {
    using Item = TextItem;

    static std::string_view cell(const Item& item) { return {item.text, item.length}; }

    // The rows of a run lie scattered over the column: their bytes are asked for a few rows ahead.
    static void prefetch(const std::vector<Item>& items, std::size_t i, std::size_t last, std::size_t depth) {
        if (i + kBytesAhead >= last) return;
        const Item& ahead = items[i + kBytesAhead];
        if (depth < ahead.length) __builtin_prefetch(ahead.text + depth);
    }

    // The run's texts are equal in their eight bytes at `depth`. Texts that all end there are equal
    // when their lengths are (a shorter one may only lack zero bytes a longer one has).
    Tie refine(std::vector<Item>& items, std::size_t first, std::size_t last, std::size_t depth) const {
        const std::size_t next = depth + 8;
        bool longer = false;
        bool sameLength = true;
        for (std::size_t i = first; i < last; ++i) {
            longer = longer || items[i].length > next;
            sameLength = sameLength && items[i].length == items[first].length;
        }
        if (!longer) return sameLength ? Tie::Equal : Tie::Compare;
        for (std::size_t i = first; i < last; ++i) {
            prefetch(items, i, last, next);
            items[i].key = chunkKey(cell(items[i]), next);
        }
        return Tie::Deeper;
    }

    int compareFrom(const Item& a, const Item& b, std::size_t depth) const {
        const std::string_view x = cell(a);
        const std::string_view y = cell(b);
        for (; depth < x.size() || depth < y.size(); depth += 8) {
            const std::uint64_t p = chunkKey(x, depth);
            const std::uint64_t q = chunkKey(y, depth);
            if (p != q) return p < q ? -1 : 1;
        }
        return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
    }
};

// Sorts items by their keys, most significant byte first, each pass stable, so rows of equal values keep
// the order they came in. Marks in `starts` (offset by `base`) where each group of equal values begins.
template <class Keys>
class RadixSort {
public:
    using Item = typename Keys::Item;

    RadixSort(std::vector<Item>& items, const Keys& keys, std::vector<std::uint64_t>& starts,
              std::size_t base, std::vector<Item>& scratch)
        : items_(items), keys_(keys), starts_(starts), base_(base), scratch_(scratch) {
        scratch_.resize(items_.size());
    }

    // Many rows: the first passes here, then their ranges shared out between two threads, each marking
    // its groups in its own copy of the starts, merged after.
    void run() {
        if (items_.empty()) return;
        tasks_.push_back({0, items_.size(), kTopShift, 0});
        if (items_.size() < kRowsWorthTwoThreads) {
            drain();
            return;
        }
        while (tasks_.size() == 1) {
            const Task task = tasks_.back();
            tasks_.pop_back();
            sortRange(task);
        }
        std::vector<std::uint64_t> otherStarts(starts_.size(), 0);
        RadixSort other(items_, keys_, otherStarts, base_, scratch_);
        std::size_t here = 0;
        std::size_t there = 0;
        std::vector<Task> mine;
        for (const Task& task : tasks_) {
            const std::size_t rows = task.last - task.first;
            if (there < here) {
                other.tasks_.push_back(task);
                there += rows;
            } else {
                mine.push_back(task);
                here += rows;
            }
        }
        tasks_ = std::move(mine);
        runOnTwoThreads([this] { drain(); }, [&other] { other.drain(); });
        for (std::size_t i = 0; i < starts_.size(); ++i) starts_[i] |= otherStarts[i];
    }

private:
    struct Task {
        std::size_t first;
        std::size_t last;
        int shift;          // the key byte this pass sorts by
        std::size_t depth;  // where the keys were read from
    };

    // A stack rather than recursion: texts that tie for thousands of bytes must not exhaust it.
    void drain() {
        while (!tasks_.empty()) {
            const Task task = tasks_.back();
            tasks_.pop_back();
            sortRange(task);
        }
    }

    void markStart(std::size_t position) {
        const std::size_t bit = base_ + position;
        starts_[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }

    void sortRange(Task task) {
        const std::size_t count = task.last - task.first;
        if (count == 1) {
            markStart(task.first);
            return;
        }
        if (count <= kSmallRange) {
            sortByComparison(task.first, task.last, task.depth);
            return;
        }
        std::array<std::size_t, 256> counts{};
        // Bytes every key shares are skipped without moving a row: the count that finds them shared also
        // finds the first byte that is not, so a range is counted at most twice.
        const std::uint64_t firstKey = items_[task.first].key;
        for (;;) {
            counts.fill(0);
            std::uint64_t differ = 0;
            for (std::size_t i = task.first; i < task.last; ++i) {
                const std::uint64_t key = items_[i].key;
                ++counts[(key >> task.shift) & 0xFF];
                differ |= key ^ firstKey;
            }
            const bool oneBucket = std::find(counts.begin(), counts.end(), count) != counts.end();
            if (!oneBucket) break;
            differ &= (std::uint64_t{1} << task.shift) - 1;  // the bytes below this one
            if (differ == 0) {
                tied(task.first, task.last, task.depth);
                return;
            }
            task.shift = (63 - std::countl_zero(differ)) / 8 * 8;
        }
        std::array<std::size_t, 256> next{};
        std::size_t offset = task.first;
        for (std::size_t b = 0; b < 256; ++b) {
            next[b] = offset;
            offset += counts[b];
        }
        for (std::size_t i = task.first; i < task.last; ++i)
            scratch_[next[(items_[i].key >> task.shift) & 0xFF]++] = items_[i];
        if (count == items_.size()) {
            items_.swap(scratch_);  // the whole range moved: no copy back
        } else {
            std::copy(scratch_.begin() + static_cast<std::ptrdiff_t>(task.first),
                      scratch_.begin() + static_cast<std::ptrdiff_t>(task.last),
                      items_.begin() + static_cast<std::ptrdiff_t>(task.first));
        }
        std::size_t start = task.first;
        for (std::size_t b = 0; b < 256; ++b) {
            const std::size_t end = start + counts[b];
            if (counts[b] == 1) {
                markStart(start);
            } else if (counts[b] > 1) {
                if (task.shift == 0)
                    tied(start, end, task.depth);
                else
                    tasks_.push_back({start, end, task.shift - 8, task.depth});
            }
            start = end;
        }
    }

    // Every key of the range is equal.
    void tied(std::size_t first, std::size_t last, std::size_t depth) {
        switch (keys_.refine(items_, first, last, depth)) {
            case Tie::Equal:
                markStart(first);  // one group: the rows stay in the order they came in
                break;
            case Tie::Deeper:
                tasks_.push_back({first, last, kTopShift, depth + 8});
                break;
            case Tie::Compare:
                sortByComparison(first, last, depth);
                break;
        }
    }

    // Key, then the cells from `depth`, then the row: the order the byte passes reach.
    void sortByComparison(std::size_t first, std::size_t last, std::size_t depth) {
        const auto begin = items_.begin() + static_cast<std::ptrdiff_t>(first);
        const auto end = items_.begin() + static_cast<std::ptrdiff_t>(last);
        const auto order = [&](const Item& a, const Item& b) {
            if (a.key != b.key) return a.key < b.key;
            const int c = keys_.compareFrom(a, b, depth);
            return c != 0 ? c < 0 : a.row < b.row;
        };
        std::sort(begin, end, order);
        markStart(first);
        for (std::size_t i = first + 1; i < last; ++i) {
            const Item& a = items_[i - 1];
            const Item& b = items_[i];
            if (a.key != b.key || keys_.compareFrom(a, b, depth) != 0) markStart(i);
        }
    }

    std::vector<Item>& items_;
    const Keys& keys_;
    std::vector<std::uint64_t>& starts_;
    std::size_t base_;
    std::vector<Item>& scratch_;  // shared by both threads, each in its own ranges
    std::vector<Task> tasks_;
};

// The cells of rows [first, last) by kind, each kind in row order, every text with its first key. An
// ASCII text is keyed from its own bytes, any other from its fold, kept in `folds`.
struct Kinds {
    std::vector<NumberItem> numbers;
    std::vector<TextItem> texts;
    std::vector<std::uint32_t> empty;
    std::string folds;

    // Room for every row in each kind: pages never written cost nothing, a vector grown by copies does.
    explicit Kinds(std::size_t rows) {
        numbers.reserve(rows);
        texts.reserve(rows);
        empty.reserve(rows);
    }

    void read(const Column& column, std::size_t first, std::size_t last) {
        // The search's folded copy, when it made one, is read rather than folding anything again.
        const FoldedColumn* made = column.foldedIfMade(FoldMode::CaseAndAccents);
        std::vector<std::pair<std::size_t, std::size_t>> folded;  // (text, where its fold starts)
        for (std::size_t row = first; row < last; ++row) {
            const auto r = static_cast<std::uint32_t>(row);
            const std::string_view text = column.text(row);
            if (text.empty()) {
                empty.push_back(r);
            } else if (const auto value = mayBeNumber(text) ? parseReal(text) : std::nullopt) {
                numbers.push_back({numberKey(*value), r});
            } else if (made != nullptr) {
                const std::string_view cell = made->cell(row);
                texts.push_back({chunkKey(cell, 0), cell.data(), static_cast<std::uint32_t>(cell.size()), r});
            } else if (asciiPrefixLength(text) == text.size()) {
                texts.push_back({chunkKey(text, 0), text.data(), static_cast<std::uint32_t>(text.size()), r});
            } else {
                folded.emplace_back(texts.size(), folds.size());
                appendFolded(folds, text, FoldMode::CaseAndAccents);
                texts.push_back(
                    {0, nullptr, static_cast<std::uint32_t>(folds.size() - folded.back().second), r});
            }
        }
        for (const auto& [item, start] : folded) {
            TextItem& text = texts[item];
            text.text = folds.data() + start;
            text.key = chunkKey({text.text, text.length}, 0);
        }
    }
    void append(const Kinds& later) {
        numbers.insert(numbers.end(), later.numbers.begin(), later.numbers.end());
        texts.insert(texts.end(), later.texts.begin(), later.texts.end());
        empty.insert(empty.end(), later.empty.begin(), later.empty.end());
    }
};

}  // namespace

ColumnOrder ColumnOrder::build(const Column& column) {
    const std::size_t rows = column.size();
    Kinds kinds(rows);
    // The later half's items, and the folds they point into, live until the sort ends.
    std::optional<Kinds> later;
    if (rows < kRowsWorthTwoThreads) {
        kinds.read(column, 0, rows);
    } else {
        later.emplace(rows - rows / 2);
        runOnTwoThreads([&] { kinds.read(column, 0, rows / 2); },
                        [&] { later->read(column, rows / 2, rows); });
        kinds.append(*later);
    }
    std::vector<NumberItem>& numbers = kinds.numbers;
    std::vector<TextItem>& texts = kinds.texts;

    ColumnOrder order;
    order.groupStarts_.assign((rows + 63) / 64, 0);
    {
        std::vector<NumberItem> scratch;
        RadixSort<NumberKeys>(numbers, NumberKeys{}, order.groupStarts_, 0, scratch).run();
    }
    {
        std::vector<TextItem> scratch;
        RadixSort<TextKeys>(texts, TextKeys{}, order.groupStarts_, numbers.size(), scratch).run();
    }
    const std::vector<std::uint32_t>& empty = kinds.empty;

    order.filled_ = numbers.size() + texts.size();
    order.ascending_.reserve(rows);
    for (const NumberItem& item : numbers) order.ascending_.push_back(item.row);
    for (const TextItem& item : texts) order.ascending_.push_back(item.row);
    order.ascending_.insert(order.ascending_.end(), empty.begin(), empty.end());
    return order;
}

void ColumnOrder::arrange(SortDirection direction, std::vector<std::uint32_t>& order) const {
    if (direction == SortDirection::Ascending) {
        order = ascending_;
        return;
    }
    order.clear();
    order.reserve(ascending_.size());
    for (std::size_t end = filled_; end > 0;) {
        std::size_t start = end - 1;
        while (!startsGroup(start)) --start;
        order.insert(order.end(), ascending_.begin() + static_cast<std::ptrdiff_t>(start),
                     ascending_.begin() + static_cast<std::ptrdiff_t>(end));
        end = start;
    }
    order.insert(order.end(), ascending_.begin() + static_cast<std::ptrdiff_t>(filled_), ascending_.end());
}

std::optional<ColumnOrder> ColumnOrder::fromParts(std::vector<std::uint32_t> ascending,
                                                  std::vector<std::uint64_t> groupStarts,
                                                  std::size_t filled) {
    const std::size_t rows = ascending.size();
    if (filled > rows || groupStarts.size() != (rows + 63) / 64) return std::nullopt;
    // Descending walks back to each group's start: the first filled place must start one.
    if (filled > 0 && (groupStarts[0] & 1U) == 0) return std::nullopt;
    std::vector<std::uint64_t> seen((rows + 63) / 64, 0);
    for (const std::uint32_t row : ascending) {
        if (row >= rows) return std::nullopt;
        std::uint64_t& word = seen[row / 64];
        const std::uint64_t bit = std::uint64_t{1} << (row % 64);
        if ((word & bit) != 0) return std::nullopt;
        word |= bit;
    }
    ColumnOrder order;
    order.ascending_ = std::move(ascending);
    order.groupStarts_ = std::move(groupStarts);
    order.filled_ = filled;
    return order;
}

std::size_t ColumnOrder::memoryBytes() const {
    return ascending_.capacity() * sizeof(std::uint32_t) + groupStarts_.capacity() * sizeof(std::uint64_t);
}

}  // namespace lumaref
