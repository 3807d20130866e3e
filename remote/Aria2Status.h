// SPDX-License-Identifier: MIT
#pragma once

#include "queue/DownloadEntry.h"
#include "remote/JsonText.h"

#include <QString>
#include <QStringList>

// How an entry looks to an aria2 client: its status object, files and URIs, written as JSON
// text. Pure functions; any thread.

/** Where an entry was found, which with its state says its aria2 status. */
enum class EntryPlace {
    /** In the queue: waiting, walked, paused, or failed for now at its end. */
    Queue,
    /** Out of the queue while its file is fetched. */
    Transfer,
    /** A record of how it ended. */
    History,
};

/** What the status of an entry needs beyond the entry. */
struct StatusFacts
{
    /** Where its file goes unless its options name another folder. */
    QString saveFolder;
    /** Bytes a second of the running transfer; only the transfer's entry has one. */
    qint64 downloadSpeed = 0;
};

/**
 * "waiting", "active", "paused", "error", "complete" or "removed": a queued or walked entry
 * waits, only a fetched one is active, and a failure is an error wherever it is kept.
 */
QString aria2StatusName(const DownloadEntry &entry, EntryPlace place);

/** aria2's error code and English message for the failure of entry; code 0 when it has none. */
std::pair<int, QString> aria2Error(const DownloadEntry &entry);

/**
 * Writes aria2's status object of entry, with "quorvelPhase" ("queued" or "page") for a waiting
 * one. keys, when not empty, names the fields to keep, as tellStatus's filter does.
 */
void writeAria2Status(JsonText &json, const DownloadEntry &entry, EntryPlace place, const StatusFacts &facts,
                      const QStringList &keys = {});

/** Writes the one file of entry, as getFiles answers it. */
void writeAria2Files(JsonText &json, const DownloadEntry &entry, EntryPlace place, const StatusFacts &facts);
/** Writes the entry's URL, as getUris answers it. */
void writeAria2Uris(JsonText &json, const DownloadEntry &entry, EntryPlace place);
/** The folder the entry's file goes to. */
QString aria2Dir(const DownloadEntry &entry, const StatusFacts &facts);
