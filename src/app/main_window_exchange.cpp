// Text exchange: choosing and importing a master list, exporting the journal list.
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include "app/main_window.h"
#include "app/message_box_prompts.h"
#include "app/status_text.h"
#include "db/store_transaction.h"
#include "exchange/import_path.h"
#include "exchange/index_flags.h"
#include "exchange/journal_list_export.h"
#include "exchange/master_list_csv.h"
#include "exchange/master_list_csv_import.h"
#include "exchange/master_list_file.h"
#include "exchange/master_list_import.h"
#include "exchange/ranking_file.h"
#include "text/csv_rows.h"
#include "text/error.h"
#include "text/text_file.h"

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
    startAdminJob();
    std::string text = readMasterListFile(filePath(importFileEdit_->text()));
    const QString fileName = QFileInfo(importFileEdit_->text()).fileName();
    const std::int64_t before = data_.journals.committedPosts();
    if (isMasterListCsv(text)) {
        try {
            importCsvMasterList(text);
        } catch (const ConnectionLost&) {
            endJobOnLostConnection(QStringLiteral("Master list: %1 records from %2 were stored")
                                       .arg(countText(data_.journals.committedPosts() - before), fileName),
                                   QStringLiteral("Import the file again to finish."));
        }
        return;
    }
    // A ranking file is told by its header; a CSV file that is none of them is refused, not read as
    // a text master list.
    if (findRankingHeader(text) ||
        importFileEdit_->text().endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
        importRankingFile(text);
        return;
    }
    MasterListLines lines(std::move(text));
    std::int64_t count = 0;
    try {
        count = importMasterList(lines, data_.journals, importClassifier_,
                                 importCategoryEdit_->text().toStdString(),
                                 importSubjectEdit_->text().toStdString());
    } catch (const ConnectionLost&) {
        // A second import of the same file would add these records again: the account says which.
        endJobOnLostConnection(QStringLiteral("Master list: the first %1 records of %2 were added")
                                   .arg(countText(data_.journals.committedPosts() - before), fileName),
                               QStringLiteral("The records after them were not stored."));
    }
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
    status += clearIndexFlagsOfJournalsNotIn(list, *indexField);
    // The file loaded all the same; the lines say where to look if a title or address seems odd.
    if (!list.literalQuoteLines.empty())
        status += "; " + fromUtf8(literalQuoteWarning(list.literalQuoteLines));
    showStatus(status);
}

// A whole index's download lists every journal of the index: the category's journals that carry its flag
// but are not listed have left it. The user decides whether their flag goes; the status says both counts.
QString MainWindow::clearIndexFlagsOfJournalsNotIn(const MasterListCsv& list, std::string_view indexField) {
    if (indexField.empty()) return {};
    const std::string category = importCategoryEdit_->text().toStdString();
    const std::vector<std::int64_t> rows = journalsThatLeftIndex(list, data_.journals, category, indexField);
    const bool clear = !rows.empty() && prompts_.askClearIndexFlags(static_cast<int>(rows.size()),
                                                                    fromUtf8(std::string(indexField)),
                                                                    importCategoryEdit_->text());
    if (clear) clearIndexFlags(data_.journals, rows, indexField);
    return QStringLiteral("; %1 journals of %2 with the flag are not in the file, %3 cleared")
        .arg(countText(static_cast<std::int64_t>(rows.size())), importCategoryEdit_->text(),
             countText(clear ? static_cast<std::int64_t>(rows.size()) : 0));
}

// A ranking file (JCR, SJR, DOAJ or an own list, named by the subject box) goes in whole, in one
// transaction. A JCR export also replaces the ranking tables the updates read, so they are read again.
void MainWindow::importRankingFile(const std::string& text) {
    const QString fileName = QFileInfo(importFileEdit_->text()).fileName();
    RankingFileRequest request;
    request.listName = importSubjectEdit_->text().trimmed().toStdString();
    request.currentYear = QDate::currentDate().year();
    const RankingFile file = readRankingFile(text, fileName.toStdString(), request);
    RankingStoreReport stored;
    inStoreTransaction(data_.connection, [&](StoreTransaction& store) {
        stored = storeRankingFile(store, file, filePath(fileName));
    });
    if (file.layout == RankingLayout::Jcr) {
        for (RecordSet* table : {&data_.impactFactors, &data_.quartiles[0], &data_.quartiles[1],
                                 &data_.quartiles[2], &data_.quartiles[3]}) {
            table->close();
            table->open();
        }
    }
    prompts_.showMessage(QStringLiteral("Finish!"));
    showStatus(fromUtf8(rankingStoreSummary(file, stored)));
}

void MainWindow::onSaveClicked() {
    if (journalsAway()) refuseWhileAway();
    const QString chosen = prompts_.askSaveFileName(
        lastExportFile_.isEmpty() ? QString::fromLatin1(kDefaultSaveFileName) : lastExportFile_);
    if (chosen.isEmpty()) return;
    lastExportFile_ = chosen;
    exportJournalList(data_.journals, filePath(chosen));
    showStatus(
        QStringLiteral("Saved %1 journals to %2").arg(countText(data_.journals.recordCount()), chosen));
}

}  // namespace lumaref
