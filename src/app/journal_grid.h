#pragma once

#include <QTableView>

namespace lumaref {

// The read-only journal grid. Typing in it searches nothing: a keyboard search would walk the rows.
class JournalGrid : public QTableView {
    Q_OBJECT
public:
    explicit JournalGrid(QWidget* parent = nullptr);

    void keyboardSearch(const QString& search) override;
};

}  // namespace lumaref
