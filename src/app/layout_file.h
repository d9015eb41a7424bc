#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace lumaref {

// What a user changed of the designed window, kept between starts in a file of its own.
struct SavedLayout {
    struct Column {
        QString field;  // the journals field the column shows
        int width = 0;
        bool hidden = false;
    };

    QByteArray geometry;          // QWidget::saveGeometry()
    std::vector<Column> columns;  // in the order shown, left to right
    QString sortField;            // empty: stored order
    bool sortDescending = false;
};

// The layout in `file`, or nullopt when there is none to use. A file that cannot be read, is damaged or
// comes from another version gives `problem` one line saying so, and nullopt.
std::optional<SavedLayout> readLayoutFile(const QString& file, QString& problem);
// Replaces `file` with the layout (written beside it, then renamed over it), making its folder if need
// be. False when it cannot be written.
bool writeLayoutFile(const QString& file, const SavedLayout& layout);

}  // namespace lumaref
