// SPDX-License-Identifier: MIT
#include "automation/AttributeText.h"

QString attributeText(QString value)
{
    value.replace(QLatin1String("&quot;"), QLatin1String("\""));
    value.replace(QLatin1String("&lt;"), QLatin1String("<"));
    value.replace(QLatin1String("&gt;"), QLatin1String(">"));
    value.replace(QLatin1String("&nbsp;"), QString(QChar(0xa0)));
    value.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return value;
}
