// SPDX-License-Identifier: MIT
#include <QApplication>

#include <gtest/gtest.h>

// The countdown runs on Qt timers and its dialog is a widget, so the tests need an application.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
