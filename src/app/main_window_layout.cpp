// The controls of the window: names, kinds, places, texts, fonts, colours and initial states.
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>

#include <algorithm>

#include "app/captions.h"
#include "app/index_radio_button.h"
#include "app/journal_columns.h"
#include "app/journal_grid.h"
#include "app/journal_grid_model.h"
#include "app/main_window.h"
#include "app/window_style.h"

namespace lumaref {

namespace {

template <class W>
W* named(QWidget* parent, const char* name) {
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, role, colour);
    }
    widget->setPalette(palette);
}

// A label sized to its text at the designed top-left corner.
QLabel* label(QWidget* parent, const char* name, const char* text, int x, int y, const QFont& font,
              const QColor& colour = Qt::black) {
    auto* widget = named<QLabel>(parent, name);
    widget->setText(QString::fromUtf8(text));
    widget->setFont(font);
    setTextColour(widget, QPalette::WindowText, colour);
    widget->adjustSize();
    widget->move(x, y);
    return widget;
}

QLineEdit* edit(QWidget* parent, const char* name, const char* text, const QRect& place,
                const QColor& colour) {
    auto* widget = named<QLineEdit>(parent, name);
    widget->setText(QString::fromUtf8(text));
    widget->setFont(style::tahoma(15));
    setTextColour(widget, QPalette::Text, colour);
    widget->setGeometry(place);
    widget->setCursorPosition(0);
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, const QRect& place,
                    int fontPixels = 16, QStyle::StandardPixmap glyph = QStyle::SP_CustomBase) {
    auto* widget = named<QPushButton>(parent, name);
    widget->setText(QString::fromUtf8(caption));
    widget->setFont(style::tahoma(fontPixels));
    if (glyph != QStyle::SP_CustomBase) widget->setIcon(widget->style()->standardIcon(glyph));
    widget->setGeometry(place);
    return widget;
}

// An editable pick list that takes its text right to left. Nothing is completed: every partial text
// the user types is a text of its own. Enter inserts nothing, and neither Enter nor leaving the box
// picks the item its text names: Qt would report that as a pick, and a pick runs the change handler.
QComboBox* pickList(QWidget* parent, const char* name, const QRect& place) {
    auto* widget = named<QComboBox>(parent, name);
    widget->setEditable(true);
    widget->setInsertPolicy(QComboBox::NoInsert);
    QObject::disconnect(widget->lineEdit(), &QLineEdit::editingFinished, widget, nullptr);
    widget->setCompleter(nullptr);
    widget->setLayoutDirection(Qt::RightToLeft);
    widget->setCursor(Qt::PointingHandCursor);
    widget->setFont(style::tahoma(13));
    widget->setGeometry(place);
    return widget;
}

QRadioButton* radio(QWidget* parent, const char* name, const char* caption, const QRect& place) {
    auto* widget = named<IndexRadioButton>(parent, name);
    widget->setText(QString::fromUtf8(caption));
    widget->setGeometry(place);
    return widget;
}

QFrame* bevel(QWidget* parent, const char* name, const QRect& place) {
    auto* widget = named<QFrame>(parent, name);
    widget->setFrameStyle(QFrame::Panel | QFrame::Raised);
    widget->setGeometry(place);
    return widget;
}

}  // namespace

void TForm1::buildWindow() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Lumaref v 1.0"));
    // A fixed dialog frame: a close box, no resizing, no minimising or maximising.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(1240, 718);
    move(14, 2);
    setFont(style::windowDefault());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    setPalette(palette);
    setAutoFillBackground(true);

    // Bevels first, so every control lies above them.
    Bevel1 = bevel(this, "Bevel1", {16, 16, 639, 177});
    Bevel2 = bevel(this, "Bevel2", {663, 16, 567, 177});
    buildImportPanel();
    buildSelectionPanel();
    buildSearchBar();
    buildGrid();
    buildFooter();
    // Administrator mode starts off.
    for (QWidget* control : adminControls()) control->setEnabled(false);
    setTabOrderChain();
}

void TForm1::buildImportPanel() {
    const QFont font = style::tahoma(16);
    Label1 = label(this, "Label1", "File location:", 24, 32, font);
    Edit1 = edit(this, "Edit1", "Select a text file to import data into the program database...",
                 {128, 32, 441, 26}, style::kSilver);
    BitBtn1 = button(this, "BitBtn1", "Browse", {573, 31, 73, 27});
    Label2 = label(this, "Label2", "Category:", 25, 65, font);
    Edit2 = edit(this, "Edit2", "Type a category for input data ", {128, 64, 441, 26}, style::kSilver);
    Label3 = label(this, "Label3", "Subject:", 24, 99, font);
    Edit3 = edit(this, "Edit3", "Type a subject for input data", {128, 96, 441, 26}, style::kSilver);
    BitBtn2 =
        button(this, "BitBtn2", "Import to DataBase", {128, 134, 177, 33}, 16, QStyle::SP_BrowserReload);
}

void TForm1::buildSelectionPanel() {
    const QFont font = style::tahoma(16);
    Label11 =
        label(this, "Label11", "Select a category and subject or frequently:", 674, 18, font, style::kPurple);
    ComboBox1 = pickList(this, "ComboBox1", {728, 40, 409, 24});
    Label4 = label(this, "Label4", "Category:", 1137, 40, font);
    ComboBox2 = pickList(this, "ComboBox2", {728, 72, 409, 24});
    Label5 = label(this, "Label5", "Subject:", 1140, 72, font);
    ComboBox3 = pickList(this, "ComboBox3", {992, 104, 145, 24});
    Label8 = label(this, "Label8", "Frequently:", 1140, 104, font);
    for (QLabel* rightToLeft : {Label4, Label5, Label8}) rightToLeft->setLayoutDirection(Qt::RightToLeft);

    BitBtn5 = button(this, "BitBtn5", "Update lists", {892, 103, 97, 25}, 13);
    BitBtn4 = button(this, "BitBtn4", "Update", {728, 41, 49, 24}, 13);
    BitBtn4->setVisible(false);
    BitBtn6 = button(this, "BitBtn6", "Update", {1000, 104, 49, 25}, 13);
    BitBtn6->setVisible(false);

    RadioButton1 = radio(this, "RadioButton1", "Science Citation Index", {680, 106, 185, 17});
    RadioButton2 = radio(this, "RadioButton2", "Science Citation Index Expanded", {680, 122, 185, 17});
    RadioButton3 =
        radio(this, "RadioButton3", "Emerging Sources Citation Index (ISI Listed)", {680, 138, 233, 17});
    RadioButton4 = radio(this, "RadioButton4", "Arts Humanities Citation Index", {680, 154, 233, 17});
    RadioButton5 = radio(this, "RadioButton5", "All", {680, 170, 233, 17});
    // A substitute font may run wider than the designed one: a caption gets the room it needs, the
    // upper two only as far as the "Update lists" button.
    for (QRadioButton* button : {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5}) {
        const int room =
            button->y() < BitBtn5->y() + BitBtn5->height() ? BitBtn5->x() - button->x() - 2 : 540;
        const int needed = std::min(button->sizeHint().width(), room);
        if (needed > button->width()) button->resize(needed, button->height());
    }
    // The group is one tab stop: only its checked button takes the focus by Tab.
    for (QRadioButton* button : {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5}) {
        button->setFocusPolicy(Qt::ClickFocus);
        connect(button, &QRadioButton::toggled, button, [button](bool checked) {
            button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        });
    }
    RadioButton5->setChecked(true);
}

void TForm1::buildSearchBar() {
    const QFont font = style::tahoma(16);
    DBNavigator1 = new RecordNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setGeometry(16, 202, 280, 29);

    BitBtn8 = button(this, "BitBtn8", "Save to file", {304, 201, 121, 28}, 16, QStyle::SP_DialogSaveButton);
    BitBtn8->setCursor(Qt::PointingHandCursor);
    Label12 = label(this, "Label12", "Find according to:", 474, 200, font, style::kPurple);

    ComboBox4 = pickList(this, "ComboBox4", {608, 199, 121, 24});
    for (const char* item : kSearchFieldItems) ComboBox4->addItem(QString::fromUtf8(item));
    // Nothing is selected until the start-up handler picks the first field.
    ComboBox4->setCurrentIndex(-1);
    ComboBox4->clearEditText();

    Label13 = label(this, "Label13", "Search for:", 751, 200, font, style::kPurple);
    Label13->setGeometry(751, 200, 78, Label13->height());
    Label13->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Edit4 = edit(this, "Edit4", "", {834, 198, 393, 26}, style::kNavy);
}

void TForm1::buildGrid() {
    DBGrid1 = new JournalGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(16, 232, 1209, 424);
    DBGrid1->viewport()->setCursor(Qt::PointingHandCursor);

    const QFont cellFont = style::tahoma(13);
    const QFont titleFont = style::tahoma(12, true);
    DBGrid1->setFont(cellFont);
    QPalette palette = DBGrid1->palette();
    palette.setColor(QPalette::Base, style::kCream);
    palette.setColor(QPalette::Text, Qt::black);
    DBGrid1->setPalette(palette);
    QHeaderView* titles = DBGrid1->horizontalHeader();
    titles->setFont(titleFont);
    titles->setDefaultAlignment(Qt::AlignCenter);
    titles->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: %1; color: %2;"
                                         " border: none; border-right: 1px solid #808080;"
                                         " border-bottom: 1px solid #808080; padding: 2px 2px; }")
                              .arg(style::kSkyBlue.name(), style::kNavy.name()));

    DataSource1 = new JournalGridModel(ADOQuery1, this);
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    DBGrid1->setModel(DataSource1);

    const QFontMetrics cells(cellFont);
    const QFontMetrics heads(titleFont);
    DBGrid1->verticalHeader()->setDefaultSectionSize(cells.height() + 4);
    for (std::size_t i = 0; i < kJournalColumns.size(); ++i) {
        const JournalColumn& column = kJournalColumns[i];
        // A column without a designed width takes its field's: so many average characters, or its title.
        const int width = column.width > 0
                              ? column.width
                              : std::max(column.displayChars * cells.averageCharWidth() + 4,
                                         heads.horizontalAdvance(QString::fromUtf8(column.title)) + 8);
        DBGrid1->setColumnWidth(static_cast<int>(i), width);
    }
}

void TForm1::buildFooter() {
    const QFont font = style::tahoma(13);
    Label6 = label(this, "Label6", "Records:", 19, 661, font);
    Label7 = label(this, "Label7", "0", 75, 662, font, style::kBlue);
    Label9 = label(this, "Label9", "Current:", 19, 677, font);
    Label10 = label(this, "Label10", "0", 75, 678, font, style::kBlue);
    // The counters grow to the right as their numbers do.
    Label7->resize(52, Label7->height());
    Label10->resize(52, Label10->height());

    ProgressBar1 = named<QProgressBar>(this, "ProgressBar1");
    ProgressBar1->setGeometry(128, 666, 705, 25);
    ProgressBar1->setVisible(false);

    BitBtn7 = button(this, "BitBtn7", "Update Q (2018)", {856, 662, 177, 33}, 16, QStyle::SP_BrowserReload);
    BitBtn3 = button(this, "BitBtn3", "Update IF (2018)", {1040, 661, 177, 33}, 16, QStyle::SP_BrowserReload);

    StatusBar1 = named<QStatusBar>(this, "StatusBar1");
    StatusBar1->setGeometry(0, 699, 1240, 19);
    StatusBar1->setSizeGripEnabled(false);
    QPalette palette = StatusBar1->palette();
    palette.setColor(QPalette::Window, style::kSilver);
    // Disabled only to take no input: the credit line reads as normal text.
    palette.setColor(QPalette::Disabled, QPalette::WindowText, Qt::black);
    StatusBar1->setPalette(palette);
    StatusBar1->setAutoFillBackground(true);
    StatusBar1->showMessage(QStringLiteral("Lumaref v 1.0 - a browser for lists of scholarly journals"));
    StatusBar1->setEnabled(false);
}

void TForm1::setTabOrderChain() {
    QWidget* const chain[] = {DBGrid1,      BitBtn1,      Edit1,        BitBtn2,     BitBtn3, Edit2,
                              Edit3,        ComboBox1,    BitBtn4,      ComboBox2,   BitBtn5, ComboBox3,
                              BitBtn6,      ComboBox4,    Edit4,        BitBtn7,     BitBtn8, RadioButton1,
                              RadioButton2, RadioButton3, RadioButton4, RadioButton5};
    for (std::size_t i = 1; i < std::size(chain); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
    for (QWidget* passive : {static_cast<QWidget*>(ProgressBar1), static_cast<QWidget*>(StatusBar1)}) {
        passive->setFocusPolicy(Qt::NoFocus);
    }
}

std::array<QWidget*, 11> TForm1::adminControls() const {
    return {BitBtn1, BitBtn2, BitBtn3, BitBtn5, BitBtn7, Edit1, Edit2, Edit3, Label1, Label2, Label3};
}

}  // namespace lumaref
