// SPDX-License-Identifier: MIT
// What a layout file may not say, and the line and reason a writer is told for each.
#include "layout/LayoutParser.h"
#include "platform/pattern/Re2PatternCompiler.h"

#include <gtest/gtest.h>

namespace {

struct BadLayout
{
    const char *what;
    QByteArray bytes;
    int line;
    const char *reason;
};

const QByteArray valid = "hosts = files.example\nfile = action\n";

QByteArray commentsOf(qsizetype size)
{
    return QByteArray(size - 1, '#') + '\n';
}

QByteArray manyFields(int count)
{
    QByteArray lines;
    for (int i = 0; i < count; ++i)
        lines += "field = f" + QByteArray::number(i) + ": v\n";
    return lines;
}

} // namespace

TEST(LayoutParserTest, EachBadFileIsRefusedWithItsLineAndReason)
{
    const BadLayout rows[] = {
        {"a line without =", valid + "  \n# fine\nslow download\n", 5, "expected \"key = value\""},
        {"an unknown key", "hosts = a.example\nfiel = action\n", 2, "unknown key \"fiel\""},
        {"a key given twice", valid + "file = link: Get\n", 3, "\"file\" is given twice, first on line 2"},
        {"a key without value", valid + "press =\n", 3, "\"press\" has no value"},
        {"a host named twice", "hosts = a.example, *.b.example a.example\nfile = action\n", 1,
         "the host \"a.example\" is named twice"},
        {"a host with a wrong character", "file = action\nhosts = a_b.example\n", 2,
         "\"a_b.example\" is not a host name"},
        {"a wildcard inside a name", "hosts = a.*.example\nfile = action\n", 1, "not a host name"},
        {"no hosts", "file = action\n", 0, "no \"hosts = ...\" line"},
        {"no file rule", "hosts = a.example\nmissing = text: gone\n", 0, "no \"file = ...\" line"},
        {"a wait given by text", valid + "wait = text: please wait\n", 3, "needs a pattern whose group is the number"},
        {"a wait pattern without a group", valid + "wait = pattern: wait \\d+ minutes\n", 3, "needs a group"},
        {"a rule of no known kind", valid + "missing = regex: gone\n", 3, "not \"regex:\""},
        {"a pattern RE2 refuses", valid + "missing = pattern: (unclosed\n", 3, "the pattern is refused: missing )"},
        {"a pattern too long", valid + "missing = pattern: " + QByteArray(1001, 'a') + "\n", 3,
         "longer than 1000 characters"},
        {"a countdown text without its seconds", valid + "countdown = text: Your file\n", 3,
         "or a \"countdown-seconds\" line"},
        {"a countdown counted twice", valid + "countdown = pattern: (\\d+) s\ncountdown-seconds = 5\n", 4,
         "already takes the seconds"},
        {"a countdown of a day", valid + "countdown = text: soon\ncountdown-seconds = 86400\n", 4, "under a day"},
        {"a unit that is neither", valid + "wait-unit = hours\n", 3, "\"wait-unit\" is \"minutes\" or \"seconds\""},
        {"a press of no known kind", valid + "press = label: Go\n", 3, "not \"label:\""},
        // Presses by selector.
        {"a selector of three parts", valid + "press = selector: div form input\n", 3, "one part for the control"},
        {"a first part that is not the form", valid + "press = selector: div input\n", 3, "can only be \"form\""},
        {"a selector with a child combinator", valid + "press = selector: form>input\n", 3,
         "\"form>input\" is not tag"},
        {"an attribute without a value", valid + "press = selector: input[name]\n", 3, "is not tag, #id"},
        {"an unclosed quote", valid + "press = selector: input[value=\"Go]\n", 3, "is not tag, #id"},
        {"an attribute not closed", valid + "press = selector: input[name=go\n", 3, "is not tag, #id"},
        {"a bare class mark", valid + "press = selector: input.\n", 3, "is not tag, #id"},
        {"a selector too long", valid + "press = selector: " + QByteArray(201, 'a') + "\n", 3,
         "longer than 200 characters"},
        // Fields.
        {"a field without a name", valid + "press = id: go\nfield = : abc\n", 4, "\"NAME: VALUE\""},
        {"a field without a colon", valid + "press = id: go\nfield = token\n", 4, "\"NAME: VALUE\""},
        {"a field named twice", valid + "press = id: go\nfield = a: 1\nfield = b: 2\nfield = a: 3\n", 6,
         "the field \"a\" is given twice"},
        {"a field value too long", valid + "press = id: go\nfield = a: " + QByteArray(1001, 'v') + "\n", 4,
         "at most 1000 characters"},
        {"a field without a press", valid + "field = a: 1\n", 3, "has no \"press\" line"},
        {"more fields than allowed", valid + "press = id: go\n" + manyFields(LayoutParser::maxFields + 1), 36,
         "more than 32 fields"},
        {"a repeat that is not yes or no", valid + "press-repeats = twice\n", 3, "\"yes\" or \"no\""},
        {"a file rule of no known kind", "hosts = a.example\nfile = href: x\n", 2, "\"file\" needs \"action\""},
        {"a file pattern without a group", "hosts = a.example\nfile = pattern: http\\S+\n", 2, "needs a group"},
        {"a zero byte", valid + QByteArrayLiteral("missing = text: gone\0\n"), 3, "not a text file"},
        {"bytes that are not UTF-8", valid + "missing = text: \xff\xfe\n", 0, "not UTF-8"},
        {"a file over 256 KiB", valid + commentsOf(LayoutParser::maxFileBytes - valid.size() + 1), 0,
         "larger than 256 KiB"},
    };
    for (const BadLayout &row : rows) {
        SCOPED_TRACE(row.what);
        const auto result = LayoutParser::parse(QStringLiteral("host.layout"), row.bytes, Re2PatternCompiler());
        const auto *error = std::get_if<LayoutError>(&result);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->file, QStringLiteral("host.layout"));
        EXPECT_EQ(error->line, row.line);
        EXPECT_TRUE(error->reason.contains(QString::fromUtf8(row.reason))) << error->reason.toStdString();
    }
    // Right at the bound, and with every rule, a file is read.
    const QByteArray full = "hosts = A.Example *.b.example\r\nmissing = text: gone\nwait = pattern: wait (\\d+)\n"
                            "wait-unit = seconds\ncountdown = text: soon\ncountdown-seconds = 3\n"
                            "about = pattern: about (\\d+)\npress = id: go\npress-repeats = yes\n"
                            "file = link: Get\nfield = token : a: b \nfield = empty:\n"
        + manyFields(LayoutParser::maxFields - 2);
    const auto read = LayoutParser::parse(QStringLiteral("host.layout"),
                                          full + commentsOf(LayoutParser::maxFileBytes - full.size()),
                                          Re2PatternCompiler());
    ASSERT_TRUE(std::holds_alternative<HostLayout>(read)) << std::get<LayoutError>(read).text().toStdString();
    const HostLayout &layout = std::get<HostLayout>(read);
    EXPECT_EQ(layout.hosts, (QStringList{QStringLiteral("a.example"), QStringLiteral("*.b.example")}));
    EXPECT_EQ(layout.waitUnitSeconds, 1);
    EXPECT_EQ(layout.aboutUnitSeconds, 60);
    EXPECT_EQ(layout.countdownSeconds, 3);
    EXPECT_TRUE(layout.pressRepeats);
    EXPECT_EQ(layout.press->by, PressRule::By::Id);
    EXPECT_EQ(layout.file.from, FileRule::From::LinkText);
    EXPECT_EQ(layout.file.text, QStringLiteral("Get"));
    ASSERT_EQ(layout.fields.size(), LayoutParser::maxFields);
    EXPECT_EQ(layout.fields[0], (FormField{QStringLiteral("token"), QStringLiteral("a: b")}));
    EXPECT_EQ(layout.fields[1], (FormField{QStringLiteral("empty"), QString()}));
}
