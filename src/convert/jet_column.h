#pragma once

#include <string>

namespace lumaref {

// How the values of one Access column are carried into SQLite.
enum class JetValueKind { YesNo, Integer, Single, Double, Currency, Date, Text, Decimal, Guid, Binary, Ole };

struct JetColumnMapping {
    JetValueKind kind;
    std::string declaredType;  // the SQLite column type Lumaref reads as the matching field kind
};

// The mapping of a libmdb column type (MDB_TEXT, ...). Throws Error naming table, column and type
// for a type with no faithful place in SQLite.
// textBytes: the stored size of a Text column (two bytes a character in Jet 4 and ACE files).
JetColumnMapping mapJetColumn(const std::string& table, const std::string& column, int mdbType, int textBytes,
                              bool jet3, int precision, int scale);

// The name Access gives a libmdb column type, for messages.
std::string jetTypeName(int mdbType);

}  // namespace lumaref
