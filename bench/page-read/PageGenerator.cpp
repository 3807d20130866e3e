// SPDX-License-Identifier: MIT
#include "bench/page-read/PageGenerator.h"

QByteArray PageGenerator::countdownPage(qsizetype bytes)
{
    QByteArray page = "<!DOCTYPE html>\n<html><head><title>File</title>\n"
                      "<style>td { padding: 2px }</style></head>\n<body>\n";
    page.reserve(bytes + 1024);
    // Entities, attributes and text that the serializer has to escape again keep it honest.
    for (int block = 0; page.size() < bytes; ++block) {
        const QByteArray n = QByteArray::number(block);
        page += "<div class=\"row r" + n + "\"><p>Mirror " + n + " &amp; friends: <a href=\"/mirror/" + n
                + "?a=1&amp;b=2\">download &lt;fast&gt;</a> – über schnell</p>\n"
                  "<table><tr><td>Size</td><td>" + n + " KB</td></tr>\n<tr><td>Note</td><td>free users wait"
                  "</td></tr></table></div>\n";
    }
    page += "<script>var c=45;\nfunction tick() { if (c > 0) c--; }</script>\n"
            "<form action=\"http://srv1.example/files/42/report.zip\" method=\"post\">"
            "<input type=\"submit\" value=\"Download\"></form>\n</body></html>\n";
    return page;
}
