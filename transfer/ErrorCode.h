// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

/** What a misuse of the download component is reported as; the values are part of its interface. */
enum ErrorCode : std::uint8_t {
    ecBusy = 1,
    ecNoDownload = 2,
    ecNotSpecified = 3,
};

/** The fixed message of a code, as the owner's OnError handler receives it. */
QString errorMessage(ErrorCode code);
