// SPDX-License-Identifier: MIT
#pragma once

class TForm2;
class TForm3;
class TForm4;

/**
 * Which instance of each dialog is addressed: the open one while a dialog is open, otherwise
 * the long-lived hidden one made at start-up. Owned by the main window; UI thread only.
 */
struct FormRefs
{
    TForm2 *Form2 = nullptr;
    TForm3 *Form3 = nullptr;
    TForm4 *Form4 = nullptr;
};
