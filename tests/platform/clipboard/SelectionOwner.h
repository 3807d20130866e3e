// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <atomic>
#include <thread>

/**
 * Another program owning the CLIPBOARD of an X display, on a thread and a connection of its own:
 * it hands its text over in one piece when it fits in a piece, else incrementally (INCR), piece
 * by piece as the reader takes them. Counts the pieces it wrote.
 */
class SelectionOwner
{
public:
    /** NoAnswer: a program hung while it owns the clipboard. */
    enum class Offers { Utf8AndString, StringOnly, Nothing, NoAnswer };

    SelectionOwner(const QByteArray &display, QByteArray text, qsizetype pieceBytes, Offers offers);
    ~SelectionOwner();

    /** Whether it owns the selection; the rest is off when not. */
    bool owns() const { return m_owns; }
    int piecesWritten() const { return m_pieces; }

private:
    void serve();

    struct xcb_connection_t *m_connection;
    QByteArray m_text;
    qsizetype m_pieceBytes;
    Offers m_offers;
    bool m_owns = false;
    std::atomic<int> m_pieces = 0;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};
