// SPDX-License-Identifier: MIT
// How an entry's state and place read to an aria2 client.
#include "remote/Aria2Status.h"
#include "remote/Aria2Positions.h"
#include "remote/TransferSpeed.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {
using State = DownloadEntry::State;

struct Mapping
{
    State state;
    EntryPlace place;
    std::optional<FailureCause> cause;
    const char *status;
    /** quorvelPhase; empty when there is none. */
    const char *phase;
    const char *errorCode;
    const char *errorMessage;
};
} // namespace

TEST(Aria2Status, EachStateAndPlaceHasTheStatusAria2ClientsExpect)
{
    FailureCause http404 = FailureCause::fromFileStatus(404);
    const std::vector<Mapping> mappings{
        {State::Waiting, EntryPlace::Queue, {}, "waiting", "queued", "", ""},
        {State::Active, EntryPlace::Queue, {}, "waiting", "page", "", ""},
        {State::Active, EntryPlace::Transfer, {}, "active", "", "", ""},
        {State::Paused, EntryPlace::Queue, {}, "paused", "", "", ""},
        {State::Failed, EntryPlace::Queue, FailureCause::transient(QStringLiteral("超时")), "error", "", "2",
         "Timeout."},
        {State::Failed, EntryPlace::History, http404, "error", "", "3", "Resource not found."},
        {State::Failed, EntryPlace::History, FailureCause::permanent(QStringLiteral("某种原因")), "error", "", "1",
         "Unknown error occurred."},
        {State::Dropped,
         EntryPlace::History,
         {},
         "error",
         "",
         "3",
         "Resource not found: the host says the file is gone."},
        {State::Done, EntryPlace::History, {}, "complete", "", "", ""},
        {State::Removed, EntryPlace::History, {}, "removed", "", "", ""},
    };
    for (const Mapping &mapping : mappings) {
        DownloadEntry entry;
        entry.id = 0x2a;
        entry.state = mapping.state;
        entry.lastFailure = mapping.cause;
        entry.sizeBytes = 2048;
        entry.receivedBytes = 1024;
        JsonText json;
        writeAria2Status(json, entry, mapping.place, {QStringLiteral("/downloads"), 512});
        const QJsonObject status = QJsonDocument::fromJson(json.text()).object();
        const QString name = QString::fromLatin1(mapping.status) + QLatin1Char(' ') + QLatin1String(mapping.phase);
        EXPECT_EQ(status[QStringLiteral("status")].toString(), QLatin1String(mapping.status)) << name.toStdString();
        EXPECT_EQ(status[QStringLiteral("quorvelPhase")].toString(), QLatin1String(mapping.phase))
            << name.toStdString();
        EXPECT_EQ(status[QStringLiteral("errorCode")].toString(), QLatin1String(mapping.errorCode))
            << name.toStdString();
        EXPECT_EQ(status[QStringLiteral("errorMessage")].toString(), QString::fromUtf8(mapping.errorMessage))
            << name.toStdString();
        // Decimal strings, as aria2 sends them; only a running transfer has a speed.
        EXPECT_EQ(status[QStringLiteral("totalLength")], QStringLiteral("2048"));
        EXPECT_EQ(status[QStringLiteral("completedLength")], QStringLiteral("1024"));
        EXPECT_EQ(status[QStringLiteral("downloadSpeed")],
                  mapping.place == EntryPlace::Transfer ? QStringLiteral("512") : QStringLiteral("0"));
        EXPECT_EQ(status[QStringLiteral("gid")], QStringLiteral("000000000000002a"));
    }
}

TEST(JsonText, WritesWhatAJsonParserReadsBackWhateverTheStringsHold)
{
    QString every;
    for (char16_t c = 0; c < 0x80; ++c)
        every += QChar(c);
    const QString strings[] = {every, QStringLiteral("下载 \u2028 \U0001F600"), QString(QChar(0xd800)) + u'x',
                               QString()};
    for (const QString &text : strings) {
        JsonText json;
        json.beginArray();
        json.beginObject();
        json.key(QLatin1StringView("a"));
        json.string(text);
        json.key(QLatin1StringView("b"));
        json.beginArray();
        json.string(text);
        json.raw("[1,{}]");
        json.endArray();
        json.endObject();
        json.beginArray();
        json.endArray();
        json.endArray();
        QJsonParseError error;
        const QJsonDocument read = QJsonDocument::fromJson(json.text(), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << json.text().toStdString();
        // A lone surrogate cannot travel as UTF-8: it arrives as U+FFFD.
        const QString expected = QString::fromUtf8(text.toUtf8());
        const QJsonArray whole = read.array();
        EXPECT_EQ(whole.at(0)[QStringLiteral("a")].toString(), expected);
        EXPECT_EQ(whole.at(0)[QStringLiteral("b")].toArray(), (QJsonArray{expected, QJsonArray{1, QJsonObject{}}}));
        EXPECT_EQ(whole.at(1).toArray(), QJsonArray{});
    }
}

TEST(Aria2Positions, PagesAndMovesCountAsAria2Counts)
{
    using Indexes = QList<qsizetype>;
    // A negative offset counts from the end and goes backwards.
    EXPECT_EQ(pageIndexes(5, 0, 2), (Indexes{0, 1}));
    EXPECT_EQ(pageIndexes(5, 3, 10), (Indexes{3, 4}));
    EXPECT_EQ(pageIndexes(5, 7, 1), Indexes{});
    EXPECT_EQ(pageIndexes(5, -1, 2), (Indexes{4, 3}));
    EXPECT_EQ(pageIndexes(5, -4, 10), (Indexes{1, 0}));
    EXPECT_EQ(pageIndexes(5, -6, 3), Indexes{});
    EXPECT_EQ(pageIndexes(5, 0, 0), Indexes{});

    EXPECT_EQ(movedPosition(2, 5, 0, QStringLiteral("POS_SET")), 0);
    EXPECT_EQ(movedPosition(2, 5, 9, QStringLiteral("POS_SET")), 4);
    EXPECT_EQ(movedPosition(2, 5, -1, QStringLiteral("POS_CUR")), 1);
    EXPECT_EQ(movedPosition(2, 5, -9, QStringLiteral("POS_CUR")), 0);
    EXPECT_EQ(movedPosition(2, 5, 0, QStringLiteral("POS_END")), 4);
    EXPECT_EQ(movedPosition(2, 5, -1, QStringLiteral("POS_END")), 3);
    EXPECT_EQ(movedPosition(2, 5, 0, QStringLiteral("POS_ANY")), std::nullopt);
}

TEST(TransferSpeed, MeasuresTheLastSecondsAndNeverGoesBackwards)
{
    TransferSpeed speed;
    EXPECT_EQ(speed.bytesPerSecond(0), 0);
    for (qint64 ms = 0; ms <= 2000; ms += 10)
        speed.sample(ms, ms * 1000);
    EXPECT_EQ(speed.bytesPerSecond(2000), 1'000'000);
    // A stalled transfer slows down, and one silent for the whole window stands still.
    EXPECT_LT(speed.bytesPerSecond(3000), 1'000'000);
    EXPECT_EQ(speed.bytesPerSecond(5500), 0);
    // A count that starts again (a resumed file) is a new measure, not a negative speed.
    TransferSpeed resumed;
    resumed.sample(0, 1'000'000);
    resumed.sample(1000, 2'000'000);
    resumed.sample(1100, 500);
    resumed.sample(2100, 1500);
    EXPECT_EQ(resumed.bytesPerSecond(2100), 1000);
}
