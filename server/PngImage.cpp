// Drawing and PNG encoding.
#include "server/PngImage.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>

namespace oa {

namespace {

void putU32(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>((value >> 24) & 0xFF));
    out.push_back(static_cast<char>((value >> 16) & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
    out.push_back(static_cast<char>(value & 0xFF));
}

void chunk(std::string& out, const char* type, const std::string& data) {
    putU32(out, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    const auto crc =
        crc32(0L, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
    putU32(out, static_cast<std::uint32_t>(crc));
}

Rgb mix(Rgb a, Rgb b, int num, int den) {
    auto channel = [&](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>((x * (den - num) + y * num) / den);
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

}  // namespace

PngImage::PngImage(int width, int height, Rgb background)
    : width_(std::max(1, width)),
      height_(std::max(1, height)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3) {
    fillRect(0, 0, width_, height_, background);
}

void PngImage::set(int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    const auto at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                     static_cast<std::size_t>(x)) *
                    3;
    pixels_[at] = colour.r;
    pixels_[at + 1] = colour.g;
    pixels_[at + 2] = colour.b;
}

void PngImage::fillRect(int x, int y, int w, int h, Rgb colour) {
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(width_, x + w), y1 = std::min(height_, y + h);
    for (int row = y0; row < y1; ++row) {
        for (int col = x0; col < x1; ++col) {
            set(col, row, colour);
        }
    }
}

void PngImage::fillEllipse(int cx, int cy, int rx, int ry, Rgb colour) {
    if (rx <= 0 || ry <= 0) {
        return;
    }
    const long long rx2 = static_cast<long long>(rx) * rx, ry2 = static_cast<long long>(ry) * ry;
    for (int dy = -ry; dy <= ry; ++dy) {
        for (int dx = -rx; dx <= rx; ++dx) {
            if (dx * dx * ry2 + dy * dy * rx2 <= rx2 * ry2) {
                set(cx + dx, cy + dy, colour);
            }
        }
    }
}

void PngImage::verticalGradient(Rgb top, Rgb bottom) {
    for (int row = 0; row < height_; ++row) {
        fillRect(0, row, width_, 1, mix(top, bottom, row, std::max(1, height_ - 1)));
    }
}

void PngImage::line(int x0, int y0, int x1, int y1, Rgb colour) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (true) {
        set(x0, y0, colour);
        if (x0 == x1 && y0 == y1) {
            break;
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void PngImage::addGrain(int amplitude, std::uint32_t seed) {
    if (amplitude <= 0) {
        return;
    }
    const auto span = static_cast<std::uint32_t>(2 * amplitude + 1);
    std::uint32_t x = seed | 1u;
    for (std::uint8_t& channel : pixels_) {
        // xorshift32: fast, and the same bytes on every machine.
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        const int shifted = channel + static_cast<int>(x % span) - amplitude;
        channel = static_cast<std::uint8_t>(std::clamp(shifted, 0, 255));
    }
}

std::string PngImage::encode() const {
    std::string raw;
    const auto rowBytes = static_cast<std::size_t>(width_) * 3;
    raw.reserve((rowBytes + 1) * static_cast<std::size_t>(height_));
    for (int row = 0; row < height_; ++row) {
        raw.push_back('\0');  // filter type: none
        raw.append(reinterpret_cast<const char*>(pixels_.data()) +
                       static_cast<std::size_t>(row) * rowBytes,
                   rowBytes);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
              reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
              Z_DEFAULT_COMPRESSION);
    packed.resize(packedSize);

    std::string header;
    putU32(header, static_cast<std::uint32_t>(width_));
    putU32(header, static_cast<std::uint32_t>(height_));
    header +=
        std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace

    std::string out("\x89PNG\r\n\x1a\n", 8);
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", {});
    return out;
}

PngImage PngImage::avatar(int size, int seed, bool female) {
    static const Rgb discs[] = {{94, 153, 214},  {230, 140, 90}, {110, 180, 120},
                                {180, 120, 200}, {220, 180, 70}, {90, 170, 180}};
    const Rgb disc = discs[static_cast<std::size_t>(std::abs(seed)) % std::size(discs)];
    PngImage image(size, size, {245, 245, 245});
    const int c = size / 2;
    image.fillEllipse(c, c, c - 1, c - 1, disc);
    const Rgb skin{250, 224, 196};
    const Rgb cloth = female ? Rgb{200, 70, 110} : Rgb{50, 70, 120};
    image.fillEllipse(c, size * 85 / 100, size * 30 / 100, size * 22 / 100, cloth);
    if (female) {
        image.fillEllipse(c, size * 40 / 100, size * 22 / 100, size * 24 / 100, {60, 40, 30});
    }
    image.fillEllipse(c, size * 40 / 100, size * 16 / 100, size * 18 / 100, skin);
    if (!female) {
        image.fillRect(c - size * 16 / 100, size * 22 / 100, size * 32 / 100, size * 7 / 100,
                       {40, 30, 25});
    }
    return image;
}

PngImage PngImage::cityscape(int width, int height) {
    PngImage image(width, height, {0, 0, 0});
    image.verticalGradient({120, 180, 235}, {220, 235, 250});
    image.fillEllipse(width * 80 / 100, height * 20 / 100, height / 10, height / 10,
                      {255, 210, 80});
    const int ground = height * 85 / 100;
    struct Tower {
        int x, w, h;
        Rgb colour;
    };
    const Tower towers[] = {{5, 14, 45, {90, 100, 120}},   {22, 12, 60, {70, 85, 110}},
                            {37, 16, 38, {110, 115, 130}}, {56, 10, 70, {60, 75, 100}},
                            {69, 15, 50, {95, 105, 125}},  {87, 11, 42, {80, 90, 115}}};
    for (const Tower& t : towers) {
        const int x = width * t.x / 100, w = width * t.w / 100, h = height * t.h / 100;
        image.fillRect(x, ground - h, w, h, t.colour);
        for (int wy = ground - h + 6; wy < ground - 6; wy += 10) {
            for (int wx = x + 3; wx < x + w - 4; wx += 8) {
                image.fillRect(wx, wy, 4, 5, {250, 240, 180});
            }
        }
    }
    image.fillRect(0, ground, width, height - ground, {90, 140, 80});
    return image;
}

PngImage PngImage::barChart(int width, int height, const std::vector<int>& bars) {
    PngImage image(width, height, {255, 255, 255});
    const int left = 30, bottom = height - 25, top = 15;
    image.line(left, top, left, bottom, {60, 60, 60});
    image.line(left, bottom, width - 10, bottom, {60, 60, 60});
    if (bars.empty()) {
        return image;
    }
    const int slot = (width - left - 20) / static_cast<int>(bars.size());
    static const Rgb colours[] = {{66, 133, 244}, {219, 68, 55}, {244, 180, 0}, {15, 157, 88}};
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const int h = (bottom - top) * std::clamp(bars[i], 0, 100) / 100;
        image.fillRect(left + 10 + static_cast<int>(i) * slot, bottom - h, slot * 6 / 10, h,
                       colours[i % std::size(colours)]);
    }
    return image;
}

PngImage PngImage::orgChart(int width, int height) {
    PngImage image(width, height, {250, 250, 250});
    const Rgb box{70, 130, 180}, wire{120, 120, 120};
    const int bw = width / 5, bh = height / 7;
    const int topX = width / 2 - bw / 2, topY = height / 8;
    image.fillRect(topX, topY, bw, bh, box);
    const int midY = height / 2, lowY = height * 3 / 4;
    image.line(width / 2, topY + bh, width / 2, midY - 10, wire);
    image.line(width / 8, midY - 10, width * 7 / 8, midY - 10, wire);
    for (int i = 0; i < 4; ++i) {
        const int cx = width / 8 + i * (width * 3 / 4) / 3;
        image.line(cx, midY - 10, cx, midY, wire);
        image.fillRect(cx - bw / 3, midY, bw * 2 / 3, bh, {100, 160, 200});
        image.line(cx, midY + bh, cx, lowY, wire);
        image.fillRect(cx - bw / 4, lowY, bw / 2, bh * 2 / 3, {150, 190, 220});
    }
    return image;
}

PngImage PngImage::photo(int width, int height, std::uint32_t seed) {
    PngImage image(width, height, {0, 0, 0});
    image.verticalGradient({105, 160, 220}, {215, 230, 245});
    const int horizon = height * 55 / 100;
    // Hills behind, a lawn in front.
    image.fillEllipse(width * 25 / 100, horizon, width * 40 / 100, height * 18 / 100,
                      {96, 140, 90});
    image.fillEllipse(width * 75 / 100, horizon, width * 45 / 100, height * 22 / 100,
                      {80, 125, 85});
    image.fillRect(0, horizon, width, height - horizon, {110, 165, 85});
    image.fillEllipse(width * 85 / 100, height * 15 / 100, height / 14, height / 14,
                      {255, 225, 120});
    // A row of people: a head and a body each, in shirts of several colours.
    static const Rgb shirts[] = {{200, 60, 60},  {60, 90, 170},  {235, 235, 235},
                                 {230, 170, 50}, {70, 150, 120}, {120, 80, 160}};
    const int people = 12;
    const int slot = width / (people + 1);
    for (int i = 0; i < people; ++i) {
        const int cx = slot * (i + 1);
        const int row = i % 2 == 0 ? 0 : height / 30;
        const int bodyTop = height * 62 / 100 - row;
        image.fillEllipse(cx, bodyTop + slot * 7 / 10, slot * 4 / 10, slot * 8 / 10,
                          shirts[static_cast<std::size_t>(i) % std::size(shirts)]);
        image.fillEllipse(cx, bodyTop - slot / 5, slot / 4, slot * 3 / 10, {240, 205, 175});
        image.fillRect(cx - slot / 4, bodyTop - slot / 2, slot / 2, slot / 8, {40, 30, 25});
    }
    image.addGrain(8, seed);
    return image;
}

PngImage PngImage::poster(int width, int height, int steps) {
    PngImage image(width, height, {250, 247, 240});
    const int band = height / 12;
    image.fillRect(0, 0, width, band, {190, 50, 45});
    image.fillRect(width / 6, band / 3, width * 2 / 3, band / 3, {250, 220, 120});
    steps = std::max(1, steps);
    const int slot = (height - band) / steps;
    static const Rgb colours[] = {{70, 130, 180}, {60, 160, 110}, {230, 150, 50}, {150, 90, 170}};
    for (int i = 0; i < steps; ++i) {
        const int top = band + i * slot + slot / 6;
        const int boxHeight = slot / 2;
        image.fillRect(width / 8, top, width * 3 / 4, boxHeight,
                       colours[static_cast<std::size_t>(i) % std::size(colours)]);
        image.fillRect(width / 5, top + boxHeight / 3, width * 3 / 5, boxHeight / 3,
                       {245, 245, 245});
        if (i + 1 < steps) {
            const int from = top + boxHeight, to = band + (i + 1) * slot + slot / 6;
            image.line(width / 2, from, width / 2, to - 1, {90, 90, 90});
            image.line(width / 2 - 6, to - 7, width / 2, to - 1, {90, 90, 90});
            image.line(width / 2 + 6, to - 7, width / 2, to - 1, {90, 90, 90});
        }
    }
    return image;
}

}  // namespace oa
