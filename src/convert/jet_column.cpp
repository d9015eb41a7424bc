#include "convert/jet_column.h"

#include <mdbtools.h>

#include "text/error.h"

namespace lumaref {

std::string jetTypeName(int mdbType) {
    switch (mdbType) {
        case MDB_BOOL:
            return "Yes/No";
        case MDB_BYTE:
            return "Byte";
        case MDB_INT:
            return "Integer";
        case MDB_LONGINT:
            return "Long Integer";
        case MDB_MONEY:
            return "Currency";
        case MDB_FLOAT:
            return "Single";
        case MDB_DOUBLE:
            return "Double";
        case MDB_DATETIME:
            return "Date/Time";
        case MDB_BINARY:
            return "Binary";
        case MDB_TEXT:
            return "Text";
        case MDB_OLE:
            return "OLE Object";
        case MDB_MEMO:
            return "Memo";
        case MDB_REPID:
            return "Replication ID";
        case MDB_NUMERIC:
            return "Decimal";
        case MDB_COMPLEX:
            return "Attachment or multi-valued field";
        default:
            return "unknown type " + std::to_string(mdbType);
    }
}

JetColumnMapping mapJetColumn(const std::string& table, const std::string& column, int mdbType, int textBytes,
                              bool jet3, int precision, int scale) {
    switch (mdbType) {
        case MDB_BOOL:
            return {JetValueKind::YesNo, "BOOLEAN NOT NULL DEFAULT 0"};
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
            return {JetValueKind::Integer, "INTEGER"};
        case MDB_FLOAT:
            return {JetValueKind::Single, "REAL"};
        case MDB_DOUBLE:
            return {JetValueKind::Double, "DOUBLE"};
        case MDB_MONEY:
            return {JetValueKind::Currency, "DOUBLE"};
        // ISO 8601 text sorts and compares in date order.
        case MDB_DATETIME:
            return {JetValueKind::Date, "TEXT"};
        case MDB_TEXT: {
            const int characters = jet3 ? textBytes : textBytes / 2;
            return {JetValueKind::Text, characters > 0 ? "TEXT(" + std::to_string(characters) + ")" : "TEXT"};
        }
        case MDB_MEMO:
            return {JetValueKind::Text, "TEXT"};
        case MDB_REPID:
            return {JetValueKind::Guid, "TEXT(38)"};
        // Carried as decimal text: SQLite keeps it a number where that is exact, text where it is not.
        case MDB_NUMERIC:
            return {JetValueKind::Decimal,
                    "DECIMAL(" + std::to_string(precision) + "," + std::to_string(scale) + ")"};
        case MDB_BINARY:
            return {JetValueKind::Binary, "BLOB"};
        case MDB_OLE:
            return {JetValueKind::Ole, "BLOB"};
        default:
            throw Error("Table '" + table + "', field '" + column + "': the Access type '" +
                        jetTypeName(mdbType) + "' cannot be converted.");
    }
}

}  // namespace lumaref
