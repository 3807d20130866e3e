// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/**
 * Whether given is secret, in a time that tells nothing of where they differ or how long the
 * secret is: both are hashed, and every byte of the hashes is compared. An empty secret matches
 * nothing. Pure; any thread.
 */
bool secretMatches(const QString &given, const QString &secret);
