// SPDX-License-Identifier: MIT
// The X11 clipboard reader against an X server of the test's own, its clipboard owned by another
// connection as another program would own it.
#include "platform/clipboard/XcbClipboardReader.h"
#include "SelectionOwner.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace std::chrono_literals;
using Offers = SelectionOwner::Offers;

/** A virtual X server on a free display, gone with the object. */
class VirtualDisplay
{
public:
    VirtualDisplay()
    {
        m_server.start(
            QStringLiteral("Xvfb"),
            {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
             // Else it starts afresh whenever its last client goes.
             QStringLiteral("-noreset"), QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("64x64x24")});
        if (m_server.waitForReadyRead(10'000))
            m_name = ':' + m_server.readLine().trimmed();
    }
    ~VirtualDisplay()
    {
        m_server.terminate();
        m_server.waitForFinished();
    }
    /** Empty when the server did not start. */
    QByteArray name() const { return m_name; }

private:
    QProcess m_server;
    QByteArray m_name;
};

QByteArray lines(qsizetype size)
{
    QByteArray text;
    for (int i = 0; text.size() < size; ++i)
        text += "http://a.example/" + QByteArray::number(i) + "\n";
    text.truncate(size);
    return text;
}

struct Read
{
    const char *what;
    std::optional<Offers> owner;
    QByteArray offered;
    qsizetype pieceBytes;
    qsizetype maxBytes;
    QString text;
    bool cutShort;
    /** What the owner wrote at most: a read that stops at its cap asks for no more. */
    int maxPieces;
};

TEST(XcbClipboardReader, ReadsTheOwnersTextInOnePieceOrIncrementallyAndStopsAtTheCap)
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps.sh installs it)";
    const VirtualDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";
    const QByteArray big = lines(4 << 20);
    const QList<Read> reads = {
        {"in one piece", Offers::Utf8AndString, "http://a.example/\xe4\xb8\xad\n", 1 << 16, 1 << 20,
         QStringLiteral("http://a.example/中\n"), false, 1},
        {"as STRING where the owner has no UTF8_STRING", Offers::StringOnly, "caf\xe9 http://b.example/", 1 << 16,
         1 << 20, QStringLiteral("café http://b.example/"), false, 1},
        {"incrementally, all of it below the cap", Offers::Utf8AndString, big.first(300'000), 1 << 16, 1 << 20,
         QString::fromLatin1(big.first(300'000)), false, 5},
        {"incrementally, cut at the cap", Offers::Utf8AndString, big, 1 << 16, 256 << 10,
         QString::fromLatin1(big.first(256 << 10)), true, 6},
        {"no text offered", Offers::Nothing, "x", 1 << 16, 1 << 20, QString(), false, 0},
        {"no owner", std::nullopt, {}, 1 << 16, 1 << 20, QString(), false, 0},
    };
    for (const Read &each : reads) {
        SCOPED_TRACE(each.what);
        std::optional<SelectionOwner> owner;
        if (each.owner) {
            owner.emplace(display.name(), each.offered, each.pieceBytes, *each.owner);
            ASSERT_TRUE(owner->owns());
        }
        XcbClipboardReader reader(display.name());
        QSignalSpy answers(&reader, &ClipboardReader::textRead);
        QSignalSpy failures(&reader, &ClipboardReader::failed);
        reader.read(each.maxBytes);
        EXPECT_TRUE(reader.isReading());
        ASSERT_TRUE(answers.wait(5000)) << failures.value(0).value(0).toString().toStdString();
        EXPECT_FALSE(reader.isReading());
        EXPECT_EQ(answers.at(0).at(0).toString(), each.text);
        EXPECT_EQ(answers.at(0).at(1).toBool(), each.cutShort);
        // Long enough for an owner still asked to write several more pieces.
        QTest::qWait(200);
        EXPECT_EQ(answers.size() + failures.size(), 1);
        if (owner) {
            EXPECT_LE(owner->piecesWritten(), each.maxPieces);
        }
    }
}

TEST(XcbClipboardReader, SaysWhyWhenTheOwnerNeverAnswersOrTheDisplayIsGone)
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps.sh installs it)";
    const VirtualDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";
    // An owner that is there but never answers: a program hung while it owns the clipboard.
    const SelectionOwner silent(display.name(), "x", 1024, Offers::NoAnswer);
    const QList<std::pair<QByteArray, QString>> cases = {
        {display.name(), QStringLiteral("提供剪贴板的程序 0.3 秒内没有交出文本")},
        {":9999", QStringLiteral("不能连接 X 显示 :9999")},
    };
    for (const auto &[name, reason] : cases) {
        XcbClipboardReader reader(name, 300ms);
        QSignalSpy failures(&reader, &ClipboardReader::failed);
        reader.read(1024);
        ASSERT_TRUE(failures.wait(3000));
        EXPECT_EQ(failures.at(0).at(0).toString(), reason);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
