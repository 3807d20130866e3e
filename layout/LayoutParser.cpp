// SPDX-License-Identifier: MIT
#include "layout/LayoutParser.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

const QStringList knownKeys{u"hosts"_s,     u"missing"_s,           u"wait"_s,  u"wait-unit"_s,
                            u"countdown"_s, u"countdown-seconds"_s, u"about"_s, u"about-unit"_s,
                            u"press"_s,     u"press-repeats"_s,     u"field"_s, u"file"_s};

// Keys a file may give more than once, each line adding one more.
const QStringList repeatableKeys{u"field"_s};

struct Entry
{
    QString value;
    int line = 0;
};

// A value of the form "kind: rest"; a value without a colon is all kind.
struct Kinded
{
    QString kind;
    QString rest;
};

Kinded kinded(const QString &value)
{
    const qsizetype colon = value.indexOf(u':');
    if (colon < 0)
        return {value.trimmed().toLower(), QString()};
    return {value.first(colon).trimmed().toLower(), value.sliced(colon + 1).trimmed()};
}

bool isHostName(const QString &host)
{
    const QString name = host.startsWith(u"*."_s) ? host.sliced(2) : host;
    if (name.isEmpty() || name.size() > 253)
        return false;
    for (const QString &label : name.split(u'.')) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith(u'-') || label.endsWith(u'-'))
            return false;
        for (const QChar c : label) {
            if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-'))
                return false;
        }
    }
    return true;
}

class Reader
{
public:
    Reader(const QString &file, const PatternCompiler &compiler)
        : m_file(file)
        , m_compiler(compiler)
    {
    }

    HostLayout read(const QHash<QString, Entry> &entries, const QList<Entry> &fieldEntries)
    {
        HostLayout layout;
        layout.source = m_file;
        layout.hosts = hosts(required(entries, u"hosts"_s));
        layout.missing = rule(entries, u"missing"_s, 0);
        layout.wait = rule(entries, u"wait"_s, 1);
        layout.waitUnitSeconds = unit(entries, u"wait-unit"_s);
        layout.about = rule(entries, u"about"_s, 1);
        layout.aboutUnitSeconds = unit(entries, u"about-unit"_s);
        layout.countdown = rule(entries, u"countdown"_s, 0);
        if (entries.contains(u"countdown-seconds"_s))
            layout.countdownSeconds = seconds(entries[u"countdown-seconds"_s]);
        checkCountdown(layout, entries);
        if (entries.contains(u"press"_s))
            layout.press = press(entries[u"press"_s]);
        if (entries.contains(u"press-repeats"_s))
            layout.pressRepeats = yesNo(entries[u"press-repeats"_s]);
        layout.fields = fields(fieldEntries);
        if (!layout.fields.isEmpty() && !layout.press)
            fail(fieldEntries.front().line, u"\"field\" 由按下发送, 但布局没有 \"press\" 行"_s);
        layout.file = fileRule(required(entries, u"file"_s));
        return layout;
    }

    [[noreturn]] void fail(int line, const QString &reason) const { throw LayoutError{m_file, line, reason}; }

private:
    Entry required(const QHash<QString, Entry> &entries, const QString &key) const
    {
        if (!entries.contains(key))
            fail(0, u"没有 \"%1 = ...\" 行; 每个布局都需要这一行"_s.arg(key));
        return entries[key];
    }

    QStringList hosts(const Entry &entry) const
    {
        QStringList hosts;
        for (const QString &word : entry.value.toLower().split(QRegularExpression(u"[\\s,]+"_s), Qt::SkipEmptyParts)) {
            if (!isHostName(word))
                fail(entry.line, u"\"%1\" 不是主机名 (字母、数字、\"-\" 和 \".\", 开头可以是 \"*.\")"_s.arg(word));
            if (hosts.contains(word))
                fail(entry.line, u"主机 \"%1\" 列出了两次"_s.arg(word));
            hosts.append(word);
        }
        if (hosts.size() > LayoutParser::maxHosts)
            fail(entry.line, u"主机超过 %1 个"_s.arg(LayoutParser::maxHosts));
        return hosts;
    }

    std::shared_ptr<const TextPattern> pattern(const Entry &entry, const QString &text, int groupsNeeded) const
    {
        if (text.size() > LayoutParser::maxPatternLength)
            fail(entry.line, u"模式超过 %1 个字符"_s.arg(LayoutParser::maxPatternLength));
        QString reason;
        auto compiled = m_compiler.compile(text, reason);
        if (!compiled)
            fail(entry.line, u"模式不被接受: %1"_s.arg(reason));
        if (compiled->groupCount() < groupsNeeded)
            fail(entry.line, u"模式需要用括号把要取的部分括成一组, 如 (\\d+)"_s);
        return compiled;
    }

    // groupsNeeded 1: the rule's number comes from the pattern, so a plain text cannot say it.
    std::optional<PageRule> rule(const QHash<QString, Entry> &entries, const QString &key, int groupsNeeded) const
    {
        if (!entries.contains(key))
            return std::nullopt;
        const Entry &entry = entries[key];
        const Kinded value = kinded(entry.value);
        if (value.rest.isEmpty())
            fail(entry.line, u"\"%1\" 需要 \"text: ...\" 或 \"pattern: ...\""_s.arg(key));
        if (value.kind == u"text") {
            if (groupsNeeded > 0)
                fail(entry.line, u"\"%1\" 需要一个用组取出数字的模式, 如 \"pattern: wait (\\d+) minutes\""_s.arg(key));
            return PageRule{value.rest, nullptr};
        }
        if (value.kind == u"pattern")
            return PageRule{QString(), pattern(entry, value.rest, groupsNeeded)};
        fail(entry.line, u"\"%1\" 需要 \"text: ...\" 或 \"pattern: ...\", 而不是 \"%2:\""_s.arg(key, value.kind));
    }

    int unit(const QHash<QString, Entry> &entries, const QString &key) const
    {
        if (!entries.contains(key))
            return 60;
        const Entry &entry = entries[key];
        const QString value = entry.value.toLower();
        if (value == u"minutes")
            return 60;
        if (value == u"seconds")
            return 1;
        fail(entry.line, u"\"%1\" 只能是 \"minutes\" 或 \"seconds\""_s.arg(key));
    }

    int seconds(const Entry &entry) const
    {
        bool ok = false;
        const int value = entry.value.toInt(&ok);
        if (!ok || value < 0 || value >= 24 * 3600)
            fail(entry.line, u"\"countdown-seconds\" 是不到一天的整数秒数"_s);
        return value;
    }

    void checkCountdown(const HostLayout &layout, const QHash<QString, Entry> &entries) const
    {
        if (!layout.countdown)
            return;
        const bool numbered = layout.countdown->pattern && layout.countdown->pattern->groupCount() > 0;
        const int line = entries[u"countdown"_s].line;
        if (!numbered && !layout.countdownSeconds)
            fail(line, u"倒计时需要一个用组取出秒数的模式, 或一行 \"countdown-seconds\""_s);
        if (numbered && layout.countdownSeconds)
            fail(entries[u"countdown-seconds"_s].line, u"倒计时的模式已经取出秒数; 请去掉它的组或这一行"_s);
    }

    PressRule press(const Entry &entry) const
    {
        static const QString kinds =
            u"\"value: ...\", \"text: ...\", \"name: ...\", \"id: ...\" 或 \"selector: ...\""_s;
        const Kinded value = kinded(entry.value);
        if (value.rest.isEmpty())
            fail(entry.line, u"\"press\" 需要 "_s + kinds);
        if (value.kind == u"value")
            return {PressRule::By::Value, value.rest, std::nullopt};
        if (value.kind == u"text")
            return {PressRule::By::Text, value.rest, std::nullopt};
        if (value.kind == u"name")
            return {PressRule::By::Name, value.rest, std::nullopt};
        if (value.kind == u"id")
            return {PressRule::By::Id, value.rest, std::nullopt};
        if (value.kind == u"selector") {
            QString reason;
            std::optional<ControlSelector> selector = ControlSelector::parse(value.rest, reason);
            if (!selector)
                fail(entry.line, reason);
            return {PressRule::By::Selector, value.rest, std::move(selector)};
        }
        fail(entry.line, u"\"press\" 需要 %1, 而不是 \"%2:\""_s.arg(kinds, value.kind));
    }

    QList<FormField> fields(const QList<Entry> &entries) const
    {
        QList<FormField> fields;
        for (const Entry &entry : entries) {
            const qsizetype colon = entry.value.indexOf(u':');
            const QString name = colon < 0 ? QString() : entry.value.first(colon).trimmed();
            if (name.isEmpty())
                fail(entry.line, u"\"field\" 的格式是 \"NAME: VALUE\", 如 \"field = token: abc\""_s);
            const QString value = entry.value.sliced(colon + 1).trimmed();
            if (name.size() > LayoutParser::maxFieldLength || value.size() > LayoutParser::maxFieldLength)
                fail(entry.line, u"字段的名称和值各自最多 %1 个字符"_s.arg(LayoutParser::maxFieldLength));
            for (const FormField &earlier : fields) {
                if (earlier.name == name)
                    fail(entry.line, u"字段 \"%1\" 写了两次"_s.arg(name));
            }
            fields.append({name, value});
        }
        return fields;
    }

    bool yesNo(const Entry &entry) const
    {
        const QString value = entry.value.toLower();
        if (value == u"yes")
            return true;
        if (value == u"no")
            return false;
        fail(entry.line, u"\"press-repeats\" 只能是 \"yes\" 或 \"no\""_s);
    }

    FileRule fileRule(const Entry &entry) const
    {
        const Kinded value = kinded(entry.value);
        if (value.kind == u"action")
            return {FileRule::From::FormAction, value.rest, nullptr};
        if (value.kind == u"link" && !value.rest.isEmpty())
            return {FileRule::From::LinkText, value.rest, nullptr};
        if (value.kind == u"attribute" && !value.rest.isEmpty())
            return {FileRule::From::Attribute, value.rest, nullptr};
        if (value.kind == u"pattern" && !value.rest.isEmpty())
            return {FileRule::From::Pattern, QString(), pattern(entry, value.rest, 1)};
        fail(entry.line, u"\"file\" 需要 \"action\", \"link: TEXT\", \"attribute: NAME\" 或 \"pattern: ...\""_s);
    }

    QString m_file;
    const PatternCompiler &m_compiler;
};

int lineOf(const QByteArray &bytes, qsizetype position)
{
    return static_cast<int>(bytes.first(position).count('\n')) + 1;
}

} // namespace

LayoutParser::Result LayoutParser::parse(const QString &file, const QByteArray &bytes, const PatternCompiler &compiler)
{
    if (bytes.size() > maxFileBytes)
        return LayoutError{file, 0, u"大于 %1 KiB; 布局只是几行文本"_s.arg(maxFileBytes / 1024)};
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
        return LayoutError{file, lineOf(bytes, nul), u"这不是文本文件 (含有零字节)"_s};
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        return LayoutError{file, 0, u"这不是 UTF-8 文本"_s};

    Reader reader(file, compiler);
    try {
        QHash<QString, Entry> entries;
        QList<Entry> fieldEntries;
        const QStringList lines = text.split(u'\n');
        for (int i = 0; i < lines.size(); ++i) {
            const int line = i + 1;
            const QString content = lines[i].trimmed();
            if (content.isEmpty() || content.startsWith(u'#'))
                continue;
            const qsizetype equals = content.indexOf(u'=');
            if (equals < 0)
                reader.fail(line, u"此行应为 \"key = value\""_s);
            const QString key = content.first(equals).trimmed().toLower();
            const QString value = content.sliced(equals + 1).trimmed();
            if (!knownKeys.contains(key))
                reader.fail(line, u"未知的键 \"%1\"; 可用的键有 %2"_s.arg(key, knownKeys.join(u", "_s)));
            if (repeatableKeys.contains(key)) {
                if (fieldEntries.size() == LayoutParser::maxFields)
                    reader.fail(line, u"字段超过 %1 个"_s.arg(LayoutParser::maxFields));
                fieldEntries.append({value, line});
                continue;
            }
            if (entries.contains(key))
                reader.fail(line, u"\"%1\" 写了两次, 第一次在第 %2 行"_s.arg(key).arg(entries[key].line));
            if (value.isEmpty())
                reader.fail(line, u"\"%1\" 没有值"_s.arg(key));
            entries.insert(key, {value, line});
        }
        return reader.read(entries, fieldEntries);
    } catch (const LayoutError &error) {
        return error;
    }
}
