// SPDX-License-Identifier: MIT
#include "tools/fakehost/CommandLine.h"

#include "tools/fakehost/NumberText.h"

#include <limits>
#include <stdexcept>

namespace {

class ArgumentReader final
{
public:
    explicit ArgumentReader(const std::vector<std::string_view> &arguments) : m_arguments(arguments) {}

    bool atEnd() const { return m_next == m_arguments.size(); }
    std::string_view next() { return m_arguments[m_next++]; }

    std::string_view valueOf(std::string_view option)
    {
        if (atEnd())
            throw std::invalid_argument(std::string(option) + " needs a value");
        return next();
    }

    std::uint64_t numberOf(std::string_view option, std::uint64_t max)
    {
        const std::string_view text = valueOf(option);
        const auto value = parseUnsigned(text, max);
        if (!value)
            throw std::invalid_argument("bad value for " + std::string(option) + ": '" + std::string(text) + "'");
        return *value;
    }

private:
    const std::vector<std::string_view> &m_arguments;
    std::size_t m_next = 0;
};

constexpr std::uint64_t anyNumber = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t anySeconds = std::numeric_limits<unsigned>::max();

} // namespace

CommandLine CommandLine::parse(const std::vector<std::string_view> &arguments)
{
    CommandLine line;
    ArgumentReader reader(arguments);
    while (!reader.atEnd()) {
        const std::string_view option = reader.next();
        if (option == "--help" || option == "-h") {
            line.action = Action::help;
        } else if (option == "--port") {
            line.port = static_cast<int>(reader.numberOf(option, 65535));
        } else if (option == "--exit-after") {
            line.exitAfterSeconds = static_cast<unsigned>(reader.numberOf(option, anySeconds));
        } else if (option == "--size") {
            line.defaults.size = reader.numberOf(option, anyNumber);
        } else if (option == "--countdown") {
            line.defaults.countdown = static_cast<unsigned>(reader.numberOf(option, anySeconds));
        } else if (option == "--rate") {
            line.defaults.rate = reader.numberOf(option, anyNumber);
        } else if (option == "--print-file") {
            line.action = Action::printFile;
            line.printName = reader.valueOf(option);
            line.printSize = reader.numberOf(option, anyNumber);
        } else {
            throw std::invalid_argument("unknown argument: " + std::string(option));
        }
    }
    return line;
}

std::string CommandLine::usage()
{
    return R"(Usage: quorvel-fakehost [OPTIONS]

A simulated free-download file host on 127.0.0.1, for tests and demonstrations.
Prints "listening on http://127.0.0.1:PORT", then one line per request served:
METHOD TARGET STATUS BYTES. Runs until interrupted (SIGINT, SIGTERM).

Options:
  --port N            listen on port N (default: an ephemeral port)
  --exit-after S      stop by itself after S seconds
  --size BYTES        default file size (default 1048576)
  --countdown S       default countdown in seconds (default 5)
  --rate BYTES        default speed limit for file bodies in bytes per second (default 0: none)
  --print-file NAME SIZE
                      write the bytes of file NAME of SIZE bytes to stdout and exit
  -h, --help          show this text and exit

Pages:
  GET  /file/NAME?PARAMS       file page with a "Free user" button; sets the session cookie
  POST /free/NAME?PARAMS       the button's target: a wait page or the countdown page
                               ("var c=N;", a form whose action is the file URL)
  GET  /get/TICKET/NAME        the file; needs the session cookie (403 without it)
  GET  /ad/banner.html         the ad frame of the frames=1 pages
  GET  /slow/file/NAME?PARAMS  the second site's file page: "Slow download", waits in seconds,
                               the countdown in an element, a relative link to the file; open
                               it as http://slowfiles.localhost:PORT/slow/file/... so that the
                               shipped layout fakehost-slow.layout applies

PARAMS of a file page (all optional):
  size=BYTES          file size (default --size)
  countdown=S         seconds in the countdown page's "var c=S;" (default --countdown)
  wait=M              first answer "Unfortunately you will have to wait M minutes."
  about=M             then answer "Or try again in about M minutes."
                      (each wait page is shown once per session and file)
  missing=1           the file page says "The file could not be found. Please check the download link."
  frames=1            the file and countdown pages hold an iframe with an ad
  nolength=1          send the file chunked, without Content-Length
  fail=reset          cut the first transfer of the file off after half its bytes
  fail=reset-always   cut every transfer off after half its bytes
  fail=404            the file URL answers 404
  rate=BYTES          speed limit for this file in bytes per second (default --rate)

NAME is kept as written in the URL (report%20v2.zip stays so); it is the last segment of the
file URL. File bytes depend on NAME and size only: see --print-file.
Example: http://127.0.0.1:PORT/file/report%20v2.zip?size=5000000&countdown=3&wait=1
)";
}
