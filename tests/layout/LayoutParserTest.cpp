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
        {"a line without =", valid + "  \n# fine\nslow download\n", 5, "此行应为 \"key = value\""},
        {"an unknown key", "hosts = a.example\nfiel = action\n", 2, "未知的键 \"fiel\""},
        {"a key given twice", valid + "file = link: Get\n", 3, "\"file\" 写了两次, 第一次在第 2 行"},
        {"a key without value", valid + "press =\n", 3, "\"press\" 没有值"},
        {"a host named twice", "hosts = a.example, *.b.example a.example\nfile = action\n", 1,
         "主机 \"a.example\" 列出了两次"},
        {"a host with a wrong character", "file = action\nhosts = a_b.example\n", 2, "\"a_b.example\" 不是主机名"},
        {"a wildcard inside a name", "hosts = a.*.example\nfile = action\n", 1, "不是主机名"},
        {"no hosts", "file = action\n", 0, "没有 \"hosts = ...\" 行"},
        {"no file rule", "hosts = a.example\nmissing = text: gone\n", 0, "没有 \"file = ...\" 行"},
        {"a wait given by text", valid + "wait = text: please wait\n", 3, "需要一个用组取出数字的模式"},
        {"a wait pattern without a group", valid + "wait = pattern: wait \\d+ minutes\n", 3,
         "需要用括号把要取的部分括成一组"},
        {"a rule of no known kind", valid + "missing = regex: gone\n", 3, "而不是 \"regex:\""},
        {"a pattern RE2 refuses", valid + "missing = pattern: (unclosed\n", 3, "模式不被接受: missing )"},
        {"a pattern too long", valid + "missing = pattern: " + QByteArray(1001, 'a') + "\n", 3, "超过 1000 个字符"},
        {"a countdown text without its seconds", valid + "countdown = text: Your file\n", 3,
         "或一行 \"countdown-seconds\""},
        {"a countdown counted twice", valid + "countdown = pattern: (\\d+) s\ncountdown-seconds = 5\n", 4,
         "已经取出秒数"},
        {"a countdown of a day", valid + "countdown = text: soon\ncountdown-seconds = 86400\n", 4, "不到一天"},
        {"a unit that is neither", valid + "wait-unit = hours\n", 3, "\"wait-unit\" 只能是 \"minutes\" 或 \"seconds\""},
        {"a press of no known kind", valid + "press = label: Go\n", 3, "而不是 \"label:\""},
        // Presses by selector.
        {"a selector of three parts", valid + "press = selector: div form input\n", 3, "一部分 (控件的), 或两部分"},
        {"a first part that is not the form", valid + "press = selector: div input\n", 3, "只能是 \"form\""},
        {"a selector with a child combinator", valid + "press = selector: form>input\n", 3,
         "\"form>input\" 不是依次连写的 tag"},
        {"an attribute without a value", valid + "press = selector: input[name]\n", 3, "不是依次连写的 tag, #id"},
        {"an unclosed quote", valid + "press = selector: input[value=\"Go]\n", 3, "不是依次连写的 tag, #id"},
        {"an attribute not closed", valid + "press = selector: input[name=go\n", 3, "不是依次连写的 tag, #id"},
        {"a bare class mark", valid + "press = selector: input.\n", 3, "不是依次连写的 tag, #id"},
        {"a selector too long", valid + "press = selector: " + QByteArray(201, 'a') + "\n", 3, "超过 200 个字符"},
        // Fields.
        {"a field without a name", valid + "press = id: go\nfield = : abc\n", 4, "\"NAME: VALUE\""},
        {"a field without a colon", valid + "press = id: go\nfield = token\n", 4, "\"NAME: VALUE\""},
        {"a field named twice", valid + "press = id: go\nfield = a: 1\nfield = b: 2\nfield = a: 3\n", 6,
         "字段 \"a\" 写了两次"},
        {"a field value too long", valid + "press = id: go\nfield = a: " + QByteArray(1001, 'v') + "\n", 4,
         "最多 1000 个字符"},
        {"a field without a press", valid + "field = a: 1\n", 3, "没有 \"press\" 行"},
        {"more fields than allowed", valid + "press = id: go\n" + manyFields(LayoutParser::maxFields + 1), 36,
         "字段超过 32 个"},
        {"a repeat that is not yes or no", valid + "press-repeats = twice\n", 3, "只能是 \"yes\" 或 \"no\""},
        {"a file rule of no known kind", "hosts = a.example\nfile = href: x\n", 2, "\"file\" 需要 \"action\""},
        {"a file pattern without a group", "hosts = a.example\nfile = pattern: http\\S+\n", 2,
         "需要用括号把要取的部分括成一组"},
        {"a zero byte", valid + QByteArrayLiteral("missing = text: gone\0\n"), 3, "这不是文本文件"},
        {"bytes that are not UTF-8", valid + "missing = text: \xff\xfe\n", 0, "这不是 UTF-8"},
        {"a file over 256 KiB", valid + commentsOf(LayoutParser::maxFileBytes - valid.size() + 1), 0, "大于 256 KiB"},
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
