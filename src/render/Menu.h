// SPDX-License-Identifier: MIT
// A page of choices drawn over a dimmed frame in the HUD's font: a row of
// page names, rows of a label and one value or several places, and a line
// of help. Laid out in the virtual 1600 x 1200 screen, so that it reads the
// same at every mode. Plain data in; what lies under the pointer out.
#ifndef KORVALEND_MENU_H
#define KORVALEND_MENU_H

#include <string>
#include <vector>

struct MenuRow {
    std::string label;
    // One value, or a column per place (the controls' keys and buttons).
    std::vector<std::string> values;
};

struct MenuPicture {
    std::string title;
    std::vector<std::string> pages;
    int page = 0;
    std::vector<MenuRow> rows;
    // Names over the columns of the rows with several places ("" for none).
    std::vector<std::string> columns;
    int row = -1;     // the chosen row; -1 is the row of page names
    int column = 0;   // the chosen place of a row with several
    bool waiting = false;  // the chosen place waits for a key: drawn so
    std::string help;
};

// The frame drawn so far, dimmed, and the page over it.
void DrawMenu(const MenuPicture& picture);

// What lies at a point of the window (pixels from its upper left, of a
// window width x height): a page name (row -1, column its number), a row
// (and the column of its place), or nothing (false).
bool MenuHit(const MenuPicture& picture, int x, int y, int width, int height, int* row, int* column);

#endif
