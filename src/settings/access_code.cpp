#include "settings/access_code.h"

#include <crypt.h>

#include <memory>

#include "text/error.h"

namespace lumaref {

namespace {

// SHA-512 crypt: a check takes about a millisecond, so the gate can run on every keystroke.
constexpr const char* kMethod = "$6$";

// crypt_rn's answer, or empty when it could not hash with this setting.
std::string cryptText(std::string_view phrase, const std::string& setting) {
    const auto data = std::make_unique<crypt_data>();
    const char* hashed = crypt_rn(std::string(phrase).c_str(), setting.c_str(), data.get(), sizeof *data);
    // Failures read as a text starting with "*", never as a hash.
    if (hashed == nullptr || *hashed == '*') return {};
    return hashed;
}

}  // namespace

std::string hashAccessCode(std::string_view code) {
    if (code.empty()) throw Error("The access code is empty.");
    if (code.find_first_of("\r\n") != std::string_view::npos)
        throw Error("The access code must be one line.");
    char salt[CRYPT_GENSALT_OUTPUT_SIZE];
    if (crypt_gensalt_rn(kMethod, 0, nullptr, 0, salt, sizeof salt) == nullptr)
        throw Error("The system could not make a salt for the access code.");
    std::string hash = cryptText(code, salt);
    if (hash.empty()) throw Error("The system could not hash the access code.");
    return hash;
}

bool matchesAccessCodeHash(std::string_view typed, const std::string& hash) {
    const std::string computed = cryptText(typed, hash);
    if (computed.empty() || computed.size() != hash.size()) return false;
    // Every byte compared, so the time taken says nothing about how much matched.
    unsigned char difference = 0;
    for (std::size_t i = 0; i < hash.size(); ++i)
        difference |= static_cast<unsigned char>(computed[i] ^ hash[i]);
    return difference == 0;
}

void checkAccessCodeHash(const std::string& hash, const std::string& where) {
    if (hash.empty() || hash.front() != '$' || cryptText("", hash).empty()) {
        throw Error(where +
                    ": access-code= must be a hash made by 'lumaref --hash-code', not the code itself.");
    }
}

}  // namespace lumaref
