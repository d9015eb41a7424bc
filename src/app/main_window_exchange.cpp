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

void TForm1::BitBtn1Click() {
    const QString chosen = prompts_.askOpenFileName(lastImportFile_);
    if (chosen.isEmpty()) return;
    lastImportFile_ = chosen;
    const ImportNames names = importNamesForPath(chosen.toStdString());
    Edit1->setText(chosen);
    Edit2->setText(fromUtf8(names.category));
    Edit3->setText(fromUtf8(names.subject));
}

void TForm1::BitBtn2Click() {
    MasterListLines lines(readMasterListFile(filePath(Edit1->text())));
    const std::int64_t count = importMasterList(lines, ADOQuery1, importClassifier_,
                                                Edit2->text().toStdString(), Edit3->text().toStdString());
    prompts_.showMessage(QStringLiteral("Finish! - %1 recordes were imported.").arg(count));
}

void TForm1::BitBtn8Click() {
    const QString chosen = prompts_.askSaveFileName(
        lastExportFile_.isEmpty() ? QString::fromLatin1(kDefaultSaveFileName) : lastExportFile_);
    if (chosen.isEmpty()) return;
    lastExportFile_ = chosen;
    exportJournalList(ADOQuery1, filePath(chosen));
}

}  // namespace lumaref
