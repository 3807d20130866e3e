// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/**
 * An attribute value as the page text holds it, with the references the serializer writes
 * ("&amp;", "&quot;", "&lt;", "&gt;", "&nbsp;") turned back into their characters: a file URL with
 * a query would otherwise be fetched with "&amp;" in it. Pure; any thread.
 */
QString attributeText(QString value);
