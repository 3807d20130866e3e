// SPDX-License-Identifier: MIT
#include "platform/pattern/Re2PatternCompiler.h"

#include <re2/re2.h>

namespace {

class Re2Pattern final : public TextPattern
{
public:
    explicit Re2Pattern(std::unique_ptr<re2::RE2> re)
        : m_re(std::move(re))
    {
    }

    int groupCount() const override { return m_re->NumberOfCapturingGroups(); }

    bool occursIn(const QString &text) const override
    {
        const QByteArray utf8 = text.toUtf8();
        return m_re->Match(re2::StringPiece(utf8.constData(), static_cast<std::size_t>(utf8.size())), 0,
                           static_cast<std::size_t>(utf8.size()), re2::RE2::UNANCHORED, nullptr, 0);
    }

    std::optional<QString> firstGroupIn(const QString &text) const override
    {
        const QByteArray utf8 = text.toUtf8();
        re2::StringPiece groups[2];
        const int wanted = std::min(2, groupCount() + 1);
        if (!m_re->Match(re2::StringPiece(utf8.constData(), static_cast<std::size_t>(utf8.size())), 0,
                         static_cast<std::size_t>(utf8.size()), re2::RE2::UNANCHORED, groups, wanted))
            return std::nullopt;
        const re2::StringPiece &group = groups[wanted - 1];
        return QString::fromUtf8(group.data(), static_cast<qsizetype>(group.size()));
    }

private:
    std::unique_ptr<re2::RE2> m_re;
};

} // namespace

std::shared_ptr<const TextPattern> Re2PatternCompiler::compile(const QString &pattern, QString &reason) const
{
    re2::RE2::Options options;
    options.set_log_errors(false);
    options.set_max_mem(maxPatternMemory);
    const QByteArray utf8 = pattern.toUtf8();
    auto re = std::make_unique<re2::RE2>(re2::StringPiece(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                                         options);
    if (!re->ok()) {
        reason = QString::fromStdString(re->error());
        return nullptr;
    }
    return std::make_shared<Re2Pattern>(std::move(re));
}
