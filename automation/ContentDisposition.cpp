// SPDX-License-Identifier: MIT
#include "automation/ContentDisposition.h"

#include <QByteArray>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace {

class Reader
{
public:
    explicit Reader(QByteArrayView text)
        : m_text(text)
    {
    }

    bool atEnd() const { return m_at >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_at]; }
    // Never past the end: an unclosed quote ends there, and what follows reads nothing.
    void skip() { m_at = std::min(m_at + 1, m_text.size()); }
    void skipBlanks()
    {
        while (!atEnd() && (peek() == ' ' || peek() == '\t'))
            skip();
    }
    /** Up to the next of stops (or the end), blanks around it dropped. */
    QByteArray until(QByteArrayView stops)
    {
        const qsizetype from = m_at;
        while (!atEnd() && !stops.contains(peek()))
            skip();
        return m_text.sliced(from, m_at - from).toByteArray().trimmed();
    }
    /** A quoted-string after its opening quote; an unclosed one runs to the end. */
    QByteArray quoted()
    {
        QByteArray value;
        while (!atEnd() && peek() != '"') {
            if (peek() == '\\')
                skip();
            if (!atEnd())
                value.append(peek());
            skip();
        }
        skip();
        return value;
    }

private:
    QByteArrayView m_text;
    qsizetype m_at = 0;
};

std::optional<QString> strictly(QStringConverter::Encoding encoding, const QByteArray &bytes)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// charset'language'percent-encoded; only the two charsets every recipient must know.
std::optional<QString> extendedValue(const QByteArray &value)
{
    const qsizetype first = value.indexOf('\'');
    const qsizetype second = first < 0 ? -1 : value.indexOf('\'', first + 1);
    if (second < 0)
        return std::nullopt;
    const QByteArray charset = value.first(first).toLower();
    const QByteArray bytes = QByteArray::fromPercentEncoding(value.sliced(second + 1));
    if (charset == "utf-8")
        return strictly(QStringConverter::Utf8, bytes);
    if (charset == "iso-8859-1")
        return QString::fromLatin1(bytes);
    return std::nullopt;
}

// Servers put UTF-8 in a plain filename far more often than the ISO-8859-1 the grammar allows.
QString plainValue(const QByteArray &value)
{
    return strictly(QStringConverter::Utf8, value).value_or(QString::fromLatin1(value));
}

} // namespace

ContentDisposition ContentDisposition::parse(QByteArrayView header)
{
    ContentDisposition result;
    Reader reader(header);
    const QByteArray type = reader.until(";=").toLower();
    bool typed = reader.peek() != '=';
    if (!typed)
        reader = Reader(header);
    std::optional<QString> plain;
    std::optional<QString> extended;
    while (!reader.atEnd()) {
        if (reader.peek() == ';')
            reader.skip();
        const QByteArray name = reader.until(";=").toLower();
        if (reader.peek() != '=')
            continue;
        reader.skip();
        reader.skipBlanks();
        QByteArray value;
        if (reader.peek() == '"') {
            reader.skip();
            value = reader.quoted();
            reader.until(";");
        } else {
            value = reader.until(";");
        }
        // The first of each counts; a repeated parameter makes the header invalid anyway.
        if (name == "filename" && !plain)
            plain = plainValue(value);
        else if (name == "filename*" && !extended)
            extended = extendedValue(value);
    }
    result.fileName = extended.value_or(plain.value_or(QString()));
    // A header that names a file without saying its type still asks for it to be saved.
    if (!typed)
        result.attachment = !result.fileName.isEmpty();
    else
        result.attachment = !type.isEmpty() && type != "inline";
    return result;
}
