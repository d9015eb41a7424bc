#include "app/scripted_prompts.h"

namespace lumaref::test {

void ScriptedPrompts::showMessage(const QString& text) { shown_.push_back({Kind::Message, text}); }

void ScriptedPrompts::showError(const QString& text) { shown_.push_back({Kind::Error, text}); }

QString ScriptedPrompts::askOpenFileName(const QString& proposed) {
    shown_.push_back({Kind::OpenDialog, proposed});
    return answer();
}

QString ScriptedPrompts::askSaveFileName(const QString& proposed) {
    shown_.push_back({Kind::SaveDialog, proposed});
    return answer();
}

QString ScriptedPrompts::askExportFileName(const QString& proposed) {
    shown_.push_back({Kind::ExportDialog, proposed});
    return answer();
}

QString ScriptedPrompts::askCitationIndex(const QString& fileName) {
    shown_.push_back({Kind::IndexDialog, fileName});
    if (indexAnswers.empty()) return QString();
    QString index = indexAnswers.front();
    indexAnswers.pop_front();
    return index;
}

bool ScriptedPrompts::askClearIndexFlags(int journals, const QString& index, const QString& category) {
    shown_.push_back(
        {Kind::ClearFlagsQuestion, QStringLiteral("%1 %2 %3").arg(journals).arg(index, category)});
    if (clearFlagsAnswers.empty()) return false;
    const bool clear = clearFlagsAnswers.front();
    clearFlagsAnswers.pop_front();
    return clear;
}

QString ScriptedPrompts::answer() {
    if (dialogAnswers.empty()) return QString();
    QString path = dialogAnswers.front();
    dialogAnswers.pop_front();
    return path;
}

QStringList ScriptedPrompts::errors() const {
    QStringList texts;
    for (const Shown& box : shown_) {
        if (box.kind == Kind::Error) texts.append(box.text);
    }
    return texts;
}

QStringList ScriptedPrompts::messages() const {
    QStringList texts;
    for (const Shown& box : shown_) {
        if (box.kind == Kind::Message) texts.append(box.text);
    }
    return texts;
}

}  // namespace lumaref::test
