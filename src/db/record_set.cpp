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

// The record set's side of a batch: the store's outcomes, in the order its posts were sent.
class RecordSet::Outcomes final : public PostOutcomes {
public:
    explicit Outcomes(RecordSet& records) : records_(records) {}
    void committed(std::optional<RowKey> appendedKey) override { records_.committedAhead(appendedKey); }
    void refused() override { records_.refusedAhead(); }

private:
    RecordSet& records_;
};

RecordSet::~RecordSet() { abandonBatch(); }

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
    visible_.showAll(table_);
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
    abandonBatch();
    state_ = State::Inactive;
    table_ = Table();
    keys_.clear();
    visible_.showAll(table_);
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

// A failed post throws before anything here changes; the row then goes back to what is stored, so no
// later move, keystroke or job posts it again.
void RecordSet::writeRow() {
    try {
        if (state_ == State::Insert) {
            postAppend();
        } else if (pending_.changed()) {
            postEdit();
        } else {
            cancel();
        }
    } catch (...) {
        cancel();
        throw;
    }
}

void RecordSet::postEdit() {
    const int position = cursor_.position();
    const std::size_t row = visible_.row(position);
    const std::vector<FieldChange> changes = pending_.changes(table_, row);
    std::optional<SentAhead> sent;
    if (sendingAhead()) {
        sent.emplace();
        sent->row = row;
        sent->position = position;
        for (const auto& change : changes)
            sent->originals.emplace_back(
                change.column, change.original ? std::optional<std::string>(*change.original) : std::nullopt);
    }
    connection_.store().update(tableName_, table_, keys_[row], changes);
    for (const auto& change : changes) table_.columns[change.column].set(row, change.value);
    visible_.snapshotChanged();
    endEditing();
    if (sent && sendingAhead()) {
        ahead_.push_back(std::move(*sent));
    } else {
        ++committedPosts_;
    }
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
    if (sendingAhead()) {
        ahead_.push_back({row, true, position, {}});
    } else {
        ++committedPosts_;
    }
    if (listener_ != nullptr) listener_->rowAppended(position);
    cursor_.arriveAt(position);
}

bool RecordSet::sendingAhead() const { return outcomes_ != nullptr; }

void RecordSet::beginBatch() {
    // A closed record set fails at its first post, as without a batch.
    if (!active() || outcomes_ != nullptr) return;
    auto outcomes = std::make_unique<Outcomes>(*this);
    if (connection_.store().beginBatch(*outcomes)) outcomes_ = std::move(outcomes);
}

void RecordSet::finishBatch() {
    if (outcomes_ == nullptr) return;
    connection_.store().finishBatch();
    outcomes_.reset();
}

void RecordSet::abandonBatch() noexcept {
    if (outcomes_ == nullptr) return;
    if (connection_.connected()) connection_.store().abandonBatch();
    outcomes_.reset();
    // Whatever the store could not tell is not known to be stored. Undoing only writes back what was
    // there before; should it fail all the same, those rows stay as they were sent.
    try {
        while (!ahead_.empty()) refusedAhead();
    } catch (...) {
        ahead_.clear();
    }
}

void RecordSet::committedAhead(std::optional<RowKey> key) {
    if (ahead_.empty()) return;
    const SentAhead& sent = ahead_.front();
    if (sent.appended && key) {
        keys_.set(sent.row, *key);
        // The row now reads as stored, database defaults included.
        visible_.snapshotChanged();
        if (listener_ != nullptr && sent.position < recordCount() && visible_.row(sent.position) == sent.row)
            listener_->rowChanged(sent.position);
    }
    ahead_.pop_front();
    ++committedPosts_;
}

// The change goes back to what the row held before it; an appended row goes, with every row after it,
// which were appended later in the batch and are refused with it.
void RecordSet::refusedAhead() {
    if (ahead_.empty()) return;
    const SentAhead sent = std::move(ahead_.front());
    ahead_.pop_front();
    if (sent.row >= keys_.size()) return;  // gone with an append refused before it
    if (sent.appended) {
        for (Column& column : table_.columns) column.truncate(sent.row);
        keys_.truncate(sent.row);
        visible_.truncate(sent.row);
        visible_.snapshotChanged();
        if (listener_ != nullptr) listener_->rowsReset();
        if (state_ != State::Insert && cursor_.position() >= recordCount()) cursor_.last(recordCount());
        return;
    }
    for (const auto& [column, original] : sent.originals) table_.columns[column].set(sent.row, original);
    visible_.snapshotChanged();
    if (listener_ != nullptr && sent.position < recordCount() && visible_.row(sent.position) == sent.row)
        listener_->rowChanged(sent.position);
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
        visible_.showAll(table_);
    }
    filtered_ = on;
    if (listener_ != nullptr) listener_->rowsReset();
    first();
}

void RecordSet::setSort(const std::optional<RowSort>& sort) {
    if (!active()) {
        if (sort && sort->column < 0) throw error("Field index out of range");
        visible_.setSort(sort, table_);
        return;
    }
    if (sort) field(sort->column);  // an unknown field throws before anything changes
    complete();
    if (sort == visible_.sort()) return;
    // The current row stays current, wherever the new order puts it.
    const int position = cursor_.position();
    const std::optional<std::size_t> current =
        position >= 0 ? std::optional<std::size_t>(visible_.row(position)) : std::nullopt;
    visible_.setSort(sort, table_);
    if (listener_ != nullptr) listener_->rowsReset();
    const int count = recordCount();
    int found = -1;
    for (int p = 0; current && p < count && found < 0; ++p) {
        if (visible_.row(p) == *current) found = p;
    }
    if (found >= 0) {
        cursor_.goTo(found, count);
    } else {
        cursor_.first(count);
    }
}

std::size_t RecordSet::memoryBytes() const {
    std::size_t bytes = sizeof(*this) + keys_.memoryBytes() + visible_.memoryBytes();
    for (const auto& column : table_.columns) bytes += column.memoryBytes();
    return bytes;
}

}  // namespace lumaref
