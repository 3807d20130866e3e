// SPDX-License-Identifier: MIT
// Widget tests need an application object before the first test; without a display they draw
// offscreen (CTest sets this too; this keeps a direct run of the binary working).
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
