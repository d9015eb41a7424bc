#include "app/message_box_prompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace lumaref {

namespace {

void showBox(QMessageBox::Icon icon, const QString& text) {
    // No parent: the box is centred on the screen, as the program's boxes always were.
    QMessageBox box(icon, QCoreApplication::applicationName(), text, QMessageBox::Ok);
    box.exec();
}

}  // namespace

void MessageBoxPrompts::showMessage(const QString& text) { showBox(QMessageBox::NoIcon, text); }

void MessageBoxPrompts::showError(const QString& text) { showBox(QMessageBox::Critical, text); }

QString MessageBoxPrompts::askOpenFileName(const QString& proposed) {
    return QFileDialog::getOpenFileName(nullptr, QString(), proposed);
}

QString MessageBoxPrompts::askSaveFileName(const QString& proposed) {
    QFileDialog dialog(nullptr);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Text file (*.txt)"));
    // Saving over an existing list replaces it without a question, as it always has.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(proposed.isEmpty() ? QString::fromLatin1(kDefaultSaveFileName) : proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

QString MessageBoxPrompts::askExportFileName(const QString& proposed) {
    const QString workbook = QStringLiteral("Excel workbook (*.xlsx)");
    const QString csv = QStringLiteral("CSV, UTF-8 (*.csv)");
    const QString name = proposed.isEmpty() ? QString::fromLatin1(kDefaultExportFileName) : proposed;
    QFileDialog dialog(nullptr);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({workbook, csv});
    dialog.selectFile(name);
    // A name typed without an extension takes the chosen type's.
    const auto takeSuffixOf = [&dialog, csv](const QString& filter) {
        dialog.setDefaultSuffix(filter == csv ? QStringLiteral("csv") : QStringLiteral("xlsx"));
    };
    const QString type = name.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ? csv : workbook;
    dialog.selectNameFilter(type);
    takeSuffixOf(type);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, takeSuffixOf);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

QString MessageBoxPrompts::askCitationIndex(const QString& fileName) {
    // Each choice starts with the abbreviation the caller takes.
    const QStringList choices = {QStringLiteral("SCIE - Science Citation Index Expanded"),
                                 QStringLiteral("SCI - Science Citation Index"),
                                 QStringLiteral("ESCI - Emerging Sources Citation Index"),
                                 QStringLiteral("AHCI - Arts & Humanities Citation Index"),
                                 QStringLiteral("none - another index: no flag")};
    bool accepted = false;
    const QString chosen = QInputDialog::getItem(
        nullptr, QCoreApplication::applicationName(),
        QStringLiteral("Which citation index does \"%1\" list?").arg(fileName), choices, 0, false, &accepted);
    if (!accepted) return QString();
    return chosen.section(QLatin1Char(' '), 0, 0);
}

bool MessageBoxPrompts::askClearIndexFlags(int journals, const QString& index, const QString& category) {
    QMessageBox box(
        QMessageBox::Question, QCoreApplication::applicationName(),
        QStringLiteral("%1 journal records of %2 carry the \"%3\" flag but are not in this list.\n"
                       "Clear their flag?")
            .arg(journals)
            .arg(category, index),
        QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace lumaref
