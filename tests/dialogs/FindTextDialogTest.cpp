// SPDX-License-Identifier: MIT
#include "dialogs/FindTextDialog.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

TEST(FindTextDialog, FindsEachMatchInTurnThenStops)
{
    QLineEdit field(u"abc ABC abc"_s);
    field.setCursorPosition(0);
    FindTextDialog find(nullptr);
    find.setTarget(&field);
    find.setPattern(u"abc"_s);
    for (int start : {0, 4, 8}) {
        ASSERT_TRUE(find.findNext());
        EXPECT_EQ(field.selectionStart(), start);
        EXPECT_EQ(field.selectedText(), field.text().mid(start, 3));
    }
    EXPECT_FALSE(find.findNext());
    EXPECT_EQ(field.selectionStart(), 8);

    find.setCaseSensitive(true);
    find.setUpward(true);
    ASSERT_TRUE(find.findNext());
    EXPECT_EQ(field.selectionStart(), 0);
}

TEST(FindTextDialog, ForgetsAFieldThatIsGone)
{
    auto field = std::make_unique<QLineEdit>(u"abc"_s);
    FindTextDialog find(nullptr);
    find.setTarget(field.get());
    find.setPattern(u"b"_s);
    field.reset();
    EXPECT_FALSE(find.findNext());
}
