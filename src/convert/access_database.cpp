#include "convert/access_database.h"

#include <mdbtools.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "convert/access_catalog.h"
#include "convert/access_extent.h"
#include "convert/access_header.h"
#include "convert/jet_date.h"
#include "text/error.h"

namespace lumaref {

namespace {

constexpr int kRowOffsetMask = 0x1fff;
// libmdb copies an OLE value a page at a time through the column's bound buffer.
constexpr std::size_t kOleBufferBytes = std::size_t{64} * 1024;
constexpr std::size_t kLargestText = std::size_t{1} << 30;

MdbHandle* handleOf(void* mdb) { return static_cast<MdbHandle*>(mdb); }
MdbTableDef* tableOf(void* table) { return static_cast<MdbTableDef*>(table); }

struct GFreed {
    void operator()(char* text) const { g_free(text); }
};
using GText = std::unique_ptr<char, GFreed>;

// The catalogue's own row count; throws when its definition cannot be read or points past the file.
std::size_t catalogRows(MdbHandle* mdb, const std::string& path, std::size_t pages) {
    MdbCatalogEntry catalog{};
    catalog.mdb = mdb;
    catalog.object_type = MDB_TABLE;
    catalog.table_pg = 2;
    std::strcpy(catalog.object_name, "MSysObjects");
    const std::string what = "the list of tables of the Access file '" + path + "'";
    MdbTableDef* table = mdb_read_table(&catalog);
    if (table == nullptr) throw Error("Cannot read " + what + "; it may be damaged.");
    const bool inside = tablePagesWithinFile(*table, pages);
    const std::size_t rows = table->num_rows;
    mdb_free_tabledef(table);
    if (!inside)
        throw Error("In " + what + ", a page lies past the end of the file; it is damaged or incomplete.");
    return rows;
}

double parseNumber(const char* text) {
    double value = 0;
    const std::size_t length = std::strlen(text);
    std::from_chars(text, text + length, value);
    return value;
}

}  // namespace

struct AccessTable::Buffers {
    std::vector<MdbField> fields;
    std::vector<std::unique_ptr<char[]>> ole;  // per column, bound only for OLE columns
    MdbTableDef* table = nullptr;              // owned; freed first, also when opening the table fails

    Buffers() = default;
    Buffers(const Buffers&) = delete;
    Buffers& operator=(const Buffers&) = delete;
    ~Buffers() {
        if (table != nullptr) mdb_free_tabledef(table);
    }
};

AccessDatabase::AccessDatabase(const std::string& path, std::size_t textBufferBytes)
    : path_(path), textLimit_(std::max<std::size_t>(textBufferBytes, 16)) {
    const AccessHeader header = checkAccessFile(path);
    jet3_ = header.jet3;
    pages_ = header.fileSize / header.pageSize;
    MdbHandle* mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (mdb == nullptr) throw Error("Cannot read the Access file '" + path + "'.");
    mdb_ = mdb;
    try {
        // Every entry is read, of every kind, so the count can be held against the catalogue's own.
        const std::size_t declared = catalogRows(mdb, path, pages_);
        if (mdb_read_catalog(mdb, MDB_ANY) == nullptr) {
            throw Error("Cannot read the list of tables of the Access file '" + path +
                        "'; it may be damaged.");
        }
        if (mdb->num_catalog != declared) {
            throw Error("The list of tables of the Access file '" + path +
                        "' is damaged or incomplete: read " + std::to_string(mdb->num_catalog) + " of its " +
                        std::to_string(declared) + " entries.");
        }
        std::vector<CatalogEntry> entries;
        for (unsigned i = 0; i < mdb->num_catalog; ++i) {
            const auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            entries.push_back({entry->object_name, entry->object_type == MDB_TABLE, entry->table_pg,
                               static_cast<std::uint32_t>(entry->flags)});
        }
        tableNames_ = checkedUserTables(entries, definitionPageReader(path, jet3_), path);
    } catch (const Error&) {
        mdb_close(mdb);
        mdb_ = nullptr;
        throw;
    }
}

AccessDatabase::~AccessDatabase() {
    if (mdb_ != nullptr) mdb_close(handleOf(mdb_));
}

std::unique_ptr<AccessTable> AccessDatabase::openTable(const std::string& name) {
    return std::unique_ptr<AccessTable>(new AccessTable(*this, name));
}

void AccessDatabase::fieldText(int mdbType, int start, int size, std::string& out) {
    MdbHandle* mdb = handleOf(mdb_);
    // libmdb cuts text at its buffer size without saying so: a result that fills the buffer is read again
    // with a larger one.
    for (;;) {
        mdb_set_bind_size(mdb, textLimit_);
        const GText text(mdb_col_to_string(mdb, mdb->pg_buf, start, mdbType, size));
        const std::size_t length = text ? std::strlen(text.get()) : 0;
        if (length + 8 < textLimit_) {
            out.assign(text ? text.get() : "", length);
            return;
        }
        if (textLimit_ >= kLargestText)
            throw Error("A text value of '" + path_ + "' is too large to convert.");
        textLimit_ *= 4;
    }
}

AccessTable::AccessTable(AccessDatabase& database, std::string name)
    : database_(database), name_(std::move(name)), buffers_(std::make_unique<Buffers>()) {
    MdbHandle* mdb = handleOf(database.mdb_);
    MdbCatalogEntry* entry = nullptr;
    for (unsigned i = 0; i < mdb->num_catalog && entry == nullptr; ++i) {
        auto* candidate = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (candidate->object_type == MDB_TABLE && name_ == candidate->object_name) entry = candidate;
    }
    const std::string unreadable =
        "Cannot read table '" + name_ + "' of the Access file '" + database.path_ + "'";
    if (entry == nullptr) throw Error(unreadable + ": there is no such table.");
    MdbTableDef* table = mdb_read_table(entry);
    if (table == nullptr) throw Error(unreadable + "; the file may be damaged.");
    table_ = table;
    buffers_->table = table;
    if (!tablePagesWithinFile(*table, database.pages_)) {
        throw Error(unreadable + ": it points past the end of the file, which is damaged or incomplete.");
    }
    if (mdb_read_columns(table) == nullptr || table->num_cols == 0) {
        throw Error(unreadable + "; the file may be damaged.");
    }
    mdb_rewind_table(table);

    buffers_->fields.resize(table->num_cols);
    buffers_->ole.resize(table->num_cols);
    for (unsigned i = 0; i < table->num_cols; ++i) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        AccessColumn column{col->name, col->col_type,
                            mapJetColumn(name_, col->name, col->col_type, col->col_size, database.jet3_,
                                         col->col_prec, col->col_scale)};
        if (column.mapping.kind == JetValueKind::Ole) {
            buffers_->ole[i] = std::make_unique<char[]>(kOleBufferBytes);
            mdb_bind_column(table, static_cast<int>(i) + 1, buffers_->ole[i].get(), nullptr);
        }
        columns_.push_back(std::move(column));
    }
    values_.resize(columns_.size());
}

AccessTable::~AccessTable() = default;

std::size_t AccessTable::declaredRows() const { return tableOf(table_)->num_rows; }

bool AccessTable::next() {
    MdbTableDef* table = tableOf(table_);
    MdbHandle* mdb = handleOf(database_.mdb_);
    if (!mdb_fetch_row(table)) return false;

    // libmdb hands out values through bound text buffers, where a null and an empty text look alike;
    // the row's own fields keep them apart.
    int start = 0;
    std::size_t size = 0;
    int fieldCount = -1;
    if (table->cur_row > 0 && mdb_find_row(mdb, static_cast<int>(table->cur_row) - 1, &start, &size) == 0) {
        fieldCount = mdb_crack_row(table, start & kRowOffsetMask, size, buffers_->fields.data());
    }
    if (fieldCount < static_cast<int>(columns_.size())) {
        throw Error("Cannot read a row of table '" + name_ + "' of the Access file '" + database_.path_ +
                    "'; the file may be damaged.");
    }
    for (const MdbField& field : buffers_->fields) readValue(&field);
    return true;
}

void AccessTable::readValue(const void* fieldPointer) {
    const auto& field = *static_cast<const MdbField*>(fieldPointer);
    MdbTableDef* table = tableOf(table_);
    MdbHandle* mdb = handleOf(database_.mdb_);
    if (field.colnum < 0 || static_cast<std::size_t>(field.colnum) >= columns_.size()) {
        throw Error("Cannot read a row of table '" + name_ + "'; the file may be damaged.");
    }
    const std::size_t columnIndex = static_cast<std::size_t>(field.colnum);
    const AccessColumn& column = columns_[columnIndex];
    AccessValue& value = values_[columnIndex];
    const JetValueKind kind = column.mapping.kind;

    // Yes/No lives in the null mask: a set bit is Yes. It is never null.
    if (kind == JetValueKind::YesNo) {
        value.type = AccessValue::Type::Integer;
        value.integer = field.is_null ? 0 : 1;
        return;
    }
    if (field.is_null) {
        value.type = AccessValue::Type::Null;
        return;
    }
    if (field.start < 0 || field.siz < 0 || field.start + field.siz > mdb->fmt->pg_size) {
        throw Error("Cannot read a row of table '" + name_ + "'; the file may be damaged.");
    }
    unsigned char* page = mdb->pg_buf;
    const int start = field.start;
    switch (kind) {
        case JetValueKind::Integer:
            value.type = AccessValue::Type::Integer;
            if (column.mdbType == MDB_BYTE) {
                value.integer = mdb_get_byte(page, start);
            } else if (column.mdbType == MDB_INT) {
                value.integer = static_cast<std::int16_t>(mdb_get_int16(page, start));
            } else {
                value.integer =
                    static_cast<std::int32_t>(static_cast<std::uint32_t>(mdb_get_int32(page, start)));
            }
            return;
        case JetValueKind::Single: {
            // The shortest text that reads back as the same float: 0.1f stays 0.1, not 0.100000001490116.
            char text[32];
            const auto result = std::to_chars(text, text + sizeof text, mdb_get_single(page, start));
            value.type = AccessValue::Type::Real;
            std::from_chars(text, result.ptr, value.real);
            return;
        }
        case JetValueKind::Double:
            value.type = AccessValue::Type::Real;
            value.real = mdb_get_double(page, start);
            return;
        case JetValueKind::Currency: {
            const GText text(mdb_money_to_string(mdb, start));
            value.type = AccessValue::Type::Real;
            value.real = text ? parseNumber(text.get()) : 0;
            return;
        }
        case JetValueKind::Decimal: {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, columnIndex));
            const GText text(mdb_numeric_to_string(mdb, start, col->col_scale, col->col_prec));
            value.type = AccessValue::Type::Text;
            value.bytes = text ? text.get() : "";
            return;
        }
        case JetValueKind::Date: {
            const double days = mdb_get_double(page, start);
            const auto text = jetDateText(days);
            if (!text) {
                throw Error("Table '" + name_ + "', field '" + column.name + "': the Date/Time value " +
                            std::to_string(days) + " is not a date Access allows.");
            }
            value.type = AccessValue::Type::Text;
            value.bytes = *text;
            return;
        }
        case JetValueKind::Text:
        case JetValueKind::Guid:
            value.type = AccessValue::Type::Text;
            database_.fieldText(column.mdbType, start, field.siz, value.bytes);
            return;
        case JetValueKind::Binary:
            value.type = AccessValue::Type::Blob;
            value.bytes.assign(reinterpret_cast<const char*>(page) + start,
                               field.siz > 0 ? static_cast<std::size_t>(field.siz) : 0);
            return;
        case JetValueKind::Ole: {
            value.type = AccessValue::Type::Blob;
            value.bytes.clear();
            if (field.siz < MDB_MEMO_OVERHEAD) return;
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, columnIndex));
            std::size_t size = 0;
            void* data = mdb_ole_read_full(mdb, col, &size);
            if (data != nullptr) value.bytes.assign(static_cast<const char*>(data), size);
            std::free(data);
            return;
        }
        case JetValueKind::YesNo:
            return;
    }
}

}  // namespace lumaref
