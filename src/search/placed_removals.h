// The removals of the step that takes every piece placed so far out of the candidate lists.
#pragma once

// Removes the pieces on the first `n` squares of the fill order, each by its square's kind:
// interior pieces from interiorByLeftTop (and, up to fill position 110, from interiorByTop and
// interiorByLeft), edge pieces from edgeByLeftTop; corner pieces and empty squares are passed
// over.
void removePlacedPieces(int n);
