// SPDX-License-Identifier: MIT
#include "batch/BatchOptions.h"

#include "batch/ConfFileArguments.h"
#include "common/FileChecksum.h"
#include "common/QuorvelError.h"
#include "queue/QueueListFile.h"
#include "settings/ByteRate.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
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
  --all-proxy URL
                页面和文件都经过这个代理: http://, https://, socks5:// 或 socks5h://
                (由代理解析主机名) 加主机和端口, 例如 socks5h://127.0.0.1:1080;
                用户名和密码可以写在网址里 (http://用户:密码@主机:端口)
  --all-proxy-user USER, --all-proxy-passwd PASSWD
                代理的用户名和密码
  --no-proxy DOMAINS
                不经过代理的主机, 用逗号分开 (例如 localhost,.example.org)
                没有 --all-proxy 时使用环境变量 http_proxy, https_proxy, all_proxy
                和 no_proxy 指定的代理
  --max-download-limit RATE
                每个文件的最高下载速度, 字节/秒; 可带单位 K 或 M
                (1K = 1024), 例如 500K, 2M; 0 表示不限速 (默认)
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
  --conf-path FILE
                先读 FILE 中的选项: 每行 key=value (aria2 的格式, 不带 "--"),
                # 开头的行是注释; 命令行上的选项优先
                (默认: $XDG_CONFIG_HOME/quorvel/batch.conf, 存在时)

远程控制 (aria2 的 JSON-RPC, HTTP 和 WebSocket 的 /jsonrpc):
  --enable-rpc  打开远程控制; 队列完成后不退出, 等待新任务,
                直到 SIGTERM、Ctrl+C 或 aria2.shutdown
  --rpc-listen-port PORT
                端口 (默认 6800)
  --rpc-secret SECRET
                客户端以 "token:SECRET" 作为第一个参数; 必须有密钥.
                命令行上的密钥别人可以在 ps 中看到: 最好用下面两种方式
  --rpc-secret-file FILE
                从 FILE 的第一行读密钥
                (也可以用环境变量 QUORVEL_RPC_SECRET)
  --rpc-listen-all
                在所有网络地址上监听 (默认只在 127.0.0.1 和 ::1 上)
  --rpc-allow-origin ORIGIN[,ORIGIN...]
                允许这些网页来源 (例如 http://localhost:8080) 调用;
                默认不允许任何网页
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

/** The first line of path, trimmed; throws QuorvelError when there is none to read. */
QString secretFrom(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw QuorvelError(QStringLiteral("不能打开密钥文件 %1: %2").arg(path, file.errorString()));
    const QString secret = QString::fromUtf8(file.readLine(4096)).trimmed();
    if (secret.isEmpty())
        throw QuorvelError(QStringLiteral("密钥文件 %1 的第一行是空的").arg(path));
    return secret;
}

} // namespace

BatchOptions::Parsed BatchOptions::parse(const QStringList &arguments, const QProcessEnvironment &environment)
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
    const QCommandLineOption confPath(QStringLiteral("conf-path"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption enableRpc(QStringLiteral("enable-rpc"));
    const QCommandLineOption rpcPort(QStringLiteral("rpc-listen-port"), QString(), QStringLiteral("PORT"));
    const QCommandLineOption rpcSecret(QStringLiteral("rpc-secret"), QString(), QStringLiteral("SECRET"));
    const QCommandLineOption rpcSecretFile(QStringLiteral("rpc-secret-file"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption rpcListenAll(QStringLiteral("rpc-listen-all"));
    const QCommandLineOption rpcOrigins(QStringLiteral("rpc-allow-origin"), QString(), QStringLiteral("ORIGIN"));
    const QCommandLineOption allProxy(QStringLiteral("all-proxy"), QString(), QStringLiteral("URL"));
    const QCommandLineOption allProxyUser(QStringLiteral("all-proxy-user"), QString(), QStringLiteral("USER"));
    const QCommandLineOption allProxyPasswd(QStringLiteral("all-proxy-passwd"), QString(), QStringLiteral("PASSWD"));
    const QCommandLineOption noProxy(QStringLiteral("no-proxy"), QString(), QStringLiteral("DOMAINS"));
    const QCommandLineOption maxDownloadLimit(QStringLiteral("max-download-limit"), QString(), QStringLiteral("RATE"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({folder,     shutdown,  retryFor,     saveSession,    checksum,      onDownloadComplete,
                       confPath,   enableRpc, rpcPort,      rpcSecret,      rpcSecretFile, rpcListenAll,
                       rpcOrigins, allProxy,  allProxyUser, allProxyPasswd, noProxy,       maxDownloadLimit,
                       help,       version});
    if (!parser.parse(arguments))
        return Error{parser.errorText()};
    if (parser.isSet(help))
        return Help{QString::fromUtf8(helpText)};
    if (parser.isSet(version))
        return Help{QStringLiteral("quorvel-batch " QUORVEL_VERSION "\n")};

    const QString confFile = parser.isSet(confPath)
        ? parser.value(confPath)
        : ConfFileArguments::defaultPath(environment.value(QStringLiteral("XDG_CONFIG_HOME")),
                                         environment.value(QStringLiteral("HOME")));
    if (parser.isSet(confPath) || QFileInfo::exists(confFile)) {
        QStringList withFile;
        try {
            withFile = ConfFileArguments::read(
                confFile, {shutdown.names().first(), enableRpc.names().first(), rpcListenAll.names().first()},
                {folder.names().first(), retryFor.names().first(), saveSession.names().first(), rpcPort.names().first(),
                 rpcSecret.names().first(), rpcSecretFile.names().first(), rpcOrigins.names().first()});
        } catch (const QuorvelError &error) {
            return Error{error.message()};
        }
        // The file's options first: a value given on the command line is the later one, and wins.
        withFile.prepend(arguments.value(0));
        withFile.append(arguments.mid(1));
        if (!parser.parse(withFile))
            return Error{parser.errorText()};
    }

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
    if (parser.isSet(allProxy)) {
        QString why;
        const std::optional<ProxySetting> proxy = ProxySetting::fromUrl(parser.value(allProxy), why);
        if (!proxy)
            return Error{QStringLiteral("--all-proxy: ") + why};
        options.proxy = *proxy;
    } else if (parser.isSet(allProxyUser) || parser.isSet(allProxyPasswd)) {
        return Error{QStringLiteral("--all-proxy-user 和 --all-proxy-passwd 需要 --all-proxy")};
    }
    if (parser.isSet(allProxyUser))
        options.proxy.user = parser.value(allProxyUser);
    if (parser.isSet(allProxyPasswd))
        options.proxy.password = parser.value(allProxyPasswd);
    options.proxy.noProxy = parser.value(noProxy);
    if (parser.isSet(maxDownloadLimit)) {
        const std::optional<std::int64_t> rate = byteRateFrom(parser.value(maxDownloadLimit));
        if (!rate)
            return Error{QStringLiteral("--max-download-limit 需要每秒的字节数, 例如 500K, 2M 或 0")};
        options.maxDownloadLimit = *rate;
    }
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
        if (parser.isSet(enableRpc)) {
            RpcServerSettings rpc;
            if (parser.isSet(rpcPort)) {
                bool number = false;
                const uint port = parser.value(rpcPort).toUInt(&number);
                if (!number || port == 0 || port > 65535)
                    return Error{QStringLiteral("--rpc-listen-port 需要 1 到 65535 之间的端口")};
                rpc.port = quint16(port);
            }
            rpc.listenAll = parser.isSet(rpcListenAll);
            for (const QString &value : parser.values(rpcOrigins)) {
                for (const QString &origin : value.split(QLatin1Char(','), Qt::SkipEmptyParts))
                    rpc.allowedOrigins.append(origin.trimmed());
            }
            rpc.secret = parser.value(rpcSecret);
            if (rpc.secret.isEmpty() && parser.isSet(rpcSecretFile))
                rpc.secret = secretFrom(parser.value(rpcSecretFile));
            if (rpc.secret.isEmpty())
                rpc.secret = environment.value(QStringLiteral("QUORVEL_RPC_SECRET"));
            if (rpc.secret.isEmpty())
                return Error{QStringLiteral("--enable-rpc 需要密钥: --rpc-secret, --rpc-secret-file 或环境变量 "
                                            "QUORVEL_RPC_SECRET")};
            options.rpc = rpc;
        }
    } catch (const QuorvelError &error) {
        return Error{error.message()};
    }
    if (options.entries.isEmpty() && !options.rpc)
        return Error{QStringLiteral("没有要下载的网址 (quorvel-batch --help 显示用法)")};
    return options;
}
