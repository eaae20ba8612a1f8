// SPDX-License-Identifier: MIT
// Test entry: one QApplication for the whole executable, offscreen unless
// the environment says otherwise, and Qt's test locations for whatever a
// program keeps in the user's folders, so that no test touches the user's.

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
