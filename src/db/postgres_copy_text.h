#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumaref {

// PostgreSQL's COPY text format: fields separated by tabs, rows ended by a newline, null written \N,
// and a backslash before b, f, n, r, t, v, a backslash or octal/hex digits standing for that byte.

// The fields of one row (its newline, if any, is ignored). Views stay valid until the next read.
class CopyRowReader {
public:
    void read(std::string_view line);
    std::size_t size() const { return fields_.size(); }
    std::optional<std::string_view> field(std::size_t index) const { return fields_[index]; }

private:
    std::vector<std::optional<std::string_view>> fields_;
    // One per field that held an escape, reused row after row; a deque, so that growing it leaves the
    // fields already read where they are.
    std::deque<std::string> unescaped_;
};

// Appends one field to a row being written; `first` leaves out the tab before it.
void appendCopyField(std::string& row, std::optional<std::string_view> value, bool first);

}  // namespace lumaref
