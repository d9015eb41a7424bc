#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "convert/jet_column.h"

namespace lumaref {

struct AccessColumn {
    std::string name;
    int mdbType = 0;
    JetColumnMapping mapping;
};

// One value of the current row, as it is written into SQLite.
struct AccessValue {
    enum class Type { Null, Integer, Real, Text, Blob };
    Type type = Type::Null;
    long long integer = 0;
    double real = 0;
    std::string bytes;  // Text (UTF-8) and Blob
};

class AccessDatabase;

// One user table, read row by row in file order.
class AccessTable {
public:
    ~AccessTable();
    AccessTable(const AccessTable&) = delete;
    AccessTable& operator=(const AccessTable&) = delete;

    const std::string& name() const { return name_; }
    const std::vector<AccessColumn>& columns() const { return columns_; }
    // The row count the table's definition records.
    std::size_t declaredRows() const;

    // Moves to the next row; false after the last. Throws Error for a row that cannot be read.
    bool next();
    // The values of the current row, one per column.
    const std::vector<AccessValue>& values() const { return values_; }

private:
    friend class AccessDatabase;
    AccessTable(AccessDatabase& database, std::string name);
    void readValue(const void* field);  // an MdbField

    AccessDatabase& database_;
    std::string name_;
    void* table_ = nullptr;  // MdbTableDef, owned by buffers_
    std::vector<AccessColumn> columns_;
    std::vector<AccessValue> values_;
    struct Buffers;
    std::unique_ptr<Buffers> buffers_;
};

// An Access (Jet 3, Jet 4 or ACE) file opened read-only through libmdb. Text comes out in the encoding
// the environment's MDB_ICONV names to libmdb; the program sets it to UTF-8 before opening any file.
class AccessDatabase {
public:
    // Throws Error for a missing, unreadable, damaged or non-Access file.
    // textBufferBytes: the first buffer size tried for a text value; larger values are read again.
    explicit AccessDatabase(const std::string& path, std::size_t textBufferBytes = 16384);
    ~AccessDatabase();
    AccessDatabase(const AccessDatabase&) = delete;
    AccessDatabase& operator=(const AccessDatabase&) = delete;

    const std::string& path() const { return path_; }
    bool jet3() const { return jet3_; }
    // The user tables, in catalogue order; system and linked tables are left out.
    const std::vector<std::string>& tableNames() const { return tableNames_; }
    // Throws Error when the table cannot be read or has a column that cannot be converted.
    std::unique_ptr<AccessTable> openTable(const std::string& name);

private:
    friend class AccessTable;
    // Text of a Text, Memo or Replication ID field, never cut at libmdb's buffer size.
    void fieldText(int mdbType, int start, int size, std::string& out);

    std::string path_;
    bool jet3_ = false;
    std::size_t pages_ = 0;
    void* mdb_ = nullptr;  // MdbHandle
    std::vector<std::string> tableNames_;
    std::size_t textLimit_;
};

}  // namespace lumaref
