#include "text/value_text.h"

#include "text/error.h"
#include "text/text_fold.h"
#include "text/yes_no.h"

namespace lumaref {

bool textIsTrue(std::string_view text) { return parseYesNo(text, kStoredYesNo).value_or(false); }

std::string_view withinFieldSize(const FieldInfo& field, std::string_view text) {
    // A character is at least one byte, so a text no longer in bytes needs no count.
    return field.maxChars > 0 && text.size() > field.maxChars ? truncateToChars(text, field.maxChars) : text;
}

std::optional<std::string> acceptedValue(const FieldInfo& field, std::string_view value) {
    switch (field.kind) {
        case FieldKind::Text:
            return std::string(withinFieldSize(field, value));
        case FieldKind::Boolean: {
            if (value.empty()) return std::nullopt;
            if (const std::optional<bool> yes = parseYesNo(value, kAssignedYesNo)) {
                return std::string(*yes ? "True" : "False");
            }
            throw Error("'" + std::string(value) + "' is not a valid boolean value for field '" + field.name +
                        "'");
        }
        case FieldKind::Integer: {
            if (value.empty()) return std::nullopt;
            const auto number = parseInteger(value);
            if (!number) {
                throw Error("'" + std::string(value) + "' is not a valid integer value for field '" +
                            field.name + "'");
            }
            return numberText(*number);
        }
        case FieldKind::Real: {
            if (value.empty()) return std::nullopt;
            const auto number = parseReal(value);
            if (!number) {
                throw Error("'" + std::string(value) + "' is not a valid floating point value for field '" +
                            field.name + "'");
            }
            return numberText(*number);
        }
    }
    return std::string(value);
}

}  // namespace lumaref
