// The connection to a PostgreSQL server: one message at start when it cannot be reached, a new try at
// the next action, the record sets reopened on a new connection, and what this account may do.
#include <QLabel>

#include <thread>

#include "app/handler_guard.h"
#include "app/main_window.h"
#include "db/schema_names.h"
#include "text/stop_request.h"

namespace lumaref {

namespace {

constexpr const char* kReadOnlyAccountMessage = "This account may only read the journal list.";
// A server being restarted answers within a second or two: the tries of one action, after the first.
constexpr std::chrono::milliseconds kBackOff[] = {std::chrono::milliseconds(250),
                                                  std::chrono::milliseconds(750)};
// After a try that waited out the connect timeout, an action that does not need the server lets this
// much time pass before the next one, so typing is not held up by each key's wait.
constexpr std::chrono::seconds kQuietAfterSlowFailure(30);

}  // namespace

bool MainWindow::openServer() {
    if (const std::optional<QString> failure = runCatching([this] { data_.connection.open(); })) {
        unreachable_ = *failure;
        const QString origin = QString::fromStdString(data_.connectionOrigin);
        QString text = *failure;
        if (!origin.isEmpty()) text += QStringLiteral(" The server is named by %1.").arg(origin);
        prompts_.showError(text + QStringLiteral(" Lumaref tries again at your next action."));
        return false;
    }
    unreachable_.reset();
    return true;
}

void MainWindow::reconnectIfNeeded(bool forJob) {
    Connection& connection = data_.connection;
    if (!connection.isServer() || (connection.connected() && !connection.lost())) return;
    if (triedThisAction_ || (!forJob && std::chrono::steady_clock::now() < nextReconnect_)) return;
    triedThisAction_ = true;
    connection.close();
    // A job waits out a short back-off for a server being restarted; browsing tries once, so typing is
    // not held up while the server is away.
    const std::size_t tries = forJob ? std::size(kBackOff) + 1 : 1;
    for (std::size_t attempt = 0;; ++attempt) {
        const auto started = std::chrono::steady_clock::now();
        const std::optional<QString> failure = runCatching([&connection] { connection.open(); });
        if (!failure) break;
        unreachable_ = *failure;
        // A server that kept us waiting for its connect timeout is not asked again for a while.
        if (std::chrono::steady_clock::now() - started > std::chrono::seconds(1))
            nextReconnect_ = std::chrono::steady_clock::now() + kQuietAfterSlowFailure;
        if (attempt + 1 >= tries || std::chrono::steady_clock::now() < nextReconnect_ || stopRequested()) {
            showStatus(*failure);
            return;
        }
        std::this_thread::sleep_for(kBackOff[attempt]);
    }
    unreachable_.reset();
    reopenRecordSets();
    if (!pickListsLoaded_) {
        if (std::optional<QString> failure = runCatching([this] { loadPickLists(); }))
            prompts_.showError(*failure);
    }
    showStatus(QStringLiteral("Connected again to %1").arg(QString::fromStdString(connection.place())));
}

// Each record set loads afresh from the new connection, keeping its filter.
void MainWindow::reopenRecordSets() {
    for (RecordSet* records : data_.recordSets()) records->close();
    for (RecordSet* records : data_.recordSets()) {
        if (std::optional<QString> failure = runCatching([records] { records->open(); }))
            prompts_.showError(*failure);
    }
    showDatabasePlace();
    if (data_.journals.active()) updateRecordCounters();
}

void MainWindow::showDatabasePlace() {
    Connection& connection = data_.connection;
    accountMayChange_ = true;
    if (!connection.connected()) return;
    QString text = QString::fromStdString(connection.place());
    if (connection.isServer()) {
        // Asked once per connection; an answer that does not come leaves the posts to find out.
        runCatching([&] { accountMayChange_ = connection.store().mayChange(std::string(kJournalsTable)); });
        if (!accountMayChange_) text += QStringLiteral(" (read-only account)");
    }
    databaseLabel_->setText(text);
}

void MainWindow::startAdminJob() {
    Connection& connection = data_.connection;
    if (!connection.isServer()) return;
    reconnectIfNeeded(true);
    if (!connection.connected() || connection.lost()) refuseWhileAway();
    if (!accountMayChange_) throw Error(kReadOnlyAccountMessage);
}

bool MainWindow::journalsAway() const { return data_.connection.isServer() && !data_.journals.active(); }

void MainWindow::refuseWhileAway() const {
    throw Error(unreachable_.value_or(QStringLiteral("There is no connection to the database server."))
                    .toStdString() +
                " Lumaref tries again at your next action.");
}

void MainWindow::endJobOnLostConnection(const QString& doneText, const QString& advice) {
    // The next action, whatever it is, tries the server again.
    nextReconnect_ = {};
    throw Error((doneText + QStringLiteral(" before the connection to the server was lost. ") + advice)
                    .toStdString());
}

}  // namespace lumaref
