#include "app/handler_guard.h"

#include <exception>

#include "db/connection.h"
#include "settings/access_database_advice.h"
#include "text/error.h"
#include "text/secret_mask.h"

namespace lumaref {

QString errorBoxText(const QString& message) {
    // Any UTF-16 unit of a character above U+002E, surrogates included, is itself above it.
    if (!message.isEmpty() && message.back().unicode() > u'.') return message + u'.';
    return message;
}

std::optional<QString> runCatching(const std::function<void()>& handler) {
    try {
        handler();
        return std::nullopt;
    } catch (const AccessDatabaseError& access) {
        return errorBoxText(QString::fromStdString(accessDatabaseAdvice(access)));
    } catch (const Error& e) {
        return errorBoxText(QString::fromUtf8(e.what()));
    } catch (const std::exception& e) {
        // Not one of ours, so not masked where it was made.
        return errorBoxText(QString::fromStdString(maskSecrets(e.what())));
    } catch (...) {
        return errorBoxText(QStringLiteral("Unexpected error"));
    }
}

}  // namespace lumaref
