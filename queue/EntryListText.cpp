// SPDX-License-Identifier: MIT
#include "queue/EntryListText.h"

#include "common/FileChecksum.h"

#include <QStringTokenizer>

#include <algorithm>
#include <optional>

namespace {
const QString idKey = QStringLiteral("gid");
const QString statePrefix = QStringLiteral("quorvel-");

const QList<std::pair<DownloadEntry::State, QString>> &stateNames()
{
    static const QList<std::pair<DownloadEntry::State, QString>> names{
        {DownloadEntry::State::Waiting, QStringLiteral("waiting")},
        {DownloadEntry::State::Active, QStringLiteral("active")},
        {DownloadEntry::State::Paused, QStringLiteral("paused")},
        {DownloadEntry::State::Done, QStringLiteral("done")},
        {DownloadEntry::State::Failed, QStringLiteral("failed")},
        {DownloadEntry::State::Dropped, QStringLiteral("dropped")},
        {DownloadEntry::State::Removed, QStringLiteral("removed")},
    };
    return names;
}

const QList<std::pair<FailureCause::Kind, QString>> &causeNames()
{
    static const QList<std::pair<FailureCause::Kind, QString>> names{
        {FailureCause::Kind::Transient, QStringLiteral("transient")},
        {FailureCause::Kind::Permanent, QStringLiteral("permanent")},
        {FailureCause::Kind::ExpiredLink, QStringLiteral("expired-link")},
    };
    return names;
}

template <typename Value> std::optional<Value> named(const QList<std::pair<Value, QString>> &names, const QString &text)
{
    for (const auto &[value, name] : names) {
        if (name == text)
            return value;
    }
    return std::nullopt;
}

template <typename Value> QString nameOf(const QList<std::pair<Value, QString>> &names, Value value)
{
    for (const auto &[known, name] : names) {
        if (known == value)
            return name;
    }
    return QString();
}

// Names and reasons may hold anything a file system or a server allows, line breaks included;
// each value must stay on its line.
QString escaped(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

std::optional<QString> unescaped(QStringView value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size())
            return std::nullopt;
        if (value[i] == u'\\')
            out += u'\\';
        else if (value[i] == u'n')
            out += u'\n';
        else if (value[i] == u'r')
            out += u'\r';
        else
            return std::nullopt;
    }
    return out;
}

std::optional<qint64> count(QStringView value, qint64 least)
{
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    return ok && number >= least ? std::optional(number) : std::nullopt;
}

std::optional<QDateTime> time(const QString &value)
{
    const QDateTime when = QDateTime::fromString(value, Qt::ISODateWithMs);
    return when.isValid() ? std::optional(when) : std::nullopt;
}

std::optional<DownloadEntry::Id> id(QStringView value)
{
    const auto lowerHex = [](QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'); };
    if (value.size() != 16 || !std::all_of(value.begin(), value.end(), lowerHex))
        return std::nullopt;
    const DownloadEntry::Id id = value.toULongLong(nullptr, 16);
    return id != 0 ? std::optional(id) : std::nullopt;
}

PartialFile &partOf(DownloadEntry &entry)
{
    if (!entry.part)
        entry.part.emplace();
    return *entry.part;
}

/** Takes in one quorvel- option of entry; false when its value cannot be read. */
bool readOwnOption(DownloadEntry &entry, QStringView key, QStringView raw)
{
    const std::optional<QString> value = unescaped(raw);
    if (!value)
        return false;
    if (key == u"quorvel-state") {
        const auto state = named(stateNames(), *value);
        if (state)
            entry.state = *state;
        return state.has_value();
    }
    if (key == u"quorvel-cause") {
        const auto cause = named(causeNames(), *value);
        if (cause) {
            entry.lastFailure = entry.lastFailure.value_or(FailureCause{});
            entry.lastFailure->kind = *cause;
        }
        return cause.has_value();
    }
    if (key == u"quorvel-reason") {
        entry.lastFailure = entry.lastFailure.value_or(FailureCause{});
        entry.lastFailure->reason = *value;
        return true;
    }
    if (key == u"quorvel-file") {
        entry.fileName = *value;
        return true;
    }
    if (key == u"quorvel-size" || key == u"quorvel-received" || key == u"quorvel-part-total") {
        const auto number = count(*value, 0);
        if (number && key == u"quorvel-size")
            entry.sizeBytes = *number;
        else if (number && key == u"quorvel-received")
            entry.receivedBytes = *number;
        else if (number)
            partOf(entry).total = std::uint64_t(*number);
        return number.has_value();
    }
    if (key == u"quorvel-added" || key == u"quorvel-finished") {
        const auto when = time(*value);
        if (when)
            (key == u"quorvel-added" ? entry.added : entry.finished) = *when;
        return when.has_value();
    }
    if (key == u"quorvel-part") {
        partOf(entry).partName = *value;
        return true;
    }
    if (key == u"quorvel-part-target") {
        partOf(entry).target = *value;
        return true;
    }
    if (key == u"quorvel-command-result" || key == u"quorvel-command-output") {
        CommandRecord &record = entry.command ? *entry.command : entry.command.emplace();
        (key == u"quorvel-command-result" ? record.result : record.output) = *value;
        return true;
    }
    if (key == u"quorvel-part-validator") {
        partOf(entry).validator = value->toUtf8();
        return true;
    }
    return false;
}

// Indented, then a key of letters, digits and dashes that does not start with a dash, then "=".
bool isOptionLine(QStringView line)
{
    qsizetype i = 0;
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t'))
        ++i;
    const auto keyChar = [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
    };
    if (i == 0 || i == line.size() || !keyChar(line[i]))
        return false;
    while (i < line.size() && (keyChar(line[i]) || line[i] == u'-'))
        ++i;
    return i < line.size() && line[i] == u'=';
}

bool saysNothing(QStringView line)
{
    return line.trimmed().isEmpty() || line.startsWith(u'#');
}

/** An entry read with a part that names no file, or no version to continue, has none. */
void dropIncompletePart(DownloadEntry &entry)
{
    if (entry.part
        && (entry.part->partName.isEmpty() || entry.part->target.isEmpty() || entry.part->validator.isEmpty()
            || entry.part->total == 0))
        entry.part.reset();
}
// One pass over the lines, whatever holds them: a kept queue of 100,000 entries is read from
// views into its text, with no string made for a line that is not kept.
template <typename Lines> EntryListText::Reading readLines(const Lines &lines, bool strict)
{
    EntryListText::Reading reading;
    bool inEntry = false;
    for (const QStringView line : lines) {
        if (saysNothing(line)) {
            continue;
        }
        if (isOptionLine(line)) {
            if (!inEntry) {
                ++reading.skippedLines;
                continue;
            }
            DownloadEntry &entry = reading.entries.last();
            const QStringView option = line.trimmed();
            const qsizetype equals = option.indexOf(u'=');
            const QStringView key = option.first(equals);
            const QStringView value = option.sliced(equals + 1);
            bool taken = true;
            if (key == idKey) {
                const auto read = id(value);
                taken = read.has_value() || !strict;
                entry.id = read.value_or(0);
            } else if (key.startsWith(statePrefix)) {
                taken = readOwnOption(entry, key, value);
            } else if (key == FileChecksum::optionKey && !FileChecksum::parse(value)) {
                // Kept, such a digest would fail every try of a file that arrived whole; dropped
                // silently, a file that does not match would pass unchecked.
                taken = false;
            } else {
                entry.options.insert(key.toString(), value.toString());
            }
            reading.skippedLines += taken ? 0 : 1;
            continue;
        }
        if (strict && !line.contains(QLatin1String("://"))) {
            ++reading.skippedLines;
            inEntry = false;
            continue;
        }
        if (!reading.entries.isEmpty())
            dropIncompletePart(reading.entries.last());
        DownloadEntry entry;
        entry.url = line.toString();
        reading.entries.append(std::move(entry));
        inEntry = true;
    }
    if (!reading.entries.isEmpty())
        dropIncompletePart(reading.entries.last());
    return reading;
}
} // namespace

bool EntryListText::hasOptions(const QStringList &lines)
{
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (isOptionLine(lines[i]) && !saysNothing(lines[i - 1]) && !isOptionLine(lines[i - 1]))
            return true;
    }
    return false;
}

EntryListText::Reading EntryListText::read(const QStringList &lines, bool strict)
{
    return readLines(lines, strict);
}

EntryListText::Reading EntryListText::read(QStringView text, bool strict)
{
    return readLines(qTokenize(text, u'\n'), strict);
}

void EntryListText::write(const DownloadEntry &entry, QByteArray &out)
{
    const auto option = [&out](const QString &key, const QString &value) {
        out += "  ";
        out += key.toUtf8();
        out += '=';
        out += value.toUtf8();
        out += '\n';
    };
    const auto own = [&option](const char *key, const QString &value) { option(QLatin1String(key), escaped(value)); };
    // A URL that itself breaks lines cannot be one line of a list; it could never be opened either.
    QString url = entry.url;
    url.replace(u'\r', u' ').replace(u'\n', u' ');
    out += url.toUtf8();
    out += '\n';
    option(idKey, DownloadEntry::idText(entry.id));
    own("quorvel-state", nameOf(stateNames(), entry.state));
    if (entry.lastFailure) {
        own("quorvel-cause", nameOf(causeNames(), entry.lastFailure->kind));
        own("quorvel-reason", entry.lastFailure->reason);
    }
    if (!entry.fileName.isEmpty())
        own("quorvel-file", entry.fileName);
    if (entry.sizeBytes >= 0)
        own("quorvel-size", QString::number(entry.sizeBytes));
    if (entry.receivedBytes > 0)
        own("quorvel-received", QString::number(entry.receivedBytes));
    if (entry.added.isValid())
        own("quorvel-added", entry.added.toUTC().toString(Qt::ISODateWithMs));
    if (entry.finished.isValid())
        own("quorvel-finished", entry.finished.toUTC().toString(Qt::ISODateWithMs));
    if (entry.part) {
        own("quorvel-part", entry.part->partName);
        own("quorvel-part-target", entry.part->target);
        own("quorvel-part-validator", QString::fromUtf8(entry.part->validator));
        own("quorvel-part-total", QString::number(entry.part->total));
    }
    if (entry.command) {
        own("quorvel-command-result", entry.command->result);
        own("quorvel-command-output", entry.command->output);
    }
    for (auto it = entry.options.cbegin(); it != entry.options.cend(); ++it) {
        QString value = it.value();
        option(it.key(), value.replace(u'\r', u' ').replace(u'\n', u' '));
    }
}
