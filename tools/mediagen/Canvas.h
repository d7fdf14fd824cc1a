#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/RefCounted.h"
#include "engine/render/Image.h"
#include "tools/mediagen/Paint.h"

namespace mediagen {

// A picture being painted: premultiplied colours in floating point, y up
// (row 0 is the bottom row, as the engine keeps images). Starts transparent.
class Canvas {
public:
    Canvas(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // The premultiplied colour of a pixel.
    const Color& At(int x, int y) const { return pixels_[Index(x, y)]; }
    // Sets a pixel to a straight (not premultiplied) colour.
    void Set(int x, int y, const Color& colour);
    // Paints a straight colour over the pixel with coverage `amount` (0..1);
    // the colour's own alpha counts too. Pixels outside are ignored.
    void Blend(int x, int y, const Color& colour, float amount);
    // Adds light: colour × amount is added to red, green and blue.
    void AddLight(int x, int y, const Color& colour, float amount);
    // Multiplies red, green and blue by `factor`.
    void Darken(int x, int y, float factor);

    // Paints `layer` over this canvas with its bottom-left corner at (x, y).
    void Composite(const Canvas& layer, int x, int y);
    // A copy mirrored left to right and/or top to bottom.
    Canvas Mirrored(bool horizontally, bool vertically) const;

    // The picture as an engine image, RGB8 (alpha dropped, for opaque
    // pictures) or RGBA8 (straight alpha). Colours are dithered by less than
    // a step so that dark gradients do not band. Fully transparent pixels
    // take `matte`, so that filtering near their edges blends toward it.
    zav::Ref<zav::Image> ToImage(int32_t format, const Color& matte = Color{}) const;

private:
    size_t Index(int x, int y) const { return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x); }

    int width_;
    int height_;
    std::vector<Color> pixels_;
};

}  // namespace mediagen
