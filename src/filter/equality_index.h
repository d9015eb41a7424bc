#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lumaref {

// The rows of one text column grouped by their case-folded text, each group ascending: an equality
// condition is answered with the rows it matches, without looking at the others.
class EqualityIndex {
public:
    // Adds row under key; rows may come in any order, each group stays ascending.
    void add(std::uint32_t row, std::string key);
    void remove(std::uint32_t row, std::string_view key);
    // The rows whose folded text is key, ascending; null when there are none.
    const std::vector<std::uint32_t>* rowsOf(std::string_view key) const;
    std::size_t memoryBytes() const;

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
    };
    std::unordered_map<std::string, std::vector<std::uint32_t>, Hash, std::equal_to<>> groups_;
};

}  // namespace lumaref
