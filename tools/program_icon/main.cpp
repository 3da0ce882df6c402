// pagemeld-icon <file.ico>: writes the program's icon, drawn from the window's own
// artwork, as a Windows icon file with the sizes Explorer, the taskbar and the
// Start menu ask for. Run by the build; needs no display.
#include <QBuffer>
#include <QImage>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "gui/program_mark.h"

namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& out, unsigned value) {
    out.push_back(value & 0xff);
    out.push_back((value >> 8) & 0xff);
}

void put32(Bytes& out, std::uint32_t value) {
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

// An uncompressed 32-bit bitmap as icons hold it: the header gives twice the height
// (colours, then a transparency mask the alpha channel makes redundant), rows bottom up.
Bytes bitmapEntry(const QImage& icon) {
    const QImage image = icon.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    const int maskRow = (size + 31) / 32 * 4;
    Bytes out;
    put32(out, 40);
    put32(out, size);
    put32(out, 2 * size);
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    put32(out, size * size * 4 + maskRow * size);
    for (int i = 0; i < 4; ++i) put32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        // ARGB32 lies in memory as blue, green, red, alpha: the bitmap's own order.
        const uchar* row = image.constScanLine(y);
        out.insert(out.end(), row, row + size * 4);
    }
    out.insert(out.end(), static_cast<std::size_t>(maskRow) * size, 0);
    return out;
}

// The largest size is stored as PNG, as Windows expects from Vista on.
Bytes pngEntry(const QImage& icon) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    icon.save(&buffer, "PNG");
    return Bytes(png.begin(), png.end());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pagemeld-icon <file.ico>\n");
        return 2;
    }
    const int sizes[] = {16, 20, 24, 32, 40, 48, 64, 256};
    std::vector<Bytes> images;
    for (const int size : sizes) {
        const QImage icon = pagemeld::programIcon(size);
        images.push_back(size == 256 ? pngEntry(icon) : bitmapEntry(icon));
    }
    Bytes out;
    put16(out, 0);
    put16(out, 1);  // an icon, not a cursor
    put16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.push_back(sizes[i] == 256 ? 0 : sizes[i]);  // 0 stands for 256
        out.push_back(sizes[i] == 256 ? 0 : sizes[i]);
        out.push_back(0);
        out.push_back(0);
        put16(out, 1);
        put16(out, 32);
        put32(out, static_cast<std::uint32_t>(images[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const Bytes& image : images) out.insert(out.end(), image.begin(), image.end());

    std::ofstream file(argv[1], std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "pagemeld-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
