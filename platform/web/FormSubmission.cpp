// SPDX-License-Identifier: MIT
#include "platform/web/FormSubmission.h"

#include "platform/web/HtmlDocument.h"
#include "platform/web/HtmlFormControl.h"

std::optional<PageRequest> FormSubmission::build(const SubmissionAttributes &form, const HtmlDocument &document,
                                                 const std::vector<const HtmlFormControl *> &controls,
                                                 const HtmlFormControl &submitter, const QList<FormField> &fields)
{
    // The submitter's own formmethod, formaction and formenctype come before the form's.
    const SubmissionAttributes &own = submitter.submitterAttributes();
    const QString method = own.method.value_or(form.method.value_or(QString())).trimmed().toLower();
    if (method == u"dialog")
        return std::nullopt;
    const QString action = own.action.value_or(form.action.value_or(QString())).trimmed();
    const QString enctype = own.enctype.value_or(form.enctype.value_or(QString())).trimmed().toLower();

    PageRequest request;
    request.url = action.isEmpty() ? QUrl(document.url()) : document.baseUrl().resolved(QUrl(action));
    request.referer = document.url();
    const QList<FormEntry> data = entries(controls, submitter, fields);
    if (method != u"post") {
        request.url.setQuery(QString::fromLatin1(urlEncoded(data)), QUrl::StrictMode);
        return request;
    }
    request.method = "POST";
    if (enctype == u"multipart/form-data") {
        request.contentType = "multipart/form-data";
        request.multipart = data;
    } else if (enctype == u"text/plain") {
        request.contentType = "text/plain";
        for (const FormEntry &entry : data)
            request.body.append((entry.name + u'=' + entry.value + QStringLiteral("\r\n")).toUtf8());
    } else {
        request.contentType = "application/x-www-form-urlencoded";
        request.body = urlEncoded(data);
    }
    return request;
}

QList<FormEntry> FormSubmission::entries(const std::vector<const HtmlFormControl *> &controls,
                                         const HtmlFormControl &submitter, const QList<FormField> &fields)
{
    QList<FormEntry> data;
    for (const HtmlFormControl *control : controls) {
        const QString kind = control->type();
        const QString name = normalizedNewlines(control->name());
        if (control->isDisabled() || (control->isButton() && control != &submitter))
            continue;
        if (kind == u"image") {
            // A click that did not come from a pointer lands on the image's origin.
            const QString prefix = name.isEmpty() ? QString() : name + u'.';
            data.append({prefix + u'x', QStringLiteral("0")});
            data.append({prefix + u'y', QStringLiteral("0")});
            continue;
        }
        if (name.isEmpty() || kind == u"fieldset" || kind == u"object" || kind == u"output")
            continue;
        if ((kind == u"checkbox" || kind == u"radio") && !control->isChecked())
            continue;
        if (kind == u"file")
            data.append({name, QString(), true});
        else if (kind.startsWith(u"select"))
            for (const QString &value : control->submittedOptionValues())
                data.append({name, normalizedNewlines(value)});
        else
            data.append({name, normalizedNewlines(control->value())});
    }
    setFields(data, fields);
    return data;
}

void FormSubmission::setFields(QList<FormEntry> &data, const QList<FormField> &fields)
{
    for (const FormField &field : fields) {
        const QString name = normalizedNewlines(field.name);
        bool present = false;
        for (FormEntry &entry : data) {
            if (entry.name == name && !entry.isFile) {
                entry.value = normalizedNewlines(field.value);
                present = true;
            }
        }
        if (!present)
            data.append({name, normalizedNewlines(field.value)});
    }
}

QByteArray FormSubmission::urlEncoded(const QList<FormEntry> &entries)
{
    const auto encode = [](const QString &text) {
        return text.toUtf8().toPercentEncoding(" *-._", "~").replace(' ', '+');
    };
    QByteArray out;
    for (const FormEntry &entry : entries) {
        if (!out.isEmpty())
            out.append('&');
        out.append(encode(entry.name)).append('=').append(encode(entry.value));
    }
    return out;
}

QString FormSubmission::normalizedNewlines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return text.replace(u'\n', QStringLiteral("\r\n"));
}
