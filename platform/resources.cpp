#include "platform/resources.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/qtgdi.h"

namespace {

WORD ReadWord(const unsigned char* at) { return WORD(at[0] | (at[1] << 8)); }
DWORD ReadDword(const unsigned char* at) { return DWORD(at[0]) | DWORD(at[1]) << 8 | DWORD(at[2]) << 16 | DWORD(at[3]) << 24; }

QByteArray Bytes(const ResourceEntry& entry) {
    return QByteArray::fromRawData(static_cast<const char*>(entry.data), static_cast<qsizetype>(entry.size));
}

std::vector<QImage> IconImages(const ResourceEntry& entry) {
    QByteArray bytes = Bytes(entry);
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "ICO");
    std::vector<QImage> images;
    for (int i = 0; i < reader.imageCount() && reader.jumpToImage(i); ++i)
        if (QImage image = reader.read(); !image.isNull())
            images.push_back(image);
    return images;
}

// Every image of an .ico file, all sizes in one icon, and those of its 2x file for dense screens.
HICON MakeIcon(const ResourceEntry& entry) {
    auto icon = std::make_unique<HICON__>();
    for (const QImage& image : IconImages(entry)) {
        icon->icon.addPixmap(QPixmap::fromImage(image));
        if (image.width() == 32 || icon->pixmap.isNull())
            icon->pixmap = QPixmap::fromImage(image);
    }
    if (const ResourceEntry* dense = FindResource(entry.type, entry.id, 2)) {
        for (const QImage& image : IconImages(*dense)) {
            QPixmap pixmap = QPixmap::fromImage(image);
            pixmap.setDevicePixelRatio(2);
            icon->icon.addPixmap(pixmap);
        }
    }
    return icon->pixmap.isNull() ? nullptr : icon.release();
}

// A monochrome .cur file: AND mask set is transparent, else the XOR bit picks white or black.
HCURSOR MakeCursor(const ResourceEntry& entry) {
    const auto* file = static_cast<const unsigned char*>(entry.data);
    if (entry.size < 6 + 16 + 40 || ReadWord(file + 2) != 2 || ReadWord(file + 4) < 1)
        return nullptr;
    const unsigned char* directory = file + 6;
    const int width = directory[0] ? directory[0] : 256;
    const int height = directory[1] ? directory[1] : 256;
    const POINT hotSpot{ReadWord(directory + 4), ReadWord(directory + 6)};
    const DWORD offset = ReadDword(directory + 12);
    const int stride = ((width + 31) / 32) * 4;
    const size_t imageBytes = 40 + 8 + size_t(stride) * height * 2;
    if (offset + imageBytes > entry.size || ReadWord(file + offset + 14) != 1)
        return nullptr;
    const unsigned char* xorBits = file + offset + 40 + 8;
    const unsigned char* andBits = xorBits + size_t(stride) * height;
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const int row = (height - 1 - y) * stride;  // rows are stored bottom-up
        for (int x = 0; x < width; ++x) {
            const bool transparent = andBits[row + x / 8] & (0x80 >> (x % 8));
            const bool white = xorBits[row + x / 8] & (0x80 >> (x % 8));
            image.setPixel(x, y, transparent ? 0 : white ? 0xFFFFFFFF : 0xFF000000);
        }
    }
    const QPixmap pixmap = QPixmap::fromImage(image);
    return new HICON__{QIcon(pixmap), pixmap, QCursor(pixmap, hotSpot.x, hotSpot.y), hotSpot};
}

// Icons and cursors are loaded once and shared, as the system does with resource handles.
template <typename Make>
HICON LoadShared(ResourceType type, UINT id, Make make) {
    static std::mutex mutex;
    static std::map<std::pair<ResourceType, UINT>, HICON>* loaded = new std::map<std::pair<ResourceType, UINT>, HICON>;
    std::lock_guard lock(mutex);
    auto [it, inserted] = loaded->try_emplace({type, id}, nullptr);
    if (inserted)
        if (const ResourceEntry* entry = FindResource(type, id))
            it->second = make(*entry);
    return it->second;
}

}  // namespace

const ResourceEntry* FindResource(ResourceType type, UINT id, int scale) {
    for (std::size_t i = 0; i < g_programResources.count; ++i) {
        const ResourceEntry& entry = g_programResources.entries[i];
        if (entry.type == type && entry.id == id && entry.scale == scale)
            return &entry;
    }
    return nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
    static int module;
    return reinterpret_cast<HINSTANCE>(&module);
}

HICON LoadIcon(HINSTANCE, UINT id) { return LoadShared(ResourceType::Icon, id, MakeIcon); }

HCURSOR LoadCursor(HINSTANCE, UINT id) { return LoadShared(ResourceType::Cursor, id, MakeCursor); }

int LoadString(HINSTANCE, UINT id, char* buffer, int size) {
    const ResourceEntry* entry = FindResource(ResourceType::String, id);
    if (!entry || size <= 0)
        return 0;
    const auto* text = static_cast<const char*>(entry->data);
    const int length = static_cast<int>(strnlen(text, static_cast<size_t>(size - 1)));
    std::memcpy(buffer, text, static_cast<size_t>(length));
    buffer[length] = '\0';
    return length;
}
