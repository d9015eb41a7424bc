#include "filter/search_condition.h"

#include <array>

#include "filter/condition_text.h"

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

}  // namespace lumaref
