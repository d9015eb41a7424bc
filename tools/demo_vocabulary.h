#pragma once

#include <span>
#include <string_view>

namespace lumaref::demo {

// A research category: its share of the journals, its subjects, and topics its titles are made of.
struct CategoryWords {
    std::string_view name;
    unsigned weight;
    std::span<const std::string_view> subjects;
    std::span<const std::string_view> topics;
    std::string_view contents1;  // the Current Contents edition its indexed journals are listed in
    std::string_view contents2;  // a second edition some of them are also in
};

std::span<const CategoryWords> categoryWords();

// Index of a category by name, or -1.
int findCategory(std::string_view name);

// The category the search benchmarks narrow by; many of its titles contain "optic".
inline constexpr std::string_view kOpticsCategory = "Physics";

// Frequency texts with their relative shares; the empty text stands for an unknown frequency.
struct WeightedWord {
    std::string_view word;
    unsigned weight;
};
std::span<const WeightedWord> frequencies();

// Title patterns: "{}" is replaced by a topic.
std::span<const WeightedWord> titlePatterns();
std::span<const std::string_view> regionalAdjectives();  // "European", "Chinese", ...

// Titles in other languages, whole (the pattern holds its topic already).
std::span<const std::string_view> foreignTitles();
std::span<const std::string_view> arabicTitles();

// Whole addresses of big publishers; institutions, streets and city lines of smaller ones.
// A few contain ". " (St. Louis, Industrial Dr. ...), as real addresses do.
std::span<const std::string_view> publisherAddresses();
std::span<const std::string_view> institutions();
std::span<const std::string_view> streetNames();
std::span<const std::string_view> cityLines();
std::span<const std::string_view> arabicPublisherAddresses();

}  // namespace lumaref::demo
