#include "app/status_text.h"

#include <QLocale>

namespace lumaref {

QString countText(std::int64_t count) {
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(static_cast<qlonglong>(count));
}

QString updateStatusText(const QString& what, std::int64_t updated, std::int64_t shown) {
    return QStringLiteral("%1: %2 of the %3 journals shown were updated")
        .arg(what, countText(updated), countText(shown));
}

}  // namespace lumaref
