// SPDX-License-Identifier: MIT
#include "render/Menu.h"

#include <GL/gl.h>

#include <algorithm>

#include "render/ImageServer.h"
#include "render/TextWriter.h"

namespace {
// In the virtual screen: the panel, the title, the page names, the rows
// (from the first baseline down) and the help line.
const int PANEL_LEFT = 140, PANEL_RIGHT = 1460, PANEL_BOTTOM = 50, PANEL_TOP = 1150;
const int TITLE_BASELINE = 1076;
const int PAGES_BASELINE = 992, PAGES_HEIGHT = 60;
const int FIRST_BASELINE = 880;
const int COLUMNS_BASELINE = 928;
const int ROWS_HEIGHT = 740;  // the rows share this much
const int MOST_SPACING = 66;
const int HELP_BASELINE = 90;
const int LABEL_LEFT = 200, VALUE_LEFT = 860, VALUE_WIDTH = 560;
const int PLACES_LEFT = 600, PLACE_WIDTH = 205;  // a row of four places ends at 1420
// The text's scale: the font's glyphs are small for a whole screen.
const float TITLE_SCALE = 2.4f, TEXT_SCALE = 1.6f, SMALL_SCALE = 1.25f;

struct Tint {
    float r, g, b, a;
    void Use() const { glColor4f(r, g, b, a); }
};
const Tint DIM = {0.0f, 0.0f, 0.0f, 0.55f};
const Tint PANEL = {0.02f, 0.04f, 0.14f, 0.8f};
const Tint EDGE = {0.55f, 0.8f, 1.0f, 0.9f};
const Tint BAR = {0.3f, 0.55f, 1.0f, 0.35f};
const Tint PLACE = {1.0f, 0.75f, 0.2f, 0.45f};
const Tint WAITING = {1.0f, 0.35f, 0.15f, 0.7f};
const Tint TEXT = {1.0f, 1.0f, 1.0f, 0.9f};
const Tint FAINT = {0.7f, 0.8f, 1.0f, 0.7f};
const Tint CHOSEN = {1.0f, 0.85f, 0.3f, 1.0f};

int Spacing(const MenuPicture& p) {
    return std::min(MOST_SPACING, ROWS_HEIGHT / std::max<int>(1, int(p.rows.size())));
}
float RowScale(const MenuPicture& p) { return Spacing(p) >= 56 ? TEXT_SCALE : SMALL_SCALE; }
int Baseline(const MenuPicture& p, int row) { return FIRST_BASELINE - row * Spacing(p); }
int PageCentre(const MenuPicture& p, int page) {
    const int width = (PANEL_RIGHT - PANEL_LEFT) / std::max<int>(1, int(p.pages.size()));
    return PANEL_LEFT + width * page + width / 2;
}
int PlaceLeft(const MenuRow& r, int column) {
    return r.values.size() > 1 ? PLACES_LEFT + PLACE_WIDTH * column : VALUE_LEFT;
}
int PlaceWidth(const MenuRow& r) { return r.values.size() > 1 ? PLACE_WIDTH - 10 : VALUE_WIDTH; }

void Box(const Tint& tint, int x0, int y0, int x1, int y1) {
    glDisable(GL_TEXTURE_2D);
    tint.Use();
    glRecti(x0, y0, x1, y1);
    glEnable(GL_TEXTURE_2D);
}

void Frame(const Tint& tint, int x0, int y0, int x1, int y1) {
    glDisable(GL_TEXTURE_2D);
    tint.Use();
    glBegin(GL_LINE_LOOP);
    glVertex2i(x0, y0);
    glVertex2i(x1, y0);
    glVertex2i(x1, y1);
    glVertex2i(x0, y1);
    glEnd();
    glEnable(GL_TEXTURE_2D);
}

// Text at scale, narrowed to fit within width when it would not.
void Text(const std::string& text, int x, int baseline, float scale, int width = 100000) {
    const TextWriter* writer = TextWriter::GetInstance();
    const int w = writer->Width(text);
    if (w > 0 && w * scale > float(width)) scale = float(width) / float(w);
    glPushMatrix();
    glTranslatef(float(x), float(baseline), 0.0f);
    glScalef(scale, scale, 1.0f);
    writer->Draw(text, 0, 0);
    glPopMatrix();
}

void Centred(const std::string& text, int centre, int baseline, float scale) {
    Text(text, centre - int(float(TextWriter::GetInstance()->Width(text)) * scale / 2), baseline, scale);
}
}  // namespace

void DrawMenu(const MenuPicture& p) {
    ImageServer* images = ImageServer::GetInstance();
    images->BeginImages();
    Box(DIM, 0, 0, 1600, 1200);
    Box(PANEL, PANEL_LEFT, PANEL_BOTTOM, PANEL_RIGHT, PANEL_TOP);
    Frame(EDGE, PANEL_LEFT, PANEL_BOTTOM, PANEL_RIGHT, PANEL_TOP);

    TEXT.Use();
    Centred(p.title, 800, TITLE_BASELINE, TITLE_SCALE);

    const int pageWidth = (PANEL_RIGHT - PANEL_LEFT) / std::max<int>(1, int(p.pages.size()));
    if (p.row < 0) {
        const int c = PageCentre(p, p.page);
        Box(BAR, c - pageWidth / 2 + 10, PAGES_BASELINE - 16, c + pageWidth / 2 - 10, PAGES_BASELINE - 16 + PAGES_HEIGHT);
    }
    for (size_t i = 0; i < p.pages.size(); ++i) {
        (int(i) == p.page ? CHOSEN : FAINT).Use();
        Centred(p.pages[i], PageCentre(p, int(i)), PAGES_BASELINE, TEXT_SCALE);
    }
    const int c = PageCentre(p, p.page);
    Box(CHOSEN, c - pageWidth / 2 + 30, PAGES_BASELINE - 22, c + pageWidth / 2 - 30, PAGES_BASELINE - 18);

    FAINT.Use();
    for (size_t k = 0; k < p.columns.size(); ++k)
        Text(p.columns[k], PLACES_LEFT + PLACE_WIDTH * int(k), COLUMNS_BASELINE, SMALL_SCALE, PLACE_WIDTH - 10);

    const int spacing = Spacing(p);
    const float scale = RowScale(p);
    for (size_t i = 0; i < p.rows.size(); ++i) {
        const MenuRow& r = p.rows[i];
        const int baseline = Baseline(p, int(i));
        const int foot = baseline - spacing / 4;
        const bool chosen = int(i) == p.row;
        if (chosen) Box(BAR, PANEL_LEFT + 30, foot, PANEL_RIGHT - 30, foot + spacing - 4);
        (chosen ? CHOSEN : TEXT).Use();
        Text(r.label, LABEL_LEFT, baseline, scale, (r.values.size() > 1 ? PLACES_LEFT : VALUE_LEFT) - LABEL_LEFT - 20);
        for (size_t k = 0; k < r.values.size(); ++k) {
            const int left = PlaceLeft(r, int(k));
            if (chosen && r.values.size() > 1 && int(k) == p.column)
                Box(p.waiting ? WAITING : PLACE, left - 6, foot + 2, left + PlaceWidth(r) + 4, foot + spacing - 6);
            (r.values.size() > 1 && r.values[k] == "-" ? FAINT : TEXT).Use();
            Text(r.values[k], left, baseline, scale, PlaceWidth(r));
        }
    }
    (p.waiting ? CHOSEN : FAINT).Use();
    Centred(p.help, 800, HELP_BASELINE, SMALL_SCALE);
    images->EndImages();
}

bool MenuHit(const MenuPicture& p, int x, int y, int width, int height, int* row, int* column) {
    if (width <= 0 || height <= 0) return false;
    // The virtual screen counts from the lower left.
    const double vx = double(x) * 1600.0 / width, vy = 1200.0 - double(y) * 1200.0 / height;
    if (vx < PANEL_LEFT || vx >= PANEL_RIGHT) return false;
    if (vy >= PAGES_BASELINE - 16 && vy < PAGES_BASELINE - 16 + PAGES_HEIGHT && !p.pages.empty()) {
        *row = -1;
        *column = std::clamp(int((vx - PANEL_LEFT) * double(p.pages.size()) / (PANEL_RIGHT - PANEL_LEFT)), 0,
                             int(p.pages.size()) - 1);
        return true;
    }
    const int spacing = Spacing(p);
    for (size_t i = 0; i < p.rows.size(); ++i) {
        const int foot = Baseline(p, int(i)) - spacing / 4;
        if (vy < foot || vy >= foot + spacing) continue;
        *row = int(i);
        *column = 0;
        const MenuRow& r = p.rows[i];
        for (size_t k = 1; k < r.values.size(); ++k)
            if (vx >= PlaceLeft(r, int(k)) - 6) *column = int(k);
        return true;
    }
    return false;
}
