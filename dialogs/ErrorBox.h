// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <exception>

class QWidget;

/**
 * The error box, and the guard that every event handler runs in: an error thrown by an operation
 * ends that operation and is shown here instead of crossing the event loop. UI thread only.
 */
class ErrorBox final
{
public:
    /** Shows message modally: caption "Quorvel V.1.1", error icon, OK. */
    static void show(QWidget *parent, const QString &message);

    /** A slot that runs handler on object and shows what it throws. */
    template <class Object>
    static auto guarded(Object *object, void (Object::*handler)())
    {
        return [object, handler] { run(object, [object, handler] { (object->*handler)(); }); };
    }

    template <class Operation>
    static void run(QWidget *parent, Operation &&operation)
    {
        try {
            operation();
        } catch (const std::exception &e) {
            show(parent, messageOf(e));
        }
    }

private:
    static QString messageOf(const std::exception &e);
};
