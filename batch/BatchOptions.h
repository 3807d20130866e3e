// SPDX-License-Identifier: MIT
#pragma once

#include "platform/rpc/RpcServerSettings.h"
#include "queue/DownloadEntry.h"
#include "settings/ProxySetting.h"

#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <optional>
#include <variant>

/** What quorvel-batch was asked to do. */
struct BatchOptions
{
    /** The queue, in order: URL arguments and the entries of list files. */
    QList<DownloadEntry> entries;
    /** Where the unfinished and failed entries are kept while the run goes on; empty: nowhere. */
    QString saveSession;
    QString folder;     // the save folder; empty means the default download folder
    bool shutdown = false;
    /** How long an entry whose failure may pass is tried again; zero: never. */
    std::chrono::seconds retryFor = std::chrono::minutes(60);
    /** Run after each file arrives, with aria2's arguments after its own; empty: nothing. */
    QString onDownloadComplete;
    /** The remote-control server, with --enable-rpc; then the run waits for work when its queue is done. */
    std::optional<RpcServerSettings> rpc;
    /** --all-proxy and --no-proxy; without them, the environment's proxy. */
    ProxySetting proxy;
    /** Bytes per second for each transfer; 0 is full speed. */
    std::int64_t maxDownloadLimit = 0;

    /** Asked for --help or --version: the text to print, exit status 0. */
    struct Help
    {
        QString text;
    };
    /** Bad arguments or an unreadable list: one line for stderr, exit status 2. */
    struct Error
    {
        QString message;
    };
    using Parsed = std::variant<BatchOptions, Help, Error>;

    /**
     * arguments as main() gets them, program name first. An argument with "://" is a page URL;
     * any other is a queue list file read with the import's line rules. --checksum is the
     * checksum option of the URL arguments; a list's entries carry their own. The options file
     * and the secret's variable are looked up in environment.
     */
    static Parsed parse(const QStringList &arguments,
                        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
};
