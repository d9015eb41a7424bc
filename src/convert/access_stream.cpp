#include "convert/access_stream.h"

#include <cstring>

#include "text/error.h"

namespace lumaref {

namespace {

// Reads fixed and length-prefixed fields; short() tells an event cut at the end of the bytes so far.
class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : bytes_(bytes) {}

    bool number(std::uint64_t& value) {
        if (bytes_.size() - at_ < sizeof value) return false;
        std::memcpy(&value, bytes_.data() + at_, sizeof value);
        at_ += sizeof value;
        return true;
    }
    bool text(std::string& value) {
        std::uint64_t size = 0;
        if (!number(size)) return false;
        if (bytes_.size() - at_ < size) return false;
        value.assign(bytes_.data() + at_, static_cast<std::size_t>(size));
        at_ += static_cast<std::size_t>(size);
        return true;
    }
    bool byte(char& value) {
        if (at_ >= bytes_.size()) return false;
        value = bytes_[at_++];
        return true;
    }
    std::size_t used() const { return at_; }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

[[noreturn]] void garbled() { throw Error("The Access file's reader sent data it should not have."); }

}  // namespace

void StreamEncoder::number(std::uint64_t value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    buffer_.append(bytes, sizeof bytes);
}

void StreamEncoder::text(std::string_view value) {
    number(value.size());
    buffer_ += value;
}

void StreamEncoder::table(const AccessTable& table) {
    buffer_ += static_cast<char>(StreamEvent::Table);
    text(table.name());
    number(table.columns().size());
    for (const AccessColumn& column : table.columns()) {
        text(column.name);
        text(column.mapping.declaredType);
    }
    number(table.declaredRows());
}

void StreamEncoder::row(const std::vector<AccessValue>& values) {
    buffer_ += static_cast<char>(StreamEvent::Row);
    number(values.size());
    for (const AccessValue& value : values) {
        buffer_ += static_cast<char>(value.type);
        switch (value.type) {
            case AccessValue::Type::Null:
                break;
            case AccessValue::Type::Integer:
                number(static_cast<std::uint64_t>(value.integer));
                break;
            case AccessValue::Type::Real: {
                std::uint64_t bits = 0;
                std::memcpy(&bits, &value.real, sizeof bits);
                number(bits);
                break;
            }
            case AccessValue::Type::Text:
            case AccessValue::Type::Blob:
                text(value.bytes);
                break;
        }
    }
}

void StreamEncoder::failed(std::string_view message) {
    buffer_ += static_cast<char>(StreamEvent::Failed);
    text(message);
}

bool StreamDecoder::decode(std::string_view bytes, std::size_t& used) {
    FieldReader in(bytes);
    char kind = 0;
    if (!in.byte(kind)) return false;
    switch (static_cast<StreamEvent>(kind)) {
        case StreamEvent::Table: {
            std::uint64_t columns = 0;
            std::uint64_t rows = 0;
            if (!in.text(table_.name) || !in.number(columns)) return false;
            if (columns > bytes.size()) return false;  // cannot be whole yet, or is garbled
            table_.columns.resize(static_cast<std::size_t>(columns));
            for (StreamedTable::Column& column : table_.columns) {
                if (!in.text(column.name) || !in.text(column.declaredType)) return false;
            }
            if (!in.number(rows)) return false;
            table_.declaredRows = static_cast<std::size_t>(rows);
            break;
        }
        case StreamEvent::Row: {
            std::uint64_t count = 0;
            if (!in.number(count)) return false;
            if (count > bytes.size()) return false;
            values_.resize(static_cast<std::size_t>(count));
            for (AccessValue& value : values_) {
                char type = 0;
                if (!in.byte(type)) return false;
                value.type = static_cast<AccessValue::Type>(type);
                std::uint64_t bits = 0;
                switch (value.type) {
                    case AccessValue::Type::Null:
                        break;
                    case AccessValue::Type::Integer:
                        if (!in.number(bits)) return false;
                        value.integer = static_cast<long long>(bits);
                        break;
                    case AccessValue::Type::Real:
                        if (!in.number(bits)) return false;
                        std::memcpy(&value.real, &bits, sizeof bits);
                        break;
                    case AccessValue::Type::Text:
                    case AccessValue::Type::Blob:
                        if (!in.text(value.bytes)) return false;
                        break;
                    default:
                        garbled();
                }
            }
            break;
        }
        case StreamEvent::Failed:
            if (!in.text(message_)) return false;
            break;
        case StreamEvent::TableEnd:
        case StreamEvent::Done:
            break;
        default:
            garbled();
    }
    event_ = static_cast<StreamEvent>(kind);
    used = in.used();
    return true;
}

}  // namespace lumaref
