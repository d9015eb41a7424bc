// Text exchange: choosing and importing a master list, exporting the journal list.
#include <QFile>
#include <QLineEdit>

#include "app/main_window.h"
#include "app/message_box_prompts.h"
#include "exchange/import_path.h"
#include "exchange/journal_list_export.h"
#include "exchange/master_list_file.h"
#include "exchange/master_list_import.h"

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
    MasterListLines lines(readMasterListFile(filePath(importFileEdit_->text())));
    const std::int64_t count =
        importMasterList(lines, data_.journals, importClassifier_, importCategoryEdit_->text().toStdString(),
                         importSubjectEdit_->text().toStdString());
    prompts_.showMessage(QStringLiteral("Finish! - %1 recordes were imported.").arg(count));
}

void MainWindow::onSaveClicked() {
    const QString chosen = prompts_.askSaveFileName(
        lastExportFile_.isEmpty() ? QString::fromLatin1(kDefaultSaveFileName) : lastExportFile_);
    if (chosen.isEmpty()) return;
    lastExportFile_ = chosen;
    exportJournalList(data_.journals, filePath(chosen));
}

}  // namespace lumaref
