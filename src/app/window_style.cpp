#include "app/window_style.h"

#include <QFontDatabase>
#include <QStringList>

namespace lumaref::style {

namespace {

QString firstInstalled(const QStringList& candidates) {
    for (const QString& family : candidates) {
        if (QFontDatabase::hasFamily(family)) return family;
    }
    return QFont().family();
}

const QString& tahomaFamily() {
    static const QString family =
        firstInstalled({"Tahoma", "DejaVu Sans Condensed", "DejaVu Sans", "Noto Sans", "Liberation Sans"});
    return family;
}

const QString& sansSerifFamily() {
    static const QString family = firstInstalled({"MS Sans Serif", "Microsoft Sans Serif", "Tahoma",
                                                  "DejaVu Sans Condensed", "DejaVu Sans", "Liberation Sans"});
    return family;
}

}  // namespace

QFont tahoma(int pixelSize, bool bold) {
    QFont font(tahomaFamily());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont windowDefault() {
    QFont font(sansSerifFamily());
    font.setPixelSize(11);
    return font;
}

}  // namespace lumaref::style
