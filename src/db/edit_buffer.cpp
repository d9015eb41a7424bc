#include "db/edit_buffer.h"

namespace lumaref {

void EditBuffer::clear(std::size_t fields) {
    values_.assign(fields, std::nullopt);
    changed_ = false;
}

void EditBuffer::set(std::size_t field, std::optional<std::string> value) {
    values_[field] = std::move(value);
    changed_ = true;
}

const std::optional<std::string>* EditBuffer::value(std::size_t field) const {
    return values_[field] ? &*values_[field] : nullptr;
}

std::optional<std::string_view> EditBuffer::view(const std::optional<std::string>& value) {
    return value ? std::optional<std::string_view>(*value) : std::nullopt;
}

std::vector<FieldChange> EditBuffer::changes(const Table& table, std::size_t row) const {
    std::vector<FieldChange> changes;
    for (std::size_t i = 0; i < values_.size(); ++i) {
        if (!values_[i]) continue;
        const Column& column = table.columns[i];
        changes.push_back(
            {i, view(*values_[i]),
             column.isNull(row) ? std::nullopt : std::optional<std::string_view>(column.text(row))});
    }
    return changes;
}

std::vector<FieldValue> EditBuffer::values() const {
    std::vector<FieldValue> values;
    for (std::size_t i = 0; i < values_.size(); ++i) {
        if (values_[i]) values.push_back({i, view(*values_[i])});
    }
    return values;
}

}  // namespace lumaref
