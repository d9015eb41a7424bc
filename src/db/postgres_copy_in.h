#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lumaref {

class PgConnection;

// The rows of one COPY ... FROM STDIN, in COPY's text format, sent to the server a megabyte at a time.
class CopyInRows {
public:
    explicit CopyInRows(PgConnection& target) : target_(target) {}

    void field(std::optional<std::string_view> value);
    void endRow();
    void flush();

private:
    PgConnection& target_;
    std::string chunk_;
    bool rowStart_ = true;
};

// Runs `sql`, a COPY ... FROM STDIN, with the rows `write` makes. A failure while they are made ends the
// COPY with its text, so the server refuses the command and its transaction, and is rethrown; the
// server's own refusal throws once the rows are sent.
void copyRowsIn(PgConnection& target, const std::string& sql, const std::function<void(CopyInRows&)>& write);

}  // namespace lumaref
