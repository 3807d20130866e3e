// SPDX-License-Identifier: MIT
#include "app/SettingsKeeping.h"

#include "app/StatusPanels.h"
#include "app/TForm1.h"
#include "dialogs/SettingsDialog.h"
#include "settings/SettingsStore.h"

#include <QAction>

SettingsKeeping::SettingsKeeping(TForm1 &window, SettingsStore &store, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_store(store)
{
    if (!store.warnings().isEmpty())
        m_window.setStatusText(0, store.warnings().join(QStringLiteral("; ")));
    connect(m_window.Settings1, &QAction::triggered, this, &SettingsKeeping::Settings1Click);
}

void SettingsKeeping::setNotApplied(const QString &part, const QString &why)
{
    if (why.isEmpty())
        m_notApplied.remove(part);
    else
        m_notApplied.insert(part, why);
    if (m_notApplied.isEmpty())
        m_window.StatusBar1->hideLastingNotice(notAppliedNotice());
    else
        m_window.StatusBar1->showLastingNotice(notAppliedNotice(), notAppliedReasons().join(u'\n'));
}

QStringList SettingsKeeping::notAppliedReasons() const
{
    QStringList reasons;
    for (auto each = m_notApplied.cbegin(); each != m_notApplied.cend(); ++each)
        reasons << QStringLiteral("%1: %2").arg(each.key(), each.value());
    return reasons;
}

void SettingsKeeping::Settings1Click()
{
    SettingsDialog dialog(&m_window);
    dialog.setSettings(m_store.settings());
    dialog.setNotApplied(notAppliedReasons());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString why = m_store.change(dialog.settings());
    m_window.setStatusText(0, why.isEmpty() ? QStringLiteral("设置已保存") : why);
}
