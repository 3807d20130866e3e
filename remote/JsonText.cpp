// SPDX-License-Identifier: MIT
#include "remote/JsonText.h"

#include <QString>

void JsonText::separate()
{
    if (!m_first)
        m_text += ',';
    m_first = false;
}

void JsonText::open(char bracket)
{
    separate();
    m_text += bracket;
    m_first = true;
}

void JsonText::close(char bracket)
{
    m_text += bracket;
    m_first = false;
}

void JsonText::key(QLatin1StringView name)
{
    separate();
    m_text += '"';
    m_text += QByteArrayView(name.data(), name.size());
    m_text += "\":";
    // The value after the colon takes no comma.
    m_first = true;
}

void JsonText::string(QStringView value)
{
    separate();
    static constexpr char hex[] = "0123456789abcdef";
    // toUtf8 writes a lone surrogate as U+FFFD: the text stays valid UTF-8.
    const QByteArray utf8 = value.toUtf8();
    m_text += '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            m_text += '\\';
            m_text += c;
        } else if (byte < 0x20) {
            m_text += "\\u00";
            m_text += hex[byte >> 4];
            m_text += hex[byte & 0xf];
        } else {
            m_text += c;
        }
    }
    m_text += '"';
}

void JsonText::raw(const QByteArray &json)
{
    separate();
    m_text += json;
}
