// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>

/**
 * The Encoding Standard's table of labels: what a browser makes of a charset name. Labels it
 * does not list name no encoding at all, so a page labelled "utf-32" or "IBM037" is read as an
 * unlabelled one rather than through a decoder no browser has.
 * Thread contract: pure; any thread.
 */
namespace EncodingLabels {

/** The encoding's name ("windows-1252", "UTF-16LE", "replacement"), or empty for an unknown label. */
QByteArray encodingFor(QByteArrayView label);

} // namespace EncodingLabels
