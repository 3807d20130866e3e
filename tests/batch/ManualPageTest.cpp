// SPDX-License-Identifier: MIT
// The manual page and --help state what the README states about quorvel-batch.
#include "batch/BatchOptions.h"
#include "tests/automation/QStringPrinter.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

QString fileText(const char *relativePath)
{
    QFile file(QStringLiteral(QUORVEL_SOURCE_DIR "/") + QLatin1String(relativePath));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relativePath;
    return QString::fromUtf8(file.readAll());
}

/** Text from the line that starts with heading to the next line that starts with the same marker. */
QString section(const QString &text, const QString &heading, const QString &marker)
{
    const qsizetype start = text.indexOf(QLatin1Char('\n') + heading);
    EXPECT_GE(start, 0) << heading.toStdString();
    const qsizetype end = text.indexOf(QLatin1Char('\n') + marker, start + 1);
    return text.mid(start, end < 0 ? -1 : end - start);
}

/** What a reader sees of roff source, near enough to compare words: no macros, escapes or line breaks. */
QString readable(const QString &roff)
{
    QStringList words;
    for (QString line : roff.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String(".\\\"")))
            continue;
        if (line.startsWith(QLatin1Char('.'))) {
            // ".BR -h \", \" --help": the macro goes, and so do the quotes that group its arguments.
            line = line.section(QLatin1Char(' '), 1).remove(QLatin1String("\" "));
            line.remove(QLatin1Char('"'));
        }
        words << line;
    }
    return words.join(QLatin1Char(' '))
        .replace(QLatin1String("\\-"), QLatin1String("-"))
        .replace(QLatin1String("\\(lq"), QLatin1String("\""))
        .replace(QLatin1String("\\(rq"), QLatin1String("\""))
        .simplified();
}

/** Markdown as read: no code marks, no line breaks. */
QString readableMarkdown(QString markdown)
{
    return markdown.remove(QLatin1Char('`')).simplified();
}

QSet<QString> matches(const QString &text, const char *pattern)
{
    QSet<QString> found;
    auto all = QRegularExpression(QLatin1String(pattern)).globalMatch(text);
    while (all.hasNext())
        found << all.next().captured(0);
    return found;
}

QString sorted(const QSet<QString> &set)
{
    QStringList list = set.values();
    list.sort();
    return list.join(QLatin1Char(' '));
}

class ManualPage : public testing::Test
{
protected:
    const QString readme = fileText("README.md");
    const QString batchSection = readableMarkdown(
        section(readme, QStringLiteral("## Without a display"), QStringLiteral("## ")));
    const QString manPage = fileText("packaging/man/quorvel-batch.1");
    const QString help = std::get<BatchOptions::Help>(
                             BatchOptions::parse({QStringLiteral("quorvel-batch"), QStringLiteral("--help")}))
                             .text;
};

} // namespace

TEST_F(ManualPage, NamesTheCausesThatAreRetriedAsTheReadmeDoes)
{
    const QString failures = readableMarkdown(
        section(readme, QStringLiteral("## When something fails"), QStringLiteral("## ")));
    const QRegularExpressionMatch causes = QRegularExpression(QStringLiteral("for a cause that may pass (\\([^)]*\\))"))
                                               .match(failures);
    ASSERT_TRUE(causes.hasMatch());
    const QString retryFor = readable(section(manPage, QStringLiteral(".BI \\-\\-retry\\-for"), QStringLiteral(".TP")));
    EXPECT_TRUE(retryFor.contains(causes.captured(1))) << causes.captured(1).toStdString() << "\n"
                                                       << retryFor.toStdString();
}

TEST_F(ManualPage, NamesTheSignalsTheExitStatusesAndTheOptionsOfTheReadme)
{
    const QString signalsPage = readable(section(manPage, QStringLiteral(".SH SIGNALS"), QStringLiteral(".SH")));
    const QSet<QString> readmeSignals = matches(batchSection, "SIG[A-Z]+|Ctrl\\+C");
    ASSERT_FALSE(readmeSignals.isEmpty());
    EXPECT_TRUE(matches(signalsPage, "SIG[A-Z]+|Ctrl\\+C").contains(readmeSignals)) << signalsPage.toStdString();
    EXPECT_TRUE(matches(help, "SIG[A-Z]+|Ctrl\\+C").contains(readmeSignals)) << help.toStdString();

    const QRegularExpressionMatch readmeStatuses = QRegularExpression(QStringLiteral("Exit status: ([^.]*)"))
                                                       .match(batchSection);
    ASSERT_TRUE(readmeStatuses.hasMatch());
    const QString statuses = sorted(matches(readmeStatuses.captured(1), "\\b\\d+\\b"));
    EXPECT_EQ(
        sorted(matches(section(manPage, QStringLiteral(".SH EXIT STATUS"), QStringLiteral(".SH")), "(?<=\n\\.B )\\d+")),
        statuses);
    EXPECT_EQ(sorted(matches(section(help, QStringLiteral("退出状态"), QStringLiteral("\n")), "\\b\\d+\\b")), statuses);

    const QString options = sorted(matches(batchSection, "--[a-z][a-z-]*"));
    EXPECT_EQ(options,
              QStringLiteral("--all-proxy --all-proxy-passwd --all-proxy-user --checksum --conf-path --enable-rpc "
                             "--folder --help --max-download-limit --no-proxy --on-download-complete --retry-for "
                             "--rpc-allow-origin --rpc-listen-all --rpc-listen-port --rpc-secret --rpc-secret-file "
                             "--save-session --shutdown --version"));
    EXPECT_EQ(sorted(matches(readable(manPage), "--[a-z][a-z-]*")), options);
    EXPECT_EQ(sorted(matches(help, "--[a-z][a-z-]*")), options);
}
