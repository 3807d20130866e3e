// SPDX-License-Identifier: MIT
#include "platform/rpc/HttpConnection.h"

#include "platform/rpc/HttpResponse.h"
#include "platform/rpc/RequestGate.h"
#include "platform/rpc/RequestRate.h"
#include "remote/RpcEndpoint.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QUrlQuery>

#include <sys/socket.h>

#include <algorithm>

namespace {

constexpr QByteArrayView headEnd("\r\n\r\n");
// Also the most a client's bytes take here at once: the socket stops reading from the system beyond it.
constexpr qint64 readChunk = 64 * 1024;

std::optional<qint64> contentLength(const QByteArray &text)
{
    if (text.isEmpty() || text.size() > 18
        || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return text.toLongLong();
}

/** aria2's GET form as the body of a POST; none when it is not well formed. */
std::optional<QByteArray> bodyOfQuery(const QByteArray &query)
{
    const QUrlQuery items(QString::fromLatin1(query));
    const QByteArray params = items.queryItemValue(QStringLiteral("params"), QUrl::FullyDecoded).toLatin1();
    const auto decoded = QByteArray::fromBase64Encoding(params, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    const QJsonDocument paramsJson = QJsonDocument::fromJson(*decoded);
    if (!items.hasQueryItem(QStringLiteral("method"))) {
        // A batch: params holds the whole array of calls.
        if (!paramsJson.isArray())
            return std::nullopt;
        return *decoded;
    }
    QJsonObject call{{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                     {QStringLiteral("method"), items.queryItemValue(QStringLiteral("method"), QUrl::FullyDecoded)}};
    if (items.hasQueryItem(QStringLiteral("id")))
        call.insert(QStringLiteral("id"), items.queryItemValue(QStringLiteral("id"), QUrl::FullyDecoded));
    if (!params.isEmpty()) {
        if (!paramsJson.isArray())
            return std::nullopt;
        call.insert(QStringLiteral("params"), paramsJson.array());
    }
    return QJsonDocument(call).toJson(QJsonDocument::Compact);
}

} // namespace

HttpConnection::HttpConnection(QTcpSocket *socket, Shared shared, QObject *parent)
    : QObject(parent)
    , m_socket(socket)
    , m_shared(shared)
{
    m_socket->setParent(this);
    m_socket->setReadBufferSize(std::max<qint64>(readChunk, shared.limits.headBytes + headEnd.size()));
    m_timer.setSingleShot(true);
    m_timer.start(shared.limits.idleTimeout);
    connect(&m_timer, &QTimer::timeout, this, &HttpConnection::timedOut);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::readRequests);
    // Requests wait while the client leaves its answers unread.
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_state == State::Closing && m_socket->bytesToWrite() == 0)
            endAfterSending();
        else
            readRequests();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, &HttpConnection::closed);
}

void HttpConnection::drop()
{
    m_timer.stop();
    m_socket->disconnect(this);
    m_socket->abort();
    emit closed();
}

void HttpConnection::readRequests()
{
    while (true) {
        if (m_state == State::Closing) {
            // Read and thrown away, so that closing does not reset the connection before the client
            // has read why it is refused.
            m_socket->skip(m_socket->bytesAvailable());
            return;
        }
        if (m_state == State::Handed || m_socket->bytesToWrite() > m_shared.limits.unsentBytes)
            return;
        if (m_state == State::Body) {
            if (!readBody())
                return;
            continue;
        }
        if (m_socket->bytesAvailable() == 0)
            return;
        if (m_state == State::Idle) {
            m_state = State::Head;
            m_lastActive = std::chrono::steady_clock::now();
            m_timer.start(m_shared.limits.requestTimeout);
        }
        if (!readHead())
            return;
    }
}

bool HttpConnection::readHead()
{
    // Only peeked: a WebSocket request must stay in the socket for the WebSocket server to read.
    const qsizetype most = m_shared.limits.headBytes + headEnd.size();
    const QByteArray peeked = m_socket->peek(most);
    const qsizetype end = peeked.indexOf(headEnd);
    if (end < 0) {
        if (peeked.size() >= most)
            refuse(431);
        return false;
    }
    const std::optional<HttpRequestHead> head = HttpRequestHead::parse(peeked.left(end));
    if (!head) {
        refuse(400);
        return false;
    }
    m_head = *head;
    if (const int status = m_shared.gate.refusal(m_head, m_socket->localPort())) {
        refuse(status);
        return false;
    }
    if (m_head.path != "/jsonrpc") {
        refuse(404);
        return false;
    }
    if (m_head.method == "GET" && m_head.asksForWebSocket()) {
        handOver();
        return false;
    }
    m_socket->skip(end + headEnd.size());
    if (m_head.method == "POST")
        return startBody();
    if (m_head.method == "GET") {
        answerGet();
    } else if (m_head.method == "OPTIONS") {
        HttpResponse preflight;
        preflight.status = 204;
        preflight.fields = m_shared.gate.corsFields(m_head);
        preflight.closes = !m_head.keepsAlive();
        send(preflight);
    } else {
        refuse(405);
    }
    return m_state == State::Idle;
}

bool HttpConnection::startBody()
{
    // Chunked bodies are not read; a length is what lets the cap be checked before the body comes.
    if (m_head.field("Transfer-Encoding")) {
        refuse(411);
        return false;
    }
    const std::optional<QByteArray> field = m_head.field("Content-Length");
    if (!field) {
        refuse(411);
        return false;
    }
    const std::optional<qint64> length = contentLength(*field);
    if (!length) {
        refuse(400);
        return false;
    }
    if (*length > m_shared.limits.bodyBytes) {
        refuse(413);
        return false;
    }
    // curl waits a second for this before sending a large body.
    if (m_head.fieldHasToken("Expect", "100-continue"))
        m_socket->write("HTTP/1.1 100 Continue\r\n\r\n");
    m_expected = *length;
    m_body.clear();
    m_body.reserve(m_expected);
    m_state = State::Body;
    return true;
}

bool HttpConnection::readBody()
{
    m_body += m_socket->read(m_expected - m_body.size());
    if (m_body.size() < m_expected)
        return false;
    answerBody(std::exchange(m_body, {}));
    return m_state == State::Idle;
}

void HttpConnection::answerGet()
{
    const std::optional<QByteArray> body = bodyOfQuery(m_head.query);
    if (!body)
        refuse(400);
    else
        answerBody(*body);
}

void HttpConnection::answerBody(const QByteArray &body)
{
    if (!m_shared.rate.admit()) {
        refuse(429);
        return;
    }
    HttpResponse response;
    response.body = m_shared.endpoint.answer(body);
    if (response.body.isEmpty())
        response.status = 204;
    response.fields = m_shared.gate.corsFields(m_head);
    response.closes = !m_head.keepsAlive();
    send(response);
}

void HttpConnection::send(HttpResponse response)
{
    m_socket->write(response.serialized());
    m_lastActive = std::chrono::steady_clock::now();
    if (response.closes) {
        m_state = State::Closing;
        // A client that reads nothing cannot hold the connection open.
        m_timer.start(m_shared.limits.requestTimeout);
        if (m_socket->bytesToWrite() == 0)
            endAfterSending();
        return;
    }
    m_state = State::Idle;
    m_timer.start(m_shared.limits.idleTimeout);
}

void HttpConnection::refuse(int status)
{
    send(HttpResponse::refusal(status));
}

void HttpConnection::timedOut()
{
    if (m_state == State::Head || m_state == State::Body)
        refuse(408);
    else
        drop();
}

void HttpConnection::endAfterSending()
{
    // Only the sending half: the client reads the answer, then closes, and the socket's end follows.
    ::shutdown(static_cast<int>(m_socket->socketDescriptor()), SHUT_WR);
    m_socket->skip(m_socket->bytesAvailable());
}

void HttpConnection::handOver()
{
    m_state = State::Handed;
    m_timer.stop();
    m_socket->disconnect(this);
    // The WebSocket frames are capped by their own reader; its whole frame must fit in the buffer.
    m_socket->setReadBufferSize(0);
    emit webSocketAsked(std::exchange(m_socket, nullptr));
}
