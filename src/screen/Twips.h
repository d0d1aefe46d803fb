#pragma once

namespace palletry {

/// Screen measures are kept in twips; the screen is laid out at 15 twips per pixel.
constexpr int TwipsPerPixel = 15;

/// Pixels for a measure in twips, rounded to the nearest pixel.
constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + TwipsPerPixel / 2) / TwipsPerPixel
                      : -((-twips + TwipsPerPixel / 2) / TwipsPerPixel);
}

} // namespace palletry
