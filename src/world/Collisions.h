// SPDX-License-Identifier: MIT
// The collision pass of a world step: every colliding pair among the objects
// of a list, both handlers called, from the top of the list down.
#ifndef KORVALEND_COLLISIONS_H
#define KORVALEND_COLLISIONS_H

class ObjectList;

// For i from the last object down, for j from i - 1 down: when
// CollisionBetween(i, j), i->HandleCollisionWith(j) then j->HandleCollisionWith(i).
// Objects added by a handler wait for the next pass. A uniform grid finds the
// pairs close enough to matter, so the cost grows with the objects, not their
// pairs; the handlers are called exactly as the plain loop calls them.
void HandleCollisions(ObjectList& list);

// The plain loop over every pair: the measure the grid is checked against.
void HandleCollisionsAllPairs(ObjectList& list);

#endif
