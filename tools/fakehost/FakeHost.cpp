// SPDX-License-Identifier: MIT
#include "tools/fakehost/FakeHost.h"

#include "tools/fakehost/FileStream.h"
#include "tools/fakehost/RequestParts.h"
#include "tools/fakehost/TextEscapes.h"

#include <cctype>
#include <chrono>
#include <stdexcept>

namespace {

constexpr const char *sessionCookie = "fhsession";
constexpr const char *fileType = "application/octet-stream";
constexpr const char *htmlType = "text/html; charset=utf-8";

// Routing sees the decoded path; names are read from the raw target instead, so that they stay
// exactly as the client wrote them. [\s\S] because an escaped line break may be part of a name.
constexpr const char *filePattern = R"(/file/[\s\S]+)";
constexpr const char *freeUserPattern = R"(/free/[\s\S]+)";
constexpr const char *filesPattern = R"(/get/[\s\S]+)";
constexpr const char *slowFilePattern = R"(/slow/file/[\s\S]+)";
constexpr const char *slowPressPattern = R"(/slow/go/[\s\S]+)";
constexpr const char *directPattern = R"(/direct/[\s\S]+)";

// RFC 8187's attr-char stays, every other byte is escaped.
std::string extendedValue(const std::string &text)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    static constexpr std::string_view kept = "!#$&+-.^_`|~";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) && byte < 0x80) {
            out += c;
        } else if (kept.find(c) != std::string_view::npos) {
            out += c;
        } else {
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 0xF];
        }
    }
    return out;
}

std::string quotedValue(const std::string &text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

std::string dispositionOf(const FileOptions &options)
{
    std::string header;
    if (!options.dispositionUtf8Name.empty())
        header += "; filename*=UTF-8''" + extendedValue(options.dispositionUtf8Name);
    if (!options.dispositionName.empty())
        header += "; filename=" + quotedValue(options.dispositionName);
    return header.empty() ? header : "attachment" + header;
}

} // namespace

FakeHost::FakeHost(HostDefaults defaults, RequestLog log) : m_defaults(defaults), m_log(std::move(log))
{
    m_server.Get(filePattern,
                 [this](const auto &request, auto &response) { filePage(request, response, firstSite()); });
    m_server.Post(freeUserPattern,
                  [this](const auto &request, auto &response) { freeUser(request, response, firstSite()); });
    m_server.Get(slowFilePattern,
                 [this](const auto &request, auto &response) { filePage(request, response, slowSite()); });
    m_server.Post(slowPressPattern,
                  [this](const auto &request, auto &response) { freeUser(request, response, slowSite()); });
    // The download form posts; a downloader that only has the address gets it.
    m_server.Get(filesPattern, [this](const auto &request, auto &response) { file(request, response); });
    m_server.Post(filesPattern, [this](const auto &request, auto &response) { file(request, response); });
    m_server.Get(directPattern, [this](const auto &request, auto &response) { directFile(request, response); });
    m_server.Get("/ad/banner.html", [this](const auto &, auto &response) { answer(response, 200, m_pages->adFrame()); });
    m_server.set_logger([this](const httplib::Request &request, const httplib::Response &response) {
        // File bodies are logged when they end, with the bytes that really went out.
        const bool fileBody = response.body.empty() && response.content_provider_ != nullptr;
        if (!fileBody)
            logLine(request.method, request.target, response.status, response.body.size());
    });
}

FakeHost::~FakeHost()
{
    stop();
}

void FakeHost::start(int port)
{
    const char *host = "127.0.0.1";
    m_port = port == 0 ? m_server.bind_to_any_port(host) : (m_server.bind_to_port(host, port) ? port : -1);
    if (m_port <= 0)
        throw std::runtime_error("cannot listen on 127.0.0.1 port " + std::to_string(port));
    m_pages = std::make_unique<HostPages>(url(""));
    log("listening on " + url(""));
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!m_server.is_running()) {
        if (std::chrono::steady_clock::now() > deadline) {
            stop();
            throw std::runtime_error("the server did not start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void FakeHost::stop()
{
    m_stopping = true;
    if (m_thread.joinable()) {
        m_server.stop();
        m_thread.join();
    }
}

std::string FakeHost::url(std::string_view path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

void FakeHost::filePage(const httplib::Request &request, httplib::Response &response, const Site &site)
{
    const auto requested = requestedFile(request, response, site.pages, site.pagePrefix);
    if (!requested)
        return;
    const auto &[name, options] = *requested;
    if (sessionOf(request).empty())
        response.set_header("Set-Cookie", std::string(sessionCookie) + "=" + m_state.newSession() + "; Path=/; HttpOnly");
    if (options.missing)
        return answer(response, 200, site.pages.missingPage());
    const std::string freeUserUrl = link(site, site.pressPrefix + name + "?" + options.toQuery());
    answer(response, 200, site.pages.filePage(percentDecode(name), options.size, freeUserUrl, options.frames));
}

void FakeHost::freeUser(const httplib::Request &request, httplib::Response &response, const Site &site)
{
    const auto requested = requestedFile(request, response, site.pages, site.pressPrefix);
    if (!requested)
        return;
    const auto &[name, options] = *requested;
    const std::string session = sessionOf(request);
    if (session.empty())
        return answer(response, 403,
                      site.pages.errorPage("Your session has expired. Please open the file page again."));
    if (options.missing)
        return answer(response, 200, site.pages.missingPage());
    if (!site.requiredName.empty() && request.get_param_value(site.requiredName) != site.requiredValue)
        return answer(response, 400, site.pages.errorPage("Please choose a download speed."));
    switch (m_state.nextFreeUserStep(session, name, options)) {
    case FreeUserStep::waitPage:
        return answer(response, 200, site.pages.waitPage(*options.waitMinutes));
    case FreeUserStep::aboutPage:
        return answer(response, 200, site.pages.aboutPage(*options.aboutMinutes));
    case FreeUserStep::countdownPage:
        break;
    }
    const std::string ticket = m_state.issueTicket({session, name, options});
    const std::string fileUrl = link(site, "/get/" + ticket + "/" + name);
    answer(response, 200, site.pages.countdownPage(percentDecode(name), options.countdown, fileUrl, options.frames));
}

std::optional<FakeHost::RequestedFile> FakeHost::requestedFile(const httplib::Request &request,
                                                               httplib::Response &response, const SitePages &pages,
                                                               std::string_view prefix) const
{
    auto name = nameAfter(rawPath(request), prefix);
    if (!name) {
        answer(response, 404, pages.errorPage("There is no such page."));
        return std::nullopt;
    }
    try {
        return RequestedFile{std::move(*name), FileOptions::fromQuery(rawQuery(request), m_defaults)};
    } catch (const std::invalid_argument &error) {
        answer(response, 400, pages.errorPage(error.what()));
        return std::nullopt;
    }
}

void FakeHost::file(const httplib::Request &request, httplib::Response &response)
{
    const std::string session = sessionOf(request);
    if (session.empty())
        return answer(response, 403, m_pages->errorPage("Downloads start from the file page."));
    // "/get/TICKET/NAME"
    const std::string path = rawPath(request);
    const std::size_t slash = path.find('/', 5);
    const std::string id = slash == std::string::npos ? std::string() : path.substr(5, slash - 5);
    const auto ticket = m_state.ticket(id);
    const auto name = nameAfter(path, "/get/" + id + "/");
    if (!ticket || !name || *name != ticket->name)
        return answer(response, 404, m_pages->errorPage("This download link is not valid."));
    if (ticket->session != session)
        return answer(response, 403, m_pages->errorPage("Downloads start from the file page."));
    if (ticket->options.fail == FailMode::notFound)
        return answer(response, 404, m_pages->errorPage("File not found."));
    sendFile(request, response, *ticket, session);
}

void FakeHost::directFile(const httplib::Request &request, httplib::Response &response)
{
    const auto requested = requestedFile(request, response, *m_pages, "/direct/");
    if (!requested)
        return;
    const auto &[name, options] = *requested;
    if (options.missing || options.fail == FailMode::notFound)
        return answer(response, 404, m_pages->errorPage("File not found."));
    if (const std::string disposition = dispositionOf(options); !disposition.empty())
        response.set_header("Content-Disposition", disposition);
    // Every client of a direct link is one visitor: a failure that happens once happens once.
    sendFile(request, response, {std::string(), name, options}, std::string());
}

void FakeHost::sendFile(const httplib::Request &request, httplib::Response &response, const FileTicket &ticket,
                        const std::string &session)
{
    const FileOptions &options = ticket.options;
    const std::string type = options.type.empty() ? fileType : options.type;
    const bool once = options.fail == FailMode::resetOnce;
    // Only a body that reaches the cut uses up the one failure: not a HEAD, nor a client that
    // read a few bytes and went away.
    const bool cut = options.fail == FailMode::resetAlways || (once && !m_state.wasCut(session, ticket.name));
    const std::uint64_t cutAt = cut ? options.size / 2 : options.size;
    auto stream = std::make_shared<FileStream>(FileContent(ticket.name, options.size), options.rate, cutAt, m_stopping);
    // The releaser runs from the response's destructor, when the status (206 for a range) is final.
    auto release = [this, method = request.method, target = request.target, &response, stream, once, cut, cutAt,
                    session, name = ticket.name](bool) {
        if (once && cut && stream->sent() >= cutAt)
            m_state.countCut(session, name);
        logLine(method, target, response.status, stream->sent());
    };
    if (options.noLength) {
        response.set_chunked_content_provider(
            type, [stream](std::size_t offset, httplib::DataSink &sink) { return stream->writeOrFinish(offset, sink); },
            release);
    } else {
        // The bytes follow from the name and the size alone, so that is the version a resumed
        // transfer must name; httplib answers a Range with a 206 of the same headers.
        response.set_header("ETag", "\"" + ticket.name + "-" + std::to_string(options.size) + "\"");
        response.set_content_provider(
            options.size, type,
            [stream](std::size_t offset, std::size_t length, httplib::DataSink &sink) {
                return stream->write(offset, length, sink);
            },
            release);
    }
}

std::string FakeHost::sessionOf(const httplib::Request &request) const
{
    std::string session = cookieValue(request, sessionCookie);
    return m_state.knowsSession(session) ? session : std::string();
}

void FakeHost::answer(httplib::Response &response, int status, const std::string &html) const
{
    response.status = status;
    response.set_content(html, htmlType);
}

void FakeHost::log(const std::string &line)
{
    if (!m_log)
        return;
    const std::lock_guard lock(m_logMutex);
    m_log(line);
}

void FakeHost::logLine(const std::string &method, const std::string &target, int status, std::uint64_t bytes)
{
    log(method + " " + target + " " + std::to_string(status) + " " + std::to_string(bytes));
}
