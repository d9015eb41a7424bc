#pragma once

#include "app/prompts.h"

namespace lumaref {

// The program's own prompts: QMessageBox and QFileDialog, captioned with the application title.
class MessageBoxPrompts : public Prompts {
public:
    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    QString askOpenFileName(const QString& proposed) override;
    QString askSaveFileName(const QString& proposed) override;
    QString askCitationIndex(const QString& fileName) override;
    QString askExportFileName(const QString& proposed) override;
    bool askClearIndexFlags(int journals, const QString& index, const QString& category) override;
};

// The save dialog's default file name when the caller proposes none.
inline constexpr const char* kDefaultSaveFileName = "Journal-list.txt";
// The export dialog's default file name when the caller proposes none.
inline constexpr const char* kDefaultExportFileName = "Journals.xlsx";

}  // namespace lumaref
