// SPDX-License-Identifier: MIT
// The crate drawn beside the basket, through the real window: its blocks
// and free runs as a screen reader hears them after every kind of step,
// moves by keys on a basket row, by keys in the picture and by a drag with
// the mouse, each seen in the rows, the picture and the saved file; and the
// report's PDF read back with its picture and its bill of materials.

#include "WindowDriver.h"

#include "exchange/BasketFile.h"
#include "exchange/ReportDocument.h"
#include "kit/CheckList.h"
#include "kit/RackView.h"
#include "kit/TabbedListBox.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Rows of the built-in crate types: 4 slots, and 17 slots.
constexpr int kFourSlots = 0;
constexpr int kSeventeenSlots = 4;

class RackPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog.WriteStandard();
        catalog.AddBlocks({
            PowerBlock(u"A2", 2, 0.5, 0.1, 0.05, 3.2),
            PowerBlock(u"B1", 1, 0.25, 0, 0.01, 1),
            PowerBlock(u"C1", 1, 0.1, 0.1, 0.1, 1),
            PowerBlock(u"D3", 3, 0, 0, 0, 0),
            PowerBlock(u"Z0", 0, 0, 0, 0, 0),
        });
        window = std::make_unique<Window>(catalog.Dir(), QStringLiteral(","));
        ASSERT_NE(form().Database, nullptr);
        form().CodeRB->click();
        form().AskFileName = [this](FileRequest) { return nextFileName; };
    }
    TMainForm& form() { return *window->form; }
    TRackView& picture() { return *form().RackViewPanel; }

    // The picture's parts as a screen reader walks them, read through the
    // view's accessibility interface.
    QStringList Heard()
    {
        QStringList names;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&picture());
        EXPECT_NE(face, nullptr);
        if (face == nullptr)
            return names;
        for (int i = 0; i < face->childCount(); ++i)
            names << face->child(i)->text(QAccessible::Name);
        return names;
    }
    // The codes of the basket rows, of the picture's blocks, and of the
    // file a save writes, each in its order.
    QStringList RowCodes()
    {
        QStringList codes;
        for (const QString& row : Rows(form().RackTabLB))
            codes << row.section(u'\t', 0, 0);
        return codes;
    }
    QStringList PictureCodes()
    {
        QStringList codes;
        for (const TRackItem& item : picture().Items())
            codes << item.code;
        return codes;
    }
    QStringList SavedCodes()
    {
        nextFileName = files.filePath(QStringLiteral("saved-%1.vbasket").arg(++saves));
        form().SaveBtn->click();
        QStringList codes;
        for (const DeviceTexts& entry : LoadBasketFile(nextFileName).entries)
            codes << entry.ident;
        return codes;
    }
    QPoint CentreOf(int item) { return picture().Layout().blocks.at(item).center().toPoint(); }
    // A drag with the left button from block `item` to `to`, through
    // mouse events on the picture as a hand makes them.
    void Drag(int item, QPoint to)
    {
        const QPoint from = CentreOf(item);
        QTest::mousePress(&picture(), Qt::LeftButton, {}, from);
        for (const QPoint at : {from + QPoint(6, 0), (from + to) / 2, to}) {
            QMouseEvent move(QEvent::MouseMove, at, picture().mapToGlobal(at), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(&picture(), &move);
        }
        QTest::mouseRelease(&picture(), Qt::LeftButton, {}, to);
    }

    FixtureCatalog catalog;
    QTemporaryDir files;
    QString nextFileName;
    int saves = 0;
    std::unique_ptr<Window> window;
};

// Every step the basket takes shows in the picture at once: blocks across
// their slots, entries of no slot, free runs, entries outside a smaller
// crate; undo and clear bring back what was drawn before.
TEST_F(RackPicture, BlocksAndFreeRunsFollowEveryStep)
{
    const auto named = [](const char* where, const char* code) {
        return QString::fromUtf8(where) + QStringLiteral(": ") + QString::fromUtf8(code) +
               QStringLiteral(", Блок ") + QString::fromUtf8(code);
    };
    const auto add = [this](const char16_t* code, int count) {
        return [this, code, count] {
            form().CountField->setValue(count);
            AddToBasket(form(), code);
        };
    };
    const QStringList withD3{named("слоты 1–2", "A2"), named("без слота", "Z0"),
                             named("слот 3", "B1"),    named("слот 4", "B1"),
                             named("слоты 5–7", "D3"), QStringLiteral("слоты 8–17: свободно")};
    const QStringList oneB1{named("слоты 1–2", "A2"), named("без слота", "Z0"),
                            named("слот 3", "B1"), named("слоты 4–6", "D3"),
                            QStringLiteral("слоты 7–17: свободно")};
    const struct {
        const char* what;
        std::function<void()> step;
        QStringList heard;
        int ticked; // the crate type drawn
    } steps[] = {
        {"a 17-slot crate ticked",
         [this] { TickRackType(form(), kSeventeenSlots); },
         {QStringLiteral("слоты 1–17: свободно")},
         kSeventeenSlots},
        {"a 2-slot block added",
         add(u"A2", 1),
         {named("слоты 1–2", "A2"), QStringLiteral("слоты 3–17: свободно")},
         kSeventeenSlots},
        {"a block of no slot added",
         add(u"Z0", 1),
         {named("слоты 1–2", "A2"), named("без слота", "Z0"),
          QStringLiteral("слоты 3–17: свободно")},
         kSeventeenSlots},
        {"two added at once",
         add(u"B1", 2),
         {named("слоты 1–2", "A2"), named("без слота", "Z0"), named("слот 3", "B1"),
          named("слот 4", "B1"), QStringLiteral("слоты 5–17: свободно")},
         kSeventeenSlots},
        {"a 3-slot block added", add(u"D3", 1), withD3, kSeventeenSlots},
        {"a row deleted",
         [this] {
             ClickRow(form().RackTabLB, 2);
             form().DelBtn->click();
         },
         oneB1, kSeventeenSlots},
        // The last block no longer fits: drawn outside, the slot before it free.
        {"a 4-slot crate ticked",
         [this] { TickRackType(form(), kFourSlots); },
         {named("слоты 1–2", "A2"), named("без слота", "Z0"), named("слот 3", "B1"),
          QStringLiteral("слот 4: свободно"), named("вне корзины", "D3")},
         kFourSlots},
        {"undo of the tick", [this] { form().UndoBtn->click(); }, oneB1, kSeventeenSlots},
        {"undo of the delete", [this] { form().UndoBtn->click(); }, withD3, kSeventeenSlots},
        {"the basket cleared",
         [this] { form().ClearBtn->click(); },
         {QStringLiteral("слоты 1–17: свободно")},
         kSeventeenSlots},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        s.step();
        EXPECT_EQ(Heard(), s.heard);
        EXPECT_EQ(picture().SlotCount(), s.ticked == kFourSlots ? 4 : 17);
        EXPECT_EQ(form().RackTypeCL->RowState(s.ticked), cbChecked);
        EXPECT_EQ(PictureCodes(), RowCodes()) << "one block per row, in the rows' order";
    }
    // Only the tick that left a block outside warned; clearing asked first.
    QStringList said;
    for (const DialogCall& dialog : window->recorder.dialogs)
        said << dialog.text;
    EXPECT_EQ(said, (QStringList{QStringLiteral("Корзина заполнена!"),
                                 QStringLiteral("Очистить корзину?")}));
    EXPECT_TRUE(window->recorder.errors.isEmpty());
}

// Each way of moving an entry moves it in the rows, in the picture and in
// the saved file alike, as one undo step, and leaves it chosen at its new
// place; a move that would change nothing makes no step.
TEST_F(RackPicture, MovesByKeysAndByADragReachRowsPictureAndFile)
{
    TickRackType(form(), kSeventeenSlots);
    AddToBasket(form(), u"A2");
    AddToBasket(form(), u"B1");
    AddToBasket(form(), u"C1");
    const QStringList start{QStringLiteral("A2"), QStringLiteral("B1"), QStringLiteral("C1")};
    ASSERT_EQ(RowCodes(), start);
    ASSERT_FALSE(picture().Layout().blocks.at(0).isEmpty()) << "the picture is on screen";

    const auto altOnRow = [this](int row, Qt::Key key) {
        return [this, row, key] {
            ClickRow(form().RackTabLB, row);
            QTest::keyClick(form().RackTabLB, key, Qt::AltModifier);
        };
    };
    const auto altInPicture = [this](int item, Qt::Key key) {
        return [this, item, key] {
            QTest::mouseClick(&picture(), Qt::LeftButton, {}, CentreOf(item));
            QTest::keyClick(&picture(), key, Qt::AltModifier);
        };
    };
    const struct {
        const char* what;
        std::function<void()> move;
        QStringList order;
        int chosen; // the moved entry's row afterwards
    } cases[] = {
        {"Alt+Up on the last row",
         altOnRow(2, Qt::Key_Up),
         {QStringLiteral("A2"), QStringLiteral("C1"), QStringLiteral("B1")},
         1},
        {"Alt+Down on the first row",
         altOnRow(0, Qt::Key_Down),
         {QStringLiteral("B1"), QStringLiteral("A2"), QStringLiteral("C1")},
         1},
        {"Alt+Left in the picture",
         altInPicture(1, Qt::Key_Left),
         {QStringLiteral("B1"), QStringLiteral("A2"), QStringLiteral("C1")},
         0},
        {"Alt+Right in the picture",
         altInPicture(0, Qt::Key_Right),
         {QStringLiteral("B1"), QStringLiteral("A2"), QStringLiteral("C1")},
         1},
        {"the last block dragged onto the first",
         [this] { Drag(2, CentreOf(0)); },
         {QStringLiteral("C1"), QStringLiteral("A2"), QStringLiteral("B1")},
         0},
        {"the first block dragged onto the free slots",
         [this] { Drag(0, picture().Layout().freeRuns.at(0).center().toPoint()); },
         {QStringLiteral("B1"), QStringLiteral("C1"), QStringLiteral("A2")},
         2},
        // Nothing to move: no step, nothing changes.
        {"Alt+Up on the first row", altOnRow(0, Qt::Key_Up), start, 0},
        {"Alt+Down on the last row", altOnRow(2, Qt::Key_Down), start, 2},
        {"Alt+Right on the last block", altInPicture(2, Qt::Key_Right), start, 2},
        {"a block dragged within itself",
         [this] {
             // Far enough to be a drag, and still on the block.
             const QPoint to = CentreOf(1) + QPoint(QApplication::startDragDistance() + 1, 0);
             EXPECT_EQ(picture().ItemAt(to), 1);
             Drag(1, to);
         },
         start, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int stepsBefore = form().Basket->UndoStack()->index();
        c.move();
        EXPECT_EQ(RowCodes(), c.order);
        EXPECT_EQ(PictureCodes(), c.order);
        EXPECT_EQ(SavedCodes(), c.order);
        EXPECT_EQ(form().RackTabLB->ItemIndex(), c.chosen);
        EXPECT_EQ(picture().Current(), c.chosen);
        // The picture is drawn anew: the moved block takes its new slots.
        EXPECT_EQ(Heard().value(0).section(u':', 1).trimmed().section(u',', 0, 0), c.order[0]);
        const bool moved = c.order != start;
        EXPECT_EQ(form().Basket->UndoStack()->index(), stepsBefore + (moved ? 1 : 0));
        if (moved) {
            form().UndoBtn->click();
            EXPECT_EQ(RowCodes(), start) << "one undo takes the move back";
            EXPECT_EQ(PictureCodes(), start);
        }
    }
    EXPECT_TRUE(window->recorder.errors.isEmpty())
        << window->recorder.errors.join(u'\n').toStdString();
}

// The report as the window makes it, written as a PDF and read back as
// text: the crate's slots drawn above the entries, and the bill of
// materials with each code once, its count and its exact sums.
TEST_F(RackPicture, TheReportsPdfHasTheCrateAndTheGroupedBill)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    TickRackType(form(), kSeventeenSlots);
    AddToBasket(form(), u"A2");
    AddToBasket(form(), u"B1", 3);
    AddToBasket(form(), u"A2");
    AddToBasket(form(), u"Z0");

    const QString pdf = files.filePath(QStringLiteral("report.pdf"));
    form().PreviewReport = [&pdf](QTextDocument& report) { WriteReportPdf(report, pdf); };
    form().ReportBtn->click();
    ASSERT_TRUE(window->recorder.errors.isEmpty())
        << window->recorder.errors.join(u'\n').toStdString();
    if (qEnvironmentVariableIsSet("VELTRUM_KEEP_REPORT"))
        QFile::copy(pdf, qEnvironmentVariable("VELTRUM_KEEP_REPORT"));

    QProcess process;
    process.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(process.waitForFinished());
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    const QString text = QString::fromUtf8(process.readAllStandardOutput()).simplified();

    const qsizetype rack = text.indexOf(QStringLiteral("КОРЗИНА ПО СЛОТАМ"));
    const qsizetype entries = text.indexOf(QStringLiteral("СОСТАВ КОРЗИНЫ"));
    const qsizetype bill = text.indexOf(QStringLiteral("СПЕЦИФИКАЦИЯ"));
    ASSERT_GE(rack, 0) << text.toStdString();
    EXPECT_LT(rack, entries);
    EXPECT_LT(entries, bill);
    // The slot numbers and the blocks' codes are text in the drawing.
    const QString drawn = text.mid(rack, entries - rack);
    for (const char* expected : {" 1 ", " 17 ", "A2", "B1"})
        EXPECT_TRUE(drawn.contains(QLatin1String(expected)))
            << expected << " in " << drawn.toStdString();
    // Code, name, count, +5 V, +7 V, −7 V, power, slots: summed exactly.
    const QString grouped = text.mid(bill);
    for (const char* line :
         {"A2 Блок A2 2 1 0,2 0,1 6,4 4", "B1 Блок B1 3 0,75 0 0,03 3 3", "Z0 Блок Z0 1 0 0 0 0 0"})
        EXPECT_TRUE(grouped.contains(QString::fromUtf8(line)))
            << line << "\nin: " << grouped.toStdString();
    EXPECT_EQ(grouped.count(QStringLiteral("Блок A2")), 1) << "each code once";
}

} // namespace
