#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/prompts.h"
#include "app/record_navigator.h"
#include "db/connection.h"
#include "db/record_set.h"
#include "exchange/import_line_classifier.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace lumaref {

class JournalGrid;
class JournalGridModel;

// The one window of the program. Every control and component is a member named as designed, with
// that name as its objectName; behaviour lives in the handlers below, each run behind one guard
// that turns an error into an error box.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    // Builds every control, opens Database.mdb (current directory) and the six record sets, reporting
    // each failure, then runs the start-up handler. List files are found below programDir.
    TForm1(Prompts& prompts, const QString& programDir, QWidget* parent = nullptr);
    ~TForm1() override;

    // Import panel (all administrator controls).
    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QPushButton* BitBtn2 = nullptr;

    // Selection panel.
    QFrame* Bevel2 = nullptr;
    QLabel* Label11 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QLabel* Label5 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QLabel* Label8 = nullptr;
    QPushButton* BitBtn5 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn6 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QRadioButton* RadioButton5 = nullptr;

    // Search bar, grid and navigator.
    RecordNavigator* DBNavigator1 = nullptr;
    QPushButton* BitBtn8 = nullptr;
    QLabel* Label12 = nullptr;
    QComboBox* ComboBox4 = nullptr;
    QLabel* Label13 = nullptr;
    QLineEdit* Edit4 = nullptr;
    JournalGrid* DBGrid1 = nullptr;

    // Footer.
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* BitBtn7 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    // Components.
    Connection ADOConnection1;
    RecordSet ADOQuery1;  // journals, shown in the grid
    RecordSet ADOQuery2;  // jcr2018
    RecordSet ADOQuery3;  // JCRQ1
    RecordSet ADOQuery4;  // JCRQ2
    RecordSet ADOQuery5;  // JCRQ3
    RecordSet ADOQuery6;  // JCRQ4
    JournalGridModel* DataSource1 = nullptr;

    // Shared operations.
    void ApplySelectionFilter();
    void UpdateRecordCounters();

    // Window.
    void FormCreate();
    void FormKeyPress(QString& key);

    // Selection panel and search bar.
    void ComboBox1Change();
    void ComboBox1KeyPress(QString& key);
    void ComboBox2Change();
    void ComboBox2KeyPress(QString& key);
    void ComboBox3Change();
    void ComboBox3KeyPress(QString& key);
    void ComboBox4Change();
    void Edit4Change();
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void RadioButton5Click();

    // Buttons whose operations come with the import, export, update and list-rebuild work.
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn7Click();
    void BitBtn8Click();

    // Grid and navigator: each refreshes the record counters.
    void DBNavigator1Click();
    void DBGrid1CellClick();
    void DBGrid1ColEnter();
    void DBGrid1ColumnMoved();
    void DBGrid1DblClick();
    void DBGrid1Enter();
    void DBGrid1KeyDown();
    void DBGrid1KeyPress(QString& key);
    void DBGrid1KeyUp();
    void DBGrid1MouseDown();
    void DBGrid1MouseMove();
    void DBGrid1MouseUp();

    // The administrator controls, in the order the gate sets them.
    std::array<QWidget*, 11> adminControls() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildWindow();
    void buildImportPanel();
    void buildSelectionPanel();
    void buildSearchBar();
    void buildGrid();
    void buildFooter();
    void setTabOrderChain();
    void wireEvents();
    void wireGridEvents();
    void openComponents();
    void loadPickList(QComboBox* box, const std::vector<std::string>& items);
    void filterGridEvent(QObject* watched, QEvent* event);

    // Runs a handler; an error ends it and shows in an error box once the grid is up to date.
    void guarded(const std::function<void()>& handler);
    void showGridCursor(int position);
    void gridCurrentChanged(const QModelIndex& current);
    void navigate(RecordNavigator::Button button);

    Prompts& prompts_;
    std::string programDir_;
    int gridColumn_ = 0;          // the grid's selected column, kept across filter changes
    bool showingCursor_ = false;  // the program, not the user, is moving the grid's current cell

    // Text exchange: the classifier's flags live as long as the window; the dialogs propose the last choice.
    ImportLineClassifier importClassifier_;
    QString lastImportFile_;
    QString lastExportFile_;
};

}  // namespace lumaref
