#include "app/admin_gate.h"

#include <QByteArray>
#include <QCryptographicHash>

#include "app/captions.h"
#include "settings/access_code.h"

namespace lumaref {
namespace {

// SHA-256 of the administrator access code; the code itself is deliberately not stored.
constexpr unsigned char kAccessCodeDigest[] = {
    0xc6, 0xbb, 0x13, 0x04, 0x65, 0x2c, 0x06, 0xee, 0x05, 0xfa, 0xbe, 0xd2, 0x10, 0xc5, 0x74, 0x50,
    0x90, 0x9e, 0x64, 0x07, 0xef, 0x05, 0x24, 0xef, 0xfb, 0x5e, 0x1d, 0x37, 0x37, 0x4e, 0x62, 0x14};

bool isAccessCode(std::string_view text) {
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(text.data(), static_cast<qsizetype>(text.size())), QCryptographicHash::Sha256);
    // Compare every byte so the time taken says nothing about how much of the code matched.
    unsigned char difference = 0;
    for (qsizetype i = 0; i < digest.size(); ++i) {
        difference |= static_cast<unsigned char>(digest[i]) ^ kAccessCodeDigest[i];
    }
    return digest.size() == static_cast<qsizetype>(sizeof kAccessCodeDigest) && difference == 0;
}

}  // namespace

bool opensAdminMode(std::string_view searchText, std::string_view fieldChoice,
                    const std::optional<std::string>& accessCodeHash) {
    // The search text is looked at first; the field choice only once the code matched.
    if (!accessCodeHash) return isAccessCode(searchText) && fieldChoice == kAdminModeItem;
    // A salted hash costs a millisecond: checked only where the answer can be yes, which gives the
    // same answer.
    return fieldChoice == kAdminModeItem && matchesAccessCodeHash(searchText, *accessCodeHash);
}

}  // namespace lumaref
