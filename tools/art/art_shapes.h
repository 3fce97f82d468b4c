// Shapes shared between the sprite strips and the cell pictures.
#pragma once
#include <optional>

#include "art.h"

namespace ralvo::art {

// Colour of the warp portal at box pixel (bx, by), nothing outside it.
std::optional<Rgb> PortalAt(const Sources& src, double bx, double by);
// The same, with the portal's dark colour outside it.
Rgb Portal(const Sources& src, double bx, double by);
// Colour of the vehicle at (u forward, v right) in sprite pixels, or nothing.
std::optional<Rgb> VehiclePixel(const Params& p, double u, double v);

}  // namespace ralvo::art
