// SPDX-License-Identifier: MIT
#include "render/ScoreTable.h"

#include <GL/gl.h>

#include <string>

#include "profile/HighScores.h"
#include "render/ImageServer.h"
#include "render/TextWriter.h"

namespace {
// In the virtual 1600 x 1200 screen. The picture's words stand above y 510;
// the panel holds a header, ten entries and the cheated game's line.
const int PANEL_LEFT = 260, PANEL_RIGHT = 1340, PANEL_BOTTOM = 16, PANEL_TOP = 490;
const int HEADER_BASELINE = 456;
const int LINE_SPACING = 38;
// Columns: rank, score and wave end at their x; date and name start at theirs.
const int RANK_RIGHT = 430, SCORE_RIGHT = 680, WAVE_RIGHT = 840, DATE_LEFT = 900, NAME_LEFT = 1130;
const int NAME_WIDTH = PANEL_RIGHT - 20 - NAME_LEFT;

struct Tint {
    float r, g, b, a;
    void Use() const { glColor4f(r, g, b, a); }
};
const Tint HEADER = {0.7f, 0.82f, 1.0f, 0.7f};
const Tint ENTRY = {1.0f, 1.0f, 1.0f, 0.75f};  // as the HUD's captions
const Tint NEW_ENTRY = {1.0f, 0.85f, 0.3f, 1.0f};
const Tint NEW_ENTRY_BAR = {1.0f, 0.6f, 0.1f, 0.25f};
const Tint CHEATER = {1.0f, 0.35f, 0.25f, 1.0f};  // as the cheat notice
const Tint PANEL = {0.0f, 0.0f, 0.0f, 0.65f};

void Rectangle(const Tint& tint, int x0, int y0, int x1, int y1) {
    glDisable(GL_TEXTURE_2D);
    tint.Use();
    glRecti(x0, y0, x1, y1);
    glEnable(GL_TEXTURE_2D);
}

void Right(const TextWriter& writer, const std::string& text, int right, int baseline) {
    writer.Draw(text, right - writer.Width(text), baseline);
}

void Line(const TextWriter& writer, const Tint& tint, const std::string& rank, const HighScore& entry,
          int baseline) {
    tint.Use();
    Right(writer, rank, RANK_RIGHT, baseline);
    Right(writer, std::to_string(entry.score), SCORE_RIGHT, baseline);
    Right(writer, std::to_string(entry.wave), WAVE_RIGHT, baseline);
    writer.Draw(entry.date, DATE_LEFT, baseline);
    // A long name is cut to its column.
    std::string name = entry.name;
    while (!name.empty() && writer.Width(name) > NAME_WIDTH) name.pop_back();
    writer.Draw(name, NAME_LEFT, baseline);
}
}  // namespace

void DrawScoreTable(const ScoreBoard& board) {
    const TextWriter* writer = TextWriter::GetInstance();
    if (!writer->Ok()) return;
    ImageServer* images = ImageServer::GetInstance();
    images->BeginImages();
    Rectangle(PANEL, PANEL_LEFT, PANEL_BOTTOM, PANEL_RIGHT, PANEL_TOP);

    HEADER.Use();
    Right(*writer, "SCORE", SCORE_RIGHT, HEADER_BASELINE);
    Right(*writer, "WAVE", WAVE_RIGHT, HEADER_BASELINE);
    writer->Draw("DATE", DATE_LEFT, HEADER_BASELINE);
    writer->Draw("NAME", NAME_LEFT, HEADER_BASELINE);

    int baseline = HEADER_BASELINE;
    for (size_t i = 0; i < board.table.size(); ++i) {
        baseline -= LINE_SPACING;
        const bool isNew = int(i) == board.newPlace;
        if (isNew)
            Rectangle(NEW_ENTRY_BAR, PANEL_LEFT + 10, baseline - 10, PANEL_RIGHT - 10, baseline + LINE_SPACING - 10);
        Line(*writer, isNew ? NEW_ENTRY : ENTRY, std::to_string(i + 1) + ".", board.table[i], baseline);
    }
    // Below the tenth place, whatever the table holds.
    if (board.cheated) Line(*writer, CHEATER, "CHEATER", board.game, HEADER_BASELINE - 11 * LINE_SPACING);
    images->EndImages();
}
