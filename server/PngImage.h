// A small RGB raster with a few drawing operations and a PNG encoder (zlib), for the pictures
// the server serves: avatars, the news picture and picture attachments, up to a photo of a few
// megabytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oa {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

class PngImage {
public:
    PngImage(int width, int height, Rgb background);

    int width() const { return width_; }
    int height() const { return height_; }

    // Shapes are clipped to the raster.
    void fillRect(int x, int y, int w, int h, Rgb colour);
    void fillEllipse(int cx, int cy, int rx, int ry, Rgb colour);
    // A vertical gradient from `top` to `bottom` over the whole raster.
    void verticalGradient(Rgb top, Rgb bottom);
    void line(int x0, int y0, int x1, int y1, Rgb colour);
    // Adds to every channel of every pixel a value from -amplitude to amplitude, the same for the
    // same seed: the grain of a photo, which also keeps the PNG from compressing much.
    void addGrain(int amplitude, std::uint32_t seed);

    // The PNG file: 8-bit RGB, no interlace.
    std::string encode() const;

    // A round head-and-shoulders figure on a coloured disc; `seed` picks the colours.
    static PngImage avatar(int size, int seed, bool female);
    // The picture of the news article about the staff meeting: sky, sun, office buildings.
    static PngImage cityscape(int width, int height);
    // A bar chart with the given bar heights (0 to 100).
    static PngImage barChart(int width, int height, const std::vector<int>& bars);
    // Boxes joined by lines, a small organisation chart.
    static PngImage orgChart(int width, int height);
    // A group photo outdoors: sky, hills, a row of people, with grain. About 4 MB as PNG at
    // 1600 x 1200.
    static PngImage photo(int width, int height, std::uint32_t seed);
    // A tall poster: a title band and a column of steps joined by arrows, top to bottom.
    static PngImage poster(int width, int height, int steps);

private:
    void set(int x, int y, Rgb colour);

    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;  // RGB, row by row
};

}  // namespace oa
