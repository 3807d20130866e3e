// SPDX-License-Identifier: MIT
#include "platform/web/HtmlDocument.h"

#include "common/QuorvelError.h"
#include "platform/web/AncestorAnswers.h"
#include "platform/web/FormEndRepair.h"
#include "platform/web/HtmlNode.h"
#include "platform/web/HtmlSerializer.h"

#include <QHash>

namespace {

bool isListed(const GumboNode &node)
{
    using HtmlNode::isHtml;
    return isHtml(node, GUMBO_TAG_BUTTON) || isHtml(node, GUMBO_TAG_FIELDSET) || isHtml(node, GUMBO_TAG_INPUT)
        || isHtml(node, GUMBO_TAG_OBJECT) || isHtml(node, GUMBO_TAG_OUTPUT) || isHtml(node, GUMBO_TAG_SELECT)
        || isHtml(node, GUMBO_TAG_TEXTAREA);
}

bool isHttp(const QUrl &url)
{
    return url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https");
}

const GumboNode *firstLegendOf(const GumboNode &fieldset)
{
    const GumboVector &children = HtmlNode::children(fieldset);
    for (unsigned int i = 0; i < children.length; ++i) {
        const auto &child = *static_cast<const GumboNode *>(children.data[i]);
        if (HtmlNode::isHtml(child, GUMBO_TAG_LEGEND))
            return &child;
    }
    return nullptr;
}

} // namespace

HtmlDocument::Parsed HtmlDocument::parseWithin(const QByteArray &utf8Html, const QUrl &url, const ParseBudget &budget)
{
    std::shared_ptr<HtmlDocument> document(new HtmlDocument(utf8Html, url, budget));
    if (!document->m_output)
        return {nullptr, document->m_arena->refusal()};
    if (const ParseRefusal refusal = document->readTree(); refusal != ParseRefusal::None)
        return {nullptr, refusal};
    return {std::move(document), ParseRefusal::None};
}

std::shared_ptr<HtmlDocument> HtmlDocument::parse(const QByteArray &utf8Html, const QUrl &url)
{
    const ParseBudget budget;
    Parsed parsed = parseWithin(utf8Html, url, budget);
    if (parsed.document)
        return std::move(parsed.document);
    const QString reason = refusalText(parsed.refusal, budget);
    return failurePage(url, reason, FailureCause::permanent(reason));
}

std::shared_ptr<HtmlDocument> HtmlDocument::failurePage(const QUrl &url, const QString &reason, const FailureCause &cause)
{
    const QString html = QStringLiteral("<!DOCTYPE html><html><head><title>Quorvel</title></head><body>"
                                        "<h1>Quorvel: 无法打开页面</h1><p>%1</p></body></html>")
                             .arg(reason.toHtmlEscaped());
    std::shared_ptr<HtmlDocument> page(new HtmlDocument(html.toUtf8(), url, ParseBudget()));
    page->readTree();
    page->m_loadFailure = cause;
    return page;
}

QString HtmlDocument::refusalText(ParseRefusal refusal, const ParseBudget &budget)
{
    switch (refusal) {
    case ParseRefusal::TooManyNodes:
        return QStringLiteral("页面的元素超过 %1 个的上限").arg(budget.maxNodes);
    case ParseRefusal::TooMuchMemory:
        return QStringLiteral("解析页面所需的内存超过 %1 MiB 的上限").arg(budget.maxBytes / (1024 * 1024));
    case ParseRefusal::TooMuchFormText:
        return QStringLiteral("页面表单控件的文本超过页面本身的两倍");
    case ParseRefusal::Deadline:
        return QStringLiteral("页面加载超时");
    case ParseRefusal::TooMuchCpuTime:
        return QStringLiteral("页面解析超时 (超过 %1 秒)").arg(double(budget.maxCpuTime.count()) / 1e9, 0, 'f', 1);
    case ParseRefusal::Cancelled:
        return QStringLiteral("页面加载已取消");
    case ParseRefusal::None:
        break;
    }
    return {};
}

HtmlDocument::HtmlDocument(const QByteArray &utf8Html, const QUrl &url, const ParseBudget &budget)
    : m_source(utf8Html)
    , m_arena(std::make_unique<GumboArena>(budget))
    , m_output(nullptr)
    , m_url(url)
    , m_baseUrl(url)
{
    m_output = m_arena->parse(m_arena->options(), m_source.constData(), size_t(m_source.size()));
}

ParseRefusal HtmlDocument::readTree()
{
    // One walk gathers all the document keeps; the body is walked once more to serialize it.
    const GumboNode &root = *m_output->root;
    const GumboNode *base = nullptr;
    const GumboNode *body = nullptr;
    QHash<QByteArray, const GumboNode *> ids;
    std::vector<const GumboNode *> forms;
    std::vector<const GumboNode *> controls;
    HtmlNode::forEachElement(root, [&](const GumboNode &node) {
        if (const char *id = HtmlNode::attribute(node, "id"); id && *id && !ids.contains(id))
            ids.insert(id, &node);
        if (HtmlNode::isHtml(node, GUMBO_TAG_FORM))
            forms.push_back(&node);
        else if (isListed(node))
            controls.push_back(&node);
        else if (HtmlNode::isHtml(node, GUMBO_TAG_FRAME) || HtmlNode::isHtml(node, GUMBO_TAG_IFRAME))
            m_frameSources.append(HtmlNode::attributeText(node, "src").trimmed());
        else if (!body && HtmlNode::isHtml(node, GUMBO_TAG_BODY) && node.parent == &root)
            body = &node;
        else if (!base && HtmlNode::isHtml(node, GUMBO_TAG_BASE) && HtmlNode::hasAttribute(node, "href"))
            base = &node;
    });
    // The tree is this document's own; only the walk hands its nodes out as const.
    for (const GumboNode *form : forms)
        FormEndRepair::apply(const_cast<GumboNode &>(*form), m_source, *m_arena);
    if (base)
        m_baseUrl = m_url.resolved(QUrl(HtmlNode::attributeText(*base, "href").trimmed()));
    // The body is serialized here, on the loader thread, so that the UI thread only reads it.
    const QByteArray bodyHtml = body ? HtmlSerializer::innerHtml(*body, m_source.size() + m_source.size() / 8)
                                     : QByteArray();
    if (const ParseRefusal refusal = collectForms(forms, controls, ids); refusal != ParseRefusal::None)
        return refusal;
    // Nothing reads the tree any more: it is many times the page's size, and the document is
    // held for as long as the page is shown, a countdown's wait included.
    m_output = nullptr;
    m_arena.reset();
    m_source = QByteArray();
    if (body)
        m_bodyHtml = QString::fromUtf8(bodyHtml);
    return ParseRefusal::None;
}

HtmlDocument::~HtmlDocument() = default;

ParseRefusal HtmlDocument::collectForms(const std::vector<const GumboNode *> &forms,
                                        const std::vector<const GumboNode *> &controls,
                                        const QHash<QByteArray, const GumboNode *> &ids)
{
    QHash<const GumboNode *, HtmlForm *> formOf;
    for (const GumboNode *node : forms) {
        m_forms.push_back(std::make_unique<HtmlForm>(*node, *this));
        formOf.insert(node, m_forms.back().get());
    }
    AncestorAnswers<const GumboNode *> enclosingForm(
        nullptr, [](const GumboNode &, const GumboNode &parent, const GumboNode *const &above) {
            return HtmlNode::isHtml(parent, GUMBO_TAG_FORM) ? &parent : above;
        });
    // A disabled fieldset disables what it holds, except inside its first legend; a fieldset's
    // legend is looked up once, as a page may hold thousands of controls in one fieldset.
    QHash<const GumboNode *, const GumboNode *> firstLegends;
    AncestorAnswers<bool> disabledByFieldset(
        false, [&firstLegends](const GumboNode &element, const GumboNode &parent, const bool &above) {
            if (!HtmlNode::isHtml(parent, GUMBO_TAG_FIELDSET) || !HtmlNode::hasAttribute(parent, "disabled"))
                return above;
            auto legend = firstLegends.find(&parent);
            if (legend == firstLegends.end())
                legend = firstLegends.insert(&parent, firstLegendOf(parent));
            return &element == *legend ? above : true;
        });
    // The controls keep texts of the page, each once, so they cannot outgrow it; but an output's
    // value is all the text it encloses, and nested outputs grow with the square of the depth.
    const qsizetype textAllowed = 2 * m_source.size() + 1024 * 1024;
    qsizetype textKept = 0;
    for (const GumboNode *control : controls) {
        // A form="" attribute overrides the enclosing form, even when it names no form at all.
        const GumboNode *owner = nullptr;
        if (const char *formId = HtmlNode::attribute(*control, "form")) {
            const GumboNode *named = ids.value(formId);
            owner = named && HtmlNode::isHtml(*named, GUMBO_TAG_FORM) ? named : nullptr;
        } else {
            owner = enclosingForm.of(*control);
        }
        HtmlForm *form = formOf.value(owner);
        if (!form)
            continue;
        textKept += form->addControl(*control, disabledByFieldset.of(*control)).textKept();
        if (textKept > textAllowed)
            return ParseRefusal::TooMuchFormText;
    }
    return ParseRefusal::None;
}

QString HtmlDocument::url() const
{
    return m_url.toString();
}

QString HtmlDocument::bodyInnerHtml() const
{
    if (!m_bodyHtml)
        throw QuorvelError(QStringLiteral("文档没有 body 元素"));
    return *m_bodyHtml;
}

int HtmlDocument::formTagCount() const
{
    return int(m_forms.size());
}

int HtmlDocument::formCount() const
{
    return int(m_forms.size());
}

HtmlForm &HtmlDocument::form(int i)
{
    if (i < 0 || i >= formCount())
        throw QuorvelError::listIndex(i);
    return *m_forms[size_t(i)];
}

QUrl HtmlDocument::baseUrl() const
{
    return m_baseUrl;
}

QList<QUrl> HtmlDocument::frameSources() const
{
    QList<QUrl> sources;
    for (const QString &src : m_frameSources) {
        const QUrl resolved = m_baseUrl.resolved(QUrl(src));
        if (!src.isEmpty() && isHttp(resolved))
            sources.append(resolved);
    }
    return sources;
}

void HtmlDocument::setNavigator(std::function<void(const PageRequest &)> navigator)
{
    m_navigator = std::move(navigator);
}

void HtmlDocument::navigate(const PageRequest &request) const
{
    if (m_navigator)
        m_navigator(request);
}
