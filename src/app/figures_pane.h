#pragma once

#include <QWidget>

#include <map>
#include <string>
#include <vector>

#include "ranking/figure_columns.h"
#include "ranking/figure_filter.h"
#include "ranking/figure_lookup.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QTreeWidget;
class QChartView;
class QLineSeries;
class QValueAxis;

namespace lumaref {

// The current journal's figures in a window of its own, hidden until asked for: every figure by
// source, year and category, a small chart of JIF and SJR over the years, a year box per source for the
// grid's figure columns, and the filters on figures.
class FiguresPane : public QWidget {
    Q_OBJECT
public:
    explicit FiguresPane(QWidget* parent = nullptr);

    // The sources loaded: a year box each (a year still loaded stays chosen), and the own lists to
    // filter by.
    void setSources(const LoadedSources& loaded);
    // The current journal, "" with no figures for none.
    void showJournal(const QString& title, const std::vector<JournalFigure>& figures);

    // The year chosen for each source; a source left at its latest year is not named.
    ChosenYears chosenYears() const;
    FigureFilter filter() const;

signals:
    void yearsChanged();
    void filterChanged();

private:
    void makeChart();

    QLabel* journalLabel_ = nullptr;
    QFormLayout* yearForm_ = nullptr;
    std::map<std::string, QComboBox*> yearBoxes_;
    QCheckBox* openAccessBox_ = nullptr;
    QCheckBox* noApcBox_ = nullptr;
    QComboBox* quartileBox_ = nullptr;
    QComboBox* listBox_ = nullptr;
    QTreeWidget* figureList_ = nullptr;
    QLabel* creditLabel_ = nullptr;     // the DOAJ's licence asks for its name wherever its figures show
    QChartView* chartView_ = nullptr;   // made when a journal is first shown
    std::vector<QLineSeries*> series_;  // JIF, then SJR
    QValueAxis* yearAxis_ = nullptr;
    QValueAxis* valueAxis_ = nullptr;
};

}  // namespace lumaref
