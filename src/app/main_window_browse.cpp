// Browsing: the selection filter, the field search with the administrator gate, and the pick lists.
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>

#include "app/admin_gate.h"
#include "app/captions.h"
#include "app/main_window.h"
#include "filter/search_condition.h"
#include "filter/selection_filter.h"
#include "picklists/list_file.h"

namespace lumaref {

namespace {

std::string textOf(const QComboBox* box) { return box->currentText().toStdString(); }

}  // namespace

void TForm1::loadPickList(QComboBox* box, const std::vector<std::string>& items) {
    // Loading replaces the items and keeps the text, which the program changes only on purpose.
    const QString text = box->currentText();
    QStringList list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items) list.append(QString::fromStdString(item));
    box->clear();
    box->addItems(list);
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

void TForm1::ApplySelectionFilter() {
    ADOQuery1.setFiltered(false);
    ADOQuery1.setFilter(std::string());
    SelectionInputs inputs;
    inputs.category = textOf(ComboBox1);
    inputs.subject = textOf(ComboBox2);
    inputs.frequency = textOf(ComboBox3);
    const QRadioButton* indexButtons[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4,
                                          RadioButton5};
    for (int i = 0; i < 5; ++i) {
        if (indexButtons[i]->isChecked()) inputs.indexButton = i + 1;
    }
    ADOQuery1.setFilter(selectionFilterText(inputs));
    ADOQuery1.setFiltered(true);
    Label7->setText(QString::number(ADOQuery1.recordCount()));
}

// The search handler, the hub of browsing: the administrator gate, then the selection filter with at
// most one search condition on top.
void TForm1::Edit4Change() {
    const std::string searchText = Edit4->text().toStdString();
    const bool admin = opensAdminMode(searchText, textOf(ComboBox4));
    for (QWidget* control : adminControls()) control->setEnabled(admin);
    if (searchText.empty()) {
        ApplySelectionFilter();
        return;
    }
    ADOQuery1.setFiltered(false);
    ApplySelectionFilter();
    const std::string condition = searchCondition(textOf(ComboBox4), searchText, ADOQuery1.filter().empty());
    if (!condition.empty()) ADOQuery1.setFilter(ADOQuery1.filter() + condition);
    ADOQuery1.setFiltered(true);
    Label7->setText(QString::number(ADOQuery1.recordCount()));
}

void TForm1::ComboBox4Change() {
    Label13->setText(QString::fromStdString(searchLabelCaption(textOf(ComboBox4))));
}

void TForm1::ComboBox1Change() {
    const std::string category = textOf(ComboBox1);
    if (!category.empty()) {
        // A category that is no valid file name (a path separator, "." or "..") names no subject file.
        const std::optional<std::string> path = subjectListPath(programDir_, category);
        if (path && QFileInfo(QString::fromStdString(*path)).isFile())
            loadPickList(ComboBox2, readListFile(*path));
        ComboBox2->setEditText(QString());
    }
    Edit4Change();
}

void TForm1::ComboBox2Change() { Edit4Change(); }
void TForm1::ComboBox3Change() { Edit4Change(); }

// Enter moves along category, subject, frequency and search text; the key itself goes on as usual.
void TForm1::ComboBox1KeyPress(QString& key) {
    if (key == QLatin1String("\r")) ComboBox2->setFocus();
}
void TForm1::ComboBox2KeyPress(QString& key) {
    if (key == QLatin1String("\r")) ComboBox3->setFocus();
}
void TForm1::ComboBox3KeyPress(QString& key) {
    if (key == QLatin1String("\r")) Edit4->setFocus();
}

void TForm1::RadioButton1Click() { ApplySelectionFilter(); }
void TForm1::RadioButton2Click() { ApplySelectionFilter(); }
void TForm1::RadioButton3Click() { ApplySelectionFilter(); }
void TForm1::RadioButton4Click() { ApplySelectionFilter(); }
void TForm1::RadioButton5Click() { ApplySelectionFilter(); }

}  // namespace lumaref
