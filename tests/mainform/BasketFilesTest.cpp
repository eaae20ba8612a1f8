// SPDX-License-Identifier: MIT
// Keeping and handing on a basket in the real window: save and reopen,
// bad basket files, CSV export, the report, and a file given at start.

#include "WindowDriver.h"

#include "CsvReader.h"
#include "WhenModal.h"
#include "catalog/SQLiteTable3.h"
#include "exchange/BasketCheck.h"
#include "exchange/BasketFile.h"
#include "exchange/CatalogLookup.h"
#include "exchange/MessageQuote.h"
#include "exchange/RecentFiles.h"
#include "kit/CheckList.h"
#include "kit/FieldColorListBox.h"
#include "kit/Platform.h"
#include "kit/TabbedListBox.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QUndoStack>
#include <QWindow>

#include <gtest/gtest.h>

#include <optional>

#include <sys/stat.h>

namespace {

const QColor kRed(255, 0, 0);

// What the user sees of the basket.
struct BasketView {
    QStringList rows, totals;
    int checked = -1;
    size_t devices = 0;
    QColor colour;
    bool operator==(const BasketView&) const = default;
};

void PrintTo(const BasketView& view, std::ostream* out)
{
    *out << view.rows.join(QLatin1Char('|')).toStdString() << " / "
         << view.totals.join(QLatin1Char('|')).toStdString() << " / type " << view.checked << " / "
         << view.devices << " devices / " << view.colour.name().toStdString();
}

class BasketFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog.WriteStandard();
        catalog.AddBlocks({
            PowerBlock(u"ONE", 1, 0.1, 0.1, 0.1, 1),
            PowerBlock(u"FIVE", 5, 0.1, 0.1, 0.1, 1),
            PowerBlock(u"HALF", 2, 1.5, 0.7, 0.35, 14.25),
        });
        Open(QStringLiteral("."));
    }
    void Open(const QString& separator)
    {
        window.reset();
        window = std::make_unique<Window>(catalog.Dir(), separator);
        ASSERT_NE(form().Database, nullptr);
        form().CodeRB->click();
        form().AskFileName = [this](FileRequest request) {
            requests.push_back(request);
            return nextFileName;
        };
    }
    TMainForm& form() { return *window->form; }
    DialogRecorder& recorder() { return window->recorder; }

    void Add(const char16_t* code, int times = 1) { AddToBasket(form(), code, times); }
    int Checked()
    {
        for (int row = 0; row < form().RackTypeCL->Items().Count(); ++row)
            if (form().RackTypeCL->RowState(row) == cbChecked)
                return row;
        return -1;
    }
    BasketView View()
    {
        return {Rows(form().RackTabLB), Rows(form().TotalTabLB), Checked(), form().Devices.size(),
                form().TotalTabLB->FontColor()};
    }
    QString Path(const char* name) const { return files.filePath(QLatin1String(name)); }
    void Write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    // A basket file of the given entries, saved with a full stop.
    QByteArray BasketJson(const QString& crateType, const std::vector<DeviceTexts>& entries)
    {
        BasketDocument basket;
        basket.decimalSeparator = QStringLiteral(".");
        basket.crateType = crateType;
        basket.entries = entries;
        basket.catalog = ReadCatalogStamp(catalog.DatabasePath());
        return EncodeBasket(basket);
    }
    void OpenFile(const QString& path)
    {
        nextFileName = path;
        form().OpenBtn->click();
    }

    FixtureCatalog catalog;
    QTemporaryDir files;
    std::unique_ptr<Window> window;
    std::vector<FileRequest> requests;
    QString nextFileName;
};

DeviceTexts Texts(const char* code, const char* v5, const char* v7, const char* v_7,
                  const char* power, const char* slots)
{
    return {QString::fromUtf8(code), QString::fromUtf8(v5),    QString::fromUtf8(v7),
            QString::fromUtf8(v_7),  QString::fromUtf8(power), QString::fromUtf8(slots)};
}

} // namespace

TEST_F(BasketFiles, CommandsAreNamedButtonsWithTheirShortcutsInTheirTooltips)
{
    const struct {
        QPushButton* button;
        const char* name;
        const char16_t* caption;
        QKeySequence keys;
    } buttons[] = {
        {form().SaveBtn, "SaveBtn", u"СОХРАНИТЬ", QKeySequence(QKeySequence::Save)},
        {form().OpenBtn, "OpenBtn", u"ОТКРЫТЬ", QKeySequence(QKeySequence::Open)},
        {form().ExportBtn, "ExportBtn", u"ЭКСПОРТ", QKeySequence(Qt::CTRL | Qt::Key_E)},
        {form().ReportBtn, "ReportBtn", u"ОТЧЁТ", QKeySequence(QKeySequence::Print)},
    };
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.name);
        EXPECT_EQ(b.button->objectName(), QLatin1String(b.name));
        EXPECT_EQ(b.button->text(), QString::fromUtf16(b.caption));
        EXPECT_EQ(b.button->shortcut(), b.keys);
        EXPECT_TRUE(b.button->toolTip().contains(b.keys.toString(QKeySequence::NativeText)))
            << b.button->toolTip().toStdString();
    }
    // The menu keeps its single item.
    EXPECT_EQ(form().menuBar()->actions().size(), 1);

    // The keys reach the handlers from anywhere in the window.
    int previews = 0;
    form().PreviewReport = [&previews](QTextDocument&) { ++previews; };
    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    form().FindIdentField->setFocus();
    // A button's shortcut clicks it the way a mouse does, a moment later.
    for (const auto& b : buttons) {
        const size_t before = requests.size() + static_cast<size_t>(previews);
        QTest::keySequence(form().windowHandle(), b.keys);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return requests.size() + static_cast<size_t>(previews) > before;
        })) << b.name;
    }
    EXPECT_EQ(requests, (std::vector<FileRequest>{FileRequest::SaveBasket, FileRequest::OpenBasket,
                                                  FileRequest::ExportCsv}));
    EXPECT_EQ(previews, 1);
    EXPECT_TRUE(recorder().errors.isEmpty()) << recorder().errors.join(u'\n').toStdString();
}

TEST_F(BasketFiles, ASavedBasketComesBackInANewWindowAsItWas)
{
    TickRackType(form(), 4); // 17 slots, 10 A on +5 V
    Add(u"HALF", 7);         // 10.5 A: over the limit
    Add(u"ONE");
    const BasketView saved = View();
    ASSERT_EQ(saved.devices, 8u);
    ASSERT_EQ(saved.colour, kRed);
    ASSERT_EQ(saved.checked, 4);

    const QString path = Path("crate.vbasket");
    nextFileName = path;
    form().SaveBtn->click();
    ASSERT_TRUE(recorder().errors.isEmpty()) << recorder().errors.join(u'\n').toStdString();
    const std::vector<TDevice> devices = form().Devices;

    // The file names the catalog it came from.
    QFile db(catalog.DatabasePath());
    ASSERT_TRUE(db.open(QIODevice::ReadOnly));
    const QByteArray sha =
        QCryptographicHash::hash(db.readAll(), QCryptographicHash::Sha256).toHex();
    EXPECT_EQ(LoadBasketFile(path).catalog.sha256, QString::fromLatin1(sha));
    // And the ticked crate type's limits, so that a later change to them can be told.
    EXPECT_EQ(LoadBasketFile(path).crateLimits,
              (LimitTexts{QStringLiteral("10"), QStringLiteral("3"), QStringLiteral("3"),
                          QStringLiteral("90"), QStringLiteral("17")}));

    Open(QStringLiteral(".")); // the program closed and started again
    ASSERT_EQ(View().devices, 0u);
    OpenFile(path);
    EXPECT_EQ(View(), saved);
    ASSERT_EQ(form().Devices.size(), devices.size());
    for (size_t i = 0; i < devices.size(); ++i) {
        EXPECT_EQ(form().Devices[i].Ident, devices[i].Ident);
        EXPECT_EQ(form().Devices[i].V5, devices[i].V5);
        EXPECT_EQ(form().Devices[i].SlotsCount, devices[i].SlotsCount);
    }
    EXPECT_TRUE(recorder().dialogs.empty()) << "nothing to ask or report";
    EXPECT_TRUE(recorder().errors.isEmpty());
}

TEST_F(BasketFiles, ABasketSavedWithACommaOpensWithAFullStop)
{
    Open(QStringLiteral(","));
    Add(u"HALF");
    const QString path = Path("comma.vbasket");
    nextFileName = path;
    form().SaveBtn->click();

    Open(QStringLiteral("."));
    OpenFile(path);
    EXPECT_EQ(Rows(form().RackTabLB),
              QStringList{QStringLiteral("HALF\t1.5\t0.7\t0.35\t14.25\t2")});
    EXPECT_TRUE(recorder().dialogs.empty()) << "the same values are no change";
}

TEST_F(BasketFiles, OpeningOverABasketAsksFirst)
{
    const QString path = Path("five.vbasket");
    Write(path, BasketJson(QStringLiteral("KSV-3HA (QT27)"),
                           {Texts("FIVE", "0.1", "0.1", "0.1", "1", "5")}));
    Add(u"ONE");
    const BasketView before = View();

    recorder().nextAnswer = 2; // CANCEL
    OpenFile(path);
    ASSERT_EQ(recorder().dialogs.size(), 1u);
    const DialogCall& question = recorder().dialogs[0];
    EXPECT_EQ(question.text, QStringLiteral("Заменить текущую корзину?"));
    EXPECT_EQ(question.icon, IDI_QUESTION);
    EXPECT_EQ(question.buttons, (QStringList{QStringLiteral("OK"), QStringLiteral("CANCEL")}));
    EXPECT_TRUE(requests.empty()) << "no file is asked for";
    EXPECT_EQ(View(), before);

    recorder().nextAnswer = 1;
    OpenFile(path);
    EXPECT_EQ(Rows(form().RackTabLB), QStringList{QStringLiteral("FIVE\t0.1\t0.1\t0.1\t1\t5")});
    EXPECT_EQ(Checked(), 4);

    // Cancelling the file dialog changes nothing.
    const BasketView opened = View();
    OpenFile(QString());
    EXPECT_EQ(View(), opened);
}

TEST_F(BasketFiles, BadBasketFilesAreReportedAndTheBasketStaysAsItWas)
{
    TickRackType(form(), 4);
    Add(u"HALF");
    Add(u"ONE");
    const BasketView before = View();

    const QByteArray valid =
        BasketJson(QStringLiteral("KSV-3HA (QT27)"), {Texts("ONE", "0.1", "0.1", "0.1", "1", "1")});
    QJsonObject newer = QJsonDocument::fromJson(valid).object();
    newer[QStringLiteral("version")] = 7;
    QJsonObject otherFormat = newer;
    otherFormat[QStringLiteral("format")] = QStringLiteral("spreadsheet");
    QJsonObject wrongType = QJsonDocument::fromJson(valid).object();
    wrongType[QStringLiteral("entries")] = QJsonArray{QJsonObject{{QStringLiteral("code"), 1}}};
    QJsonObject noEntries = QJsonDocument::fromJson(valid).object();
    noEntries[QStringLiteral("entries")] = QJsonArray();
    QByteArray million = QJsonDocument(noEntries).toJson(QJsonDocument::Compact);
    million.replace("\"entries\":[]", "\"entries\":[" + QByteArray("{},").repeated(999999) + "{}]");

    const QString huge = Path("huge.vbasket");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(100 * 1000 * 1000));
    }
    const struct {
        const char* name;
        QByteArray bytes; // written to the file unless it is null
        const char* message;
    } cases[] = {
        {"notjson.vbasket", "MK1-100;ONE;HALF", "это не файл JSON"},
        {"other.vbasket", QJsonDocument(otherFormat).toJson(), "это не файл корзины Veltrum"},
        {"newer.vbasket", QJsonDocument(newer).toJson(), "более новой версией программы"},
        {"truncated.vbasket", valid.left(valid.size() - 20), "файл обрывается"},
        {"huge.vbasket", QByteArray(), "файл слишком велик"},
        {"million.vbasket", million, "слишком много записей (1000000"},
        {"deep.vbasket", QByteArray(10000, '{'), "слишком глубокая вложенность"},
        {"types.vbasket", QJsonDocument(wrongType).toJson(),
         "поле «entries[0].code» должно быть строкой"},
    };
    recorder().nextAnswer = 1; // replace
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = Path(c.name);
        if (!c.bytes.isNull())
            Write(path, c.bytes);
        recorder().errors.clear();
        OpenFile(path);
        ASSERT_EQ(recorder().errors.size(), 1);
        const QString error = recorder().errors[0];
        EXPECT_TRUE(
            error.startsWith(QStringLiteral("Не удалось открыть файл корзины \"%1\": ").arg(path)))
            << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.message))) << error.toStdString();
        EXPECT_EQ(View(), before);
    }
}

// What changed since the file was saved and enters the budget is listed,
// in the check's lines, after the file is read and before the basket is
// replaced: CANCEL keeps the basket and its undo steps exactly, OK opens
// the file as one step (and warns when the crate is then over its slots).
TEST_F(BasketFiles, ChangesThatEnterTheBudgetAreAskedBeforeTheBasketIsReplaced)
{
    struct Case {
        const char* name;
        QString crateType;
        std::optional<LimitTexts> limits;
        std::vector<DeviceTexts> entries;
        QStringList lines;
        QStringList rows; // after OK
        int checked;
        bool crateFull;
    };
    const QString one = QStringLiteral("ONE\t0.1\t0.1\t0.1\t1\t1");
    const Case cases[] = {
        {"an unknown crate type",
         QStringLiteral("KSV-7 (prototype)"),
         std::nullopt,
         {Texts("ONE", "0.1", "0.1", "0.1", "1", "1")},
         {QStringLiteral(
             "Тип корзины «KSV-7 (prototype)» неизвестен; отмечен тип «KSV-1HA (QT310SB)».")},
         {one},
         0,
         false},
        {"a crate type with other limits",
         QStringLiteral("KSV-3HB (QT23)"),
         LimitTexts{QStringLiteral("16"), QStringLiteral("5"), QStringLiteral("2.5"),
                    QStringLiteral("140"), QStringLiteral("16")},
         {Texts("ONE", "0.1", "0.1", "0.1", "1", "1")},
         {QStringLiteral("Тип корзины «KSV-3HB (QT23)»: -7V, А 2.5 → 3")},
         {one},
         5,
         false},
        {"a withdrawn block",
         QStringLiteral("KSV-3HB (QT23)"),
         std::nullopt,
         {Texts("GONE-1", "1", "1", "1", "1", "1"), Texts("ONE", "0.1", "0.1", "0.1", "1", "1")},
         {QStringLiteral("GONE-1: нет в каталоге, не добавлен")},
         {one},
         5,
         false},
        {"changed amounts",
         QStringLiteral("KSV-3HB (QT23)"),
         std::nullopt,
         {Texts("HALF", "1.5", "0.7", "0.35", "14.25", "2"),
          Texts("ONE", "0.9", "0.1", "0.1", "2", "1")},
         {QStringLiteral("ONE: +5V, А 0.9 → 0.1; МОЩНОСТЬ, ВТ 2 → 1")},
         {QStringLiteral("HALF\t1.5\t0.7\t0.35\t14.25\t2"), one},
         5,
         false},
        {"more slots than the crate now",
         QStringLiteral("KSV-1HA (QT310SB)"),
         std::nullopt,
         {Texts("FIVE", "0.1", "0.1", "0.1", "1", "1")},
         {QStringLiteral("FIVE: КОЛ-ВО СЛОТОВ 1 → 5")},
         {QStringLiteral("FIVE\t0.1\t0.1\t0.1\t1\t5")},
         0,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(QStringLiteral("."));
        const QString path = Path("differences.vbasket");
        BasketDocument file = DecodeBasket(BasketJson(c.crateType, c.entries));
        file.crateLimits = c.limits;
        Write(path, EncodeBasket(file));
        TickRackType(form(), 4);
        Add(u"HALF");
        const BasketView before = View();
        const QUndoStack* steps = form().Basket->UndoStack();
        const int stepCount = steps->count();
        const QString undoText = steps->undoText();

        // «Заменить текущую корзину?» first, then the changes: CANCEL.
        recorder().answers = {1, 2};
        OpenFile(path);
        ASSERT_EQ(recorder().dialogs.size(), 2u);
        EXPECT_EQ(recorder().dialogs[0].text, QStringLiteral("Заменить текущую корзину?"));
        const DialogCall& asked = recorder().dialogs[1];
        EXPECT_EQ(asked.title, QStringLiteral("Veltrum Voltage Control Program"));
        EXPECT_EQ(asked.heading,
                  QStringLiteral("Каталог изменился с тех пор, как корзина была сохранена. "
                                 "Открыть корзину с нынешними значениями каталога?"));
        EXPECT_EQ(asked.lines, c.lines);
        EXPECT_EQ(asked.buttons, (QStringList{QStringLiteral("OK"), QStringLiteral("CANCEL")}));
        EXPECT_EQ(asked.icon, IDI_EXCLAMATION);
        EXPECT_EQ(View(), before);
        EXPECT_EQ(steps->count(), stepCount) << "no step, nothing to undo";
        EXPECT_EQ(steps->index(), stepCount);
        EXPECT_EQ(steps->undoText(), undoText);

        // OK: the file's basket with the catalog's values, as one step.
        recorder().dialogs.clear();
        recorder().answers = {1, 1};
        OpenFile(path);
        EXPECT_EQ(Rows(form().RackTabLB), c.rows);
        EXPECT_EQ(Checked(), c.checked);
        EXPECT_EQ(steps->count(), stepCount + 1);
        ASSERT_EQ(recorder().dialogs.size(), c.crateFull ? 3u : 2u);
        EXPECT_EQ(recorder().dialogs[1].lines, c.lines);
        if (c.crateFull) {
            EXPECT_EQ(recorder().dialogs[2].text, QStringLiteral("Корзина заполнена!"));
        }
        form().UndoBtn->click();
        EXPECT_EQ(View(), before);
        EXPECT_TRUE(recorder().errors.isEmpty()) << recorder().errors.join(u'\n').toStdString();
    }
}

// A catalog that is only another file (a name corrected, a block added)
// with the same amounts for the basket's blocks asks nothing.
TEST_F(BasketFiles, ANewCatalogWithTheSameAmountsAsksNothing)
{
    Add(u"HALF");
    Add(u"ONE");
    const BasketView saved = View();
    const QString path = Path("same.vbasket");
    nextFileName = path;
    form().SaveBtn->click();
    const CatalogStamp stamp = LoadBasketFile(path).catalog;

    ExecSql(
        catalog.DatabasePath(),
        QStringLiteral("UPDATE BLOCKS SET NAME_RUS = 'Новое имя' WHERE IDENT = 'ONE';"
                       "INSERT INTO BLOCKS VALUES ('NEW', 'Новый', 'V', 1, 1, 0, 0, 1, 1, 0);"));
    ASSERT_NE(ReadCatalogStamp(catalog.DatabasePath()).sha256, stamp.sha256);
    Open(QStringLiteral("."));
    OpenFile(path);
    EXPECT_EQ(View(), saved);
    EXPECT_TRUE(recorder().dialogs.empty());
    EXPECT_TRUE(recorder().errors.isEmpty()) << recorder().errors.join(u'\n').toStdString();
}

TEST_F(BasketFiles, AFileWithMoreSlotsThanTheCrateIsTakenWholeWithAWarning)
{
    const QString path = Path("big.vbasket");
    Write(path, BasketJson(QStringLiteral("KSV-1HA (QT310SB)"),
                           {Texts("FIVE", "0.1", "0.1", "0.1", "1", "5"),
                            Texts("ONE", "0.1", "0.1", "0.1", "1", "1")}));
    OpenFile(path);
    EXPECT_EQ(form().Devices.size(), 2u);
    EXPECT_EQ(form().TotalTabLB->ColumnText(5, 0), QStringLiteral("6"));
    EXPECT_EQ(form().TotalTabLB->FontColor(), kRed);
    ASSERT_EQ(recorder().dialogs.size(), 1u);
    EXPECT_EQ(recorder().dialogs[0].text, QStringLiteral("Корзина заполнена!"));
    EXPECT_EQ(recorder().dialogs[0].icon, IDI_EXCLAMATION);

    // An empty basket file empties the basket, totals row included.
    Write(path, BasketJson(QStringLiteral("KSV-3HA (QT27)"), {}));
    OpenFile(path);
    EXPECT_EQ(View(), (BasketView{{}, {}, 4, 0, form().TotalTabLB->FontColor()}));
}

TEST_F(BasketFiles, AFailedSaveSaysWhyAndTheBasketStays)
{
    Add(u"ONE");
    const BasketView before = View();
    nextFileName = files.path(); // a folder in the way
    form().SaveBtn->click();
    ASSERT_EQ(recorder().errors.size(), 1);
    EXPECT_TRUE(recorder().errors[0].startsWith(
        QStringLiteral("Не удалось сохранить корзину в файл \"%1\": ").arg(files.path())))
        << recorder().errors[0].toStdString();
    EXPECT_EQ(View(), before);

    nextFileName.clear(); // the dialog cancelled
    form().SaveBtn->click();
    form().ExportBtn->click();
    EXPECT_EQ(recorder().errors.size(), 1);
    EXPECT_TRUE(QDir(files.path()).isEmpty());
}

TEST_F(BasketFiles, ExportGivesTheBasketAsTheSpreadsheetSees)
{
    Open(QStringLiteral(","));
    Add(u"HALF");
    Add(u"ONE");
    const QString path = Path("basket.csv");
    nextFileName = path;
    form().ExportBtn->click();
    ASSERT_TRUE(recorder().errors.isEmpty()) << recorder().errors.join(u'\n').toStdString();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const std::vector<QStringList> rows = ReadCsv(QString::fromUtf8(bytes.mid(3)), u';');
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[1],
              (QStringList{QStringLiteral("HALF"), QStringLiteral("Блок HALF"),
                           QStringLiteral("1,5"), QStringLiteral("0,7"), QStringLiteral("0,35"),
                           QStringLiteral("14,25"), QStringLiteral("2")}));
    EXPECT_EQ(rows[2][1], QStringLiteral("Блок ONE"));
    EXPECT_EQ(rows[3], (QStringList{QStringLiteral("ИТОГО"), QString(), QStringLiteral("1,6"),
                                    QStringLiteral("0,8"), QStringLiteral("0,45"),
                                    QStringLiteral("15,25"), QStringLiteral("3")}));
    EXPECT_EQ(rows[4],
              (QStringList{QStringLiteral("ТИП КОРЗИНЫ"), QStringLiteral("KSV-1HA (QT310SB)"),
                           QStringLiteral("3"), QStringLiteral("1,4"), QStringLiteral("0,7"),
                           QStringLiteral("28,5"), QStringLiteral("4")}));
    EXPECT_EQ(rows[5], (QStringList{QStringLiteral("ЗАПАС"), QString(), QStringLiteral("1,4"),
                                    QStringLiteral("0,6"), QStringLiteral("0,25"),
                                    QStringLiteral("13,25"), QStringLiteral("1")}));
    // The bill of materials after an empty row: each code once with its
    // count and sums.
    EXPECT_EQ(rows[6], QStringList{QString()});
    EXPECT_EQ(rows[7], QStringList{QStringLiteral("СПЕЦИФИКАЦИЯ")});
    EXPECT_EQ(rows[8].value(2), QStringLiteral("КОЛ-ВО"));
    EXPECT_EQ(rows[9],
              (QStringList{QStringLiteral("HALF"), QStringLiteral("Блок HALF"), QStringLiteral("1"),
                           QStringLiteral("1,5"), QStringLiteral("0,7"), QStringLiteral("0,35"),
                           QStringLiteral("14,25"), QStringLiteral("2")}));
    EXPECT_EQ(rows[10].mid(0, 3), (QStringList{QStringLiteral("ONE"), QStringLiteral("Блок ONE"),
                                               QStringLiteral("1")}));
    // The sheet says what made it, last: the program and the catalog it read.
    EXPECT_EQ(rows[11], (QStringList{QStringLiteral("ВЕРСИЯ"), ProgramVersion(),
                                     ReadCatalogStamp(catalog.DatabasePath()).sha256}));
}

TEST_F(BasketFiles, TheReportShowsTheBasketTheTotalsAndTheVerdict)
{
    Add(u"HALF");
    Add(u"ONE");
    QString text;
    form().PreviewReport = [&text](QTextDocument& report) { text = report.toPlainText(); };
    form().ReportBtn->click();
    ASSERT_TRUE(recorder().errors.isEmpty()) << recorder().errors.join(u'\n').toStdString();
    for (const char16_t* expected : {
             u"ОТЧЁТ О СОСТАВЕ КОРЗИНЫ",
             u"VELTRUM.db",
             u"HALF",
             u"Блок HALF",
             u"ONE",
             u"Блок ONE",
             u"1.6",
             u"15.25",
             u"KSV-3HC (QT23)",
             u"В ПРЕДЕЛАХ НОРМЫ",
             u"✓ подходит",
         })
        EXPECT_TRUE(text.contains(QString::fromUtf16(expected)))
            << QString::fromUtf16(expected).toStdString() << "\nin: " << text.toStdString();
}

TEST_F(BasketFiles, TheReportOpensInAPrintPreview)
{
    Add(u"ONE");
    // The window's own preview, not the test's.
    int pages = 0;
    WhenModal([&pages](QWidget* modal) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(modal);
        ASSERT_NE(preview, nullptr) << modal->metaObject()->className();
        auto* widget = preview->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([widget] { return widget->pageCount() > 0; }));
        pages = widget->pageCount();
        preview->reject();
    });
    form().ReportBtn->click();
    // Limits, the crate's picture, the entry, its bill of materials, the
    // verdict and the fit of seven crate types take two A4 pages.
    EXPECT_EQ(pages, 2);
    EXPECT_TRUE(recorder().errors.isEmpty()) << recorder().errors.join(u'\n').toStdString();
}

TEST_F(BasketFiles, ABasketFileGivenAtStartOpensOnceTheCatalogIsOpen)
{
    const QString path = Path("start.vbasket");
    Write(path, BasketJson(QStringLiteral("KSV-3HA (QT27)"),
                           {Texts("HALF", "1.5", "0.7", "0.35", "14.25", "2")}));
    window.reset();
    DialogRecorder recorder;
    TMainForm started(catalog.Dir(), QStringLiteral("."));
    started.RecentFilesFile = Path("settings/recent.ini");
    started.OpenBasketAtStart(path);
    started.show();
    EXPECT_TRUE(QTest::qWaitFor([&started] { return started.Devices.size() == 1; }));
    EXPECT_EQ(Rows(started.RackTabLB),
              QStringList{QStringLiteral("HALF\t1.5\t0.7\t0.35\t14.25\t2")});
    EXPECT_EQ(started.RackTypeCL->RowState(4), cbChecked);
    EXPECT_TRUE(recorder.dialogs.empty());
    EXPECT_TRUE(recorder.errors.isEmpty());
    EXPECT_EQ(LoadRecentFiles(started.RecentFilesFile).files, QStringList{path})
        << "an opened file, as from ОТКРЫТЬ";
}

// The file given at start goes the same way as one chosen with ОТКРЫТЬ:
// what changed is asked first, and CANCEL leaves the basket empty.
TEST_F(BasketFiles, ABasketFileGivenAtStartAsksWhatChangedFirst)
{
    const QString path = Path("start.vbasket");
    Write(path, BasketJson(QStringLiteral("KSV-3HA (QT27)"),
                           {Texts("HALF", "1.5", "0.5", "0.35", "14.25", "2")}));
    window.reset();
    for (const int answer : {2, 1}) {
        SCOPED_TRACE(answer == 1 ? "OK" : "CANCEL");
        DialogRecorder recorder;
        recorder.nextAnswer = answer;
        TMainForm started(catalog.Dir(), QStringLiteral("."));
        started.RecentFilesFile = Path("settings/recent.ini");
        started.OpenBasketAtStart(path);
        started.show();
        // The question and what follows it run in one queued call.
        ASSERT_TRUE(QTest::qWaitFor([&recorder] { return !recorder.dialogs.empty(); }));
        EXPECT_EQ(recorder.dialogs[0].lines, QStringList{QStringLiteral("HALF: +7V, А 0.5 → 0.7")});
        EXPECT_EQ(recorder.dialogs[0].buttons,
                  (QStringList{QStringLiteral("OK"), QStringLiteral("CANCEL")}));
        EXPECT_EQ(started.Devices.size(), answer == 1 ? 1u : 0u);
        EXPECT_EQ(started.Basket->UndoStack()->count(), answer == 1 ? 1 : 0);
        EXPECT_TRUE(recorder.errors.isEmpty());
    }
}

TEST_F(BasketFiles, TheCheckSaysWhatTheWindowShowsAfterOpeningTheSameFile)
{
    // Against the fixture's catalog, each file opened in a fresh window (OK
    // to what changed) and checked without one: crate type, entries,
    // verdict, headroom, fit marks and the changes must be the same.
    const struct {
        const char* what;
        const char* crateType;
        std::vector<DeviceTexts> entries;
        BasketVerdict verdict;
        bool changed;
    } cases[] = {
        {"unchanged and within",
         "KSV-1HA (QT310SB)",
         {Texts("HALF", "1.5", "0.7", "0.35", "14.25", "2")},
         BasketVerdict::Fits,
         false},
        {"slots at the limit",
         "KSV-1HA (QT310SB)",
         {Texts("HALF", "1.5", "0.7", "0.35", "14.25", "2"),
          Texts("ONE", "0.1", "0.1", "0.1", "1", "1"), Texts("ONE", "0.1", "0.1", "0.1", "1", "1")},
         BasketVerdict::Near,
         false},
        {"over, more slots than the crate",
         "KSV-1HA (QT310SB)",
         {Texts("HALF", "1.5", "0.7", "0.35", "14.25", "2"),
          Texts("HALF", "1.5", "0.7", "0.35", "14.25", "2"),
          Texts("ONE", "0.1", "0.1", "0.1", "1", "1")},
         BasketVerdict::Over,
         false},
        {"a current gone up passes the +7 V limit (within when saved)", "KSV-3HA (QT27)",
         std::vector<DeviceTexts>(5, Texts("HALF", "1.5", "0.5", "0.35", "14.25", "2")),
         BasketVerdict::Over, true},
        {"a current gone down brings the +5 V sum within (over when saved)", "KSV-3HA (QT27)",
         std::vector<DeviceTexts>(3, Texts("HALF", "4", "0.7", "0.35", "14.25", "2")),
         BasketVerdict::Fits, true},
        {"a withdrawn block",
         "KSV-1HA (QT310SB)",
         {Texts("GONE-1", "1", "1", "1", "1", "1"),
          Texts("HALF", "1.5", "0.7", "0.35", "14.25", "2")},
         BasketVerdict::Fits,
         true},
        {"an unknown crate type",
         "KSV-9 (old)",
         {Texts("HALF", "1.5", "0.7", "0.35", "14.25", "2")},
         BasketVerdict::Fits,
         true},
        {"every block withdrawn",
         "KSV-1HA (QT310SB)",
         {Texts("GONE-1", "1", "1", "1", "1", "1")},
         BasketVerdict::Fits,
         true},
        {"a withdrawn block whose code is too long to show whole",
         "KSV-1HA (QT310SB)",
         {DeviceTexts{QString(300, u'W'), QStringLiteral("1"), QStringLiteral("1"),
                      QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1")}},
         BasketVerdict::Fits,
         true},
    };
    TSQLiteDatabase database(catalog.DatabasePath().toStdString(), ".",
                             TSQLiteDatabase::OpenMode::ReadOnly);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = Path("compared.vbasket");
        Write(path, BasketJson(QString::fromUtf8(c.crateType), c.entries));
        const BasketCheckResult checked = CheckBasket(
            path, LoadBasketFile(path), LookUpInCatalog(database), BasketCheckOptions());
        ASSERT_TRUE(checked.Readable()) << checked.error.toStdString();
        EXPECT_EQ(checked.verdict, c.verdict);

        Open(QStringLiteral("."));
        OpenFile(path);
        ASSERT_TRUE(recorder().errors.isEmpty()) << recorder().errors.join(u'\n').toStdString();
        EXPECT_EQ(Checked(), checked.reopened.crateTypeRow);
        QStringList rows;
        for (const DeviceTexts& entry : checked.reopened.entries)
            rows << BasketRow(entry);
        EXPECT_EQ(Rows(form().RackTabLB), rows);
        EXPECT_EQ(form().FVerdictField->text(), checked.verdictSentence);
        EXPECT_EQ(Rows(form().HeadroomTabLB),
                  checked.headroomRow.isEmpty() ? QStringList() : QStringList{checked.headroomRow});
        for (int row = 0; row < form().RackTypeCL->Items().Count(); ++row)
            EXPECT_EQ(form().RackTypeCL->RowNote(row), checked.fitNotes.value(row)) << row;
        // The window asked before opening exactly when the check counts the
        // file as changed, with the check's lines, each cut to 200 characters.
        QStringList cut;
        for (const QString& line : checked.changes)
            cut << QuoteForMessage(line);
        std::vector<QStringList> asked;
        for (const DialogCall& dialog : recorder().dialogs)
            if (!dialog.lines.isEmpty())
                asked.push_back(dialog.lines);
        EXPECT_EQ(asked,
                  checked.Changed() ? std::vector<QStringList>{cut} : std::vector<QStringList>{});
        EXPECT_EQ(c.changed, checked.Changed());
    }
}

// A code with a tab or a zero byte keeps its identity through a basket
// file, the CSV and the report: the file holds the catalog's code exactly,
// and reopening finds that block, not the one whose code the screen's text
// of it spells ('TB→X'), nor the one its first bytes spell ('EF').
TEST_F(BasketFiles, CodesWithATabOrAZeroByteKeepTheirIdentityInFiles)
{
    ExecSql(catalog.DatabasePath(),
            QStringLiteral(
                "INSERT INTO BLOCKS VALUES ('TB' || char(9) || 'X', 'Табулированный', 'V', 1, "
                "0.7, 0, 0, 1, 1, 0);"
                "INSERT INTO BLOCKS VALUES ('TB→X', 'Стрелочный', 'V', 1, 0.01, 0, 0, 1, 1, 0);"
                "INSERT INTO BLOCKS VALUES (CAST(X'4546004748' AS TEXT), 'Нулевой', 'V', 1, "
                "0.5, 0, 0, 1, 1, 0);"
                "INSERT INTO BLOCKS VALUES ('EF', 'Короткий', 'V', 1, 0.2, 0, 0, 1, 1, 0);"));
    Open(QStringLiteral("."));
    // The rows of each pair look alike on screen; each is chosen by its exact code.
    for (const QByteArray& code : {QByteArray("TB\tX"), QByteArray("EF\0GH", 5)}) {
        SearchCode(form(), QString::fromLatin1(code.left(2)));
        ASSERT_EQ(form().BlockTabLB->Items().Count(), 2);
        const int row = form().BlockTabLB->Items().Data(0) == code ? 0 : 1;
        ASSERT_EQ(form().BlockTabLB->Items().Data(row), code);
        ClickRow(form().BlockTabLB, row);
        form().AddBtn->click();
    }
    const QString tabbed = QStringLiteral("TB\tX");
    const QString zeroed = QString::fromUtf8("EF\0GH", 5);
    const BasketView added = View();
    ASSERT_EQ(added.totals.value(0), QStringLiteral("\t1.2\t0\t0\t2\t2"));

    const QString path = Path("codes.vbasket");
    nextFileName = path;
    form().SaveBtn->click();
    ASSERT_TRUE(recorder().errors.isEmpty()) << recorder().errors.join(u'\n').toStdString();
    const BasketDocument saved = LoadBasketFile(path);
    ASSERT_EQ(saved.entries.size(), 2u);
    EXPECT_EQ(saved.entries[0].ident, tabbed);
    EXPECT_EQ(saved.entries[1].ident, zeroed);

    Open(QStringLiteral("."));
    OpenFile(path);
    EXPECT_EQ(View(), added) << "the same blocks, the same sums";
    EXPECT_TRUE(recorder().dialogs.empty()) << "no false «Каталог изменился»";

    const QString csvPath = Path("codes.csv");
    nextFileName = csvPath;
    form().ExportBtn->click();
    QFile csv(csvPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const std::vector<QStringList> rows = ReadCsv(QString::fromUtf8(csv.readAll().mid(3)), u',');
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[1].mid(0, 2), (QStringList{tabbed, QStringLiteral("Табулированный")}));
    EXPECT_EQ(rows[2].mid(0, 2), (QStringList{zeroed, QStringLiteral("Нулевой")}));

    QString report;
    form().PreviewReport = [&report](QTextDocument& document) { report = document.toPlainText(); };
    form().ReportBtn->click();
    EXPECT_TRUE(report.contains(QStringLiteral("Табулированный")));
    EXPECT_TRUE(report.contains(QStringLiteral("Нулевой")));
    EXPECT_FALSE(report.contains(QStringLiteral("Стрелочный")));
    EXPECT_FALSE(report.contains(QStringLiteral("Короткий")));
}

// Nothing is saved, exported or printed onto the catalog's own files, also
// through a link; the catalog stays whole and the window says why.
TEST_F(BasketFiles, TheCatalogsOwnFilesAreNeverWrittenOver)
{
    Add(u"ONE");
    QFile db(catalog.DatabasePath());
    ASSERT_TRUE(db.open(QIODevice::ReadOnly));
    const QByteArray before = db.readAll();
    db.close();
    const QString link = Path("link.vbasket");
    ASSERT_TRUE(QFile::link(catalog.DatabasePath(), link));
    const QString categories = catalog.CategoryPath(QStringLiteral("Category000.itm"));
    QFile categoryFile(categories);
    ASSERT_TRUE(categoryFile.open(QIODevice::ReadOnly));
    const QByteArray categoriesBefore = categoryFile.readAll();
    categoryFile.close();

    const struct {
        const char* name;
        QPushButton* button;
        QString path;
    } cases[] = {
        {"save onto the catalog", form().SaveBtn, catalog.DatabasePath()},
        {"save through a link", form().SaveBtn, link},
        {"export onto a category file", form().ExportBtn, categories},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recorder().errors.clear();
        nextFileName = c.path;
        c.button->click();
        ASSERT_EQ(recorder().errors.size(), 1);
        EXPECT_TRUE(recorder().errors[0].contains(QStringLiteral("принадлежит каталогу")))
            << recorder().errors[0].toStdString();
    }
    ASSERT_TRUE(db.open(QIODevice::ReadOnly));
    EXPECT_EQ(db.readAll(), before);
    ASSERT_TRUE(categoryFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(categoryFile.readAll(), categoriesBefore);
    // The window goes on: a search still reads the catalog.
    SearchCode(form(), QStringLiteral("ONE"));
    EXPECT_EQ(form().BlockTabLB->Items().Count(), 1);
}

// A FIFO offered as a basket file, from ОТКРЫТЬ or at start, is refused at
// once (it used to hold the window for good) and the basket stays.
TEST_F(BasketFiles, AFifoIsRefusedAtOnceFromOpenAndAtStart)
{
    Add(u"ONE");
    const BasketView before = View();
    const QString fifo = Path("pipe.vbasket");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    OpenFile(fifo);
    ASSERT_EQ(recorder().errors.size(), 1);
    EXPECT_TRUE(recorder().errors[0].contains(QStringLiteral("это не обычный файл")))
        << recorder().errors[0].toStdString();
    EXPECT_EQ(View(), before);

    window.reset();
    DialogRecorder startRecorder;
    TMainForm started(catalog.Dir(), QStringLiteral("."));
    started.OpenBasketAtStart(fifo);
    started.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !startRecorder.errors.isEmpty(); }));
    ASSERT_EQ(startRecorder.errors.size(), 1);
    EXPECT_TRUE(startRecorder.errors[0].contains(QStringLiteral("это не обычный файл")));
}

// A basket file with a block whose catalog value is text takes the rest
// and lists that block, with its code and why, among the differences.
TEST_F(BasketFiles, ABadCatalogValueLeavesOnlyItsBlockOut)
{
    ExecSql(catalog.DatabasePath(),
            QStringLiteral("INSERT INTO BLOCKS VALUES ('COMMA', 'Запятая', 'V', 1, '2,5', 0, 0, "
                           "1, 1, 0);"));
    const QString path = Path("comma.vbasket");
    Write(path, BasketJson(QStringLiteral("KSV-3HB (QT23)"),
                           {Texts("ONE", "0.1", "0.1", "0.1", "1", "1"),
                            Texts("COMMA", "2.5", "0", "0", "1", "1")}));
    OpenFile(path);
    EXPECT_TRUE(recorder().errors.isEmpty()) << recorder().errors.join(u'\n').toStdString();
    EXPECT_EQ(Rows(form().RackTabLB), QStringList{QStringLiteral("ONE\t0.1\t0.1\t0.1\t1\t1")});
    ASSERT_EQ(recorder().dialogs.size(), 1u);
    EXPECT_TRUE(recorder().dialogs[0].text.contains(
        QStringLiteral("COMMA: не добавлен: в столбце «+5V, А» каталога не число")))
        << recorder().dialogs[0].text.toStdString();
}
