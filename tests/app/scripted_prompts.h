#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

#include "app/prompts.h"

namespace lumaref::test {

// Prompts for tests: records every box in order and answers dialogs from a script.
class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Message, Error, OpenDialog, SaveDialog, IndexDialog, ExportDialog, ClearFlagsQuestion };
    struct Shown {
        Kind kind;
        QString text;  // the box text, or the name a dialog proposed
    };

    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    QString askOpenFileName(const QString& proposed) override;
    QString askSaveFileName(const QString& proposed) override;
    QString askCitationIndex(const QString& fileName) override;
    QString askExportFileName(const QString& proposed) override;
    // Recorded as "<journals> <index> <category>".
    bool askClearIndexFlags(int journals, const QString& index, const QString& category) override;

    // The next dialogs answer these paths in order; an empty path, or none left, cancels.
    std::deque<QString> dialogAnswers;
    // The index dialog answers these in order; none left cancels.
    std::deque<QString> indexAnswers;
    // The question whether to clear index flags answers these in order; none left answers No.
    std::deque<bool> clearFlagsAnswers;

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList errors() const;
    QStringList messages() const;
    void clear() { shown_.clear(); }

private:
    QString answer();

    std::vector<Shown> shown_;
};

}  // namespace lumaref::test
