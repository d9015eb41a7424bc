#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "filter/column.h"
#include "filter/filter.h"
#include "text/error.h"

struct sqlite3_stmt;

namespace lumaref {

class Connection;
class Statement;

// Told about changes so a view can follow the record set. Positions count visible rows from 0.
class RecordSetListener {
public:
    virtual ~RecordSetListener() = default;
    virtual void rowsReset() = 0;                // opened, closed, or a filter change
    virtual void rowChanged(int position) = 0;   // a posted edit
    virtual void rowAppended(int position) = 0;  // a posted new row, now the last visible one
    virtual void cursorMoved(int position) = 0;  // -1: no current row
};

// A static snapshot of one table, walked by a cursor, narrowed by a filter,
// edited and appended to with immediate posts. Named after its component (ADOQuery1...);
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
    void complete();
    void applyFilter(const std::string& text, bool on);
    void writeRow();
    void insertRow(const std::vector<std::size_t>& assigned);
    void moveTo(int position);
    std::size_t visibleRow(int position) const;
    // The kept statement known by key, prepared from sql() the first time.
    sqlite3_stmt* prepared(const std::string& key, const std::function<std::string()>& sql);
    sqlite3_stmt* prepared(const std::string& key, const std::string& sql);

    struct CachedFilter {
        std::string text;
        std::uint64_t version;
        bool all;
        std::vector<std::uint32_t> rows;
    };

    std::string name_;
    Connection& connection_;
    std::string tableName_;
    State state_ = State::Inactive;

    Table table_;
    std::vector<std::int64_t> rowIds_;
    std::vector<std::uint32_t> visible_;
    bool allVisible_ = true;  // visible_ unused: every row is visible in table order
    int position_ = -1;
    bool eof_ = true;
    bool bof_ = true;

    // Pending row: the assigned values and, for an edit, the row they replace.
    std::vector<std::optional<std::optional<std::string>>> pending_;
    bool pendingChanged_ = false;

    std::string filterText_;
    bool filtered_ = false;
    std::vector<CachedFilter> filterCache_;
    std::uint64_t dataVersion_ = 0;  // bumped by every post, so cached filter results stay true
    RecordSetListener* listener_ = nullptr;
    // Posts of one shape share their statement: a batch job posts the same one for every row.
    std::unordered_map<std::string, std::unique_ptr<Statement>> statements_;
    // An append's read-back and its transaction, kept beside the posts' statements.
    std::unique_ptr<Statement> readBack_;
    std::unique_ptr<Statement> begin_;
    std::unique_ptr<Statement> commit_;
    const void* statementsDb_ = nullptr;  // the connection handle the kept statements belong to
};

}  // namespace lumaref
