// SPDX-License-Identifier: MIT
#pragma once

#include "platform/web/HtmlNode.h"

#include <gumbo.h>

#include <QHash>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

/**
 * Answers a question about an element that follows from its parent's answer (the form around
 * it, whether a fieldset disables it), keeping every answer: each element is climbed past once
 * however many controls a deep tree holds, where walking up from every control would cost the
 * depth times the controls on a hostile page.
 * Thread contract: one thread, while the tree lives.
 */
template<typename Answer>
class AncestorAnswers final
{
public:
    /** The answer for element, given its parent and the parent's answer. */
    using Step = std::function<Answer(const GumboNode &element, const GumboNode &parent, const Answer &parentAnswer)>;

    /** atTop: the answer for an element whose parent is not an element (the root). */
    AncestorAnswers(Answer atTop, Step step)
        : m_atTop(std::move(atTop))
        , m_step(std::move(step))
    {
    }

    Answer of(const GumboNode &element)
    {
        // Up to the nearest element answered already (or the top), then back down answering.
        std::vector<const GumboNode *> unanswered;
        std::optional<Answer> answer;
        for (const GumboNode *at = &element;;) {
            if (const auto known = m_answers.constFind(at); known != m_answers.cend()) {
                answer = *known;
                break;
            }
            unanswered.push_back(at);
            if (!at->parent || !HtmlNode::isElement(*at->parent))
                break;
            at = at->parent;
        }
        auto next = unanswered.rbegin();
        if (!answer) {
            answer = m_atTop;
            m_answers.insert(*next++, *answer);
        }
        for (; next != unanswered.rend(); ++next) {
            answer = m_step(**next, *(*next)->parent, *answer);
            m_answers.insert(*next, *answer);
        }
        return *answer;
    }

private:
    Answer m_atTop;
    Step m_step;
    QHash<const GumboNode *, Answer> m_answers;
};
