// SPDX-License-Identifier: MIT
#pragma once

#include <utility>

/**
 * Opens a freshly made Form modally, names it in ref while it is open, and afterwards deletes
 * it and hands ref back to the instance it named before, so no reference outlives its dialog.
 * Answers exec()'s result. UI thread only.
 */
template <class Form, class... Args>
int execFresh(Form *&ref, Args &&...args)
{
    struct Restore
    {
        Form *&ref;
        Form *previous;
        ~Restore() { ref = previous; }
    } restore{ref, ref};
    Form dialog(std::forward<Args>(args)...);
    ref = &dialog;
    return dialog.exec();
}
