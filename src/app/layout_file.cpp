#include "app/layout_file.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace lumaref {

namespace {

// The form of the file. Another number is another program's idea of it: read as nothing.
constexpr int kLayoutVersion = 1;
constexpr int kMaxWidth = 10000;

QString damaged(const QString& file) {
    return QStringLiteral("The saved layout %1 could not be read: the designed layout is shown.").arg(file);
}

}  // namespace

std::optional<SavedLayout> readLayoutFile(const QString& file, QString& problem) {
    problem.clear();
    if (!QFileInfo(file).exists()) return std::nullopt;
    const QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        problem = damaged(file);
        return std::nullopt;
    }
    bool ok = false;
    const int version = settings.value(QStringLiteral("version")).toString().toInt(&ok);
    if (ok && version != kLayoutVersion) {
        problem = QStringLiteral(
                      "The saved layout %1 is from another version of Lumaref: the designed layout is shown.")
                      .arg(file);
        return std::nullopt;
    }
    const QStringList fields = settings.value(QStringLiteral("columns")).toStringList();
    const QStringList widths = settings.value(QStringLiteral("widths")).toStringList();
    const QStringList hidden = settings.value(QStringLiteral("hidden")).toStringList();
    const QString sortOrder =
        settings.value(QStringLiteral("sortOrder"), QStringLiteral("ascending")).toString();
    SavedLayout layout;
    layout.geometry = settings.value(QStringLiteral("geometry")).toByteArray();
    layout.sortField = settings.value(QStringLiteral("sort")).toString();
    layout.sortDescending = sortOrder == QLatin1String("descending");
    bool valid = ok && fields.size() == widths.size() &&
                 (sortOrder == QLatin1String("ascending") || layout.sortDescending);
    for (qsizetype i = 0; valid && i < fields.size(); ++i) {
        const int width = widths[i].toInt(&ok);
        valid = ok && width > 0 && width <= kMaxWidth && !fields[i].isEmpty();
        layout.columns.push_back({fields[i], width, hidden.contains(fields[i])});
    }
    for (const QString& field : hidden) valid = valid && fields.contains(field);
    if (!valid) {
        problem = damaged(file);
        return std::nullopt;
    }
    return layout;
}

bool writeLayoutFile(const QString& file, const SavedLayout& layout) {
    QSettings settings(file, QSettings::IniFormat);
    settings.clear();
    settings.setValue(QStringLiteral("version"), kLayoutVersion);
    settings.setValue(QStringLiteral("geometry"), layout.geometry);
    QStringList fields;
    QStringList widths;
    QStringList hidden;
    for (const SavedLayout::Column& column : layout.columns) {
        fields.append(column.field);
        widths.append(QString::number(column.width));
        if (column.hidden) hidden.append(column.field);
    }
    settings.setValue(QStringLiteral("columns"), fields);
    settings.setValue(QStringLiteral("widths"), widths);
    settings.setValue(QStringLiteral("hidden"), hidden);
    if (!layout.sortField.isEmpty()) {
        settings.setValue(QStringLiteral("sort"), layout.sortField);
        settings.setValue(QStringLiteral("sortOrder"),
                          layout.sortDescending ? QStringLiteral("descending") : QStringLiteral("ascending"));
    }
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace lumaref
