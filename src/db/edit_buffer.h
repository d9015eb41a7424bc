#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "db/store.h"

namespace lumaref {

// The values set on the row being edited or appended, held until it is posted or cancelled.
class EditBuffer {
public:
    // Nothing set, room for `fields` fields.
    void clear(std::size_t fields);
    // nullopt: null.
    void set(std::size_t field, std::optional<std::string> value);
    bool changed() const { return changed_; }
    // The value set on `field`, or null when the row's own value stands.
    const std::optional<std::string>* value(std::size_t field) const;

    // The fields set, in table order, with the values they replace in `row` of `table`. The views
    // last until the buffer or the row changes.
    std::vector<FieldChange> changes(const Table& table, std::size_t row) const;
    // The fields set, in table order.
    std::vector<FieldValue> values() const;

private:
    static std::optional<std::string_view> view(const std::optional<std::string>& value);

    std::vector<std::optional<std::optional<std::string>>> values_;
    bool changed_ = false;
};

}  // namespace lumaref
