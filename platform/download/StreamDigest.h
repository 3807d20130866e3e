// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCryptographicHash>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct evp_md_ctx_st;
struct evp_md_st;

/**
 * The digest of a file's bytes while they arrive, taken on a thread of its own by OpenSSL, whose
 * SHA code uses the processor's SHA instructions: Qt's own SHA-256 runs at a fraction of
 * loopback speed, and on the transfer's thread it would set the transfer's pace. At most
 * maxPending bytes wait for the digest; add() waits beyond that, so memory stays bounded when
 * the disk and the network outrun it.
 *
 * Thread contract: add(), reset() and result() from one thread at a time (the transfer's
 * worker); the digest's own thread is started and joined by this object.
 */
class StreamDigest final
{
public:
    static constexpr qsizetype maxPending = qsizetype(8) << 20;

    explicit StreamDigest(QCryptographicHash::Algorithm algorithm);
    ~StreamDigest();
    StreamDigest(const StreamDigest &) = delete;
    StreamDigest &operator=(const StreamDigest &) = delete;

    /** Hashes bytes after those added before. */
    void add(QByteArray bytes);
    /** Forgets every byte added so far. */
    void reset();
    /** The digest of the bytes added so far, once they are hashed. */
    QByteArray result();

private:
    void work();
    /** Waits, holding lock, until the digest's thread has hashed every block it was given. */
    void waitForQueue(std::unique_lock<std::mutex> &lock);

    const evp_md_st *m_algorithm;
    evp_md_ctx_st *m_context;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    // Guarded by m_mutex; m_context is the digest thread's while m_hashing is set.
    std::deque<QByteArray> m_blocks;
    qsizetype m_pendingBytes = 0;
    bool m_hashing = false;
    bool m_stopping = false;
    std::thread m_thread;
};
