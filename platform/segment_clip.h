#pragma once

namespace orv {

// Cuts the segment (x1, y1)-(x2, y2) to the rectangle [loX, hiX] x [loY, hiY]
// (Liang-Barsky). False when nothing of it lies inside. Rasterisers work
// in fixed point or misdraw long before their coordinates' limit, so
// points far outside a picture must never reach them.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double loX, double loY, double hiX,
                 double hiY);

}  // namespace orv
