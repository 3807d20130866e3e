// SPDX-License-Identifier: MIT
#include "platform/web/PageFetcher.h"

#include "automation/ContentDisposition.h"
#include "platform/net/CurlFailure.h"
#include "platform/net/CurlSession.h"
#include "platform/web/PageDecoder.h"

#include <curl/curl.h>

#include <algorithm>
#include <exception>
#include <memory>

namespace {

// As much of a body as a browser's sniffing reads to tell binary data from markup.
constexpr qsizetype sniffBytes = 1024;
constexpr long proxyAuthenticationRequired = 407;

enum class AnswerKind { Undecided, Page, File, NotPage };

struct Sink
{
    CURL *easy;
    qint64 maxBytes;
    QByteArray body;
    AnswerKind kind = AnswerKind::Undecided;
    bool tooLarge = false;
    std::exception_ptr error = nullptr;
};

QByteArray contentTypeOf(CURL *easy)
{
    char *type = nullptr;
    curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &type);
    return type;
}

QByteArray dispositionOf(CURL *easy)
{
    curl_header *header = nullptr;
    if (curl_easy_header(easy, "Content-Disposition", 0, CURLH_HEADER, -1, &header) != CURLHE_OK || !header)
        return {};
    return header->value;
}

long statusOf(CURL *easy)
{
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

// Only a successful answer is a file to fetch; an error status is the server's failure, whatever
// it sent with it.
AnswerKind fileOrNotPage(CURL *easy)
{
    const long status = statusOf(easy);
    return status >= 200 && status < 300 ? AnswerKind::File : AnswerKind::NotPage;
}

// What the headers alone tell. A missing type is left to the body's first bytes.
AnswerKind kindByHeaders(CURL *easy)
{
    const QByteArray type = contentTypeOf(easy);
    const bool markup = type.isEmpty() || PageFetcher::isHtmlType(type);
    if (markup && !ContentDisposition::parse(dispositionOf(easy)).attachment)
        return AnswerKind::Page;
    return fileOrNotPage(easy);
}

// A body called HTML that starts with bytes no text holds is a file under a wrong type. UTF-16
// markup is full of NUL bytes, so it is left out.
bool looksBinary(const QByteArray &start, const QByteArray &contentType)
{
    if (PageDecoder::encodingOf(start, contentType).startsWith("UTF-16"))
        return false;
    return std::any_of(start.cbegin(), start.cend(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x08 || byte == 0x0B || (byte >= 0x0E && byte <= 0x1A) || (byte >= 0x1C && byte <= 0x1F);
    });
}

AnswerKind kindBySniffing(CURL *easy, const QByteArray &body)
{
    return looksBinary(body.first(std::min(body.size(), sniffBytes)), contentTypeOf(easy)) ? fileOrNotPage(easy)
                                                                                           : AnswerKind::Page;
}

size_t keepBody(Sink &sink, char *data, size_t bytes)
{
    // Decided at the first byte so that a file, however large, is never pulled in as a page.
    if (sink.kind == AnswerKind::Undecided)
        sink.kind = kindByHeaders(sink.easy);
    if (sink.kind != AnswerKind::Page)
        return 0;
    if (sink.body.size() + qint64(bytes) > sink.maxBytes) {
        sink.tooLarge = true;
        return 0;
    }
    const bool sniffed = sink.body.size() >= sniffBytes;
    sink.body.append(data, qsizetype(bytes));
    if (!sniffed && sink.body.size() >= sniffBytes)
        sink.kind = kindBySniffing(sink.easy, sink.body);
    return sink.kind == AnswerKind::Page ? bytes : 0;
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
    response.status = statusOf(easy.get());
    response.contentType = contentTypeOf(easy.get());
    response.retryAfterSeconds = curlRetryAfterSeconds(easy.get());
    // A body too short to reach the sniffing length, or none at all, is judged once it is in.
    if (code == CURLE_OK && sink.kind == AnswerKind::Undecided)
        sink.kind = kindByHeaders(easy.get());
    if (code == CURLE_OK && sink.kind == AnswerKind::Page && sink.body.size() < sniffBytes)
        sink.kind = kindBySniffing(easy.get(), sink.body);

    if (m_cancel.load()) {
        response.cancelled = true;
    } else if (response.status == proxyAuthenticationRequired) {
        // Only a proxy answers so; its page is no page of the host.
        response.fail(QStringLiteral("代理服务器要求认证 (HTTP 407)"), proxyRefusedCause());
    } else if (sink.kind == AnswerKind::File) {
        const QString suggested = ContentDisposition::parse(dispositionOf(easy.get())).fileName;
        response.file = FileAnswer{effective ? QString::fromUtf8(effective) : QString::fromUtf8(address), suggested,
                                   response.contentType};
    } else if (sink.kind == AnswerKind::NotPage) {
        response.fail(QStringLiteral("服务器应答 HTTP %1, 不是网页 (Content-Type: %2)")
                          .arg(response.status)
                          .arg(QString::fromUtf8(response.contentType)),
                      FailureCause::fromPageStatus(int(response.status), response.retryAfterSeconds));
    } else if (sink.tooLarge) {
        response.fail(QStringLiteral("页面超过 %1 字节的上限").arg(maxBytes),
                      FailureCause::permanent(QStringLiteral("页面过大")));
    } else if (code != CURLE_OK) {
        response.fail(QString::fromUtf8(error[0] ? error : curl_easy_strerror(code)),
                      curlFailureCause(code, error, m_session.namesProxy()));
    } else {
        // The body's spare capacity would otherwise stay allocated for as long as the page lives.
        sink.body.squeeze();
        response.body = std::move(sink.body);
    }
    return response;
}
