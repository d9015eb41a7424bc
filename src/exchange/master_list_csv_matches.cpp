#include "exchange/master_list_csv_matches.h"

#include <functional>
#include <optional>

#include "exchange/master_list_csv.h"
#include "text/error.h"

namespace lumaref {

std::pair<std::int64_t*, bool> MasterListCsvMatches::findOrAdd(std::string_view issn, std::string_view eIssn,
                                                               std::string_view category,
                                                               std::string_view subject, std::int64_t value) {
    if (!writeMasterListMatchKey(key_, issn, eIssn, category, subject)) return {nullptr, true};
    const std::uint64_t hash = std::hash<std::string_view>{}(key_);
    // At most half the slots in use, so a probe ends soon at a free one.
    if ((entries_.size() + 1) * 2 > slots_.size()) grow();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t at = slots_[slot];
        if (at == 0) {
            if (entries_.size() >= UINT32_MAX) throw Error("Too many journals to match in one import");
            entries_.push_back({hash, keys_.size(), key_.size(), value});
            keys_ += key_;
            slots_[slot] = static_cast<std::uint32_t>(entries_.size());
            return {&entries_.back().value, true};
        }
        Entry& entry = entries_[at - 1];
        if (entry.hash == hash && std::string_view(keys_).substr(entry.offset, entry.size) == key_) {
            return {&entry.value, false};
        }
    }
}

void MasterListCsvMatches::grow() {
    slots_.assign(slots_.empty() ? 1024 : slots_.size() * 2, 0);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        std::size_t slot = entries_[i].hash & mask;
        while (slots_[slot] != 0) slot = (slot + 1) & mask;
        slots_[slot] = static_cast<std::uint32_t>(i + 1);
    }
}

}  // namespace lumaref
