// SPDX-License-Identifier: MIT
#include "dialogs/ErrorBox.h"

#include "common/ErrorText.h"
#include "common/QuorvelError.h"

#include <QMessageBox>

void ErrorBox::show(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, appTitle(), errorBoxText(message), QMessageBox::Ok,
                    parent);
    box.exec();
}

QString ErrorBox::messageOf(const std::exception &e)
{
    if (const auto *error = dynamic_cast<const QuorvelError *>(&e))
        return error->message();
    return QString::fromLocal8Bit(e.what());
}
