// SPDX-License-Identifier: MIT
#include "platform/rpc/HttpResponse.h"

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 411:
        return "Length Required";
    case 413:
        return "Payload Too Large";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    default:
        return "Error";
    }
}

} // namespace

QByteArray HttpResponse::serialized() const
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    if (!body.isEmpty())
        out += "Content-Type: " + contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += "Cache-Control: no-cache\r\n";
    for (const auto &[name, value] : fields)
        out += name + ": " + value + "\r\n";
    if (closes)
        out += "Connection: close\r\n";
    out += "\r\n";
    out += body;
    return out;
}

HttpResponse HttpResponse::refusal(int status)
{
    HttpResponse response;
    response.status = status;
    response.contentType = "text/plain; charset=utf-8";
    response.body = reasonPhrase(status) + '\n';
    response.closes = true;
    if (status == 405)
        response.fields.emplaceBack("Allow", "GET, POST, OPTIONS");
    if (status == 429)
        response.fields.emplaceBack("Retry-After", "1");
    return response;
}
