#include "convert/mdb_reference.h"

#include <gtest/gtest.h>
#include <mdbtools.h>

#include <cstdlib>
#include <memory>

namespace lumaref::test {

std::vector<ReferenceTable> readWithLibmdb(const std::string& path) {
    std::vector<ReferenceTable> tables;
    MdbHandle* mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (mdb == nullptr) {
        ADD_FAILURE() << "libmdb cannot open " << path;
        return tables;
    }
    mdb_set_date_fmt(mdb, "%Y-%m-%dT%H:%M:%S");
    mdb_set_shortdate_fmt(mdb, "%Y-%m-%dT%H:%M:%S");
    mdb_set_boolean_fmt_numbers(mdb);
    mdb_read_catalog(mdb, MDB_TABLE);
    for (unsigned t = 0; t < mdb->num_catalog; ++t) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, t));
        if (entry->object_type != MDB_TABLE || !mdb_is_user_table(entry)) continue;
        MdbTableDef* table = mdb_read_table(entry);
        mdb_read_columns(table);
        ReferenceTable reference{entry->object_name, {}, {}};
        std::vector<std::unique_ptr<char[]>> buffers;
        std::vector<int> lengths(table->num_cols);
        for (unsigned c = 0; c < table->num_cols; ++c) {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
            reference.columns.push_back({col->name, col->col_type});
            buffers.push_back(std::make_unique<char[]>(MDB_BIND_SIZE));
            mdb_bind_column(table, static_cast<int>(c) + 1, buffers.back().get(), &lengths[c]);
        }
        mdb_rewind_table(table);
        while (mdb_fetch_row(table)) {
            std::vector<ReferenceCell> row(table->num_cols);
            for (unsigned c = 0; c < table->num_cols; ++c) {
                auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
                const bool present = lengths[c] > 0;
                if (col->col_type == MDB_OLE) {
                    if (present && col->cur_value_len >= MDB_MEMO_OVERHEAD) {
                        std::size_t size = 0;
                        void* data = mdb_ole_read_full(mdb, col, &size);
                        row[c].ole.assign(static_cast<char*>(data), size);
                        std::free(data);
                    }
                    row[c].text = present ? "(ole)" : "";
                    continue;
                }
                row[c].text.assign(buffers[c].get(), static_cast<std::size_t>(lengths[c]));
                if (col->col_type == MDB_DATETIME && present) {
                    row[c].days = mdb_get_double(mdb->pg_buf, col->cur_value_start);
                }
            }
            reference.rows.push_back(std::move(row));
        }
        mdb_free_tabledef(table);
        tables.push_back(std::move(reference));
    }
    mdb_close(mdb);
    return tables;
}

}  // namespace lumaref::test
