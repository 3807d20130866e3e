// SPDX-License-Identifier: MIT
#include "platform/instance/LinksAdaptor.h"

LinksAdaptor::LinksAdaptor(Receiver receiver, QObject *parent)
    : QObject(parent)
    , m_receiver(std::move(receiver))
{
}

int LinksAdaptor::AddLinks(const QStringList &urlsOrListFiles)
{
    return m_receiver(urlsOrListFiles);
}
