// SPDX-License-Identifier: MIT
#pragma once

#include "power/PowerRequest.h"

#include <QString>

/**
 * Makes the request that mode names, compared exactly: "1" power off, "2" restart, "3" log off.
 * Any other mode, or a system that request cannot reach, requests nothing; answer hears what the
 * system said to a request, or that it could not be reached. UI thread only.
 */
void ExitWindowsByMode(PowerRequest &request, const QString &mode, bool force, const PowerRequest::Answer &answer = {});
