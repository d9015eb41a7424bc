#include "app/figures_pane.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

#include "ranking/figure_columns.h"
#include "ranking/figure_history.h"

namespace lumaref {

namespace {

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What the chart draws: a metric of a source, under its own name.
struct Charted {
    const char* source;
    const char* metric;
};
constexpr Charted kCharted[] = {{"JCR", "JIF"}, {"SJR", "SJR"}};

constexpr const char* kAny = "Any";

}  // namespace

FiguresPane::FiguresPane(QWidget* parent) : QWidget(parent, Qt::Tool) {
    auto* layout = new QVBoxLayout(this);

    journalLabel_ = new QLabel(this);
    journalLabel_->setObjectName(QStringLiteral("FiguresJournal"));
    journalLabel_->setWordWrap(true);
    layout->addWidget(journalLabel_);

    figureList_ = new QTreeWidget(this);
    figureList_->setObjectName(QStringLiteral("FiguresList"));
    figureList_->setRootIsDecorated(false);
    figureList_->setUniformRowHeights(true);
    figureList_->setHeaderLabels({QStringLiteral("Source"), QStringLiteral("Year"),
                                  QStringLiteral("Category"), QStringLiteral("Figure"),
                                  QStringLiteral("Value")});
    layout->addWidget(figureList_, 3);
    creditLabel_ =
        new QLabel(QString::fromUtf8(kDoajCredit.data(), static_cast<qsizetype>(kDoajCredit.size())), this);
    creditLabel_->setObjectName(QStringLiteral("FiguresCredit"));
    creditLabel_->setWordWrap(true);
    creditLabel_->hide();
    layout->addWidget(creditLabel_);

    // The chart's place: the chart itself is made with the first journal shown.
    auto* chartPlace = new QWidget(this);
    chartPlace->setObjectName(QStringLiteral("FiguresChartPlace"));
    chartPlace->setLayout(new QVBoxLayout);
    chartPlace->layout()->setContentsMargins(0, 0, 0, 0);
    chartPlace->setMinimumHeight(180);
    layout->addWidget(chartPlace, 2);

    auto* form = new QFormLayout;
    yearForm_ = new QFormLayout;
    layout->addLayout(yearForm_);
    openAccessBox_ = new QCheckBox(QStringLiteral("Open access only"), this);
    openAccessBox_->setObjectName(QStringLiteral("FiguresOpenAccess"));
    noApcBox_ = new QCheckBox(QStringLiteral("No APC"), this);
    noApcBox_->setObjectName(QStringLiteral("FiguresNoApc"));
    quartileBox_ = new QComboBox(this);
    quartileBox_->setObjectName(QStringLiteral("FiguresQuartile"));
    quartileBox_->addItems({QString::fromLatin1(kAny), QStringLiteral("Q1"), QStringLiteral("Q2"),
                            QStringLiteral("Q3"), QStringLiteral("Q4")});
    listBox_ = new QComboBox(this);
    listBox_->setObjectName(QStringLiteral("FiguresOwnList"));
    listBox_->addItem(QString::fromLatin1(kAny));
    form->addRow(openAccessBox_);
    form->addRow(noApcBox_);
    form->addRow(QStringLiteral("Q in subject at most:"), quartileBox_);
    form->addRow(QStringLiteral("On the list:"), listBox_);
    layout->addLayout(form);

    connect(openAccessBox_, &QCheckBox::toggled, this, &FiguresPane::filterChanged);
    connect(noApcBox_, &QCheckBox::toggled, this, &FiguresPane::filterChanged);
    connect(quartileBox_, &QComboBox::activated, this, &FiguresPane::filterChanged);
    connect(listBox_, &QComboBox::activated, this, &FiguresPane::filterChanged);
}

void FiguresPane::setSources(const LoadedSources& loaded) {
    for (const auto& [source, years] : loaded.years) {
        QComboBox*& box = yearBoxes_[source];
        const QString chosen = box != nullptr ? box->currentText() : QString();
        if (box == nullptr) {
            box = new QComboBox(this);
            box->setObjectName(QStringLiteral("FiguresYear") + qText(source));
            yearForm_->addRow(qText(source) + QStringLiteral(" year:"), box);
            connect(box, &QComboBox::activated, this, &FiguresPane::yearsChanged);
        }
        box->clear();
        box->addItem(QStringLiteral("Latest"));
        for (const int year : years) box->addItem(QString::number(year));
        box->setCurrentIndex(std::max(0, box->findText(chosen)));
        box->setEnabled(!years.empty());
    }
    const QString list = listBox_->currentText();
    listBox_->clear();
    listBox_->addItem(QString::fromLatin1(kAny));
    for (const std::string& name : loaded.ownLists) listBox_->addItem(qText(name));
    listBox_->setCurrentIndex(std::max(0, listBox_->findText(list)));
}

ChosenYears FiguresPane::chosenYears() const {
    ChosenYears years;
    for (const auto& [source, box] : yearBoxes_) {
        if (box->currentIndex() > 0) years[source] = box->currentText().toInt();
    }
    return years;
}

FigureFilter FiguresPane::filter() const {
    FigureFilter filter;
    filter.openAccessOnly = openAccessBox_->isChecked();
    filter.noApc = noApcBox_->isChecked();
    if (quartileBox_->currentIndex() > 0) filter.subjectQuartileAtMost = quartileBox_->currentIndex();
    if (listBox_->currentIndex() > 0) filter.ownList = listBox_->currentText().toStdString();
    return filter;
}

void FiguresPane::showJournal(const QString& title, const std::vector<JournalFigure>& figures) {
    journalLabel_->setText(title);
    figureList_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(figures.size()));
    for (const JournalFigure& figure : figures) {
        items.append(new QTreeWidgetItem(
            {qText(figure.source), figure.year ? QString::number(*figure.year) : QString(),
             qText(figure.category), qText(figure.metric), qText(figure.value)}));
    }
    figureList_->addTopLevelItems(items);
    creditLabel_->setVisible(std::any_of(
        figures.begin(), figures.end(), [](const JournalFigure& figure) { return figure.source == "DOAJ"; }));
    if (chartView_ == nullptr) makeChart();
    double low = 0;
    double high = 0;
    int first = 0;
    int last = 0;
    bool any = false;
    for (std::size_t i = 0; i < std::size(kCharted); ++i) {
        QList<QPointF> points;
        for (const auto& [year, value] : yearlyFigures(figures, kCharted[i].source, kCharted[i].metric)) {
            points.append(QPointF(year, value));
            high = std::max(high, value);
            low = std::min(low, value);
            first = any ? std::min(first, year) : year;
            last = any ? std::max(last, year) : year;
            any = true;
        }
        series_[i]->replace(points);
    }
    yearAxis_->setRange(first - (first == last ? 1 : 0), last + (first == last ? 1 : 0));
    yearAxis_->setTickCount(std::clamp(last - first + 1, 2, 11));
    valueAxis_->setRange(low, high > low ? high * 1.1 : low + 1);
    chartView_->setVisible(any);
}

void FiguresPane::makeChart() {
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    yearAxis_ = new QValueAxis(chart);
    yearAxis_->setLabelFormat(QStringLiteral("%d"));
    valueAxis_ = new QValueAxis(chart);
    chart->addAxis(yearAxis_, Qt::AlignBottom);
    chart->addAxis(valueAxis_, Qt::AlignLeft);
    for (const Charted& charted : kCharted) {
        auto* line = new QLineSeries(chart);
        line->setName(QString::fromLatin1(charted.metric));
        line->setPointsVisible(true);
        chart->addSeries(line);
        line->attachAxis(yearAxis_);
        line->attachAxis(valueAxis_);
        series_.push_back(line);
    }
    chartView_ = new QChartView(chart);
    chartView_->setObjectName(QStringLiteral("FiguresChart"));
    chartView_->setRenderHint(QPainter::Antialiasing);
    findChild<QWidget*>(QStringLiteral("FiguresChartPlace"))->layout()->addWidget(chartView_);
}

}  // namespace lumaref
