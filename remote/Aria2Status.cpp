// SPDX-License-Identifier: MIT
#include "remote/Aria2Status.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {

QString decimal(qint64 value)
{
    return QString::number(std::max<qint64>(0, value));
}

/** aria2's codes and messages for the causes the transfers and the page engine name. */
const QHash<QString, std::pair<int, QString>> &knownReasons()
{
    static const QHash<QString, std::pair<int, QString>> reasons{
        {QStringLiteral("超时"), {2, QStringLiteral("Timeout.")}},
        {QStringLiteral("连接被拒绝"),
         {6, QStringLiteral("Failed to establish connection, cause: Connection refused")}},
        {QStringLiteral("连接被重置"),
         {6, QStringLiteral("Network problem has occurred. cause: Connection reset by peer")}},
        {QStringLiteral("无法解析主机名"), {19, QStringLiteral("Name resolution failed.")}},
        {QStringLiteral("服务器应答格式错误"), {22, QStringLiteral("Bad or unexpected HTTP response header.")}},
        {QStringLiteral("重定向过多"), {23, QStringLiteral("Too many redirects.")}},
        {QStringLiteral("证书无效"), {1, QStringLiteral("TLS certificate verification failed.")}},
        {QStringLiteral("不支持的网址协议"), {1, QStringLiteral("Unsupported URI scheme.")}},
        {QStringLiteral("网址格式错误"), {1, QStringLiteral("Malformed URI.")}},
        {QStringLiteral("续传应答不符"), {8, QStringLiteral("The server answered the resume with another file.")}},
        {QStringLiteral("文件大小不符"), {1, QStringLiteral("The file's size differs from the announced one.")}},
        {QStringLiteral("传输停滞"), {5, QStringLiteral("The transfer stalled.")}},
        {QStringLiteral("页面无法识别"), {1, QStringLiteral("The host's page was not recognised.")}},
        {QStringLiteral("页面过大"), {1, QStringLiteral("The host's page is too large.")}},
    };
    return reasons;
}

std::pair<int, QString> statusError(int status)
{
    const QString message = QStringLiteral("The server answered HTTP %1.").arg(status);
    if (status == 404 || status == 410)
        return {3, QStringLiteral("Resource not found.")};
    if (status == 401 || status == 403)
        return {24, QStringLiteral("Authorization failed (HTTP %1).").arg(status)};
    if (status == 503)
        return {29, message};
    return {22, message};
}

QString filePath(const DownloadEntry &entry, const StatusFacts &facts)
{
    // The flow records the whole path it saved to; before that only a chosen name is known.
    if (!entry.fileName.isEmpty())
        return entry.fileName;
    const QString out = entry.options.value(QStringLiteral("out"));
    return out.isEmpty() ? QString() : aria2Dir(entry, facts) + QLatin1Char('/') + out;
}

} // namespace

QString aria2StatusName(const DownloadEntry &entry, EntryPlace place)
{
    using State = DownloadEntry::State;
    if (place == EntryPlace::Transfer)
        return QStringLiteral("active");
    switch (entry.state) {
    case State::Waiting:
    case State::Active:
        return QStringLiteral("waiting");
    case State::Paused:
        return QStringLiteral("paused");
    case State::Failed:
    case State::Dropped:
        return QStringLiteral("error");
    case State::Done:
        return QStringLiteral("complete");
    case State::Removed:
        return QStringLiteral("removed");
    }
    return QStringLiteral("waiting");
}

std::pair<int, QString> aria2Error(const DownloadEntry &entry)
{
    if (entry.state == DownloadEntry::State::Dropped)
        return {3, QStringLiteral("Resource not found: the host says the file is gone.")};
    if (entry.state != DownloadEntry::State::Failed)
        return {0, QString()};
    if (!entry.lastFailure)
        return {1, QStringLiteral("Unknown error occurred.")};
    const FailureCause &cause = *entry.lastFailure;
    if (cause.httpStatus != 0)
        return statusError(cause.httpStatus);
    if (const auto known = knownReasons().constFind(cause.reason); known != knownReasons().cend())
        return *known;
    if (cause.mayPass())
        return {6, QStringLiteral("Network problem has occurred.")};
    return {1, QStringLiteral("Unknown error occurred.")};
}

QString aria2Dir(const DownloadEntry &entry, const StatusFacts &facts)
{
    const QString dir = entry.options.value(QStringLiteral("dir"));
    if (!dir.isEmpty())
        return dir;
    if (const qsizetype slash = entry.fileName.lastIndexOf(QLatin1Char('/')); slash > 0)
        return entry.fileName.first(slash);
    return facts.saveFolder;
}

void writeAria2Uris(JsonText &json, const DownloadEntry &entry, EntryPlace place)
{
    const bool used = place != EntryPlace::Queue || entry.state == DownloadEntry::State::Active;
    json.beginArray();
    json.beginObject();
    json.member("uri"_L1, entry.url);
    json.member("status"_L1, used ? u"used" : u"waiting");
    json.endObject();
    json.endArray();
}

void writeAria2Files(JsonText &json, const DownloadEntry &entry, EntryPlace place, const StatusFacts &facts)
{
    json.beginArray();
    json.beginObject();
    json.member("index"_L1, u"1");
    json.member("path"_L1, filePath(entry, facts));
    json.member("length"_L1, decimal(entry.sizeBytes));
    json.member("completedLength"_L1, decimal(entry.receivedBytes));
    json.member("selected"_L1, u"true");
    json.key("uris"_L1);
    writeAria2Uris(json, entry, place);
    json.endObject();
    json.endArray();
}

void writeAria2Status(JsonText &json, const DownloadEntry &entry, EntryPlace place, const StatusFacts &facts,
                      const QStringList &keys)
{
    const bool active = place == EntryPlace::Transfer;
    const QString status = aria2StatusName(entry, place);
    const auto wanted = [&keys](QLatin1StringView name) { return keys.isEmpty() || keys.contains(name); };
    const auto field = [&](QLatin1StringView name, QStringView value) {
        if (wanted(name))
            json.member(name, value);
    };
    json.beginObject();
    field("gid"_L1, DownloadEntry::idText(entry.id));
    field("status"_L1, status);
    field("totalLength"_L1, decimal(entry.sizeBytes));
    field("completedLength"_L1, decimal(entry.receivedBytes));
    field("uploadLength"_L1, u"0");
    field("downloadSpeed"_L1, decimal(active ? facts.downloadSpeed : 0));
    field("uploadSpeed"_L1, u"0");
    field("connections"_L1, active ? u"1" : u"0");
    field("dir"_L1, aria2Dir(entry, facts));
    if (wanted("files"_L1)) {
        json.key("files"_L1);
        writeAria2Files(json, entry, place, facts);
    }
    if (status == QLatin1String("waiting"))
        field("quorvelPhase"_L1, entry.state == DownloadEntry::State::Active ? u"page" : u"queued");
    if (const auto [code, message] = aria2Error(entry); code != 0) {
        field("errorCode"_L1, QString::number(code));
        field("errorMessage"_L1, message);
    }
    json.endObject();
}
