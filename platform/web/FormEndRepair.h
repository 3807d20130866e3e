// SPDX-License-Identifier: MIT
#pragma once

#include <gumbo.h>

#include <QByteArray>

class GumboArena;

/**
 * Mends a fault of gumbo 0.10.1: its </form> takes the form off the stack of open elements
 * without first placing the text it has gathered, so that text (the line break before </form>
 * on most pages) lands after the form, merged with what follows, where a browser keeps it as
 * the form's last child. gumbo's text node still spans its source across the end tag, which
 * says where to cut it.
 * Thread contract: the thread that parsed the tree, before anyone else reads it.
 */
class FormEndRepair final
{
public:
    /** Moves the text before the form's end tag back into the form. */
    static void apply(GumboNode &form, const QByteArray &source, GumboArena &arena);

private:
    static QByteArray decodedText(QByteArrayView sourceText);
};
