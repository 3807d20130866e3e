// SPDX-License-Identifier: MIT
#pragma once

#include "flow/FlowView.h"

#include <QMap>
#include <QStringList>

#include <array>

/** Holds what the flow shows, as the main window's fields and status bar would. */
class RecordingView final : public FlowView
{
public:
    void setStatusText(int panel, const QString &text) override { status.at(std::size_t(panel)) = text; }
    void setStatusWidth(int panel, int pixels) override { widths.at(std::size_t(panel)) = pixels; }
    void setField(Field field, const QString &text) override { fields[field] = text; }
    QString saveFolder() const override { return folder; }
    void showError(const QString &message) override { errors.append(message); }

    std::array<QString, 3> status;
    std::array<int, 3> widths{190, 50, 50};
    QMap<Field, QString> fields;
    QString folder;
    QStringList errors;
};
