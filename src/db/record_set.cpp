#include "db/record_set.h"

#include "db/connection.h"
#include "text/value_text.h"

namespace lumaref {

RecordSet::RecordSet(std::string name, Connection& connection, std::string table)
    : name_(std::move(name)),
      connection_(connection),
      tableName_(std::move(table)),
      cursor_([this](int position) {
          if (listener_ != nullptr) listener_->cursorMoved(position);
      }) {}

RecordSet::~RecordSet() = default;

Error RecordSet::error(const std::string& text) const { return Error(name_ + ": " + text); }

void RecordSet::requireActive() const {
    if (state_ == State::Inactive) throw error("Cannot perform this operation on a closed dataset");
}

void RecordSet::open() {
    if (active()) return;
    if (!connection_.connected()) connection_.open();
    LoadedTable loaded = connection_.store().load(tableName_);
    table_ = std::move(loaded.table);
    keys_.assign(std::move(loaded.keys));
    visible_.snapshotChanged();
    visible_.showAll(keys_.size());
    pending_.clear(table_.columns.size());
    state_ = State::Browse;
    if (filtered_ && !filterText_.empty()) {
        try {
            visible_.filter(filterText_, table_);
        } catch (...) {
            filtered_ = false;
            throw;
        }
    }
    if (listener_ != nullptr) listener_->rowsReset();
    cursor_.first(recordCount());
}

void RecordSet::close() {
    if (!active()) return;
    state_ = State::Inactive;
    table_ = Table();
    keys_.clear();
    visible_.showAll(0);
    cursor_.clear();
    if (listener_ != nullptr) listener_->rowsReset();
}

int RecordSet::recordCount() const {
    requireActive();
    return static_cast<int>(visible_.count());
}

int RecordSet::currentPosition() const {
    return active() && state_ != State::Insert ? cursor_.position() : -1;
}

int RecordSet::recNo() const {
    requireActive();
    if (state_ == State::Insert || cursor_.position() < 0) return -1;
    return cursor_.position() + 1;
}

bool RecordSet::eof() const { return !active() || cursor_.eof(); }
bool RecordSet::bof() const { return !active() || cursor_.bof(); }

// Every move first completes the pending row.
void RecordSet::first() {
    requireActive();
    complete();
    cursor_.first(recordCount());
}

void RecordSet::next() {
    requireActive();
    complete();
    cursor_.next(recordCount());
}

void RecordSet::prior() {
    requireActive();
    complete();
    cursor_.prior();
}

void RecordSet::last() {
    requireActive();
    complete();
    cursor_.last(recordCount());
}

void RecordSet::setRecNo(int recNo) {
    requireActive();
    complete();
    cursor_.goTo(recNo - 1, recordCount());
}

int RecordSet::fieldCount() const {
    requireActive();
    return static_cast<int>(table_.columns.size());
}

const FieldInfo& RecordSet::field(int index) const {
    requireActive();
    if (index < 0 || index >= fieldCount()) throw error("Field index out of range");
    return table_.columns[static_cast<std::size_t>(index)].info();
}

int RecordSet::fieldIndex(std::string_view name) const {
    requireActive();
    const int index = table_.findColumn(name);
    if (index < 0) throw error("Field '" + std::string(name) + "' not found");
    return index;
}

std::string RecordSet::fieldAsString(std::string_view name) const { return fieldAsString(fieldIndex(name)); }

std::string RecordSet::fieldAsString(int index) const {
    field(index);
    if (editing()) {
        if (const auto* value = pending_.value(static_cast<std::size_t>(index))) {
            return value->value_or(std::string());
        }
    }
    if (state_ == State::Insert || cursor_.position() < 0) return {};
    return std::string(valueAt(cursor_.position(), index));
}

void RecordSet::setFieldAsString(std::string_view name, std::string_view value) {
    setFieldAsString(fieldIndex(name), value);
}

void RecordSet::setFieldAsString(int index, std::string_view value) {
    const FieldInfo& info = field(index);
    if (!editing()) throw error("Dataset not in edit or insert mode");
    pending_.set(static_cast<std::size_t>(index), acceptedValue(info, value));
}

void RecordSet::edit() {
    requireActive();
    if (editing()) return;
    if (cursor_.position() < 0) throw error("Cannot edit: there is no current record");
    pending_.clear(table_.columns.size());
    state_ = State::Edit;
}

void RecordSet::append() {
    requireActive();
    complete();
    pending_.clear(table_.columns.size());
    state_ = State::Insert;
    cursor_.leaveForAppend();
}

void RecordSet::post() {
    requireActive();
    if (!editing()) throw error("Dataset not in edit or insert mode");
    writeRow();
}

void RecordSet::cancel() {
    if (!editing()) return;
    const bool wasInsert = state_ == State::Insert;
    endEditing();
    if (wasInsert) cursor_.returnFromAppend(recordCount());
}

void RecordSet::endEditing() {
    pending_.clear(table_.columns.size());
    state_ = State::Browse;
}

void RecordSet::complete() {
    if (!editing()) return;
    if (pending_.changed()) {
        writeRow();
    } else {
        cancel();
    }
}

// A failed post throws before anything here changes: the row stays pending, to be posted again.
void RecordSet::writeRow() {
    if (state_ == State::Insert) {
        postAppend();
    } else if (pending_.changed()) {
        postEdit();
    } else {
        cancel();
    }
}

void RecordSet::postEdit() {
    const int position = cursor_.position();
    const std::size_t row = visible_.row(position);
    const std::vector<FieldChange> changes = pending_.changes(table_, row);
    connection_.store().update(tableName_, table_, keys_[row], changes);
    for (const auto& change : changes) table_.columns[change.column].set(row, change.value);
    visible_.snapshotChanged();
    endEditing();
    if (listener_ != nullptr) listener_->rowChanged(position);
}

void RecordSet::postAppend() {
    const RowKey key = connection_.store().append(tableName_, table_, pending_.values());
    const auto row = static_cast<std::uint32_t>(keys_.size());
    keys_.push_back(key);
    visible_.append(row);
    visible_.snapshotChanged();
    endEditing();
    const int position = recordCount() - 1;
    if (listener_ != nullptr) listener_->rowAppended(position);
    cursor_.arriveAt(position);
}

std::string_view RecordSet::valueAt(int position, int field) const {
    if (!active() || position < 0 || position >= recordCount() || field < 0 ||
        field >= static_cast<int>(table_.columns.size())) {
        return {};
    }
    return table_.columns[static_cast<std::size_t>(field)].text(visible_.row(position));
}

void RecordSet::setFilter(std::string text) {
    if (!active() || !filtered_) {
        filterText_ = std::move(text);
        return;
    }
    complete();
    visible_.filter(text, table_);
    filterText_ = std::move(text);
    if (listener_ != nullptr) listener_->rowsReset();
    first();
}

void RecordSet::setFiltered(bool on) {
    if (!active()) {
        filtered_ = on;
        return;
    }
    complete();
    if (on == filtered_) return;
    if (on) {
        visible_.filter(filterText_, table_);
    } else {
        visible_.showAll(keys_.size());
    }
    filtered_ = on;
    if (listener_ != nullptr) listener_->rowsReset();
    first();
}

std::size_t RecordSet::memoryBytes() const {
    std::size_t bytes = sizeof(*this) + keys_.memoryBytes() + visible_.memoryBytes();
    for (const auto& column : table_.columns) bytes += column.memoryBytes();
    return bytes;
}

}  // namespace lumaref
