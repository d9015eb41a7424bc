// The pick-list rebuild: categories, one subject list per category, and frequencies, from the journals.
#include <QComboBox>

#include "app/main_window.h"
#include "picklists/list_file.h"
#include "picklists/list_rebuild.h"

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
    // Refilled before writing, so a file that cannot be written leaves the new list shown.
    writeListFile(categoriesListPath(listFolder_), itemsOf(categoryBox_));
}

void MainWindow::onUpdateFrequenciesClicked() {
    loadPickList(frequencyBox_, collectFromEveryRow(data_.journals, kFrequencyField, EmptyValues::Skip),
                 PickListText::Clear);
    writeListFile(frequenciesListPath(listFolder_), itemsOf(frequencyBox_));
}

// "Update lists". Any failure ends the run where it happened; the journals are left as they stand
// then, and the selection filter is not re-applied.
void MainWindow::onUpdateListsClicked() {
    startAdminJob();
    // Every subject file name is checked before the first list file is written, so a category that
    // cannot name its file leaves all the lists agreeing with each other.
    const std::vector<std::string> categories =
        collectFromEveryRow(data_.journals, kCategoryField, EmptyValues::Collect);
    checkSubjectListNames(listFolder_, categories);
    applyCategories(categories);
    rebuildSubjectLists(data_.journals, listFolder_, itemsOf(categoryBox_));
    onUpdateFrequenciesClicked();
    prompts_.showMessage(QStringLiteral("Finish!"));
}

}  // namespace lumaref
