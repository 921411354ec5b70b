// Build-time helper: turns the icon's XPM sources into the files that the
// platforms want.
//
//   icon_tool ico OUT.ico BITS:IN.xpm...   a Windows icon holding the images,
//                                          each stored with 1 or 4 bits a pixel
//   icon_tool png OUT.png IN.xpm            one image as PNG with alpha
//
// Every opaque pixel must be one of the palette's colours (black and white for
// 1 bit; the 16 standard VGA colours for 4 bits), and every other pixel fully
// transparent; anything else is refused, so the icon never changes silently.
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <vector>

namespace {

// The 16 colours of the standard VGA palette, in the order the 4-bit
// Windows bitmaps index them; the first two of the 1-bit palette are black
// and white.
constexpr std::array<QRgb, 16> kVga16{
    0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080,
    0xff008080, 0xffc0c0c0, 0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00,
    0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff,
};
constexpr std::array<QRgb, 2> kMono{0xff000000, 0xffffffff};

void put16(QByteArray& out, unsigned value) {
    out.append(static_cast<char>(value & 0xffu));
    out.append(static_cast<char>((value >> 8) & 0xffu));
}
void put32(QByteArray& out, std::uint32_t value) {
    put16(out, value & 0xffffu);
    put16(out, value >> 16);
}

// Bytes in one bitmap row of `width` pixels at `bits` a pixel: rows of a
// device-independent bitmap are padded to whole 32-bit words.
int row_bytes(int width, int bits) { return (width * bits + 31) / 32 * 4; }

struct IconImage {
    QImage image; // ARGB32
    int bits;     // 1 or 4
    QByteArray data; // header, palette, colour bitmap, mask
};

std::optional<QImage> load(const QString& path) {
    QImage image(path);
    if (image.isNull()) {
        std::fprintf(stderr, "icon_tool: cannot read %s\n", qPrintable(path));
        return std::nullopt;
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The image in the icon's own format: BITMAPINFOHEADER with doubled height
// (colour bitmap and mask), palette, colour bitmap bottom-up, then the 1-bit
// mask bottom-up with 1 for transparent.
std::optional<QByteArray> encode(const QImage& image, int bits, const QString& path) {
    const std::span<const QRgb> palette =
        bits == 1 ? std::span<const QRgb>(kMono) : std::span<const QRgb>(kVga16);
    const int w = image.width(), h = image.height();
    const int colour_row = row_bytes(w, bits), mask_row = row_bytes(w, 1);
    std::vector<std::uint8_t> colour(static_cast<std::size_t>(colour_row * h), 0);
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(mask_row * h), 0);
    for (int y = 0; y < h; ++y) {
        const int row = h - 1 - y; // bottom-up
        for (int x = 0; x < w; ++x) {
            const QRgb pixel = image.pixel(x, y);
            std::size_t index = 0;
            if (qAlpha(pixel) == 0) {
                mask[static_cast<std::size_t>(row * mask_row + x / 8)] |=
                    static_cast<std::uint8_t>(0x80u >> (x % 8));
            } else {
                std::size_t i = 0;
                while (i < palette.size() && palette[i] != pixel)
                    ++i;
                if (qAlpha(pixel) != 255 || i == palette.size()) {
                    std::fprintf(stderr,
                                 "icon_tool: %s: pixel (%d, %d) is #%08x, not a colour of "
                                 "the %d-colour palette\n",
                                 qPrintable(path), x, y, pixel, 1 << bits);
                    return std::nullopt;
                }
                index = i;
            }
            const int per_byte = 8 / bits;
            const int shift = (per_byte - 1 - x % per_byte) * bits;
            colour[static_cast<std::size_t>(row * colour_row + x / per_byte)] |=
                static_cast<std::uint8_t>(index << shift);
        }
    }
    QByteArray out;
    put32(out, 40);                        // size of BITMAPINFOHEADER
    put32(out, static_cast<std::uint32_t>(w));
    put32(out, static_cast<std::uint32_t>(2 * h)); // colour bitmap and mask
    put16(out, 1);                         // planes
    put16(out, static_cast<unsigned>(bits));
    put32(out, 0);                         // no compression
    put32(out, static_cast<std::uint32_t>(colour.size() + mask.size()));
    put32(out, 0);                         // pixels per metre, x and y: unknown
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(palette.size())); // colours used
    put32(out, 0);                         // all colours important
    for (QRgb c : palette) {               // RGBQUAD: blue, green, red, 0
        out.append(static_cast<char>(qBlue(c)));
        out.append(static_cast<char>(qGreen(c)));
        out.append(static_cast<char>(qRed(c)));
        out.append('\0');
    }
    out.append(reinterpret_cast<const char*>(colour.data()), static_cast<qsizetype>(colour.size()));
    out.append(reinterpret_cast<const char*>(mask.data()), static_cast<qsizetype>(mask.size()));
    return out;
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "icon_tool: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

int make_ico(const QString& out_path, std::span<char*> image_args) {
    std::vector<IconImage> images;
    for (const char* image_arg : image_args) {
        const QString s = QString::fromLocal8Bit(image_arg);
        const qsizetype colon = s.indexOf(QLatin1Char(':'));
        const QString bits_text = s.left(colon);
        if (colon < 0 || (bits_text != QLatin1String("1") && bits_text != QLatin1String("4"))) {
            std::fprintf(stderr, "icon_tool: expected 1:FILE or 4:FILE, got %s\n", image_arg);
            return 2;
        }
        const QString path = s.mid(colon + 1);
        const std::optional<QImage> image = load(path);
        if (!image)
            return 1;
        if (image->width() > 255 || image->height() > 255) {
            std::fprintf(stderr, "icon_tool: %s: images of an icon are at most 255 pixels\n",
                         qPrintable(path));
            return 1;
        }
        const int bits = bits_text.toInt();
        const std::optional<QByteArray> data = encode(*image, bits, path);
        if (!data)
            return 1;
        images.push_back({*image, bits, *data});
    }
    if (images.empty()) {
        std::fprintf(stderr, "icon_tool: an icon needs at least one image\n");
        return 2;
    }
    // ICONDIR (6 bytes), one ICONDIRENTRY (16 bytes) per image, then the images.
    QByteArray out;
    put16(out, 0); // reserved
    put16(out, 1); // type: icon
    put16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const IconImage& i : images) {
        out.append(static_cast<char>(i.image.width()));
        out.append(static_cast<char>(i.image.height()));
        out.append(static_cast<char>(1 << i.bits)); // colours in the palette
        out.append('\0');                           // reserved
        put16(out, 1);                              // planes
        put16(out, static_cast<unsigned>(i.bits));
        put32(out, static_cast<std::uint32_t>(i.data.size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(i.data.size());
    }
    for (const IconImage& i : images)
        out.append(i.data);
    return write(out_path, out) ? 0 : 1;
}

int make_png(const QString& out_path, const QString& in_path) {
    const std::optional<QImage> image = load(in_path);
    if (!image)
        return 1;
    if (!image->save(out_path, "PNG")) {
        std::fprintf(stderr, "icon_tool: cannot write %s\n", qPrintable(out_path));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::span<char*> args(argv, static_cast<std::size_t>(argc));
    if (argc >= 4 && QByteArray(args[1]) == "ico")
        return make_ico(QString::fromLocal8Bit(args[2]), args.subspan(3));
    if (argc == 4 && QByteArray(args[1]) == "png")
        return make_png(QString::fromLocal8Bit(args[2]), QString::fromLocal8Bit(args[3]));
    std::fprintf(stderr, "usage: icon_tool ico OUT.ico BITS:IN.xpm...\n"
                         "       icon_tool png OUT.png IN.xpm\n");
    return 2;
}
