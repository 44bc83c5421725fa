#include "bench/plaindialog.h"

#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cstddef>

extern const unsigned char kBannerBmp[];
extern const std::size_t kBannerBmpSize;
extern const unsigned char kNomvaraIco[];
extern const std::size_t kNomvaraIcoSize;

namespace {

// Dialog units to pixels, from the font's average character width and its height.
struct Scale {
    int averageWidth, height;
    QRect operator()(int x, int y, int cx, int cy) const {
        return QRect(x * averageWidth / 4, y * height / 8, cx * averageWidth / 4, cy * height / 8);
    }
};

template <typename Widget>
Widget* Place(Widget* widget, QRect at) {
    widget->setGeometry(at);
    return widget;
}

QLabel* Text(QDialog* dialog, const char* text, QRect at) {
    auto* label = Place(new QLabel(QString::fromUtf8(text), dialog), at);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

QLineEdit* BuildPlainDialog(QDialog& dialog) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    dialog.setFont(font);
    const QFontMetrics metrics(font);
    const Scale scale{(metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2,
                      metrics.height()};
    dialog.setFixedSize(scale(0, 0, 423, 174).size());
    dialog.setWindowTitle(QStringLiteral("Nomvara"));
    QPixmap icon;
    icon.loadFromData(kNomvaraIco, kNomvaraIcoSize, "ICO");
    dialog.setWindowIcon(icon);

    Place(new QGroupBox(QStringLiteral("Dns Response"), &dialog), scale(225, 86, 187, 75));
    auto* query = Place(new QLineEdit(&dialog), scale(73, 90, 90, 14));
    auto* get = Place(new QPushButton(QStringLiteral("Get "), &dialog), scale(167, 90, 51, 14));
    get->setDefault(true);
    Place(new QListWidget(&dialog), scale(231, 96, 175, 60))->setSortingEnabled(true);
    QPixmap banner;
    banner.loadFromData(kBannerBmp, kBannerBmpSize, "BMP");
    auto* bannerLabel = Place(new QLabel(&dialog), QRect(scale(7, 7, 0, 0).topLeft(), banner.size() + QSize(2, 2)));
    bannerLabel->setPixmap(banner);
    bannerLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Text(&dialog, "Nomvara Route Explorer", scale(156, 63, 112, 8));
    Text(&dialog, "Nomvara Route Explorer draws every hop between your computer and any host, live.", scale(15, 73, 336, 8));
    Place(new QPlainTextEdit(&dialog), scale(73, 107, 145, 36))->setReadOnly(true);
    Text(&dialog, "Local IP Addresses:", scale(8, 111, 64, 8));
    Text(&dialog, "Dns Query:", scale(34, 92, 36, 8));
    Text(&dialog,
         "Dns Query: Fill Ip Addres to get  DNS name or fill DNS name \n( for example: www.example.com ) to get appropriate IP Addresses.",
         scale(15, 145, 199, 18));
    Place(new QPushButton(QStringLiteral("Download Now!"), &dialog), scale(354, 71, 57, 14));
    return query;
}
