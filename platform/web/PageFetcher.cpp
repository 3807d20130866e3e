// SPDX-License-Identifier: MIT
#include "platform/web/PageFetcher.h"

#include "platform/net/CurlFailure.h"
#include "platform/net/CurlSession.h"

#include <curl/curl.h>

#include <exception>
#include <memory>

namespace {

struct Sink
{
    CURL *easy;
    qint64 maxBytes;
    QByteArray body;
    bool tooLarge = false;
    bool notHtml = false;
    std::exception_ptr error = nullptr;
};

bool rejectsType(CURL *easy)
{
    char *type = nullptr;
    curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &type);
    return type && !PageFetcher::isHtmlType(type);
}

size_t keepBody(Sink &sink, char *data, size_t bytes)
{
    // Checked at the first byte so that a large download is never pulled in as a page.
    if (sink.body.isEmpty() && rejectsType(sink.easy)) {
        sink.notHtml = true;
        return 0;
    }
    if (sink.body.size() + qint64(bytes) > sink.maxBytes) {
        sink.tooLarge = true;
        return 0;
    }
    sink.body.append(data, qsizetype(bytes));
    return bytes;
}

size_t writeBody(char *data, size_t size, size_t count, void *user)
{
    auto &sink = *static_cast<Sink *>(user);
    // libcurl is C: an exception (a failed allocation) is kept and rethrown after the transfer.
    try {
        return keepBody(sink, data, size * count);
    } catch (...) {
        sink.error = std::current_exception();
        return 0;
    }
}

int checkCancel(void *cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::atomic<bool> *>(cancel)->load() ? 1 : 0;
}

struct EasyDeleter {
    void operator()(CURL *easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
struct MimeDeleter {
    void operator()(curl_mime *mime) const { curl_mime_free(mime); }
};
struct MultiDeleter {
    void operator()(CURLM *multi) const { curl_multi_cleanup(multi); }
};

// curl_easy_perform looks at the progress callback only after a wait of up to a second; a
// browser being torn down on Ctrl+C waits for this thread, so the wait here is a tenth of that.
CURLcode performCancellable(CURL *easy, const std::atomic<bool> &cancel)
{
    const std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), easy) != CURLM_OK)
        return CURLE_OUT_OF_MEMORY;
    int running = 1;
    while (running > 0 && !cancel.load()) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK)
            break;
        if (running > 0)
            curl_multi_poll(multi.get(), nullptr, 0, 100, nullptr);
    }
    CURLcode code = cancel.load() ? CURLE_ABORTED_BY_CALLBACK : CURLE_OK;
    int left = 0;
    while (CURLMsg *message = curl_multi_info_read(multi.get(), &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
            code = message->data.result;
    }
    curl_multi_remove_handle(multi.get(), easy);
    return code;
}

curl_mime *buildMultipart(CURL *easy, const QList<FormEntry> &entries)
{
    curl_mime *mime = curl_mime_init(easy);
    for (const FormEntry &entry : entries) {
        curl_mimepart *part = curl_mime_addpart(mime);
        curl_mime_name(part, entry.name.toUtf8().constData());
        const QByteArray value = entry.value.toUtf8();
        curl_mime_data(part, value.constData(), size_t(value.size()));
        if (entry.isFile) {
            curl_mime_filename(part, "");
            curl_mime_type(part, "application/octet-stream");
        }
    }
    return mime;
}

} // namespace

PageFetcher::PageFetcher(const CurlSession &session, const std::atomic<bool> &cancel)
    : m_session(session)
    , m_cancel(cancel)
{
}

bool PageFetcher::isHtmlType(const QByteArray &contentType)
{
    const QByteArray mime = contentType.split(';').constFirst().trimmed().toLower();
    return mime == "text/html" || mime == "application/xhtml+xml";
}

PageResponse PageFetcher::fetch(const PageRequest &request, qint64 maxBytes, std::chrono::milliseconds timeLeft) const
{
    PageResponse response;
    response.url = request.url;
    const QString scheme = request.url.scheme();
    if (!request.url.isValid() || request.url.host().isEmpty() || (scheme != u"http" && scheme != u"https")) {
        response.fail(QStringLiteral("只能打开 http 或 https 地址: %1").arg(request.url.toString()),
                      FailureCause::permanent(QStringLiteral("不支持的网址协议")));
        return response;
    }
    if (timeLeft.count() <= 0) {
        response.fail(QStringLiteral("页面加载超时"), FailureCause::transient(QStringLiteral("超时")));
        return response;
    }

    // libcurl reads the header list and the parts until the handle is cleaned up, so they are
    // declared first and outlive it.
    std::unique_ptr<curl_slist, ListDeleter> headers;
    std::unique_ptr<curl_mime, MimeDeleter> mime;
    const std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    m_session.applyCommonOptions(easy.get());
    const QByteArray address = request.url.toEncoded(QUrl::RemoveFragment);
    curl_easy_setopt(easy.get(), CURLOPT_URL, address.constData());
    curl_easy_setopt(easy.get(), CURLOPT_TIMEOUT_MS, long(timeLeft.count()));
    curl_easy_setopt(easy.get(), CURLOPT_ACCEPT_ENCODING, "");
    Sink sink{easy.get(), maxBytes, {}};
    curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, &writeBody);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(easy.get(), CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy.get(), CURLOPT_XFERINFOFUNCTION, &checkCancel);
    curl_easy_setopt(easy.get(), CURLOPT_XFERINFODATA, const_cast<std::atomic<bool> *>(&m_cancel));
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(easy.get(), CURLOPT_ERRORBUFFER, error);
    const QByteArray referer = request.referer.toUtf8();
    if (!referer.isEmpty())
        curl_easy_setopt(easy.get(), CURLOPT_REFERER, referer.constData());

    // Browsers never wait for "100 Continue"; some servers never send it.
    curl_slist *list = curl_slist_append(nullptr, "Accept: text/html,application/xhtml+xml,*/*;q=0.8");
    list = curl_slist_append(list, "Expect:");
    if (request.method == "POST" && request.isMultipart()) {
        mime.reset(buildMultipart(easy.get(), request.multipart));
        curl_easy_setopt(easy.get(), CURLOPT_MIMEPOST, mime.get());
    } else if (request.method == "POST") {
        curl_easy_setopt(easy.get(), CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.body.size()));
        curl_easy_setopt(easy.get(), CURLOPT_POSTFIELDS, request.body.constData());
        list = curl_slist_append(list, ("Content-Type: " + request.contentType).constData());
    }
    headers.reset(list);
    curl_easy_setopt(easy.get(), CURLOPT_HTTPHEADER, headers.get());

    const CURLcode code = performCancellable(easy.get(), m_cancel);
    if (sink.error)
        std::rethrow_exception(sink.error);
    char *effective = nullptr;
    if (curl_easy_getinfo(easy.get(), CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        response.url = QUrl::fromEncoded(effective);
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &response.status);
    char *type = nullptr;
    curl_easy_getinfo(easy.get(), CURLINFO_CONTENT_TYPE, &type);
    response.contentType = type;
    response.retryAfterSeconds = curlRetryAfterSeconds(easy.get());

    if (m_cancel.load()) {
        response.cancelled = true;
    } else if (sink.tooLarge) {
        response.fail(QStringLiteral("页面超过 %1 字节的上限").arg(maxBytes),
                      FailureCause::permanent(QStringLiteral("页面过大")));
    } else if (sink.notHtml || (code == CURLE_OK && rejectsType(easy.get()))) {
        response.fail(QStringLiteral("不是网页 (Content-Type: %1)").arg(QString::fromUtf8(response.contentType)),
                      FailureCause::permanent(QStringLiteral("不是网页")));
    } else if (code != CURLE_OK) {
        response.fail(QString::fromUtf8(error[0] ? error : curl_easy_strerror(code)), curlFailureCause(code, error));
    } else {
        // The body's spare capacity would otherwise stay allocated for as long as the page lives.
        sink.body.squeeze();
        response.body = std::move(sink.body);
    }
    return response;
}
