#pragma once

namespace zeb::heading {

// Degrees on the compass. Both functions are plain arithmetic (no loop), so any finite value,
// however large, takes the same time; callers keep non-finite values away.
namespace angles {

// The angle brought into [0, 360).
double normalise(double degrees);

// The signed turn of at most 180 degrees in magnitude that takes `from` to `to`, both in [0, 360):
// positive counter to the card's numbering, i.e. toward larger headings.
double shortestDifference(double from, double to);

} // namespace angles

} // namespace zeb::heading
