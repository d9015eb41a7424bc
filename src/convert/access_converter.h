#pragma once

#include <cstddef>
#include <string>

namespace lumaref {

// Told about each table as it is copied; every call may be left empty.
class ConversionObserver {
public:
    virtual ~ConversionObserver() = default;
    virtual void tableStarted(const std::string& /*table*/, std::size_t /*rows*/) {}
    // Called every few thousand rows and once at the end of the table.
    virtual void rowsCopied(const std::string& /*table*/, std::size_t /*done*/, std::size_t /*rows*/) {}
};

struct ConversionSummary {
    std::size_t tables = 0;
    std::size_t rows = 0;
};

// Copies every user table of the Access file `source` into a new SQLite database at `target`:
// names unchanged, column types Lumaref's field kinds understand, every row, nulls as nulls, text exactly.
// The target appears only when every table converted; the source is only read.
// Throws Error with a message for the user on any failure, a stop request (asked before each table and
// every few hundred rows) included; nothing is then left at or beside the target.
ConversionSummary convertAccessDatabase(const std::string& source, const std::string& target,
                                        bool replaceExisting, ConversionObserver* observer = nullptr);

}  // namespace lumaref
