// Window creation: controls, components, event wiring, the start-up handler and the handler guard.
#include "app/main_window.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/handler_guard.h"
#include "app/journal_grid.h"
#include "app/journal_grid_model.h"
#include "db/connection_string.h"
#include "picklists/list_file.h"

namespace lumaref {

TForm1::TForm1(Prompts& prompts, const QString& programDir, QWidget* parent)
    : QWidget(parent),
      ADOConnection1(kDefaultConnectionString),
      ADOQuery1("ADOQuery1", ADOConnection1, "journals"),
      ADOQuery2("ADOQuery2", ADOConnection1, "jcr2018"),
      ADOQuery3("ADOQuery3", ADOConnection1, "JCRQ1"),
      ADOQuery4("ADOQuery4", ADOConnection1, "JCRQ2"),
      ADOQuery5("ADOQuery5", ADOConnection1, "JCRQ3"),
      ADOQuery6("ADOQuery6", ADOConnection1, "JCRQ4"),
      prompts_(prompts),
      programDir_(programDir.toStdString()) {
    buildWindow();
    wireEvents();
    openComponents();
    guarded([this] { FormCreate(); });
    // The grid leads the tab order, so it holds the focus once the window is active.
    DBGrid1->setFocus();
}

TForm1::~TForm1() {
    // The grid and its model read ADOQuery1, so they go before the record sets do, and without
    // reporting their last events to a window that is going away.
    for (QObject* watched : {static_cast<QObject*>(DBGrid1), static_cast<QObject*>(DBGrid1->viewport()),
                             static_cast<QObject*>(DBGrid1->horizontalHeader()->viewport())}) {
        watched->removeEventFilter(this);
    }
    DBGrid1->disconnect(this);
    DBGrid1->selectionModel()->disconnect(this);
    DBGrid1->horizontalHeader()->disconnect(this);
    DataSource1->disconnect(this);
    delete DBGrid1;
    DBGrid1 = nullptr;
    delete DataSource1;
    DataSource1 = nullptr;
}

void TForm1::openComponents() {
    // Each component reports its own failure and stays closed; creation goes on. A record set
    // finding the connection closed tries to connect again, so a missing file is reported by all.
    auto open = [this](const std::function<void()>& openIt) {
        if (std::optional<QString> failure = runCatching(openIt)) prompts_.showError(*failure);
    };
    open([this] { ADOConnection1.open(); });
    for (RecordSet* records : {&ADOQuery1, &ADOQuery2, &ADOQuery3, &ADOQuery4, &ADOQuery5, &ADOQuery6}) {
        open([records] { records->open(); });
    }
    DataSource1->flush();
}

void TForm1::FormCreate() {
    loadPickList(ComboBox1, readListFile(categoriesListPath(programDir_)));
    loadPickList(ComboBox3, readListFile(frequenciesListPath(programDir_)));
    ComboBox4->setCurrentIndex(0);
    ApplySelectionFilter();
}

void TForm1::guarded(const std::function<void()>& handler) {
    const std::optional<QString> failure = runCatching(handler);
    // The grid shows what the handler left before any box appears over it.
    DataSource1->flush();
    if (failure) prompts_.showError(*failure);
}

void TForm1::wireEvents() {
    auto run = [this](void (TForm1::*handler)()) {
        return [this, handler] { guarded([this, handler] { (this->*handler)(); }); };
    };
    // A pick list's change handler runs on the user's edits and picks, never on the program's own changes.
    const std::pair<QComboBox*, void (TForm1::*)()> pickLists[] = {{ComboBox1, &TForm1::ComboBox1Change},
                                                                   {ComboBox2, &TForm1::ComboBox2Change},
                                                                   {ComboBox3, &TForm1::ComboBox3Change},
                                                                   {ComboBox4, &TForm1::ComboBox4Change}};
    for (const auto& [box, handler] : pickLists) {
        connect(box->lineEdit(), &QLineEdit::textEdited, this, run(handler));
        connect(box, &QComboBox::activated, this, run(handler));
    }
    for (QComboBox* box : {ComboBox1, ComboBox2, ComboBox3}) {
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }
    connect(Edit4, &QLineEdit::textChanged, this, run(&TForm1::Edit4Change));

    const std::pair<QRadioButton*, void (TForm1::*)()> radios[] = {
        {RadioButton1, &TForm1::RadioButton1Click},
        {RadioButton2, &TForm1::RadioButton2Click},
        {RadioButton3, &TForm1::RadioButton3Click},
        {RadioButton4, &TForm1::RadioButton4Click},
        {RadioButton5, &TForm1::RadioButton5Click}};
    for (const auto& [radio, handler] : radios) connect(radio, &QRadioButton::clicked, this, run(handler));

    const std::pair<QPushButton*, void (TForm1::*)()> buttons[] = {
        {BitBtn1, &TForm1::BitBtn1Click}, {BitBtn2, &TForm1::BitBtn2Click}, {BitBtn3, &TForm1::BitBtn3Click},
        {BitBtn4, &TForm1::BitBtn4Click}, {BitBtn5, &TForm1::BitBtn5Click}, {BitBtn6, &TForm1::BitBtn6Click},
        {BitBtn7, &TForm1::BitBtn7Click}, {BitBtn8, &TForm1::BitBtn8Click}};
    for (const auto& [button, handler] : buttons) connect(button, &QPushButton::clicked, this, run(handler));

    wireGridEvents();
}

namespace {

// The character a key event types, as the one-character text a key-press handler receives.
QString typedCharacter(const QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return QStringLiteral("\r");
    const QString text = event->text();
    if (text.isEmpty()) return text;
    return text.left(text.front().isHighSurrogate() && text.size() > 1 ? 2 : 1);
}

}  // namespace

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const std::pair<QComboBox*, void (TForm1::*)(QString&)> chain[] = {
            {ComboBox1, &TForm1::ComboBox1KeyPress},
            {ComboBox2, &TForm1::ComboBox2KeyPress},
            {ComboBox3, &TForm1::ComboBox3KeyPress}};
        for (const auto& [box, handler] : chain) {
            if (watched != box && watched != box->lineEdit()) continue;
            QString key = typedCharacter(static_cast<QKeyEvent*>(event));
            if (!key.isEmpty()) guarded([this, handler = handler, &key] { (this->*handler)(key); });
            return false;  // the box still handles the key as usual
        }
    }
    filterGridEvent(watched, event);
    return QWidget::eventFilter(watched, event);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    // Only a character the window receives itself: none of its controls holds the focus.
    QWidget* focused = focusWidget();
    QString key = typedCharacter(event);
    if ((focused == nullptr || focused == this) && !key.isEmpty()) {
        guarded([this, &key] { FormKeyPress(key); });
    }
    QWidget::keyPressEvent(event);
}

void TForm1::FormKeyPress(QString& key) { setWindowTitle(key); }

}  // namespace lumaref
