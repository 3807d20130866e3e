// SPDX-License-Identifier: MIT
#include "tools/fakehost/CommandLine.h"
#include "tools/fakehost/FakeHost.h"
#include "tools/fakehost/FileContent.h"

#include <chrono>
#include <csignal>
#include <iostream>
#include <optional>
#include <thread>
#include <vector>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

void printFile(const FileContent &content)
{
    std::vector<char> buffer(64 * 1024);
    for (std::uint64_t offset = 0; offset < content.size(); offset += buffer.size()) {
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), content.size() - offset));
        content.fill(offset, buffer.data(), length);
        std::cout.write(buffer.data(), static_cast<std::streamsize>(length));
    }
    std::cout.flush();
}

void serve(const CommandLine &line)
{
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    FakeHost host(line.defaults, [](const std::string &text) { std::cout << text << std::endl; });
    host.start(line.port);
    std::optional<std::chrono::steady_clock::time_point> deadline;
    if (line.exitAfterSeconds)
        deadline = std::chrono::steady_clock::now() + std::chrono::seconds(*line.exitAfterSeconds);
    // A signal handler may only set a flag, so the main thread looks at it a few times a second.
    while (!stopRequested && (!deadline || std::chrono::steady_clock::now() < *deadline))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    host.stop();
}

} // namespace

int main(int argc, char **argv)
{
    try {
        const CommandLine line = CommandLine::parse(std::vector<std::string_view>(argv + 1, argv + argc));
        switch (line.action) {
        case CommandLine::Action::help:
            std::cout << CommandLine::usage();
            break;
        case CommandLine::Action::printFile:
            printFile(FileContent(line.printName, line.printSize));
            break;
        case CommandLine::Action::serve:
            serve(line);
            break;
        }
        return 0;
    } catch (const std::exception &error) {
        std::cerr << "quorvel-fakehost: " << error.what() << "\nTry quorvel-fakehost --help.\n";
        return 2;
    }
}
