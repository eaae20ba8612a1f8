// SPDX-License-Identifier: MIT
#pragma once

// The program's only working window: search by category or by a fragment of
// the block code, the details of one block, and the basket with the crate
// types and totals. Every behaviour is an event handler named after its
// control and event; each runs inside RunGuarded, so an error ends the
// handler, shows in the error box and leaves the window usable.
//
// The window owns the catalog connection (Database, from first show), the
// basket model (Basket, whose entries Devices names) and every list on
// screen. The basket's truth is the model: handlers change it through its
// steps, and everything the basket shows (rows, ticks, totals, budget) is
// refreshed from its one Changed signal. Controls are public, as a form's
// published fields, so tests can drive the real window.

#include "crate/Basket.h"
#include "crate/BasketModel.h"
#include "exchange/BasketCsv.h"
#include "crate/Budget.h"
#include "exchange/RecentFiles.h"
#include "ui/SearchProgress.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QSplitter;
class QTextDocument;
class QVBoxLayout;
class QWidget;
class TCheckList;
class TFieldColorListBox;
class THeader;
class TSQLiteDatabase;
class TRackView;
class TTabbedListBox;
struct BasketSummary;
struct BasketToOpen;
struct CatalogCrateTypeList;
struct CatalogQuery;

// What a file name is asked for.
enum class FileRequest { OpenBasket, SaveBasket, ExportCsv };

inline constexpr char16_t kApplicationTitle[] = u"Veltrum Voltage Control Program";
inline constexpr char16_t kDatabaseTitle[] = u"Veltrum Database System";

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // `catalogDir` holds VELTRUM.db and the Category directory. Numbers on
    // screen use `decimalSeparator`, the user's locale's when it is empty.
    explicit TMainForm(const QString& catalogDir, const QString& decimalSeparator = QString(),
                       QWidget* parent = nullptr);
    ~TMainForm() override;

    const QString& CatalogDir() const { return catalogDir_; }

    // Controls.
    QAction* ExitItem;
    QSplitter* MainSplitter;
    QSplitter* UpSplitter;
    QGroupBox* DownGB;
    QRadioButton* CategoryRB;
    QRadioButton* CodeRB;
    QWidget* CategoryPanel;
    QWidget* CodePanel;
    QComboBox* CategoryField;
    QComboBox* SubCategoryField;
    QLineEdit* FindIdentField;
    THeader* TableHeader;
    TTabbedListBox* BlockTabLB;
    QPushButton* AddBtn;
    // How many of the shown block AddBtn adds, as one step (1 to 99).
    QSpinBox* CountField;
    QGroupBox* RightGB;
    QLabel* FCategoryField;
    QLabel* FSubCategoryField;
    QLabel* FNameRusField;
    QLabel* FIdentField;
    QLabel* FVIPRField;
    QLabel* FSlotsCountField;
    QLabel* FV5Field;
    QLabel* FV7Field;
    QLabel* F_V7Field;
    QLabel* FTotalPowerField;
    QGroupBox* RackGB;
    TCheckList* RackTypeCL;
    THeader* RackHeader;
    TTabbedListBox* RackTabLB;
    // The ticked crate drawn slot by slot, one block per basket entry in
    // basket order; its chosen block is the basket's chosen row.
    TRackView* RackViewPanel;
    QPushButton* DelBtn;
    QPushButton* ClearBtn;
    TTabbedListBox* TotalTabLB;
    // The budget under the totals: headroom and share used per limit, the
    // verdict in words, and the warning threshold in per cent.
    TFieldColorListBox* HeadroomTabLB;
    QLabel* FVerdictField;
    QSpinBox* MarginField;
    QPushButton* SaveBtn;
    QPushButton* OpenBtn;
    // Beside OpenBtn: the drop-down of the basket files opened or saved
    // last (RecentMenu), newest first.
    QPushButton* RecentBtn;
    QMenu* RecentMenu;
    QPushButton* ExportBtn;
    QPushButton* ReportBtn;
    // Undo and redo of the basket's steps (Ctrl+Z; Ctrl+Shift+Z or Ctrl+Y).
    QPushButton* UndoBtn;
    QPushButton* RedoBtn;

    // State.
    std::unique_ptr<TSQLiteDatabase> Database;
    // The basket: entries, crate types, the ticked one, the threshold, the
    // undo steps.
    const std::unique_ptr<TBasketModel> Basket;
    // The basket entries in basket order (the model's).
    const std::vector<TDevice>& Devices;
    // Follows every catalog query and shows its progress dialog when it
    // runs long; exists while Database does.
    std::unique_ptr<TSearchProgress> SearchProgress;

    // Event handlers.
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void ExitItemClick();
    void CategoryRBClick();
    void CodeRBClick();
    void CategoryFieldChange();
    void SubCategoryFieldChange();
    void FindIdentFieldKeyDown(int key);
    // Enter on a search row, or a double click, adds it as AddBtn does.
    void BlockTabLBKeyDown(int key);
    void BlockTabLBDblClick();
    // Delete on a basket row deletes it as DelBtn does; Alt+Up and
    // Alt+Down move it one place.
    void RackTabLBKeyDown(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Enter in the quantity adds, as AddBtn does.
    void CountFieldKeyDown(int key);
    // A basket row chosen chooses its block in the picture, and the reverse.
    void RackTabLBClick();
    void RackViewPanelCurrentChanged(int entry);
    // The picture asks that entry `from` go to `to`: one undo step.
    void RackViewPanelMoveRequested(int from, int to);
    void TableHeaderSized();
    void RackHeaderSized();
    void BlockTabLBClick();
    void RackTypeCLChange();
    void AddBtnClick();
    void DelBtnClick();
    void ClearBtnClick();
    void MarginFieldChange();
    void SaveBtnClick();
    void OpenBtnClick();
    // A file chosen from RecentMenu: opened as OpenBtn opens one; a file
    // that is gone is said so and leaves the list.
    void RecentMenuClick(const QString& path);
    void ExportBtnClick();
    void ReportBtnClick();
    void UndoBtnClick();
    void RedoBtnClick();

    // Opens a basket file into the basket, replacing it. When something
    // that enters the budget changed since the file was saved, the changes
    // are listed first with OK and CANCEL. On CANCEL or any failure the
    // basket and its undo steps stay exactly as they were. True when the
    // basket was replaced.
    bool OpenBasketFile(const QString& path);
    // A basket file to open once the catalog is open (the command line's
    // argument); set before the window is first shown.
    void OpenBasketAtStart(const QString& path) { basketAtStart_ = path; }

    // Seams for tests: the file dialog that asks for a file name (an empty
    // name cancels), and the print preview of the report.
    std::function<QString(FileRequest request)> AskFileName;
    std::function<void(QTextDocument& report)> PreviewReport;
    // Where the recent files and the last folder are kept (RecentFiles.h):
    // recent.ini in the user's configuration folder for this program;
    // empty: nowhere. Read at the first file command or drop-down, written
    // only when a file command is used.
    QString RecentFilesFile;

    // Decimal separator of the numbers on screen.
    const QString DecimalSeparator;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void NameControls();
    QWidget* BuildSearchGroup();
    QWidget* BuildDetailsGroup();
    QWidget* BuildBasketGroup();
    // The headroom row and the verdict line with the threshold, from grid row `row` on.
    void BuildBudgetControls(QGridLayout* grid, int row);
    void WireEvents();
    void WireCompletion(QComboBox* combo, void (TMainForm::*change)());
    void WireSearchMode(QRadioButton* button, void (TMainForm::*click)());
    // Shortcuts, the tab order and the keys of the lists.
    void WireKeyboard();
    // Shows one search panel and hides the other, whose fields then take
    // no focus: a screen reader would otherwise still offer them.
    void ShowSearchPanel(QWidget* shown, QWidget* hidden);
    // Runs the list's key handler; true when the key was the window's.
    bool ListKeyDown(TTabbedListBox* list, int key);
    void LoadCategories();
    void ClearDetails();
    void FillSearchList(const CatalogQuery& query);
    void ReportCancelledSearch(const char16_t* text);
    [[noreturn]] void ReportSearchOutOfMemory();
    void FillRackTypes();
    void UseCrateTypes(const CatalogCrateTypeList& crateTypes);
    // Everything the basket shows, from the model: called on its Changed.
    void ShowBasket();
    void ShowBasketRows();
    void ShowCrateTicks();
    void ShowRackPicture();
    // Moves basket entry `from` to `to` as one step; the row and the block
    // stay chosen at their new place.
    void MoveBasketEntry(int from, int to);
    void ShowTotals(const BasketBudget& budget);
    // Shows the budget of the basket: headroom row, verdict, fit marks on
    // the crate types; nothing for an empty basket.
    void ShowBudget(const BasketBudget& budget);
    void ShowUndoSteps();
    void BuildFileButtons(QGridLayout* buttons);
    void BuildUndoButtons(QGridLayout* buttons);
    void WireUndo();
    void WireFileButtons();
    QString AskFileNameInDialog(FileRequest request);
    void ShowReportPreview(QTextDocument& report);
    void PrintReportTo(const QTextDocument& report, QPrinter& printer);
    void OpenStartBasket();
    // The recent files, read from RecentFilesFile when first needed.
    const RecentFiles& Recent();
    // The dialogs start in the folder of `path` from now on; kept at once.
    void UseFolderOf(const QString& path);
    // `path` goes to the top of the recent files; kept at once.
    void UseRecentFile(const QString& path);
    void ForgetRecentFile(const QString& path);
    void KeepRecent(RecentFiles recent);
    void BuildRecentButton();
    void WireRecentMenu();
    void FillRecentMenu();
    void WarnWhenCrateFull();
    // A basket file read and its codes looked up, under the progress
    // dialog of a long opening; nothing when ОТМЕНА ended it (said).
    std::optional<BasketToOpen> ReadBasketLookingUp(const QString& path,
                                                    TSearchProgress::Cover& cover);
    void ReportCancelledOpening(TSearchProgress::Cover& cover);
    BasketSummary CurrentSummary();
    template <class Handler> void Guarded(Handler&& handler);
    // A slot that runs `handler` inside the guard.
    std::function<void()> GuardedSlot(void (TMainForm::*handler)());

    QString catalogDir_;
    bool shown_ = false;
    // The shown block's slot, current and power columns that hold no number.
    QStringList shownNotANumber_;
    // The shown block's code exactly as the catalog stores it (every byte);
    // the screen's text of a code need not lead back to it.
    QByteArray shownCode_;
    QString basketAtStart_;
    // The CSV form the export dialog chose last: guarded unless the raw one.
    CsvFormulas csvFormulas_ = CsvFormulas::Guarded;
    std::optional<RecentFiles> recent_; // read when first needed
};
