// Export of the view: the rows and columns the grid shows, as an Excel workbook or a CSV file.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopeGuard>

#include "app/journal_columns.h"
#include "app/journal_grid.h"
#include "app/journal_grid_model.h"
#include "app/main_window.h"
#include "app/message_box_prompts.h"
#include "app/status_text.h"
#include "db/postgres_connection.h"
#include "exchange/view_csv.h"
#include "exchange/view_xlsx.h"
#include "filter/search_condition.h"
#include "ranking/figure_columns.h"
#include "text/text_fold.h"

namespace lumaref {

namespace {

// Each column shown under the caption the grid gives it: a field of the journals, or a figure column's
// values for every journal.
std::vector<ViewColumn> captioned(const std::vector<int>& shown, const JournalGridModel& model) {
    std::vector<ViewColumn> columns;
    for (const int column : shown) {
        if (model.figureColumnOf(column)) {
            columns.push_back({-1, model.column(column).title, model.figuresOfEveryRow(column)});
        } else if (model.fieldOf(column) >= 0) {
            columns.push_back({model.fieldOf(column), model.column(column).title, nullptr});
        }
    }
    return columns;
}

// Where the journals come from, without a password a connection string might hold.
std::string databaseText(const Connection& connection) {
    if (!connection.dataSourcePath().empty()) return connection.dataSourcePath();
    if (namesPassword(connection.connectionString())) return "PostgreSQL database";
    return connection.connectionString();
}

}  // namespace

void MainWindow::setUpViewExport() {
    auto* action = new QAction(QStringLiteral("Export view…"), grid_.get());
    action->setObjectName(QStringLiteral("ExportViewAction"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    // Right-click on the rows or the menu key opens it, so the designed window gains no button.
    grid_->addAction(action);
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(action, &QAction::triggered, this, [this] { guarded([this] { onExportViewTriggered(); }); });
}

ViewDescription MainWindow::describeView() const {
    ViewDescription description;
    description.database = databaseText(data_.connection);
    std::vector<std::string> selection;
    const std::pair<const char*, const QComboBox*> boxes[] = {
        {"category", categoryBox_}, {"subject", subjectBox_}, {"frequency", frequencyBox_}};
    for (const auto& [what, box] : boxes) {
        if (!box->currentText().isEmpty())
            selection.push_back(std::string(what) + " " + box->currentText().toStdString());
    }
    // The last button is "All", which selects nothing.
    for (std::size_t i = 0; i + 1 < indexButtons_.size(); ++i) {
        if (indexButtons_[i]->isChecked()) selection.push_back(indexButtons_[i]->text().toStdString());
    }
    for (const std::string& part : selection) {
        if (!description.selection.empty()) description.selection += ", ";
        description.selection += part;
    }
    // Only a search that narrows the rows: the "Admin Mode" field searches nothing, and its text is a code.
    const std::string field = searchFieldBox_->currentText().toStdString();
    const std::string text = searchEdit_->text().toStdString();
    if (!text.empty() && !searchCondition(field, text, true).empty())
        description.search = field + ": " + text;
    description.exportedAt =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
    return description;
}

void MainWindow::onExportViewTriggered() {
    const QString chosen = prompts_.askExportFileName(
        lastViewExportFile_.isEmpty() ? QString::fromLatin1(kDefaultExportFileName) : lastViewExportFile_);
    if (chosen.isEmpty()) return;
    lastViewExportFile_ = chosen;
    const RecordSet& journals = data_.journals;
    const std::vector<ViewColumn> columns = captioned(grid_->shownColumns(), *gridModel_);
    const std::string path = QFile::encodeName(chosen).toStdString();
    // A million journals take a minute as a workbook.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    QString status =
        QStringLiteral("Exported %1 journals to %2").arg(countText(journals.recordCount()), chosen);
    if (chosen.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
        exportViewCsv(journals, columns, path);
    } else {
        ViewDescription description = describeView();
        const std::shared_ptr<const FigureColumnValues>& figures = gridModel_->figureValues();
        for (const int column : grid_->shownColumns()) {
            const std::optional<std::size_t> figure = gridModel_->figureColumnOf(column);
            if (figure && figures != nullptr && figures->columns()[*figure].source == "DOAJ") {
                description.sources.emplace_back(kDoajCredit);
                break;
            }
        }
        const XlsxExportResult result = exportViewXlsx(journals, columns, description, path);
        if (result.cutValues > 0) {
            status += QStringLiteral("; %1 values longer than an Excel cell holds were cut to %2 characters")
                          .arg(countText(static_cast<std::int64_t>(result.cutValues)),
                               countText(static_cast<std::int64_t>(kXlsxMaxCellCharacters)));
        }
    }
    showStatus(status);
}

}  // namespace lumaref
