// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageBrowser.h"
#include "common/QuorvelError.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Canned pages for the page-access tests. Like the late-bound browser objects they stand for,
// they throw QuorvelError for a member the page does not have.

class FakePageElement final : public PageElement
{
public:
    FakePageElement(QString name, std::optional<QString> value, QStringList &clickLog)
        : m_name(std::move(name)), m_value(std::move(value)), m_clickLog(clickLog) {}

    QString value() const override
    {
        if (!m_value)
            throw QuorvelError(QStringLiteral("element has no value"));
        return *m_value;
    }
    QString name() const override { return m_name; }
    void click() override
    {
        m_clickLog.append(m_name);
        if (onClick)
            onClick();
    }

    std::function<void()> onClick;

private:
    QString m_name;
    std::optional<QString> m_value;
    QStringList &m_clickLog;
};

class FakePageForm final : public PageForm
{
public:
    int length() const override
    {
        if (!hasLength)
            throw QuorvelError(QStringLiteral("form has no length"));
        return static_cast<int>(elements.size());
    }
    PageElement &item(int j) override
    {
        if (j < 0 || j >= static_cast<int>(elements.size()))
            throw QuorvelError(QStringLiteral("no element %1").arg(j));
        return *elements[static_cast<std::size_t>(j)];
    }

    std::vector<std::unique_ptr<FakePageElement>> elements;
    bool hasLength = true;
};

class FakePageDocument final : public PageDocument
{
public:
    QString url() const override { return address; }
    QString bodyInnerHtml() const override
    {
        if (!body)
            throw QuorvelError(QStringLiteral("document has no body"));
        return *body;
    }
    int formTagCount() const override { return static_cast<int>(forms.size()); }
    int formCount() const override { return static_cast<int>(forms.size()); }
    PageForm &form(int i) override
    {
        if (i < 0 || i >= formCount())
            throw QuorvelError(QStringLiteral("no form %1").arg(i));
        return *forms[static_cast<std::size_t>(i)];
    }

    /** Adds a form whose elements carry these values (nullopt: an element without a value). */
    void addForm(const std::vector<std::pair<QString, std::optional<QString>>> &elements,
                 QStringList &clickLog)
    {
        auto form = std::make_unique<FakePageForm>();
        for (const auto &[name, value] : elements)
            form->elements.push_back(std::make_unique<FakePageElement>(name, value, clickLog));
        forms.push_back(std::move(form));
    }

    std::optional<FailureCause> loadFailure() const override { return failure; }

    QString address = QStringLiteral("http://127.0.0.1/page");
    std::optional<QString> body;
    std::vector<std::unique_ptr<FakePageForm>> forms;
    std::optional<FailureCause> failure;
};

class FakePageBrowser final : public PageBrowser
{
public:
    void navigate(const QString &url) override { navigated.append(url); }
    void stop() override {}
    std::shared_ptr<PageDocument> document() override
    {
        ++documentReads;
        if (!current)
            throw QuorvelError(QStringLiteral("no document"));
        return current;
    }

    std::shared_ptr<FakePageDocument> current;
    QStringList navigated;
    int documentReads = 0;
};
