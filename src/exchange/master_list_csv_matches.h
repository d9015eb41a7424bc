#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumaref {

// The journals already stored, by their match key (masterListMatchKey), for the window's import and
// the tool's load alike. Every key lies in one buffer and is found through an open-addressing table,
// so a look-up allocates nothing: a load of tens of thousands of records makes one per record.
class MasterListCsvMatches {
public:
    // The value kept under the key of these numbers, category and subject, and false; or, when no
    // journal has that key yet, `value` is kept under it and true returned. nullptr (and true) when the
    // record has neither number, as such a record never matches. The pointer is valid until the next
    // call, so a caller may fill in the value of a record it has just stored.
    std::pair<std::int64_t*, bool> findOrAdd(std::string_view issn, std::string_view eIssn,
                                             std::string_view category, std::string_view subject,
                                             std::int64_t value);

private:
    struct Entry {
        std::uint64_t hash;
        std::size_t offset;  // of the key in keys_
        std::size_t size;
        std::int64_t value;
    };
    void grow();

    std::string keys_;
    std::vector<Entry> entries_;
    std::vector<std::uint32_t> slots_;  // an entry's index + 1; 0 for a free slot
    std::string key_;                   // the key being looked up, kept to reuse its memory
};

}  // namespace lumaref
