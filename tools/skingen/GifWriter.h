// A small animated-GIF writer (GIF89a, one global palette, LZW). Qt reads GIF but cannot
// write it; the skin generator and the picture-control tests need animated files.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QVector>
#include <cstdint>
#include <unordered_map>

namespace skingen {

struct GifFrame {
    QImage image;         // any format; mapped to the palette by nearest colour
    int delayHundredths;  // the frame's delay as stored in the file
};

namespace detail {

class BitPacker {
  public:
    void Put(uint32_t code, int width) {
        m_acc |= code << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_bytes.append(char(m_acc & 0xFF));
            m_acc >>= 8;
            m_bits -= 8;
        }
    }
    QByteArray Finish() {
        if (m_bits > 0) m_bytes.append(char(m_acc & 0xFF));
        m_acc = 0;
        m_bits = 0;
        return m_bytes;
    }

  private:
    uint32_t m_acc = 0;
    int m_bits = 0;
    QByteArray m_bytes;
};

// Plain variable-width LZW as GIF defines it; the table restarts when it reaches 4096 codes.
inline QByteArray LzwEncode(const QByteArray& indices, int minCodeSize) {
    const uint32_t clear = 1u << minCodeSize;
    const uint32_t eoi = clear + 1;
    BitPacker out;
    std::unordered_map<uint32_t, uint32_t> table;
    int width = minCodeSize + 1;
    uint32_t next = eoi + 1;
    out.Put(clear, width);
    if (indices.isEmpty()) {
        out.Put(eoi, width);
        return out.Finish();
    }
    uint32_t prefix = uint8_t(indices[0]);
    for (int i = 1; i < indices.size(); ++i) {
        const uint32_t c = uint8_t(indices[i]);
        const uint32_t key = (prefix << 8) | c;
        auto it = table.find(key);
        if (it != table.end()) {
            prefix = it->second;
            continue;
        }
        out.Put(prefix, width);
        table.emplace(key, next);
        if (next >= (1u << width)) ++width;
        if (next == 4095) {
            // Table full: start again so codes never need more than 12 bits.
            out.Put(clear, width);
            table.clear();
            width = minCodeSize + 1;
            next = eoi + 1;
        } else {
            ++next;
        }
        prefix = c;
    }
    out.Put(prefix, width);
    out.Put(eoi, width);
    return out.Finish();
}

inline void PutLe16(QByteArray& b, int v) {
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

}  // namespace detail

// Builds the file; every frame covers the whole logical screen (disposal "none").
// The palette holds at most 256 colours.
inline QByteArray WriteGif(const QList<GifFrame>& frames, const QVector<QRgb>& palette) {
    QByteArray gif;
    if (frames.isEmpty() || palette.isEmpty() || palette.size() > 256) return gif;
    const int w = frames[0].image.width();
    const int h = frames[0].image.height();
    int bits = 1;
    while ((1 << bits) < palette.size()) ++bits;
    const int tableSize = 1 << bits;

    gif.append("GIF89a");
    detail::PutLe16(gif, w);
    detail::PutLe16(gif, h);
    gif.append(char(0x80 | ((bits - 1) << 4) | (bits - 1)));  // global table, colour depth
    gif.append(char(0));                                      // background index
    gif.append(char(0));                                      // aspect
    for (int i = 0; i < tableSize; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        gif.append(char(qRed(c)));
        gif.append(char(qGreen(c)));
        gif.append(char(qBlue(c)));
    }
    // Loop for ever (the application extension every viewer understands).
    gif.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);

    for (const GifFrame& f : frames) {
        const QImage img = f.image.convertToFormat(QImage::Format_RGB32);
        QByteArray indices;
        indices.reserve(w * h);
        std::unordered_map<QRgb, int> memo;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const QRgb px = img.pixel(x, y) | 0xFF000000u;
                auto it = memo.find(px);
                int best = 0;
                if (it != memo.end()) {
                    best = it->second;
                } else {
                    int bestDist = INT32_MAX;
                    for (int i = 0; i < palette.size(); ++i) {
                        const int dr = qRed(px) - qRed(palette[i]);
                        const int dg = qGreen(px) - qGreen(palette[i]);
                        const int db = qBlue(px) - qBlue(palette[i]);
                        const int d = dr * dr + dg * dg + db * db;
                        if (d < bestDist) {
                            bestDist = d;
                            best = i;
                        }
                    }
                    memo.emplace(px, best);
                }
                indices.append(char(best));
            }
        }
        // Graphic control extension: disposal 1 (leave), no transparency, the delay.
        gif.append("\x21\xF9\x04", 3);
        gif.append(char(1 << 2));
        detail::PutLe16(gif, f.delayHundredths);
        gif.append(char(0));
        gif.append(char(0));
        // Image descriptor over the whole screen, no local table.
        gif.append(char(0x2C));
        detail::PutLe16(gif, 0);
        detail::PutLe16(gif, 0);
        detail::PutLe16(gif, w);
        detail::PutLe16(gif, h);
        gif.append(char(0));
        const int minCode = bits < 2 ? 2 : bits;
        gif.append(char(minCode));
        const QByteArray data = detail::LzwEncode(indices, minCode);
        for (int i = 0; i < data.size(); i += 255) {
            const int n = qMin(255, int(data.size()) - i);
            gif.append(char(n));
            gif.append(data.mid(i, n));
        }
        gif.append(char(0));
    }
    gif.append(char(0x3B));
    return gif;
}

}  // namespace skingen
