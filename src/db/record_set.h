#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/cursor.h"
#include "db/edit_buffer.h"
#include "db/row_keys.h"
#include "db/store.h"
#include "db/visible_rows.h"
#include "filter/column.h"
#include "text/error.h"

namespace lumaref {

class Connection;

// Told about changes so a view can follow the record set. Positions count visible rows from 0.
class RecordSetListener {
public:
    virtual ~RecordSetListener() = default;
    virtual void rowsReset() = 0;                // opened, closed, or a filter change
    virtual void rowChanged(int position) = 0;   // a posted edit
    virtual void rowAppended(int position) = 0;  // a posted new row, now the last visible one
    virtual void cursorMoved(int position) = 0;  // -1: no current row
};

// A static snapshot of one table, walked by a cursor, narrowed by a filter, edited and appended to
// with immediate posts through its connection's store. Named after its component (ADOQuery1...);
// its own errors carry that name as a prefix.
class RecordSet {
public:
    enum class State { Inactive, Browse, Edit, Insert };

    RecordSet(std::string name, Connection& connection, std::string table);
    ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    const std::string& name() const { return name_; }
    const std::string& table() const { return tableName_; }

    // Opens the connection first if it is closed. Throws the provider's text and stays closed on failure.
    void open();
    void close();
    bool active() const { return state_ != State::Inactive; }
    State state() const { return state_; }

    // Cursor. Every move first completes the pending row.
    void first();
    void next();
    void prior();
    void last();
    bool eof() const;
    bool bof() const;
    int recordCount() const;
    // Position of the current row among the visible rows from 1; -1 with no row or while appending.
    int recNo() const;
    void setRecNo(int recNo);

    // Fields, by position from 0 in table order or by name in any letter case.
    int fieldCount() const;
    const FieldInfo& field(int index) const;
    std::string fieldAsString(std::string_view name) const;
    std::string fieldAsString(int index) const;
    void setFieldAsString(std::string_view name, std::string_view value);
    void setFieldAsString(int index, std::string_view value);
    // The position of the field named `name` in any letter case; throws "Field '%s' not found".
    int fieldIndex(std::string_view name) const;

    // Takes in what other programs committed to the table (Store::othersChanges): the rows named, or
    // with everyRow the whole table, are read again. The filter stays and is applied to them; the
    // current row stays current, found again by its key, or gives way to the row now at its position
    // when the filter no longer selects it. Returns how many rows differ from what the snapshot held:
    // changed, new or gone. Not while a row is being edited or appended.
    std::size_t refresh(const TableChanges& changes);

    void edit();
    void append();
    // A post the store refuses throws, and the row returns to what is stored: nothing stays pending
    // for a later move to post again.
    void post();
    void cancel();

    // A batch job's posts may travel ahead of the store's answers (Store::beginBatch), each still its
    // own commit. A change shows at once; a post the store refuses is undone when its answer comes (with
    // the posts it takes along) and throws from the call that learns of it. finishBatch waits for every
    // answer and throws the first refusal; abandonBatch waits without throwing. PostBatch holds one.
    void beginBatch();
    void finishBatch();
    void abandonBatch() noexcept;
    // How many posts of this record set have been committed since it was made.
    std::int64_t committedPosts() const { return committedPosts_; }

    const std::string& filter() const { return filterText_; }
    void setFilter(std::string text);
    bool filtered() const { return filtered_; }
    void setFiltered(bool on);

    // The order the rows are shown in, by a field (positions as for field()), or stored order (nullopt).
    // It holds through filter changes; the cursor stays on its row. An unknown field throws. Closed,
    // the order is kept for the next open.
    // With a `key`, a column of values one per row of the snapshot, the rows are shown in its order
    // and the sort's column is not read (see VisibleRows::setSort).
    void setSort(const std::optional<RowSort>& sort, std::shared_ptr<const Column> key = nullptr);
    const std::optional<RowSort>& sort() const { return visible_.sort(); }
    // Orders of large columns are read from and kept in `orders` (see SavedOrders).
    void keepOrdersIn(std::shared_ptr<const SavedOrders> orders) { visible_.keepOrdersIn(std::move(orders)); }
    const std::shared_ptr<const Column>& sortKey() const { return visible_.sortKey(); }

    // Leaves out the rows whose flag is false (one per row of the snapshot, in snapshot order) beside
    // the filter, until it is set to null; a row appended after it was made is shown. A reload drops it.
    void setRowMask(std::shared_ptr<const std::vector<bool>> mask);
    bool rowMasked() const { return visible_.masked(); }

    // Reading in place for a view: the value of a visible row without moving the cursor.
    std::string_view valueAt(int position, int field) const;
    // The row of the snapshot a visible row is (0 <= position < recordCount()).
    std::size_t snapshotRow(int position) const { return visible_.row(position); }
    int currentPosition() const;  // -1 with no current row
    // Every row as loaded and posted, whatever the filter.
    const Table& snapshot() const { return table_; }
    void setListener(RecordSetListener* listener) { listener_ = listener; }

    std::size_t memoryBytes() const;

private:
    Error error(const std::string& text) const;
    void requireActive() const;
    bool editing() const { return state_ == State::Edit || state_ == State::Insert; }
    void complete();
    void writeRow();
    void postEdit();
    void postAppend();
    void endEditing();
    // refresh()'s two ways: the rows named, or every row; each returns the rows that differ and
    // leaves the rows shown up to date, telling whether they are other rows than before.
    std::size_t refreshRows(const std::vector<RowKey>& keys, bool& reshaped);
    std::size_t reloadEveryRow();

    // A post sent ahead and not yet committed: enough to undo it.
    struct SentAhead {
        std::size_t row = 0;
        bool appended = false;
        int position = -1;  // where it was shown when posted
        std::vector<std::pair<std::size_t, std::optional<std::string>>> originals;  // an edit's fields
    };
    class Outcomes;
    friend class Outcomes;
    bool sendingAhead() const;
    void committedAhead(std::optional<RowKey> key);
    void refusedAhead();

    std::string name_;
    Connection& connection_;
    std::string tableName_;
    State state_ = State::Inactive;

    Table table_;
    RowKeys keys_;
    VisibleRows visible_;
    Cursor cursor_;
    EditBuffer pending_;

    std::string filterText_;
    bool filtered_ = false;
    RecordSetListener* listener_ = nullptr;

    std::unique_ptr<Outcomes> outcomes_;  // while a batch sends posts ahead
    std::deque<SentAhead> ahead_;
    std::int64_t committedPosts_ = 0;
};

// A batch of posts on `records` for as long as it lives: finish() waits for every answer and throws
// the first refusal; a batch left by an error waits for its answers without throwing.
class PostBatch {
public:
    explicit PostBatch(RecordSet& records) : records_(records) { records_.beginBatch(); }
    ~PostBatch() { records_.abandonBatch(); }
    PostBatch(const PostBatch&) = delete;
    PostBatch& operator=(const PostBatch&) = delete;
    void finish() { records_.finishBatch(); }

private:
    RecordSet& records_;
};

}  // namespace lumaref
