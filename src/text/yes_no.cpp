#include "text/yes_no.h"

#include "text/ascii.h"
#include "text/number_text.h"

namespace lumaref {

std::optional<bool> parseYesNo(std::string_view text, const YesNoForms& forms) {
    const auto is = [&](std::string_view word) {
        return forms.wordPrefixes ? !text.empty() && startsWordIgnoringAsciiCase(text, word)
                                  : equalsIgnoringAsciiCase(text, word);
    };
    const bool yesNo = forms.words == YesNoForms::Words::TrueFalseYesNo;
    if (is("True") || (yesNo && is("Yes"))) return true;
    if (is("False") || (yesNo && is("No"))) return false;
    switch (forms.numbers) {
        case YesNoForms::Numbers::None:
            break;
        case YesNoForms::Numbers::ZeroOrOne:
            if (text == "0") return false;
            if (text == "1" || text == "-1") return true;
            break;
        case YesNoForms::Numbers::Any:
            if (const std::optional<double> number = parseReal(text)) return *number != 0;
            break;
    }
    return std::nullopt;
}

}  // namespace lumaref
