// On screens of twice the density the banner and the icons are drawn from their 2x images, at the
// same size in device-independent pixels. ctest runs these with QT_SCALE_FACTOR=2.
#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>

#include <gtest/gtest.h>

#include "platform/qtgdi.h"
#include "tests/support.h"
#include "tests/ui/dialog_access.h"
#include "ui/embedded.h"

using testing_support::RunModal;

namespace {

QImage ImageOf(const unsigned char* bytes, std::size_t size, const char* format, int index = 0) {
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
    QBuffer buffer(&data);
    QImageReader reader(&buffer, format);
    reader.jumpToImage(index);
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

QImage Pixels(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32); }

}  // namespace

// Run at the ordinary density and, as core_2x, at twice it.
TEST(HiDpi, TheBannerAndTheIconUseTheDrawingsMadeForTheScreensDensityAndKeepTheirLayoutSize) {
    const int density = int(qGuiApp->devicePixelRatio());
    const bool twice = density >= 2;
    testing_support::ScriptedResolver resolver;
    TestableDialog dialog;
    RunModal(dialog, [&] {
        const QPixmap banner = qobject_cast<QLabel*>(dialog.Widget(IDC_BANNER))->pixmap();
        EXPECT_EQ(banner.devicePixelRatio(), density);
        EXPECT_EQ(banner.deviceIndependentSize().toSize(), QSize(609, 86));
        EXPECT_EQ(Pixels(banner), twice ? ImageOf(kBannerBmp2x, kBannerBmp2xSize, "BMP") : ImageOf(kBannerBmp, kBannerBmpSize, "BMP"));
        const QPixmap icon = platform::WidgetOf(dialog.m_hWnd)->windowIcon().pixmap(QSize(32, 32), density);
        EXPECT_EQ(icon.size(), QSize(32, 32) * density);
        EXPECT_EQ(Pixels(icon), twice ? ImageOf(kNomvaraIco2x, kNomvaraIco2xSize, "ICO", 0) : ImageOf(kNomvaraIco, kNomvaraIcoSize, "ICO", 0));
    });
}
