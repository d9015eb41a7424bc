// The controls of the window: one table of role members, component names, texts, places, fonts,
// colours and initial states, and what a few of them need beyond it.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>

#include <algorithm>
#include <memory>
#include <type_traits>
#include <variant>

#include "app/captions.h"
#include "app/index_radio_button.h"
#include "app/journal_grid.h"
#include "app/journal_grid_model.h"
#include "app/main_window.h"
#include "app/progress_stepper.h"
#include "app/text_fit.h"
#include "app/window_style.h"

namespace lumaref {

namespace {

// The role member a row fills; its type decides how the control is built. The window itself is
// the first row.
using Member = std::variant<QWidget*, QFrame**, QLabel**, QLineEdit**, QPushButton**, QComboBox**,
                            QRadioButton**, RecordNavigator**, std::unique_ptr<JournalGrid>*,
                            std::unique_ptr<JournalGridModel>*, QProgressBar**, QStatusBar**>;

// How a control starts beyond its place and texts.
enum Trait : unsigned {
    kPlain = 0,
    kHidden = 1,
    kRightToLeft = 2,   // a label that grows to the left of its designed corner
    kAlignRight = 4,    // a label's text against the right end of its width
    kPointingHand = 8,  // the hand cursor over a button
};

constexpr auto kNoGlyph = QStyle::SP_CustomBase;
constexpr auto kReload = QStyle::SP_BrowserReload;
constexpr auto kSave = QStyle::SP_DialogSaveButton;

struct Control {
    Member member;
    const char* name;           // objectName: the design's component name
    const char* caption;        // text, caption or message; "" for none
    QRect place;                // a label is sized to its text: only its corner counts, and a width if given
    int fontPixels = 0;         // Tahoma at this pixel size; 0 keeps the window's font
    QColor colour = Qt::black;  // text of a label or an edit box
    QStyle::StandardPixmap glyph = kNoGlyph;  // a button's icon
    unsigned traits = kPlain;
};

template <class W>
W* named(QWidget* window, const Control& control) {
    auto* widget = new W(window);
    widget->setObjectName(QString::fromLatin1(control.name));
    return widget;
}

QString captionOf(const Control& control) { return QString::fromUtf8(control.caption); }

void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, role, colour);
    }
    widget->setPalette(palette);
}

void applyTraits(QWidget* widget, unsigned traits) {
    if (traits & kPointingHand) widget->setCursor(Qt::PointingHandCursor);
    if (traits & kRightToLeft) widget->setLayoutDirection(Qt::RightToLeft);
    if (traits & kHidden) widget->setVisible(false);
}

void build(QWidget* window, QWidget* /*the window*/, const Control& control) {
    window->setObjectName(QString::fromLatin1(control.name));
    window->setWindowTitle(captionOf(control));
    // A fixed dialog frame: a close box, no resizing, no minimising or maximising.
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window->setFixedSize(control.place.size());
    window->move(control.place.topLeft());
    window->setFont(style::windowDefault());
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

void build(QWidget* window, QFrame** member, const Control& control) {
    QFrame* bevel = *member = named<QFrame>(window, control);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    bevel->setGeometry(control.place);
}

void build(QWidget* window, QLabel** member, const Control& control) {
    QLabel* label = *member = named<QLabel>(window, control);
    label->setText(captionOf(control));
    label->setFont(style::tahoma(control.fontPixels));
    setTextColour(label, QPalette::WindowText, control.colour);
    label->adjustSize();
    label->move(control.place.topLeft());
    if (control.place.width() > 0) label->resize(control.place.width(), label->height());
    if (control.traits & kAlignRight) label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    applyTraits(label, control.traits);
}

void build(QWidget* window, QLineEdit** member, const Control& control) {
    QLineEdit* edit = *member = named<QLineEdit>(window, control);
    edit->setText(captionOf(control));
    edit->setFont(style::tahoma(control.fontPixels));
    setTextColour(edit, QPalette::Text, control.colour);
    edit->setGeometry(control.place);
    edit->setCursorPosition(0);
}

void build(QWidget* window, QPushButton** member, const Control& control) {
    QPushButton* button = *member = named<QPushButton>(window, control);
    button->setText(captionOf(control));
    button->setFont(style::tahoma(control.fontPixels));
    if (control.glyph != kNoGlyph) button->setIcon(button->style()->standardIcon(control.glyph));
    button->setGeometry(control.place);
    applyTraits(button, control.traits);
}

// An editable pick list that takes its text right to left. Nothing is completed: every partial text
// the user types is a text of its own. Enter inserts nothing, and neither Enter nor leaving the box
// picks the item its text names: Qt would report that as a pick, and a pick runs the change handler.
void build(QWidget* window, QComboBox** member, const Control& control) {
    QComboBox* box = *member = named<QComboBox>(window, control);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    QObject::disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
    box->setCompleter(nullptr);
    box->setLayoutDirection(Qt::RightToLeft);
    box->setCursor(Qt::PointingHandCursor);
    box->setFont(style::tahoma(control.fontPixels));
    box->setGeometry(control.place);
}

void build(QWidget* window, QRadioButton** member, const Control& control) {
    QRadioButton* button = *member = named<IndexRadioButton>(window, control);
    button->setText(captionOf(control));
    button->setGeometry(control.place);
}

void build(QWidget* window, RecordNavigator** member, const Control& control) {
    *member = named<RecordNavigator>(window, control);
    (*member)->setGeometry(control.place);
}

void build(QWidget* window, std::unique_ptr<JournalGrid>* member, const Control& control) {
    *member = std::make_unique<JournalGrid>(window);
    (*member)->setObjectName(QString::fromLatin1(control.name));
    (*member)->setGeometry(control.place);
}

void build(QWidget* window, QProgressBar** member, const Control& control) {
    QProgressBar* bar = *member = named<QProgressBar>(window, control);
    bar->setGeometry(control.place);
    applyTraits(bar, control.traits);
}

void build(QWidget* window, QStatusBar** member, const Control& control) {
    QStatusBar* bar = *member = named<QStatusBar>(window, control);
    bar->setGeometry(control.place);
    bar->setSizeGripEnabled(false);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, style::kSilver);
    // Disabled only to take no input: the credit line reads as normal text.
    palette.setColor(QPalette::Disabled, QPalette::WindowText, Qt::black);
    bar->setPalette(palette);
    bar->setAutoFillBackground(true);
    bar->showMessage(captionOf(control));
    bar->setEnabled(false);
    // At its right end, the database the window is on.
    auto* place = new QLabel(bar);
    place->setObjectName(QStringLiteral("StatusDatabase"));
    bar->addPermanentWidget(place);
}

}  // namespace

void MainWindow::buildControls() {
    using style::kBlue;
    using style::kNavy;
    using style::kPurple;
    using style::kSilver;
    const QColor black = Qt::black;
    // In the order they are made: a later control lies above an earlier one.
    // A row per control, kept on its line: the formatter would give each field a line of its own.
    // clang-format off
    const Control controls[] = {
        // member, name, caption, place, font pixels, text colour, icon, traits
        {this, "Form1", "Lumaref v 1.0", {14, 2, 1240, 718}},
        // The panels' frames first, so every control lies above them.
        {&importPanel_, "Bevel1", "", {16, 16, 639, 177}},
        {&selectionPanel_, "Bevel2", "", {663, 16, 567, 177}},

        // Import panel.
        {&importFileLabel_, "Label1", "File location:", {24, 32, 0, 0}, 16},
        {&importFileEdit_, "Edit1", "Select a text file to import data into the program database...",
            {128, 32, 441, 26}, 15, kSilver},
        {&browseButton_, "BitBtn1", "Browse", {573, 31, 73, 27}, 16},
        {&importCategoryLabel_, "Label2", "Category:", {25, 65, 0, 0}, 16},
        {&importCategoryEdit_, "Edit2", "Type a category for input data ", {128, 64, 441, 26}, 15, kSilver},
        {&importSubjectLabel_, "Label3", "Subject:", {24, 99, 0, 0}, 16},
        {&importSubjectEdit_, "Edit3", "Type a subject for input data", {128, 96, 441, 26}, 15, kSilver},
        {&importButton_, "BitBtn2", "Import to DataBase", {128, 134, 177, 33}, 16, black, kReload},

        // Selection panel.
        {&selectionLabel_, "Label11", "Select a category and subject or frequently:", {674, 18, 0, 0}, 16,
            kPurple},
        {&categoryBox_, "ComboBox1", "", {728, 40, 409, 24}, 13},
        {&categoryLabel_, "Label4", "Category:", {1137, 40, 0, 0}, 16, black, kNoGlyph, kRightToLeft},
        {&subjectBox_, "ComboBox2", "", {728, 72, 409, 24}, 13},
        {&subjectLabel_, "Label5", "Subject:", {1140, 72, 0, 0}, 16, black, kNoGlyph, kRightToLeft},
        {&frequencyBox_, "ComboBox3", "", {992, 104, 145, 24}, 13},
        {&frequencyLabel_, "Label8", "Frequently:", {1140, 104, 0, 0}, 16, black, kNoGlyph, kRightToLeft},
        {&updateListsButton_, "BitBtn5", "Update lists", {892, 103, 97, 25}, 13},
        {&updateCategoriesButton_, "BitBtn4", "Update", {728, 41, 49, 24}, 13, black, kNoGlyph, kHidden},
        {&updateFrequenciesButton_, "BitBtn6", "Update", {1000, 104, 49, 25}, 13, black, kNoGlyph, kHidden},
        {&indexButtons_[0], "RadioButton1", "Science Citation Index", {680, 106, 185, 17}},
        {&indexButtons_[1], "RadioButton2", "Science Citation Index Expanded", {680, 122, 185, 17}},
        {&indexButtons_[2], "RadioButton3", "Emerging Sources Citation Index (ISI Listed)",
            {680, 138, 233, 17}},
        {&indexButtons_[3], "RadioButton4", "Arts Humanities Citation Index", {680, 154, 233, 17}},
        {&indexButtons_[4], "RadioButton5", "All", {680, 170, 233, 17}},

        // Search bar and grid.
        {&navigator_, "DBNavigator1", "", {16, 202, 280, 29}},
        {&saveButton_, "BitBtn8", "Save to file", {304, 201, 121, 28}, 16, black, kSave, kPointingHand},
        {&searchFieldLabel_, "Label12", "Find according to:", {474, 200, 0, 0}, 16, kPurple},
        {&searchFieldBox_, "ComboBox4", "", {608, 199, 121, 24}, 13},
        {&searchTextLabel_, "Label13", "Search for:", {751, 200, 78, 0}, 16, kPurple, kNoGlyph, kAlignRight},
        {&searchEdit_, "Edit4", "", {834, 198, 393, 26}, 15, kNavy},
        {&grid_, "DBGrid1", "", {16, 232, 1209, 424}},
        {&gridModel_, "DataSource1", "", {}},

        // Footer. The counters are given room to grow to the right as their numbers do.
        {&recordCountCaption_, "Label6", "Records:", {19, 661, 0, 0}, 13},
        {&recordCountLabel_, "Label7", "0", {75, 662, 52, 0}, 13, kBlue},
        {&currentRecordCaption_, "Label9", "Current:", {19, 677, 0, 0}, 13},
        {&currentRecordLabel_, "Label10", "0", {75, 678, 52, 0}, 13, kBlue},
        {&progressBar_, "ProgressBar1", "", {128, 666, 705, 25}, 0, black, kNoGlyph, kHidden},
        {&updateQuartilesButton_, "BitBtn7", "Update Q (2018)", {856, 662, 177, 33}, 16, black, kReload},
        {&updateImpactFactorsButton_, "BitBtn3", "Update IF (2018)", {1040, 661, 177, 33}, 16, black,
            kReload},
        {&statusBar_, "StatusBar1", "Lumaref v 1.0 - a browser for lists of scholarly journals",
            {0, 699, 1240, 19}},
    };
    // clang-format on
    for (const Control& control : controls) {
        std::visit(
            [this, &control](auto member) {
                if constexpr (std::is_same_v<decltype(member), std::unique_ptr<JournalGridModel>*>) {
                    *member = std::make_unique<JournalGridModel>(data_.journals, this);
                    (*member)->setObjectName(QString::fromLatin1(control.name));
                } else {
                    build(this, member, control);
                }
            },
            control.member);
    }

    databaseLabel_ = statusBar_->findChild<QLabel*>(QStringLiteral("StatusDatabase"));
    grid_->setModel(gridModel_.get());
    progressStepper_ = new ProgressStepper(progressBar_);
    for (const char* item : kSearchFieldItems) searchFieldBox_->addItem(QString::fromUtf8(item));
    // Nothing is selected until the start-up handler picks the first field.
    searchFieldBox_->setCurrentIndex(-1);
    searchFieldBox_->clearEditText();
    setUpIndexButtons();
    fitTextsToControls(this);
    // Administrator mode starts off.
    for (QWidget* control : adminControls()) control->setEnabled(false);
    setTabOrderChain();
}

void MainWindow::setUpIndexButtons() {
    // A substitute font may run wider than the designed one: a caption gets the room it needs, the
    // upper two only as far as the "Update lists" button.
    for (QRadioButton* button : indexButtons_) {
        const int room = button->y() < updateListsButton_->y() + updateListsButton_->height()
                             ? updateListsButton_->x() - button->x() - 2
                             : 540;
        const int needed = std::min(button->sizeHint().width(), room);
        if (needed > button->width()) button->resize(needed, button->height());
    }
    // The group is one tab stop: only its checked button takes the focus by Tab.
    for (QRadioButton* button : indexButtons_) {
        button->setFocusPolicy(Qt::ClickFocus);
        connect(button, &QRadioButton::toggled, button, [button](bool checked) {
            button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        });
    }
    indexButtons_[4]->setChecked(true);  // "All"
}

void MainWindow::setTabOrderChain() {
    QWidget* const chain[] = {grid_.get(),
                              browseButton_,
                              importFileEdit_,
                              importButton_,
                              updateImpactFactorsButton_,
                              importCategoryEdit_,
                              importSubjectEdit_,
                              categoryBox_,
                              updateCategoriesButton_,
                              subjectBox_,
                              updateListsButton_,
                              frequencyBox_,
                              updateFrequenciesButton_,
                              searchFieldBox_,
                              searchEdit_,
                              updateQuartilesButton_,
                              saveButton_,
                              indexButtons_[0],
                              indexButtons_[1],
                              indexButtons_[2],
                              indexButtons_[3],
                              indexButtons_[4]};
    for (std::size_t i = 1; i < std::size(chain); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
    for (QWidget* passive : {static_cast<QWidget*>(progressBar_), static_cast<QWidget*>(statusBar_)}) {
        passive->setFocusPolicy(Qt::NoFocus);
    }
}

std::array<QWidget*, 11> MainWindow::adminControls() const {
    return {browseButton_,          importButton_,        updateImpactFactorsButton_, updateListsButton_,
            updateQuartilesButton_, importFileEdit_,      importCategoryEdit_,        importSubjectEdit_,
            importFileLabel_,       importCategoryLabel_, importSubjectLabel_};
}

}  // namespace lumaref
