// SPDX-License-Identifier: MIT
// Queries that would never end or would fill memory. A query still
// running after 60 milliseconds shows the progress dialog; its cancel
// button stops the query, leaves the search list empty and says so, and
// the window then searches as before. A result past the size cap ends
// with a message. A normal search never shows the dialog.

#include "CatalogFiles.h"
#include "WindowDriver.h"

#include "catalog/CatalogQueries.h"
#include "crate/BasketModel.h"
#include "exchange/BasketFile.h"
#include "catalog/SQLiteTable3.h"
#include "ui/SearchProgress.h"
#include "kit/TabbedListBox.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace {

// BLOCKS as a view: the real blocks, then endless blocks of category 5.
// A category search for 6 ends (category 5 is a constant that SQLite
// tests once); a code search sorts the endless rows and never ends; a
// category search for 5 gets rows without end.
void WriteEndlessCatalog(FixtureCatalog& catalog)
{
    catalog.WriteStandard();
    ExecSql(catalog.DatabasePath(),
            QStringLiteral(
                "ALTER TABLE BLOCKS RENAME TO REAL_BLOCKS;"
                "CREATE VIEW BLOCKS AS SELECT * FROM REAL_BLOCKS UNION ALL SELECT * FROM "
                "(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                "SELECT 'LOOP-' || i, 'Бесконечный блок', 'А', 1, 0.1, 0, 0, 1, 5, 0 FROM n);"));
}

// Presses the progress dialog's cancel button once the dialog is shown,
// from a timer that runs while the query holds the thread.
class CancelWhenShown {
public:
    explicit CancelWhenShown(TMainForm& form)
    {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this, &form] {
            QProgressDialog* dialog = form.SearchProgress->Dialog();
            if (!dialog || !dialog->isVisible())
                return;
            shown_ = true;
            modal_ = dialog->windowModality() == Qt::WindowModal;
            label_ = dialog->labelText();
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                if (button->text() == QStringLiteral("ОТМЕНА"))
                    button->click();
            timer_.stop();
        });
        timer_.start(20);
    }
    bool Shown() const { return shown_; }
    bool Modal() const { return modal_; }
    const QString& Label() const { return label_; }

private:
    QTimer timer_;
    bool shown_ = false;
    bool modal_ = false;
    QString label_;
};

// Hands every event of a widget to `seen`.
class EventSpy : public QObject {
public:
    EventSpy(QWidget* widget, std::function<void(QEvent*)> seen) : seen_(std::move(seen))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        seen_(event);
        return false;
    }

private:
    std::function<void(QEvent*)> seen_;
};

} // namespace

TEST(LongQuery, EndlessViewShowsTheDialogAndCancelGivesTheWindowBack)
{
    FixtureCatalog catalog;
    WriteEndlessCatalog(catalog);
    const DirectoryContents before = ContentsOf(catalog.Dir());
    {
        Window window(catalog.Dir());
        TMainForm& form = *window.form;
        ASSERT_NE(form.Database, nullptr);
        form.CodeRB->click();
        {
            const CancelWhenShown canceller(form);
            SearchCode(form, QStringLiteral("loop"));
            EXPECT_TRUE(canceller.Shown());
            EXPECT_TRUE(canceller.Modal());
            EXPECT_TRUE(canceller.Label().startsWith(QStringLiteral("Поиск в каталоге…\n")))
                << canceller.Label().toStdString();
        }
        EXPECT_EQ(form.SearchProgress->Dialog(), nullptr);
        EXPECT_EQ(form.BlockTabLB->Items().Count(), 0);
        ASSERT_EQ(window.recorder.dialogs.size(), 1u);
        EXPECT_EQ(window.recorder.dialogs[0].text,
                  QStringLiteral("Поиск в каталоге отменён: список пуст."));
        EXPECT_TRUE(window.recorder.errors.isEmpty());

        // The window is the user's again: a search that ends lists its blocks.
        form.CategoryRB->click();
        PickItem(form.CategoryField, 5);
        EXPECT_EQ(form.BlockTabLB->Items().Count(), 3);

        // So is a details query that would never end: the code is looked up
        // in the endless view too.
        {
            const CancelWhenShown canceller(form);
            ClickRow(form.BlockTabLB, 0);
            EXPECT_TRUE(canceller.Shown());
        }
        ASSERT_EQ(window.recorder.dialogs.size(), 2u);
        EXPECT_EQ(window.recorder.dialogs[1].text, QStringLiteral("Поиск в каталоге отменён."));
        EXPECT_TRUE(form.FIdentField->text().isEmpty());
        EXPECT_EQ(form.BlockTabLB->Items().Count(), 3);
        EXPECT_TRUE(window.recorder.errors.isEmpty());
        EXPECT_EQ(ContentsOf(catalog.Dir()), before);
    }
    EXPECT_EQ(ContentsOf(catalog.Dir()), before);
}

TEST(LongQuery, ResultPastTheCapEndsWithAMessage)
{
    FixtureCatalog catalog;
    WriteEndlessCatalog(catalog);
    Window window(catalog.Dir());
    TMainForm& form = *window.form;
    ASSERT_NE(form.Database, nullptr);
    // The cap that the program uses, 256 MiB, takes long to reach; the
    // same check at one mebibyte.
    EXPECT_EQ(form.Database->ResultByteLimit(), TSQLiteDatabase::kDefaultResultByteLimit);
    form.Database->SetResultByteLimit(std::size_t{1} << 20);
    PickItem(form.CategoryField, 4);
    EXPECT_EQ(window.recorder.errors,
              QStringList{QStringLiteral("НЕ УДАЛОСЬ ВЫПОЛНИТЬ SQL-ЗАПРОС \"") +
                          QString::fromStdString(QueryByCategory(5).sql) +
                          QStringLiteral("\" : РЕЗУЛЬТАТ БОЛЬШЕ 1 МиБ.")});
    EXPECT_EQ(form.BlockTabLB->Items().Count(), 0);
    PickItem(form.CategoryField, 5);
    EXPECT_EQ(form.BlockTabLB->Items().Count(), 3);
}

TEST(LongQuery, NormalSearchesNeverShowTheDialog)
{
    FixtureCatalog catalog;
    catalog.WriteStandard();
    Window window(catalog.Dir());
    TMainForm& form = *window.form;
    ASSERT_NE(form.SearchProgress, nullptr);
    PickItem(form.CategoryField, 5);
    ClickRow(form.BlockTabLB, 0);
    PickItem(form.CategoryField, 20);
    PickItem(form.SubCategoryField, 0);
    form.CodeRB->click();
    SearchCode(form, QStringLiteral("mk"));
    ClickRow(form.BlockTabLB, 2);
    EXPECT_EQ(form.FIdentField->text(), QStringLiteral("MK1-200"));
    EXPECT_EQ(form.SearchProgress->DialogsShown(), 0);
    EXPECT_TRUE(window.recorder.dialogs.empty());
}

TEST(LongQuery, OpeningABasketWhoseLookupNeverEndsShowsTheDialogAndCancelLeavesTheBasket)
{
    FixtureCatalog catalog;
    WriteEndlessCatalog(catalog);
    // Every lookup in the endless view runs on without end (every block of
    // the file is a long step of the opening, as in a very large catalog).
    BasketDocument file;
    file.decimalSeparator = QStringLiteral(".");
    file.crateType = QStringLiteral("KSV-3HB (QT23)");
    file.catalog = ReadCatalogStamp(catalog.DatabasePath());
    file.entries.push_back({QStringLiteral("MK1-03"), QStringLiteral("0.1"), QStringLiteral("0"),
                            QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("1")});
    file.entries.push_back({QStringLiteral("NEVER-FOUND"), QStringLiteral("0.1"),
                            QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1"),
                            QStringLiteral("1")});
    QTemporaryDir files;
    const QString path = QDir(files.path()).filePath(QStringLiteral("endless.vbasket"));
    SaveBasketFile(path, file);

    Window window(catalog.Dir());
    TMainForm& form = *window.form;
    ASSERT_NE(form.Database, nullptr);
    const QStringList rowsBefore = Rows(form.RackTabLB);
    const int stepsBefore = form.Basket->UndoStack()->count();
    form.AskFileName = [&path](FileRequest) { return path; };
    {
        const CancelWhenShown canceller(form);
        form.OpenBtn->click();
        EXPECT_TRUE(canceller.Shown());
        EXPECT_TRUE(canceller.Modal());
        EXPECT_TRUE(canceller.Label().startsWith(QStringLiteral("Открытие корзины…\n")))
            << canceller.Label().toStdString();
    }
    EXPECT_EQ(form.SearchProgress->Dialog(), nullptr);
    ASSERT_EQ(window.recorder.dialogs.size(), 1u);
    EXPECT_EQ(window.recorder.dialogs[0].text,
              QStringLiteral("Открытие корзины отменено: корзина не изменилась."));
    EXPECT_TRUE(window.recorder.errors.isEmpty());
    EXPECT_EQ(Rows(form.RackTabLB), rowsBefore);
    EXPECT_EQ(form.Basket->UndoStack()->count(), stepsBefore);
    EXPECT_TRUE(form.Devices.empty());

    // The window searches as before.
    form.CategoryRB->click();
    PickItem(form.CategoryField, 5);
    EXPECT_EQ(form.BlockTabLB->Items().Count(), 3);
}

// A search long enough to show its dialog keeps it up until the list has
// taken every row in and been painted with them: the window is never left
// without the dialog while it lays out a long list.
TEST(LongQuery, ALongSearchKeepsItsDialogUntilTheListIsPaintedWithItsRows)
{
    FixtureCatalog catalog;
    catalog.WriteStandard();
    constexpr int kRows = 200'000;
    ExecSql(catalog.DatabasePath(),
            QStringLiteral("ALTER TABLE BLOCKS RENAME TO REAL_BLOCKS;"
                           "CREATE VIEW BLOCKS AS SELECT * FROM REAL_BLOCKS UNION ALL SELECT * FROM "
                           "(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < %1) SELECT 'LONG-' || i, 'Длинный блок', 'А', 1, 0.1, 0, 0, "
                           "1, 5, 0 FROM n);")
                .arg(kRows));
    Window window(catalog.Dir());
    TMainForm& form = *window.form;
    ASSERT_NE(form.Database, nullptr);
    form.CodeRB->click();

    struct AtClose {
        bool seen = false;
        int rows = -1;
        int paintsWithRows = 0;
    } atClose;
    int paintsWithRows = 0;
    const auto countPaints = [&](QEvent* event) {
        if (event->type() == QEvent::Paint && form.BlockTabLB->model()->rowCount() == kRows)
            ++paintsWithRows;
    };
    EventSpy spy(form.BlockTabLB->viewport(), countPaints);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
        QProgressDialog* dialog = form.SearchProgress->Dialog();
        if (!dialog || atClose.seen)
            return;
        atClose.seen = true;
        QObject::connect(dialog, &QObject::destroyed, &watch, [&] {
            atClose.rows = form.BlockTabLB->model()->rowCount();
            atClose.paintsWithRows = paintsWithRows;
        });
    });
    watch.start(10);
    SearchCode(form, QStringLiteral("long-"));

    ASSERT_TRUE(atClose.seen) << "the search was too short to show its dialog";
    EXPECT_EQ(atClose.rows, kRows);
    EXPECT_GE(atClose.paintsWithRows, 1);
    EXPECT_EQ(form.SearchProgress->Dialog(), nullptr);
    EXPECT_EQ(form.BlockTabLB->Items().Count(), kRows);
    EXPECT_TRUE(window.recorder.dialogs.empty());
    EXPECT_TRUE(window.recorder.errors.isEmpty());
}
