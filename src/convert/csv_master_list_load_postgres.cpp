// A master list onto a PostgreSQL server: read and decided as for a database file, written by COPY.
#include <charconv>
#include <optional>
#include <string_view>

#include "convert/csv_input.h"
#include "convert/csv_master_list_load.h"
#include "db/postgres_connection.h"
#include "db/postgres_copy_in.h"
#include "db/postgres_notifications.h"
#include "db/postgres_values.h"
#include "db/statement.h"
#include "db/store.h"
#include "text/error.h"
#include "text/value_text.h"

namespace lumaref {

namespace {

constexpr std::size_t kCategoryColumn = 4;  // in the order of kMasterListFields

constexpr const char* kColumnsSql =
    "SELECT a.attname, format_type(a.atttypid, a.atttypmod), a.attidentity <> '' FROM pg_attribute a "
    "WHERE a.attrelid = to_regclass($1) AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum";

struct ServerJournals {
    std::string keyColumn;  // the identity column
    std::array<FieldInfo, kMasterListFieldCount> fields;
};

ServerJournals journalsColumns(PgConnection& target) {
    const std::string table = quoteIdentifier(kJournalsTable);
    const std::optional<std::string_view> params[] = {std::string_view(table)};
    const PgResult columns = target.execPrepared(kColumnsSql, params);
    if (columns.rows() == 0) throw Error(missingTableMessage(kJournalsTable));
    ServerJournals journals;
    for (std::size_t i = 0; i < kMasterListFieldCount; ++i) journals.fields[i].name = kMasterListFields[i];
    for (int row = 0; row < columns.rows(); ++row) {
        const std::string_view name = columns.value(row, 0);
        if (columns.value(row, 2) == "t" && journals.keyColumn.empty()) journals.keyColumn = name;
        for (FieldInfo& field : journals.fields) {
            if (field.name == name) field = fieldFromPostgresType(field.name, columns.value(row, 1));
        }
    }
    if (journals.keyColumn.empty())
        throw Error("The journals table on the server has no key column." + std::string(kNothingLoaded));
    return journals;
}

std::string fieldList() {
    std::string list;
    for (const std::string_view field : kMasterListFields)
        list += (list.empty() ? "" : ", ") + quoteIdentifier(field);
    return list;
}

void copyIn(PgConnection& target, const std::vector<MasterListRow>& rows, const std::string& flag) {
    std::string columns = fieldList();
    if (!flag.empty()) columns += ", " + quoteIdentifier(flag);
    copyRowsIn(target, "COPY " + quoteIdentifier(kJournalsTable) + " (" + columns + ") FROM STDIN",
               [&](CopyInRows& copy) {
                   for (const MasterListRow& row : rows) {
                       // An empty value is stored as none, as the window leaves a field it has no value for.
                       for (const std::string_view value : row)
                           copy.field(value.empty() ? std::nullopt : std::optional<std::string_view>(value));
                       if (!flag.empty()) copy.field("t");
                       copy.endRow();
                   }
               });
}

// The keys as one array parameter: "{3,17,42}".
std::string keyArray(const std::vector<std::int64_t>& keys) {
    std::string array = "{";
    for (const std::int64_t key : keys) array += (array.size() > 1 ? "," : "") + std::to_string(key);
    return array + "}";
}

}  // namespace

MasterListLoadReport loadMasterListIntoDatabase(const MasterListLoadRequest& request, PgConnection& target) {
    MasterListToLoad load = readMasterListToLoad(request);
    const std::string table = quoteIdentifier(kJournalsTable);
    const std::string& flag = load.report.indexField;
    inOneTransaction(target, [&] {
        const ServerJournals journals = journalsColumns(target);
        const std::string key = quoteIdentifier(journals.keyColumn);
        // Another load between our read of the keys and our commit would add the same journals twice:
        // loads and posts wait for our commit, as they wait for an SQLite load's write lock; readers go on.
        target.exec("LOCK TABLE " + table + " IN SHARE ROW EXCLUSIVE MODE");

        MasterListMerge merge;
        IndexListing listing(load.list, withinFieldSize(journals.fields[kCategoryColumn], load.category));
        std::vector<std::int64_t> leftIndex;
        {
            const PgResult stored = target.exec(
                "SELECT " + key + ", " + quoteIdentifier(kIssnField) + ", " + quoteIdentifier(kEIssnField) +
                ", " + quoteIdentifier(kCategoryField) + ", " + quoteIdentifier(kSubjectField) +
                (flag.empty() ? std::string() : ", " + quoteIdentifier(flag)) + " FROM " + table);
            for (int row = 0; row < stored.rows(); ++row) {
                const std::string_view keyText = stored.value(row, 0);
                std::int64_t rowKey = 0;
                std::from_chars(keyText.data(), keyText.data() + keyText.size(), rowKey);
                merge.addStored(stored.value(row, 1), stored.value(row, 2), stored.value(row, 3),
                                stored.value(row, 4), rowKey);
                if (!flag.empty() && listing.hasLeft(stored.value(row, 3), stored.value(row, 5) == "t",
                                                     stored.value(row, 1), stored.value(row, 2)))
                    leftIndex.push_back(rowKey);
            }
        }
        const MasterListChanges changes = decideMasterListLoad(merge, load, journals.fields);

        if (!changes.added.empty()) copyIn(target, changes.added, flag);
        const auto setFlag = [&](const std::vector<std::int64_t>& keys, const char* value) {
            if (keys.empty()) return;
            const std::string array = keyArray(keys);
            const std::optional<std::string_view> params[] = {std::string_view(array)};
            target.execPrepared("UPDATE " + table + " SET " + quoteIdentifier(flag) + " = " + value +
                                    " WHERE " + key + " = ANY($1::bigint[])",
                                params);
        };
        if (!flag.empty()) {
            setFlag(changes.flagged, "true");
            load.report.flaggedNotListed = leftIndex.size();
            if (request.replaceIndex) {
                setFlag(leftIndex, "false");
                load.report.flagsCleared = leftIndex.size();
            }
        }
        notifyTableReplaced(target, kJournalsTable);
    });
    return load.report;
}

}  // namespace lumaref
