// SPDX-License-Identifier: MIT
#include "completion/CompletionCommand.h"

#include <QProcess>

namespace {

// The record is kept in the state file, which is refused whole when it holds a NUL, and shown
// in the history: of the control characters only the line breaks and tabs stay.
QString keptOutput(const QByteArray &output, bool cut)
{
    QString text = QString::fromUtf8(output);
    for (QChar &c : text) {
        if ((c.unicode() < 0x20 && c != u'\n' && c != u'\r' && c != u'\t') || c.unicode() == 0x7f)
            c = QChar::ReplacementCharacter;
    }
    if (cut)
        text += QStringLiteral("\n(输出超过 %1 KiB, 其余未保留)").arg(CompletionCommand::maxOutputBytes / 1024);
    return text;
}

} // namespace

std::optional<CompletionCommand::Invocation> CompletionCommand::invocation(const QString &command, DownloadEntry::Id id,
                                                                           const QString &path)
{
    QStringList words = QProcess::splitCommand(command);
    if (words.isEmpty() || words.constFirst().isEmpty())
        return std::nullopt;
    Invocation invocation{words.takeFirst(), words};
    invocation.arguments << DownloadEntry::idText(id) << QStringLiteral("1") << path;
    return invocation;
}

CommandRecord CompletionCommand::exited(int exitCode, const QByteArray &output, bool cut)
{
    return {QStringLiteral("退出码 %1").arg(exitCode), keptOutput(output, cut)};
}

CommandRecord CompletionCommand::crashed(const QByteArray &output, bool cut)
{
    return {QStringLiteral("异常结束"), keptOutput(output, cut)};
}

CommandRecord CompletionCommand::timedOut(std::chrono::milliseconds limit, const QByteArray &output, bool cut)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::duration<double>>(limit).count();
    return {QStringLiteral("超过 %1 秒未结束, 已终止").arg(seconds), keptOutput(output, cut)};
}

CommandRecord CompletionCommand::notStarted(const QString &why)
{
    return {QStringLiteral("无法启动: ") + why, QString()};
}

CommandRecord CompletionCommand::notRun(const QString &why)
{
    return {QStringLiteral("未运行: ") + why, QString()};
}
