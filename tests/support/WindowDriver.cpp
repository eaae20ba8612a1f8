// SPDX-License-Identifier: MIT
#include "WindowDriver.h"

#include "kit/CheckList.h"
#include "ui/DialogUnit.h"
#include "ui/HandlerGuard.h"
#include "ui/ListMessageForm.h"
#include "kit/Platform.h"
#include "kit/ProgramStyle.h"
#include "kit/TabbedListBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The window is tested in the look the program gives it at start-up.
class ProgramLook : public ::testing::Environment {
public:
    void SetUp() override { ApplyProgramLook(); }
};

const ::testing::Environment* const programLook =
    ::testing::AddGlobalTestEnvironment(new ProgramLook);

} // namespace

DialogRecorder::DialogRecorder()
{
    TmdDialogForm::SetAnswerHook(
        [this](const QString& title, const QString& text, int icon, const QStringList& buttons) {
            dialogs.push_back({title, text, icon, buttons, {}, {}});
            return Answer();
        });
    // A list message is recorded as one text too, its heading and lines
    // broken by carriage returns, as the message dialog would carry it.
    TListMessageForm::SetShowHook([this](const QString& title, const QString& heading,
                                         const QStringList& lines, int icon,
                                         const QStringList& buttons) {
        dialogs.push_back(
            {title, (QStringList{heading} + lines).join(u'\r'), icon, buttons, heading, lines});
        return Answer();
    });
    SetErrorBoxHook([this](const QString& text) { errors << text; });
}

int DialogRecorder::Answer()
{
    if (answers.empty())
        return nextAnswer;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

DialogRecorder::~DialogRecorder()
{
    TmdDialogForm::SetAnswerHook(nullptr);
    TListMessageForm::SetShowHook(nullptr);
    SetErrorBoxHook(nullptr);
}

Window::Window(const QString& catalogDir, const QString& separator)
    : form(std::make_unique<TMainForm>(catalogDir, separator))
{
    form->RecentFilesFile = settings.filePath(QStringLiteral("veltrum/recent.ini"));
    form->show();
    if (form->Database) { // a window without a catalog closes at once
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
}

bool WaitUntilClosed(Window& window)
{
    return QTest::qWaitFor([&window] { return !window->isVisible(); });
}

void ExpectOpeningFailed(Window& window)
{
    EXPECT_TRUE(WaitUntilClosed(window));
    ASSERT_EQ(window.recorder.dialogs.size(), 1u);
    EXPECT_EQ(window.recorder.dialogs[0].title, QStringLiteral("Veltrum Database System"));
    EXPECT_EQ(window.recorder.dialogs[0].text, QStringLiteral("Ошибка создания базы данных!"));
    EXPECT_EQ(window.recorder.dialogs[0].icon, IDI_HAND);
    EXPECT_EQ(window.recorder.dialogs[0].buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(window->Database, nullptr);
    EXPECT_TRUE(window.recorder.errors.isEmpty());
}

QStringList Rows(const TTabbedListBox* list)
{
    QStringList rows;
    for (int i = 0; i < list->Items().Count(); ++i)
        rows << list->Items()[i];
    return rows;
}

void ClickRow(TTabbedListBox* list, int row, int x)
{
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    ASSERT_TRUE(rect.isValid()) << "row " << row << " is not on screen";
    const QPoint point(x < 0 ? rect.center().x() : x, rect.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
}

void PickItem(QComboBox* combo, int index)
{
    // What choosing from the drop-down does: the item becomes current and
    // the combo box reports the user's choice.
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

void SearchCode(TMainForm& form, const QString& text)
{
    form.FindIdentField->clear();
    TypeText(form.FindIdentField, text);
    QTest::keyClick(form.FindIdentField, Qt::Key_Return);
}

void AddToBasket(TMainForm& form, QStringView code, int times)
{
    SearchCode(form, code.toString());
    ASSERT_EQ(form.BlockTabLB->Items().Count(), 1) << code.toString().toStdString();
    ClickRow(form.BlockTabLB, 0);
    for (int i = 0; i < times; ++i)
        form.AddBtn->click();
}

void TickRackType(TMainForm& form, int row)
{
    ClickRow(form.RackTypeCL, row, 8);
}

QStringList Details(const TMainForm& form)
{
    QStringList texts;
    for (const QLabel* label :
         {form.FCategoryField, form.FSubCategoryField, form.FNameRusField, form.FIdentField,
          form.FVIPRField, form.FSlotsCountField, form.FV5Field, form.FV7Field, form.F_V7Field,
          form.FTotalPowerField})
        texts << label->text();
    return texts;
}
