#include "app/message_box_prompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

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

}  // namespace lumaref
