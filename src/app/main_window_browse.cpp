// Browsing: the selection filter, the field search with the administrator gate, and the pick lists.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>

#include "app/admin_gate.h"
#include "app/captions.h"
#include "app/main_window.h"
#include "filter/search_condition.h"
#include "filter/selection_filter.h"
#include "picklists/pick_lists.h"

namespace lumaref {

namespace {

std::string textOf(const QComboBox* box) { return box->currentText().toStdString(); }

}  // namespace

void MainWindow::loadPickList(QComboBox* box, const std::vector<std::string>& items, PickListText keep) {
    const QString text = keep == PickListText::Keep ? box->currentText() : QString();
    QStringList list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items) list.append(QString::fromStdString(item));
    box->clear();
    box->addItems(list);
    // Adding to an empty list makes the first item current.
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

void MainWindow::applySelectionFilter() {
    if (journalsAway()) return;
    RecordSet& journals = data_.journals;
    journals.setFiltered(false);
    journals.setFilter(std::string());
    SelectionInputs inputs;
    inputs.category = textOf(categoryBox_);
    inputs.subject = textOf(subjectBox_);
    inputs.frequency = textOf(frequencyBox_);
    for (std::size_t i = 0; i < indexButtons_.size(); ++i) {
        if (indexButtons_[i]->isChecked()) inputs.indexButton = static_cast<int>(i) + 1;
    }
    journals.setFilter(selectionFilterText(inputs));
    journals.setFiltered(true);
    recordCountLabel_->setText(QString::number(journals.recordCount()));
}

// The hub of browsing: the administrator gate, then the selection filter with at most one search
// condition on top.
void MainWindow::onSearchTextChanged() {
    RecordSet& journals = data_.journals;
    const std::string searchText = searchEdit_->text().toStdString();
    const bool admin = opensAdminMode(searchText, textOf(searchFieldBox_), accessCodeHash_);
    for (QWidget* control : adminControls()) control->setEnabled(admin);
    if (journalsAway()) return;
    if (searchText.empty()) {
        applySelectionFilter();
        return;
    }
    journals.setFiltered(false);
    applySelectionFilter();
    const std::string condition =
        searchCondition(textOf(searchFieldBox_), searchText, journals.filter().empty());
    if (!condition.empty()) journals.setFilter(journals.filter() + condition);
    journals.setFiltered(true);
    recordCountLabel_->setText(QString::number(journals.recordCount()));
}

void MainWindow::onSearchFieldChanged() {
    searchTextLabel_->setText(QString::fromStdString(searchLabelCaption(textOf(searchFieldBox_))));
}

void MainWindow::onCategoryChanged() {
    const std::string category = textOf(categoryBox_);
    if (!category.empty()) {
        // A category with no list of its own (in files: none, or no valid file name) keeps the last one.
        if (const std::optional<std::vector<std::string>> subjects = pickLists_->subjects(category))
            loadPickList(subjectBox_, *subjects);
        subjectBox_->setEditText(QString());
    }
    onSearchTextChanged();
}

// Enter moves along category, subject, frequency and search text; the key itself goes on as usual.
void MainWindow::onSelectionBoxKeyPress(const QString& key, QWidget* next) {
    if (key == QLatin1String("\r")) next->setFocus();
}

}  // namespace lumaref
