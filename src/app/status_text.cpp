#include "app/status_text.h"

#include <QLocale>

namespace lumaref {

QString countText(std::int64_t count) {
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(static_cast<qlonglong>(count));
}

}  // namespace lumaref
