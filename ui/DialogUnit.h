// SPDX-License-Identifier: MIT
#pragma once

// The message dialog that carries every warning, error and confirmation.
// ShowDialog builds a fresh dialog for each call, lays it out from the
// icon, the text and the number of buttons, shows it modally and returns
// the 1-based number of the button pressed, or 2 when the dialog is closed
// in any other way. From the keyboard, Tab and Shift+Tab move between the
// buttons, Space or Enter presses the focused one and Escape answers 2.
// Screen readers hear it as an alert with its text.

#include <QDialog>
#include <QStringList>

#include <functional>

class QLabel;
class QWidget;

class TmdDialogForm : public QDialog {
    Q_OBJECT
public:
    explicit TmdDialogForm(QWidget* parent = nullptr);

    // Blocks until the dialog has closed and has been destroyed. Any way of
    // ending it other than a button (close box, system menu, Alt+F4, the
    // application quitting) gives 2. An error while building or showing it
    // reaches the caller after the dialog has been destroyed.
    static int ShowDialog(const QString& title, const QString& text, int icon,
                          const QStringList& buttons);

    // Test hook: while set, ShowDialog shows nothing and returns the hook's answer.
    using AnswerHook = std::function<int(const QString& title, const QString& text, int icon,
                                         const QStringList& buttons)>;
    static void SetAnswerHook(AnswerHook hook);

    QWidget* TextPanel;
    QWidget* ButtonPanel;
    QLabel* IconImage;
    QLabel* TextLabel;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ButtonClick(QObject* sender);
    // Builds the icon, the text and the buttons and sizes the window.
    void Arrange(const QString& text, int icon, const QStringList& buttons);
    // The text panel keeps the top, the button panel the rest; nothing
    // inside either moves.
    void AlignPanels();
    void CentreOnScreen(int outerWidth, int outerHeight);

    int textPanelHeight_ = 0;
};
