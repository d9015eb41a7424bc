#pragma once

#include <string>
#include <vector>

namespace lumaref::test {

// One value as libmdb's own row binding gives it: text (dates as "%Y-%m-%dT%H:%M:%S", yes/no as 1/0),
// plus the stored day number of a date and the bytes of an OLE object.
struct ReferenceCell {
    std::string text;  // empty for null
    double days = 0;   // Date/Time only
    std::string ole;   // OLE Object only
};

struct ReferenceColumn {
    std::string name;
    int mdbType = 0;
};

struct ReferenceTable {
    std::string name;
    std::vector<ReferenceColumn> columns;
    std::vector<std::vector<ReferenceCell>> rows;
};

// Every user table of an Access file, read with libmdb's documented binding calls.
std::vector<ReferenceTable> readWithLibmdb(const std::string& path);

}  // namespace lumaref::test
