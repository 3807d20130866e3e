// SPDX-License-Identifier: MIT
// Fetches SIZE MiB from a loopback server through the URL download service at FIRST MiB/s,
// lowers the limit to SECOND MiB/s when half has arrived, and prints the speed of each half
// beside its limit. Usage: quorvel_speed_limit_bench [SIZE FIRST SECOND] (default 200 20 10).
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/net/CurlSession.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;

class HalfWayChange final : public UrlDownloadCallback
{
public:
    HalfWayChange(CurlUrlDownloadService &service, std::uint64_t total, std::int64_t second)
        : m_service(service)
        , m_total(total)
        , m_second(second)
    {
    }
    void onStartBinding() override { m_start = Clock::now(); }
    bool onProgress(std::uint64_t received, std::uint64_t) override
    {
        if (!m_changed && received >= m_total / 2) {
            m_changed = true;
            m_halfBytes = received;
            m_half = Clock::now();
            m_service.setSpeedLimit(m_second);
        }
        return false;
    }
    void onStopBinding(const TransferOutcome &) override { m_end = Clock::now(); }

    double firstRate() const { return rate(m_halfBytes, m_start, m_half); }
    double secondRate() const { return rate(m_total - m_halfBytes, m_half, m_end); }

private:
    static double rate(std::uint64_t bytes, Clock::time_point from, Clock::time_point to)
    {
        return bytes / std::chrono::duration<double>(to - from).count() / (1024.0 * 1024.0);
    }

    CurlUrlDownloadService &m_service;
    std::uint64_t m_total;
    std::int64_t m_second;
    bool m_changed = false;
    std::uint64_t m_halfBytes = 0;
    Clock::time_point m_start, m_half, m_end;
};

double deviation(double measured, double limit)
{
    return (measured - limit) / limit * 100.0;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const std::uint64_t mib = 1024 * 1024;
    const std::uint64_t size = (argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 200) * mib;
    const double first = argc > 2 ? std::strtod(argv[2], nullptr) : 20;
    const double second = argc > 3 ? std::strtod(argv[3], nullptr) : 10;

    httplib::Server server;
    const std::string block(256 * 1024, 'x');
    server.Get("/big", [&](const httplib::Request &, httplib::Response &response) {
        response.set_content_provider(
            size, "application/octet-stream", [&](std::size_t offset, std::size_t, httplib::DataSink &sink) {
                return sink.write(block.data(), std::min<std::size_t>(block.size(), size - offset));
            });
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    QTemporaryDir folder;
    CurlSession session;
    CurlUrlDownloadService service(session);
    service.setSpeedLimit(std::int64_t(first * mib));
    HalfWayChange callback(service, size, std::int64_t(second * mib));
    const TransferOutcome outcome = service.downloadToFile(QStringLiteral("http://127.0.0.1:%1/big").arg(port),
                                                           folder.filePath(QStringLiteral("big.bin")), callback);
    server.stop();
    serving.join();
    if (outcome.kind != TransferOutcome::Kind::Done) {
        std::fprintf(stderr, "transfer failed: %s\n", outcome.cause.reason.toLocal8Bit().constData());
        return 1;
    }
    std::printf(
        "%llu MiB: first half %.2f MiB/s at a limit of %.2f (%+.1f %%), second half %.2f MiB/s at %.2f (%+.1f %%)\n",
        static_cast<unsigned long long>(size / mib), callback.firstRate(), first,
        deviation(callback.firstRate(), first), callback.secondRate(), second,
        deviation(callback.secondRate(), second));
    return 0;
}
