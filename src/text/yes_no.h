#pragma once

#include <optional>
#include <string_view>

namespace lumaref {

// The spellings of yes and no a reader accepts. Words match in any letter case and are never trimmed.
struct YesNoForms {
    enum class Words { TrueFalse, TrueFalseYesNo };
    enum class Numbers {
        None,
        ZeroOrOne,  // exactly "0" is no, "1" or "-1" is yes
        Any,        // any number (parseReal) is yes unless it is zero
    };
    Words words = Words::TrueFalse;
    bool wordPrefixes = false;  // a non-empty start of a word counts as the word ("t", "Fa")
    Numbers numbers = Numbers::None;
};

// A yes/no value stored as text in a database.
inline constexpr YesNoForms kStoredYesNo{YesNoForms::Words::TrueFalseYesNo, true, YesNoForms::Numbers::Any};
// A value the program assigns to a yes/no field.
inline constexpr YesNoForms kAssignedYesNo{YesNoForms::Words::TrueFalse, true, YesNoForms::Numbers::None};
// A field of a CSV file loaded into a yes/no column (its empty field is left to the loader).
inline constexpr YesNoForms kCsvYesNo{YesNoForms::Words::TrueFalseYesNo, true,
                                      YesNoForms::Numbers::ZeroOrOne};
// A quoted literal compared with a yes/no field in a filter (blanks around it trimmed by the parser).
inline constexpr YesNoForms kFilterYesNo{YesNoForms::Words::TrueFalse, false, YesNoForms::Numbers::Any};

// True for yes, false for no, nullopt when the text is neither in the given forms.
std::optional<bool> parseYesNo(std::string_view text, const YesNoForms& forms);

}  // namespace lumaref
