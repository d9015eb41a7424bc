#include "filter/filter_parser.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "text/ascii.h"
#include "text/error.h"
#include "text/number_text.h"
#include "text/text_fold.h"
#include "text/yes_no.h"

namespace lumaref {
namespace {

struct Literal {
    enum class Kind { Text, Number, Boolean, Null };
    Kind kind = Kind::Text;
    std::string text;  // a number as written
    double number = 0;
    bool boolean = false;
};

[[noreturn]] void reject() { throw Error(kFilterArgumentsError); }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Bytes of an unbracketed field name (E-ISSN, Current_Contents1, and names in any script).
bool isNameByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c) || c == '_' || c == '-' ||
           u >= 0x80;
}

// How early a term should run in an AND: cheap and likely selective first.
int costOf(const FilterNode& node) {
    if (node.kind != FilterNode::Kind::Compare) return 5;
    const Comparison& c = node.compare;
    if (c.kind == FieldKind::Text && c.op == CompareOp::Equal) return 1;
    if (c.kind == FieldKind::Boolean || c.op == CompareOp::IsNull || c.op == CompareOp::IsNotNull) return 2;
    if (c.kind == FieldKind::Text && c.op != CompareOp::Like) return 3;
    return 4;
}

class Parser {
public:
    Parser(std::string_view text, const Table& table) : text_(text), table_(table) {}

    std::unique_ptr<FilterNode> parse() {
        skipBlanks();
        if (pos_ == text_.size()) return nullptr;
        auto root = parseOr();
        skipBlanks();
        if (pos_ != text_.size()) reject();
        return root;
    }

private:
    void skipBlanks() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
    }

    bool acceptChar(char c) {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    // The very next byte, no blanks skipped: the second character of "<>", "<=", ">=".
    bool acceptNext(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    // A keyword in any letter case, as a whole word.
    bool acceptKeyword(std::string_view word) {
        skipBlanks();
        if (text_.size() - pos_ < word.size() ||
            !equalsIgnoringAsciiCase(text_.substr(pos_, word.size()), word))
            return false;
        const std::size_t end = pos_ + word.size();
        if (end < text_.size() && isNameByte(text_[end])) return false;
        pos_ = end;
        return true;
    }

    static std::unique_ptr<FilterNode> join(FilterNode::Kind kind,
                                            std::vector<std::unique_ptr<FilterNode>> parts) {
        if (parts.size() == 1) return std::move(parts.front());
        auto node = std::make_unique<FilterNode>();
        node->kind = kind;
        node->children = std::move(parts);
        if (kind == FilterNode::Kind::And) {
            std::stable_sort(node->children.begin(), node->children.end(),
                             [](const auto& a, const auto& b) { return costOf(*a) < costOf(*b); });
        }
        return node;
    }

    std::unique_ptr<FilterNode> parseOr() {
        std::vector<std::unique_ptr<FilterNode>> parts;
        parts.push_back(parseAnd());
        while (acceptKeyword("OR")) parts.push_back(parseAnd());
        return join(FilterNode::Kind::Or, std::move(parts));
    }

    std::unique_ptr<FilterNode> parseAnd() {
        std::vector<std::unique_ptr<FilterNode>> parts;
        parts.push_back(parsePrimary());
        while (acceptKeyword("AND")) parts.push_back(parsePrimary());
        return join(FilterNode::Kind::And, std::move(parts));
    }

    std::unique_ptr<FilterNode> parsePrimary() {
        if (!acceptChar('(')) return parseComparison();
        if (++depth_ > kMaxFilterNesting) reject();
        auto inner = parseOr();
        if (!acceptChar(')')) reject();
        --depth_;
        return inner;
    }

    std::unique_ptr<FilterNode> parseComparison() {
        const std::string name = parseFieldName();
        const int column = table_.findColumn(name);
        if (column < 0) reject();
        const CompareOp op = parseOperator();
        const Literal literal = parseLiteral();
        auto node = std::make_unique<FilterNode>();
        node->compare = resolve(column, op, literal);
        return node;
    }

    std::string parseFieldName() {
        skipBlanks();
        if (acceptChar('[')) {
            const std::size_t close = text_.find(']', pos_);
            if (close == std::string_view::npos) reject();
            std::string name(text_.substr(pos_, close - pos_));
            pos_ = close + 1;
            return name;
        }
        const std::size_t start = pos_;
        while (pos_ < text_.size() && isNameByte(text_[pos_])) ++pos_;
        if (pos_ == start) reject();
        return std::string(text_.substr(start, pos_ - start));
    }

    CompareOp parseOperator() {
        if (acceptKeyword("LIKE")) return CompareOp::Like;
        if (acceptChar('=')) return CompareOp::Equal;
        if (acceptChar('<')) {
            if (acceptNext('>')) return CompareOp::NotEqual;
            if (acceptNext('=')) return CompareOp::LessEqual;
            return CompareOp::Less;
        }
        if (acceptChar('>')) return acceptNext('=') ? CompareOp::GreaterEqual : CompareOp::Greater;
        reject();
    }

    Literal parseLiteral() {
        skipBlanks();
        if (pos_ == text_.size()) reject();
        const char c = text_[pos_];
        if (c == '\'' || c == '"') return Literal{Literal::Kind::Text, parseQuoted(c), 0, false};
        if (isDigit(c) || c == '+' || c == '-' || c == '.') return parseNumber();
        if (acceptKeyword("TRUE")) return Literal{Literal::Kind::Boolean, "True", 0, true};
        if (acceptKeyword("FALSE")) return Literal{Literal::Kind::Boolean, "False", 0, false};
        if (acceptKeyword("NULL")) return Literal{Literal::Kind::Null, "", 0, false};
        reject();
    }

    // 'text' or "text", a doubled quote standing for one.
    std::string parseQuoted(char quote) {
        std::string value;
        ++pos_;
        for (;;) {
            const std::size_t close = text_.find(quote, pos_);
            if (close == std::string_view::npos) reject();
            value.append(text_.substr(pos_, close - pos_));
            pos_ = close + 1;
            if (pos_ < text_.size() && text_[pos_] == quote) {
                value.push_back(quote);
                ++pos_;
            } else {
                return value;
            }
        }
    }

    Literal parseNumber() {
        const std::size_t start = pos_;
        if (text_[pos_] == '+' || text_[pos_] == '-') ++pos_;
        std::size_t digits = 0;
        const auto skipDigits = [&] {
            for (; pos_ < text_.size() && isDigit(text_[pos_]); ++pos_) ++digits;
        };
        skipDigits();
        if (acceptNext('.')) skipDigits();
        if (digits == 0 || (pos_ < text_.size() && (isNameByte(text_[pos_]) || text_[pos_] == '.'))) reject();
        Literal literal{Literal::Kind::Number, std::string(text_.substr(start, pos_ - start)), 0, false};
        const std::optional<double> value = parseReal(literal.text, NumberBlanks::SpacesAndTabs);
        if (!value) reject();
        literal.number = *value;
        return literal;
    }

    Comparison resolve(int column, CompareOp op, const Literal& literal) const {
        Comparison c;
        c.column = column;
        c.kind = table_.columns[static_cast<std::size_t>(column)].kind();
        c.op = op;
        if (literal.kind == Literal::Kind::Null) {
            // "= Null" asks whether the cell holds no value at all.
            if (op == CompareOp::Equal)
                c.op = CompareOp::IsNull;
            else if (op == CompareOp::NotEqual)
                c.op = CompareOp::IsNotNull;
            else
                reject();
            return c;
        }
        switch (c.kind) {
            case FieldKind::Boolean:
                if (op != CompareOp::Equal && op != CompareOp::NotEqual) reject();
                c.boolean = booleanOf(literal);
                break;
            case FieldKind::Integer:
            case FieldKind::Real:
                if (literal.kind == Literal::Kind::Boolean) reject();
                if (op == CompareOp::Like) {
                    c.pattern = LikePattern(literal.text);
                } else if (literal.kind == Literal::Kind::Number) {
                    c.number = literal.number;
                } else {
                    const std::optional<double> value = parseReal(literal.text, NumberBlanks::SpacesAndTabs);
                    if (!value) reject();
                    c.number = *value;
                }
                break;
            case FieldKind::Text:
                if (literal.kind == Literal::Kind::Boolean) reject();
                if (op == CompareOp::Like)
                    c.pattern = LikePattern(literal.text);
                else
                    c.text = foldText(literal.text, FoldMode::Case);
                break;
        }
        return c;
    }

    static bool booleanOf(const Literal& literal) {
        switch (literal.kind) {
            case Literal::Kind::Boolean:
                return literal.boolean;
            case Literal::Kind::Number:
                return literal.number != 0;
            case Literal::Kind::Text:
            case Literal::Kind::Null:
                break;
        }
        if (const std::optional<bool> yes = parseYesNo(trimmed(literal.text), kFilterYesNo)) return *yes;
        reject();
    }

    std::string_view text_;
    const Table& table_;
    std::size_t pos_ = 0;
    int depth_ = 0;
};

}  // namespace

std::unique_ptr<FilterNode> parseFilter(std::string_view criteria, const Table& table) {
    return Parser(criteria, table).parse();
}

}  // namespace lumaref
