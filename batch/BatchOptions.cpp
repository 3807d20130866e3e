// SPDX-License-Identifier: MIT
#include "batch/BatchOptions.h"

#include "common/FileChecksum.h"
#include "common/QuorvelError.h"
#include "queue/QueueListFile.h"

#include <QCommandLineParser>
#include <QProcess>
#include <QRegularExpression>

#include <optional>

namespace {

const char *const helpText = R"(用法: quorvel-batch [选项] (网址 | 列表文件)...

不需要显示器, 按主窗口"开始下载"的方式处理下载队列: 打开每个下载页面,
按下 "Free user", 等待倒计时, 下载文件; 遇到等待页面就等待后重试,
文件不存在就丢弃该网址. 直接指向文件的网址立即下载.

参数:
  网址          含有 "://" 的参数是一个网址: 下载页面或文件本身
  列表文件      其他参数是队列列表文件: 每行一个网址 (CR LF, LF 或 CR 分行);
                UTF-8 或本地编码, 带字节顺序标记 (BOM) 时也可以是 UTF-16; 最大 64 MiB.
                aria2 输入文件的格式 (网址下缩进的 key=value 选项行) 也可以,
                --save-session 写的文件就是这种格式

选项:
  --folder DIR  保存文件夹 (默认: $HOME/Quorvel/Downloads; 不存在时创建)
  --shutdown    队列完成后关机: 先倒计时 60 秒, Ctrl+C 取消
  --retry-for DURATION
                网络中断、服务器忙等可能过去的错误, 在这段时间内等待后重试
                (30 秒, 1, 2, 4, 8 分钟, 之后每 10 分钟); 例如 90s, 30m, 2h,
                不带单位为分钟; 默认 60m, 0 表示不重试, 最长 12h
  --save-session FILE
                运行中和退出时把未完成和失败的网址 (连同未下完的 .part 文件)
                保存在 FILE 中; 以后 quorvel-batch FILE 从停下的地方继续
  --checksum TYPE=DIGEST
                命令行上的网址的文件必须有这个校验值 (TYPE: sha-256, sha-1 或 md5;
                DIGEST: 十六进制); 不符时不保留文件, 记为 "校验失败", 重试时重新下载.
                列表文件中的网址用网址下的缩进选项行 "checksum=TYPE=DIGEST"
  --on-download-complete COMMAND
                每个文件下载完成后运行 COMMAND, 参数后面加上 aria2 的三个参数:
                条目的 ID, 文件数 1, 文件的完整路径. 不经过 shell: 双引号可以分组,
                变量、通配符和管道不起作用. 一次运行一个; 60 秒未结束就终止;
                它的输出和退出码只打印出来, 不影响文件是否算作完成
  -h, --help    显示此帮助
  -v, --version 显示版本

Ctrl+C、SIGTERM 或 SIGHUP (终端关闭): 像"停止下载"一样停止, 然后退出
(再按一次 Ctrl+C 立即退出).

退出状态: 0 每个网址都得到了文件; 1 有网址失败、被丢弃或未完成;
          2 参数错误或列表文件无法读取; 130 被中断.
)";

// The clock that times the waits counts within one day; half a day stays well inside it.
constexpr std::chrono::seconds longestRetry = std::chrono::hours(12);

/** "90s", "30m", "2h", or a bare number of minutes; none for anything else or beyond longestRetry. */
std::optional<std::chrono::seconds> durationFrom(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,6})([smh]?)$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const qint64 count = match.captured(1).toLongLong();
    const QString unit = match.captured(2);
    const qint64 factor = unit == QLatin1String("s") ? 1 : unit == QLatin1String("h") ? 3600 : 60;
    const std::chrono::seconds duration(count * factor);
    if (duration > longestRetry)
        return std::nullopt;
    return duration;
}

} // namespace

BatchOptions::Parsed BatchOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption folder(QStringLiteral("folder"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption shutdown(QStringLiteral("shutdown"));
    const QCommandLineOption retryFor(QStringLiteral("retry-for"), QString(), QStringLiteral("DURATION"));
    const QCommandLineOption saveSession(QStringLiteral("save-session"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption checksum(QStringLiteral("checksum"), QString(), QStringLiteral("TYPE=DIGEST"));
    const QCommandLineOption onDownloadComplete(QStringLiteral("on-download-complete"), QString(),
                                                QStringLiteral("COMMAND"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({folder, shutdown, retryFor, saveSession, checksum, onDownloadComplete, help, version});
    if (!parser.parse(arguments))
        return Error{parser.errorText()};
    if (parser.isSet(help))
        return Help{QString::fromUtf8(helpText)};
    if (parser.isSet(version))
        return Help{QStringLiteral("quorvel-batch " QUORVEL_VERSION "\n")};

    BatchOptions options;
    options.folder = parser.value(folder);
    options.shutdown = parser.isSet(shutdown);
    options.saveSession = parser.value(saveSession);
    if (parser.isSet(saveSession) && options.saveSession.isEmpty())
        return Error{QStringLiteral("--save-session 需要一个文件")};
    if (parser.isSet(folder) && options.folder.isEmpty())
        return Error{QStringLiteral("--folder 需要一个文件夹")};
    if (parser.isSet(retryFor)) {
        const std::optional<std::chrono::seconds> duration = durationFrom(parser.value(retryFor));
        if (!duration)
            return Error{QStringLiteral("--retry-for 需要一段不超过 12h 的时间, 例如 90s, 30m, 2h 或 0")};
        options.retryFor = *duration;
    }
    options.onDownloadComplete = parser.value(onDownloadComplete);
    if (parser.isSet(onDownloadComplete) && QProcess::splitCommand(options.onDownloadComplete).value(0).isEmpty())
        return Error{QStringLiteral("--on-download-complete 需要一个命令")};
    const QString digest = parser.value(checksum);
    if (parser.isSet(checksum) && !FileChecksum::parse(digest))
        return Error{
            QStringLiteral("--checksum 需要 TYPE=DIGEST: sha-256, sha-1 或 md5, 等号后是它长度的十六进制校验值")};
    try {
        for (const QString &argument : parser.positionalArguments()) {
            if (argument.contains(QLatin1String("://"))) {
                DownloadEntry entry;
                entry.url = argument;
                if (parser.isSet(checksum))
                    entry.options.insert(FileChecksum::optionKey, digest);
                options.entries.append(std::move(entry));
            } else {
                options.entries.append(QueueListFile::read(argument));
            }
        }
    } catch (const QuorvelError &error) {
        return Error{error.message()};
    }
    if (options.entries.isEmpty())
        return Error{QStringLiteral("没有要下载的网址 (quorvel-batch --help 显示用法)")};
    return options;
}
