// SPDX-License-Identifier: MIT
// Drawing flat on the screen: every GL attribute saved, an orthographic
// projection width x height units from the lower left corner and a plain
// model view; Flat2DEnd puts all of it back as it was.
#ifndef KORVALEND_FLAT2D_H
#define KORVALEND_FLAT2D_H

void Flat2DBegin(double width, double height);
void Flat2DEnd();

// The same for one scope.
class Flat2D {
public:
    Flat2D(double width, double height) { Flat2DBegin(width, height); }
    ~Flat2D() { Flat2DEnd(); }
    Flat2D(const Flat2D&) = delete;
    Flat2D& operator=(const Flat2D&) = delete;
};

#endif
