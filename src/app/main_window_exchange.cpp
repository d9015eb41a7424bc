// Text exchange: choosing and importing a master list, exporting the journal list.
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include "app/main_window.h"
#include "app/message_box_prompts.h"
#include "app/status_text.h"
#include "exchange/import_path.h"
#include "exchange/journal_list_export.h"
#include "exchange/master_list_csv.h"
#include "exchange/master_list_csv_import.h"
#include "exchange/master_list_file.h"
#include "exchange/master_list_import.h"
#include "text/csv_rows.h"
#include "text/error.h"

namespace lumaref {

namespace {

// A path as the file system spells it.
std::string filePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void MainWindow::onBrowseClicked() {
    const QString chosen = prompts_.askOpenFileName(lastImportFile_);
    if (chosen.isEmpty()) return;
    lastImportFile_ = chosen;
    const ImportNames names = importNamesForPath(chosen.toStdString());
    importFileEdit_->setText(chosen);
    importCategoryEdit_->setText(fromUtf8(names.category));
    importSubjectEdit_->setText(fromUtf8(names.subject));
}

void MainWindow::onImportClicked() {
    std::string text = readMasterListFile(filePath(importFileEdit_->text()));
    if (isMasterListCsv(text)) {
        importCsvMasterList(text);
        return;
    }
    MasterListLines lines(std::move(text));
    const std::int64_t count =
        importMasterList(lines, data_.journals, importClassifier_, importCategoryEdit_->text().toStdString(),
                         importSubjectEdit_->text().toStdString());
    prompts_.showMessage(QStringLiteral("Finish! - %1 recordes were imported.").arg(count));
    showStatus(QStringLiteral("Master list: %1 records added from %2")
                   .arg(countText(count), QFileInfo(importFileEdit_->text()).fileName()));
}

// The master list as it is downloaded today: one record per Web of Science category of a row, the
// index from the file name (or asked), a journal already stored getting its flag instead of a twin.
void MainWindow::importCsvMasterList(const std::string& text) {
    const MasterListCsv list = readMasterListCsvText(text, importSubjectEdit_->text().toStdString());
    const QString fileName = QFileInfo(importFileEdit_->text()).fileName();
    std::optional<std::string_view> indexField = citationIndexFromFileName(filePath(fileName));
    if (!indexField) {
        const QString answer = prompts_.askCitationIndex(fileName);
        if (answer.isEmpty()) return;
        indexField = citationIndexFromAbbreviation(answer.toStdString());
        if (!indexField) throw Error("Unknown citation index \"" + answer.toStdString() + "\"");
    }
    const MasterListCsvCounts counts =
        importMasterListCsv(list, data_.journals, importCategoryEdit_->text().toStdString(), *indexField);
    prompts_.showMessage(QStringLiteral("Finish! - %1 recordes were imported.").arg(counts.added));
    QString status = QStringLiteral(
                         "Master list: %1 records added, %2 merged into journals already "
                         "stored, %3 rows without ISSN or eISSN")
                         .arg(countText(counts.added), countText(counts.merged),
                              countText(static_cast<std::int64_t>(counts.withoutIssn)));
    // The file loaded all the same; the lines say where to look if a title or address seems odd.
    if (!list.literalQuoteLines.empty())
        status += "; " + fromUtf8(literalQuoteWarning(list.literalQuoteLines));
    showStatus(status);
}

void MainWindow::onSaveClicked() {
    const QString chosen = prompts_.askSaveFileName(
        lastExportFile_.isEmpty() ? QString::fromLatin1(kDefaultSaveFileName) : lastExportFile_);
    if (chosen.isEmpty()) return;
    lastExportFile_ = chosen;
    exportJournalList(data_.journals, filePath(chosen));
    showStatus(
        QStringLiteral("Saved %1 journals to %2").arg(countText(data_.journals.recordCount()), chosen));
}

}  // namespace lumaref
