#pragma once

#include <QString>

namespace lumaref {

// Every message box, error box and file dialog of the program goes through this one interface,
// so tests can answer them without a screen. A method added later comes with a default
// implementation, so every existing implementation keeps compiling.
class Prompts {
public:
    virtual ~Prompts() = default;
    // Plain message box: application title as caption, no icon, one OK button.
    virtual void showMessage(const QString& text) = 0;
    // Error box: application title as caption, stop icon, one OK button; text is exactly what the box shows.
    virtual void showError(const QString& text) = 0;
    // Open-file dialog; the chosen path, or an empty string when cancelled.
    virtual QString askOpenFileName(const QString& proposed) = 0;
    // Save-file dialog with the single filter "Text file (*.txt)"; the chosen path, or an empty string when
    // cancelled.
    virtual QString askSaveFileName(const QString& proposed) = 0;
    // The citation index of a CSV master list whose file name names none: "SCI", "SCIE", "ESCI",
    // "AHCI" or "none"; an empty string when cancelled. Without a dialog of its own: no index.
    virtual QString askCitationIndex(const QString& fileName) {
        static_cast<void>(fileName);
        return QStringLiteral("none");
    }
    // Save-file dialog of a view export, offering an Excel workbook (*.xlsx) and CSV (*.csv); the chosen
    // path, or an empty string when cancelled. Without a dialog of its own: cancelled.
    virtual QString askExportFileName(const QString& proposed) {
        static_cast<void>(proposed);
        return QString();
    }
    // After a whole index's download: whether to clear the index flag of `journals` journal records of
    // `category` that carry it but that the download no longer lists. The default answer is No.
    virtual bool askClearIndexFlags(int journals, const QString& index, const QString& category) {
        static_cast<void>(journals);
        static_cast<void>(index);
        static_cast<void>(category);
        return false;
    }
};

}  // namespace lumaref
