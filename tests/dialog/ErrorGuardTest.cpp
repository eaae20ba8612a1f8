// SPDX-License-Identifier: MIT
#include "ui/HandlerGuard.h"

#include "WhenModal.h"

#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace {

TEST(ErrorBoxText, AddsAFullStopAfterCharactersThatSortAfterIt)
{
    const struct {
        QString message;
        QString text;
    } cases[] = {
        {QStringLiteral("Disk error"), QStringLiteral("Disk error.")},
        {QStringLiteral("Value 12"), QStringLiteral("Value 12.")},
        {QStringLiteral("Ошибка чтения файла"), QStringLiteral("Ошибка чтения файла.")},
        {QStringLiteral("Корзина заполнена!"), QStringLiteral("Корзина заполнена!")},
        {QStringLiteral("Done."), QStringLiteral("Done.")},
        {QStringLiteral("near \"x\""), QStringLiteral("near \"x\"")},
        {QStringLiteral("(see log)"), QStringLiteral("(see log)")},
        {QStringLiteral("a-"), QStringLiteral("a-")},
        {QStringLiteral("a/"), QStringLiteral("a/.")},
        {QString(), QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        EXPECT_EQ(ErrorBoxText(c.message), c.text);
    }
}

TEST(RunGuarded, ReportsWhatEscapesTheHandler)
{
    QStringList shown;
    SetErrorBoxHook([&](const QString& text) { shown.append(text); });
    HookScope scope(&SetErrorBoxHook);

    bool finished = false;
    RunGuarded(nullptr, [&] {
        throw std::runtime_error("Ошибка выполнения SQL запроса");
        finished = true;
    });
    RunGuarded(nullptr, [] { throw 42; });
    RunGuarded(nullptr, [] {});

    EXPECT_FALSE(finished);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Ошибка выполнения SQL запроса."),
                                  QStringLiteral("Неизвестная ошибка.")}));
}

TEST(ShowErrorBox, ShowsAPlainErrorBox)
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            ADD_FAILURE() << "the modal window is not a message box";
            modal->close();
            return;
        }
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttonCount = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    ShowErrorBox(nullptr, QStringLiteral("Файл не найден"));

    EXPECT_EQ(title, QStringLiteral("Veltrum Voltage Control Program"));
    EXPECT_EQ(text, QStringLiteral("Файл не найден."));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttonCount, 1);
}

} // namespace

// Running out of memory is said in the user's words, never as the
// library's "std::bad_alloc", and the handler's caller goes on.
TEST(RunGuardedMemory, OutOfMemoryIsSaidInRussian)
{
    QStringList shown;
    SetErrorBoxHook([&](const QString& text) { shown.append(text); });
    HookScope scope(&SetErrorBoxHook);
    RunGuarded(nullptr, [] { throw std::bad_alloc(); });
    RunGuarded(nullptr, [] { throw std::bad_array_new_length(); }); // a std::bad_alloc too
    ASSERT_EQ(shown.size(), 2);
    for (const QString& text : shown) {
        EXPECT_EQ(text, ErrorBoxText(QString::fromUtf16(kOutOfMemoryText)));
        EXPECT_FALSE(text.contains(QStringLiteral("bad_alloc")));
    }
}
