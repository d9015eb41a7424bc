#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/cursor.h"
#include "db/edit_buffer.h"
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

    void edit();
    void append();
    void post();
    void cancel();

    const std::string& filter() const { return filterText_; }
    void setFilter(std::string text);
    bool filtered() const { return filtered_; }
    void setFiltered(bool on);

    // The order the rows are shown in, by a field (positions as for field()), or stored order (nullopt).
    // It holds through filter changes; the cursor stays on its row. An unknown field throws. Closed,
    // the order is kept for the next open.
    void setSort(const std::optional<RowSort>& sort);
    const std::optional<RowSort>& sort() const { return visible_.sort(); }

    // Reading in place for a view: the value of a visible row without moving the cursor.
    std::string_view valueAt(int position, int field) const;
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

    std::string name_;
    Connection& connection_;
    std::string tableName_;
    State state_ = State::Inactive;

    Table table_;
    std::vector<RowKey> keys_;
    VisibleRows visible_;
    Cursor cursor_;
    EditBuffer pending_;

    std::string filterText_;
    bool filtered_ = false;
    RecordSetListener* listener_ = nullptr;
};

}  // namespace lumaref
