#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "convert/access_database.h"

namespace lumaref {

// A table as the reading process describes it before its rows.
struct StreamedTable {
    struct Column {
        std::string name;
        std::string declaredType;
    };
    std::string name;
    std::vector<Column> columns;
    std::size_t declaredRows = 0;
};

// What the process that reads an Access file sends to the one that writes SQLite, in this order: per
// table its description, its rows and its end; then Done, or at any point Failed with a message.
enum class StreamEvent : char { Table = 'T', Row = 'R', TableEnd = 'E', Done = 'D', Failed = 'X' };

// Frames events into bytes; the caller sends buffer() and clears it when it is large enough.
class StreamEncoder {
public:
    void table(const AccessTable& table);
    void row(const std::vector<AccessValue>& values);
    void tableEnd() { buffer_ += static_cast<char>(StreamEvent::TableEnd); }
    void done() { buffer_ += static_cast<char>(StreamEvent::Done); }
    void failed(std::string_view message);

    std::string& buffer() { return buffer_; }

private:
    void number(std::uint64_t value);
    void text(std::string_view value);

    std::string buffer_;
};

// Decodes one event from the front of `bytes`; false when they do not yet hold a whole one. Throws
// Error for bytes no encoder writes.
class StreamDecoder {
public:
    bool decode(std::string_view bytes, std::size_t& used);

    StreamEvent event() const { return event_; }
    const StreamedTable& table() const { return table_; }
    const std::vector<AccessValue>& values() const { return values_; }
    const std::string& message() const { return message_; }

private:
    StreamEvent event_ = StreamEvent::Done;
    StreamedTable table_;
    std::vector<AccessValue> values_;
    std::string message_;
};

}  // namespace lumaref
