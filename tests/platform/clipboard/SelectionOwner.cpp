// SPDX-License-Identifier: MIT
#include "SelectionOwner.h"

#include <cstdlib>
#include <memory>

#include <poll.h>
#include <xcb/xcb.h>

namespace {

xcb_atom_t atomNamed(xcb_connection_t *connection, const char *name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : XCB_NONE;
}

void notify(xcb_connection_t *connection, const xcb_selection_request_event_t &request, xcb_atom_t property)
{
    xcb_selection_notify_event_t answer{};
    answer.response_type = XCB_SELECTION_NOTIFY;
    answer.time = request.time;
    answer.requestor = request.requestor;
    answer.selection = request.selection;
    answer.target = request.target;
    answer.property = property;
    xcb_send_event(connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&answer));
}

} // namespace

SelectionOwner::SelectionOwner(const QByteArray &display, QByteArray text, qsizetype pieceBytes, Offers offers)
    : m_connection(xcb_connect(display.constData(), nullptr))
    , m_text(std::move(text))
    , m_pieceBytes(pieceBytes)
    , m_offers(offers)
{
    if (xcb_connection_has_error(m_connection))
        return;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    const xcb_window_t window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
    const xcb_atom_t clipboard = atomNamed(m_connection, "CLIPBOARD");
    xcb_set_selection_owner(m_connection, window, clipboard, XCB_CURRENT_TIME);
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, clipboard), nullptr),
        &std::free);
    m_owns = owner && owner->owner == window;
    if (m_owns)
        m_thread = std::thread([this] { serve(); });
}

SelectionOwner::~SelectionOwner()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    xcb_disconnect(m_connection);
}

void SelectionOwner::serve()
{
    const xcb_atom_t utf8 = atomNamed(m_connection, "UTF8_STRING");
    const xcb_atom_t string = atomNamed(m_connection, "STRING");
    const xcb_atom_t incr = atomNamed(m_connection, "INCR");
    // The one incremental transfer under way: where to, as what, and how far.
    xcb_window_t requestor = XCB_NONE;
    xcb_atom_t property = XCB_NONE;
    xcb_atom_t type = XCB_NONE;
    qsizetype sent = 0;
    bool ended = false;
    while (!m_stop) {
        pollfd wake{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        ::poll(&wake, 1, 20);
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const int kind = event->response_type & ~0x80;
            if (kind == XCB_SELECTION_REQUEST) {
                const auto &request = *reinterpret_cast<xcb_selection_request_event_t *>(event);
                if (m_offers == Offers::NoAnswer) {
                    std::free(event);
                    continue;
                }
                const bool offered = m_offers != Offers::Nothing
                    && (request.target == string || (request.target == utf8 && m_offers == Offers::Utf8AndString));
                if (!offered) {
                    notify(m_connection, request, XCB_NONE);
                } else if (m_text.size() <= m_pieceBytes) {
                    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                                        request.target, 8, uint32_t(m_text.size()), m_text.constData());
                    ++m_pieces;
                    notify(m_connection, request, request.property);
                } else {
                    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
                    xcb_change_window_attributes(m_connection, request.requestor, XCB_CW_EVENT_MASK, &events);
                    const auto size = uint32_t(m_text.size());
                    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request.requestor, request.property, incr,
                                        32, 1, &size);
                    notify(m_connection, request, request.property);
                    requestor = request.requestor;
                    property = request.property;
                    type = request.target;
                    sent = 0;
                    ended = false;
                }
            } else if (kind == XCB_PROPERTY_NOTIFY) {
                const auto &change = *reinterpret_cast<xcb_property_notify_event_t *>(event);
                if (change.window == requestor && change.atom == property && change.state == XCB_PROPERTY_DELETE
                    && !ended) {
                    const qsizetype length = std::min(m_pieceBytes, m_text.size() - sent);
                    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, requestor, property, type, 8,
                                        uint32_t(length), m_text.constData() + sent);
                    sent += length;
                    ended = length == 0;
                    if (length > 0)
                        ++m_pieces;
                }
            }
            std::free(event);
        }
        xcb_flush(m_connection);
    }
}
