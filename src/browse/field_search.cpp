#include "browse/field_search.h"

#include "browse/selection_filter.h"
#include "browse/sha256.h"

#include <cstddef>
#include <cstdint>

namespace lumaref {
namespace {

struct SearchField {
    std::string_view item;
    std::string_view field;  // written exactly so, blanks included
};

// "E-ISSN " keeps its second blank before "Like", and the address field is written in lower case.
constexpr std::array<SearchField, 6> kSearchFields = {{{"Journal Title", "Title"},
                                                       {"ISSN", "ISSN"},
                                                       {"E-ISSN", "E-ISSN "},
                                                       {"Impact Factor", "IF"},
                                                       {"Journal Q", "Q"},
                                                       {"Publisher/Address", "address"}}};

// Digest of the administrator access code; the code itself is deliberately not stored.
constexpr Sha256Digest kAccessCodeDigest = {0xc6, 0xbb, 0x13, 0x04, 0x65, 0x2c, 0x06, 0xee, 0x05, 0xfa, 0xbe,
                                            0xd2, 0x10, 0xc5, 0x74, 0x50, 0x90, 0x9e, 0x64, 0x07, 0xef, 0x05,
                                            0x24, 0xef, 0xfb, 0x5e, 0x1d, 0x37, 0x37, 0x4e, 0x62, 0x14};

bool isAccessCode(std::string_view text) {
    const Sha256Digest digest = sha256(text);
    // Compare every byte so the time taken says nothing about how much of the code matched.
    std::uint8_t difference = 0;
    for (std::size_t i = 0; i < digest.size(); ++i) {
        difference |= digest[i] ^ kAccessCodeDigest[i];
    }
    return difference == 0;
}

}  // namespace

std::string searchCondition(std::string_view fieldChoice, std::string_view searchText, bool filterIsEmpty) {
    for (const SearchField& candidate : kSearchFields) {
        if (candidate.item != fieldChoice) {
            continue;
        }
        std::string condition = filterIsEmpty ? " " : " AND ";
        condition += candidate.field;
        condition += " Like ";
        std::string pattern = "*";
        pattern += searchText;
        pattern += '*';
        condition += quoted(pattern);
        return condition;
    }
    return {};
}

bool opensAdminMode(std::string_view searchText, std::string_view fieldChoice) {
    // The search text is looked at first; the field choice only once the code matched.
    return isAccessCode(searchText) && fieldChoice == kAdminModeItem;
}

std::string searchLabelCaption(std::string_view fieldChoice) {
    return fieldChoice == kAdminModeItem ? "Password:" : "Search for:";
}

}  // namespace lumaref
