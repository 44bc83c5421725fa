#include "platform/qtconvert.h"

#include <QGuiApplication>
#include <QImage>

#include "platform/resources.h"

namespace platform {

QString FromLocal8Bit(const char* text) { return QString::fromLocal8Bit(text ? text : ""); }

std::string ToLocal8Bit(const QString& text) { return text.toLocal8Bit().toStdString(); }

QColor ToQColor(COLORREF color) { return QColor(GetRValue(color), GetGValue(color), GetBValue(color)); }

namespace {

QPixmap BitmapPixmap(const ResourceEntry& entry) {
    const QByteArray bytes = QByteArray::fromRawData(static_cast<const char*>(entry.data), static_cast<qsizetype>(entry.size));
    return QPixmap::fromImage(QImage::fromData(bytes, "BMP"));
}

}  // namespace

QPixmap LoadBitmapPixmap(UINT id) {
    if (qGuiApp->devicePixelRatio() >= 1.5) {
        if (const ResourceEntry* dense = FindResource(ResourceType::Bitmap, id, 2)) {
            QPixmap pixmap = BitmapPixmap(*dense);
            pixmap.setDevicePixelRatio(2);
            return pixmap;
        }
    }
    const ResourceEntry* entry = FindResource(ResourceType::Bitmap, id);
    return entry ? BitmapPixmap(*entry) : QPixmap();
}

}  // namespace platform
