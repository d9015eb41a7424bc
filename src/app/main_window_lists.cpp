// The pick-list rebuild: categories, one subject list per category, and frequencies, from the journals.
#include <QComboBox>

#include "app/main_window.h"
#include "picklists/list_rebuild.h"
#include "picklists/pick_lists.h"

namespace lumaref {

namespace {

std::vector<std::string> itemsOf(const QComboBox* box) {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(box->count()));
    for (int i = 0; i < box->count(); ++i) items.push_back(box->itemText(i).toStdString());
    return items;
}

}  // namespace

void MainWindow::onUpdateCategoriesClicked() {
    applyCategories(collectFromEveryRow(data_.journals, kCategoryField, EmptyValues::Collect));
}

void MainWindow::applyCategories(const std::vector<std::string>& categories) {
    loadPickList(categoryBox_, categories, PickListText::Clear);
    // Refilled before writing, so a list that cannot be written leaves the new list shown.
    pickLists_->writeCategories(itemsOf(categoryBox_));
}

void MainWindow::onUpdateFrequenciesClicked() {
    loadPickList(frequencyBox_, collectFromEveryRow(data_.journals, kFrequencyField, EmptyValues::Skip),
                 PickListText::Clear);
    pickLists_->writeFrequencies(itemsOf(frequencyBox_));
}

// "Update lists". The lists are made from what the database holds at the click, read afresh in the
// rebuild's transaction, not from what this window read before: a window started earlier must not
// take back what another program added since. Any failure ends the run where it happened; the
// journals are left as they stand then, and the selection filter is not re-applied.
void MainWindow::onUpdateListsClicked() {
    startAdminJob();
    PickListRebuild rebuild(*pickLists_);
    data_.journals.refresh(TableChanges{data_.journals.table(), true, {}});
    // Every subject list's name is checked before the first list is written, so a category that
    // cannot name its file leaves all the lists agreeing with each other.
    const std::vector<std::string> categories =
        collectFromEveryRow(data_.journals, kCategoryField, EmptyValues::Collect);
    pickLists_->checkSubjectNames(categories);
    applyCategories(categories);
    rebuildSubjectLists(data_.journals, *pickLists_, itemsOf(categoryBox_));
    onUpdateFrequenciesClicked();
    rebuild.finish();
    prompts_.showMessage(QStringLiteral("Finish!"));
}

}  // namespace lumaref
