// SPDX-License-Identifier: MIT
#include "platform/clipboard/XcbSelectionRead.h"

#include <QDeadlineTimer>
#include <QScopeGuard>

#include <array>
#include <cstdlib>
#include <memory>

#include <poll.h>
#include <xcb/xcb.h>

namespace {

using namespace std::chrono_literals;

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T> Reply<T> owned(T *reply)
{
    return Reply<T>(reply, &std::free);
}

enum class Atom { Clipboard, Property, Incr, Utf8, String, PlainUtf8, Plain, Count };

/** What one read holds while it runs: the connection, its window and the clock. */
class Transfer
{
public:
    Transfer(xcb_connection_t *connection, xcb_window_t window, std::chrono::milliseconds limit,
             const std::function<bool()> &stopped)
        : m_connection(connection)
        , m_window(window)
        , m_limit(limit)
        , m_deadline(limit)
        , m_stopped(stopped)
    {
    }

    std::array<xcb_atom_t, size_t(Atom::Count)> atoms{};

    /** The next event accepted takes; empty when the read must end, with error said. */
    Reply<xcb_generic_event_t> waitFor(const std::function<bool(const xcb_generic_event_t &)> &accepted)
    {
        while (true) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
                Reply<xcb_generic_event_t> kept = owned(event);
                if (accepted(*kept))
                    return kept;
            }
            if (xcb_connection_has_error(m_connection)) {
                error = QStringLiteral("与 X 显示的连接断开了");
                return owned<xcb_generic_event_t>(nullptr);
            }
            if (m_stopped()) {
                error = QStringLiteral("读取被取消");
                return owned<xcb_generic_event_t>(nullptr);
            }
            if (m_deadline.hasExpired()) {
                error = QStringLiteral("提供剪贴板的程序 %1 秒内没有交出文本").arg(double(m_limit.count()) / 1000.0);
                return owned<xcb_generic_event_t>(nullptr);
            }
            // Short waits: a replaced or abandoned read must notice soon.
            pollfd wake{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&wake, 1, int(std::min<qint64>(m_deadline.remainingTime(), 50)));
        }
    }

    /** Reads and deletes the property, keeping at most room bytes of it. */
    Reply<xcb_get_property_reply_t> take(qsizetype room)
    {
        // One unit over the room, so that a value longer than the room shows as one.
        const auto units = uint32_t(room / 4 + 1);
        return owned(xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 1, m_window, atom(Atom::Property), XCB_GET_PROPERTY_TYPE_ANY, 0, units),
            nullptr));
    }

    xcb_atom_t atom(Atom which) const { return atoms[size_t(which)]; }

    QString error;

private:
    xcb_connection_t *m_connection;
    xcb_window_t m_window;
    std::chrono::milliseconds m_limit;
    QDeadlineTimer m_deadline;
    const std::function<bool()> &m_stopped;
};

int eventType(const xcb_generic_event_t &event)
{
    return event.response_type & ~0x80;
}

} // namespace

XcbSelectionRead XcbSelectionRead::run(const QByteArray &display, qsizetype maxBytes, std::chrono::milliseconds limit,
                                       const std::function<bool()> &stopped)
{
    XcbSelectionRead read;
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), &screenNumber);
    const auto disconnect = qScopeGuard([connection] { xcb_disconnect(connection); });
    if (xcb_connection_has_error(connection)) {
        read.error = QStringLiteral("不能连接 X 显示 %1").arg(QString::fromLocal8Bit(display));
        return read;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0) {
        read.error =
            QStringLiteral("X 显示 %1 没有第 %2 个屏幕").arg(QString::fromLocal8Bit(display)).arg(screenNumber);
        return read;
    }
    const xcb_window_t window = xcb_generate_id(connection);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screens.data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screens.data->root_visual, XCB_CW_EVENT_MASK, &events);
    // Gone with the window, the property an owner writes its next piece into: it stops.
    const auto destroy = qScopeGuard([connection, window] {
        xcb_destroy_window(connection, window);
        xcb_flush(connection);
    });

    Transfer transfer(connection, window, limit, stopped);
    const std::array<const char *, size_t(Atom::Count)> names = {
        "CLIPBOARD", "QUORVEL_CLIPBOARD", "INCR", "UTF8_STRING", "STRING", "text/plain;charset=utf-8", "text/plain"};
    std::array<xcb_intern_atom_cookie_t, size_t(Atom::Count)> cookies{};
    for (size_t i = 0; i < names.size(); ++i)
        cookies[i] = xcb_intern_atom(connection, 0, uint16_t(qstrlen(names[i])), names[i]);
    for (size_t i = 0; i < names.size(); ++i) {
        if (const auto reply = owned(xcb_intern_atom_reply(connection, cookies[i], nullptr)))
            transfer.atoms[i] = reply->atom;
    }
    const auto owner = owned(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, transfer.atom(Atom::Clipboard)), nullptr));
    if (!owner || owner->owner == XCB_NONE)
        return read;

    QByteArray bytes;
    const auto keep = [&](const xcb_get_property_reply_t &piece) {
        const qsizetype room = maxBytes - bytes.size();
        const qsizetype length = xcb_get_property_value_length(&piece);
        bytes.append(static_cast<const char *>(xcb_get_property_value(&piece)), std::min(length, room));
        read.cutShort = length > room || piece.bytes_after > 0;
        return length;
    };
    for (const Atom target : {Atom::Utf8, Atom::String, Atom::PlainUtf8, Atom::Plain}) {
        xcb_convert_selection(connection, window, transfer.atom(Atom::Clipboard), transfer.atom(target),
                              transfer.atom(Atom::Property), XCB_CURRENT_TIME);
        xcb_flush(connection);
        const auto notified = transfer.waitFor(
            [](const xcb_generic_event_t &event) { return eventType(event) == XCB_SELECTION_NOTIFY; });
        if (!notified) {
            read.error = transfer.error;
            return read;
        }
        if (reinterpret_cast<const xcb_selection_notify_event_t &>(*notified).property == XCB_NONE)
            continue;
        const auto first = transfer.take(maxBytes);
        if (!first)
            break;
        if (first->type != transfer.atom(Atom::Incr)) {
            keep(*first);
        } else {
            // Taking the INCR property asked for the first piece; each piece taken asks for the next.
            while (!read.cutShort) {
                const auto written = transfer.waitFor([&transfer](const xcb_generic_event_t &event) {
                    if (eventType(event) != XCB_PROPERTY_NOTIFY)
                        return false;
                    const auto &change = reinterpret_cast<const xcb_property_notify_event_t &>(event);
                    return change.atom == transfer.atom(Atom::Property) && change.state == XCB_PROPERTY_NEW_VALUE;
                });
                if (!written) {
                    read.error = transfer.error;
                    return read;
                }
                const auto piece = transfer.take(maxBytes - bytes.size());
                if (!piece || keep(*piece) == 0)
                    break;
            }
        }
        read.text = target == Atom::String ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
        return read;
    }
    return read;
}
