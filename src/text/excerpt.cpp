#include "text/excerpt.h"

namespace lumaref {

std::string excerpt(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts && ++characters > kExcerptCharacters) return std::string(text.substr(0, i)) + "\u2026";
    }
    return std::string(text);
}

}  // namespace lumaref
