// The pick-list rebuild: categories, one subject list per category, and frequencies, from the journals.
#include <QComboBox>
#include <QStringList>

#include "app/main_window.h"
#include "picklists/list_file.h"
#include "picklists/list_rebuild.h"

namespace lumaref {

namespace {

// Clears a pick list (text and items) and fills it. Its change handler follows the user's edits and
// picks only, so it does not run.
void refill(QComboBox* box, const std::vector<std::string>& values) {
    QStringList items;
    items.reserve(static_cast<qsizetype>(values.size()));
    for (const std::string& value : values) items.append(QString::fromStdString(value));
    box->clear();
    box->addItems(items);
    // Adding to an empty list makes the first item current; the text stays empty.
    box->setCurrentIndex(-1);
    box->setEditText(QString());
}

std::vector<std::string> itemsOf(const QComboBox* box) {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(box->count()));
    for (int i = 0; i < box->count(); ++i) items.push_back(box->itemText(i).toStdString());
    return items;
}

}  // namespace

void TForm1::BitBtn4Click() {
    refill(ComboBox1, collectFromEveryRow(ADOQuery1, kCategoryField, EmptyValues::Collect));
    // Refilled before writing, so a file that cannot be written leaves the new list shown.
    writeListFile(categoriesListPath(programDir_), itemsOf(ComboBox1));
}

void TForm1::BitBtn6Click() {
    refill(ComboBox3, collectFromEveryRow(ADOQuery1, kFrequencyField, EmptyValues::Skip));
    writeListFile(frequenciesListPath(programDir_), itemsOf(ComboBox3));
}

// "Update lists". Any failure ends the run where it happened; the record set is left as it stands
// then, and the selection filter is not re-applied.
void TForm1::BitBtn5Click() {
    BitBtn4Click();
    rebuildSubjectLists(ADOQuery1, programDir_, itemsOf(ComboBox1));
    BitBtn6Click();
    prompts_.showMessage(QStringLiteral("Finish!"));
}

}  // namespace lumaref
