// SPDX-License-Identifier: MIT
#include <QCoreApplication>

#include <gtest/gtest.h>

// The countdown runs on Qt timers, so the tests need an application.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
