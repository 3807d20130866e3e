// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class PowerRequest;

/**
 * Makes the request that mode names, compared exactly: "1" power off, "2" restart, "3" log off.
 * Any other mode, or a system that request cannot reach, requests nothing. UI thread only.
 */
void ExitWindowsByMode(PowerRequest &request, const QString &mode, bool force);
