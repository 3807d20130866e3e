// SPDX-License-Identifier: MIT
#include "platform/download/StreamDigest.h"

#include <openssl/evp.h>

namespace {

const EVP_MD *evpOf(QCryptographicHash::Algorithm algorithm)
{
    switch (algorithm) {
    case QCryptographicHash::Sha1:
        return EVP_sha1();
    case QCryptographicHash::Md5:
        return EVP_md5();
    default:
        return EVP_sha256();
    }
}

} // namespace

StreamDigest::StreamDigest(QCryptographicHash::Algorithm algorithm)
    : m_algorithm(evpOf(algorithm))
    , m_context(EVP_MD_CTX_new())
{
    EVP_DigestInit_ex(m_context, m_algorithm, nullptr);
    m_thread = std::thread([this] { work(); });
}

StreamDigest::~StreamDigest()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
    EVP_MD_CTX_free(m_context);
}

void StreamDigest::add(QByteArray bytes)
{
    if (bytes.isEmpty())
        return;
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_pendingBytes < maxPending; });
    m_pendingBytes += bytes.size();
    m_blocks.push_back(std::move(bytes));
    lock.unlock();
    m_changed.notify_all();
}

void StreamDigest::reset()
{
    std::unique_lock lock(m_mutex);
    for (const QByteArray &block : m_blocks)
        m_pendingBytes -= block.size();
    m_blocks.clear();
    waitForQueue(lock);
    EVP_DigestInit_ex(m_context, m_algorithm, nullptr);
}

QByteArray StreamDigest::result()
{
    std::unique_lock lock(m_mutex);
    waitForQueue(lock);
    // Finished on a copy: more bytes may follow, as with QCryptographicHash::result().
    EVP_MD_CTX *copy = EVP_MD_CTX_new();
    QByteArray digest(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned int size = 0;
    EVP_MD_CTX_copy_ex(copy, m_context);
    EVP_DigestFinal_ex(copy, reinterpret_cast<unsigned char *>(digest.data()), &size);
    EVP_MD_CTX_free(copy);
    digest.resize(qsizetype(size));
    return digest;
}

void StreamDigest::waitForQueue(std::unique_lock<std::mutex> &lock)
{
    m_changed.wait(lock, [this] { return m_blocks.empty() && !m_hashing; });
}

void StreamDigest::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_blocks.empty(); });
        if (m_stopping)
            return;
        const QByteArray block = std::move(m_blocks.front());
        m_blocks.pop_front();
        m_hashing = true;
        lock.unlock();
        EVP_DigestUpdate(m_context, block.constData(), std::size_t(block.size()));
        lock.lock();
        m_hashing = false;
        m_pendingBytes -= block.size();
        m_changed.notify_all();
    }
}
