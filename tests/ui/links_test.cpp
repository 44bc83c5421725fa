// Link labels, the banner, the download button and the About box, as drawn and clicked.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QToolTip>
#include <QPushButton>
#include <QUrl>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <cmath>

#include <cstring>

#include "platform/gdi.h"
#include "platform/qtcontrast.h"
#include "platform/qtgdi.h"
#include "platform/resources.h"
#include "tests/support.h"
#include "tests/ui/dialog_access.h"
#include "ui/links.h"
#include "ui/strings.h"

using testing_support::RecordingLauncher;
using testing_support::RunModal;
using testing_support::ScriptedResolver;
using Opened = std::vector<std::string>;

namespace {

class LinkDialog : public TestableDialog {
public:
    using CNomvaraDlg::m_productNameLink;
};

void MouseAt(QWidget* widget, QEvent::Type type, QPoint at) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A point well past the end of a label's text, inside its rectangle.
QPoint BlankPart(QWidget* label) { return QPoint(label->width() - 3, label->height() / 2); }

void Click(QWidget* widget, QPoint at) { MouseAt(widget, QEvent::MouseButtonPress, at); }

LOGFONT FontOf(HWND window) {
    LOGFONT description{};
    GetObject(reinterpret_cast<HFONT>(SendMessage(window, WM_GETFONT)), sizeof description, &description);
    return description;
}

bool IsHandCursor(QWidget* widget) {
    return widget->testAttribute(Qt::WA_SetCursor) && widget->cursor().shape() == Qt::BitmapCursor &&
           widget->cursor().hotSpot() == QPoint(5, 0);
}

// Runs `body` with the About box open over the main dialog, then closes it.
void WithAboutBox(CDialog& main, const std::function<void(CDialog&)>& body) {
    QTimer::singleShot(0, [body] {
        CDialog* about = testing_support::ActiveModal();
        body(*about);
        if (about->m_hWnd)
            about->EndDialog(IDCANCEL);
    });
    main.SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX);
}

QWidget* Item(CDialog& dialog, int id) { return platform::WidgetOf(dialog.GetDlgItem(id)); }

// How many pixels of a control's rectangle the dialog draws in exactly this colour.
int PixelsIn(CDialog& dialog, int id, const QColor& color) {
    const QImage shown = platform::WidgetOf(dialog.m_hWnd)->grab().toImage();
    const QRect area = Item(dialog, id)->geometry();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += shown.pixelColor(x, y) == color;
    return count;
}

}  // namespace

TEST(LinkLabel, DrawsBlueTextStraightOntoTheDialogBackground) {
    ScriptedResolver resolver;
    LinkDialog dialog;
    RunModal(dialog, [&] {
        QWidget* label = dialog.Widget(IDC_PRODUCT_NAME);
        EXPECT_GT(PixelsIn(dialog, IDC_PRODUCT_NAME, QColor(0, 0, 255)), 10) << "the text and its underline are pure blue";
        const QImage shown = platform::WidgetOf(dialog.m_hWnd)->grab().toImage();
        const QColor background = platform::WidgetOf(dialog.m_hWnd)->palette().color(QPalette::Window);
        EXPECT_EQ(shown.pixelColor(label->geometry().topLeft() + BlankPart(label)), background) << "no box of its own";
    });
}

// The palettes people choose, as the desktop gives them (grey text where Adwaita's window is
// inactive). Every control draws each text at 4.5:1 or more, in active and inactive windows; text
// colours that read well stay as they are; the link's blue is kept where it reads well and drawn just
// light enough, in the same hue, where it does not; a change redraws at once.
namespace {

// The WCAG contrast ratio, worked out here apart from the framework's own.
double WcagContrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& colour) {
        const auto linear = [](double channel) {
            return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
    };
    const double first = luminance(a), second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

}  // namespace

// Reference figures of the WCAG contrast ratio: a wrong formula, a wrong flare term, misses them.
TEST(Contrast, MatchesTheReferenceFigures) {
    const struct {
        QRgb text, background;
        double ratio;
    } pairs[] = {{0x000000, 0xFFFFFF, 21.0}, {0x767676, 0xFFFFFF, 4.54}, {0x777777, 0xFFFFFF, 4.48},
                 {0xFFFFFF, 0xFFFFFF, 1.0}, {0x0000FF, 0xFFFFFF, 8.59}};
    for (const auto& each : pairs)
        EXPECT_NEAR(platform::ContrastRatio(QColor(each.text), QColor(each.background)), each.ratio, 0.005) << std::hex << each.text;
}

// Every window the program shows: the dialog and its controls, its system menu, a message box and
// its parts, and the tooltips.
TEST(LinkLabel, StaysReadableInItsOwnHueOnEveryPaletteAndFollowsAChangeAtOnce) {
    const struct {
        const char* name;
        QRgb window, text, base, button, highlight, highlightedText, inactiveText, link;
    } palettes[] = {{"Fusion light", 0xefefef, 0x000000, 0xffffff, 0xefefef, 0x308cc6, 0xffffff, 0x000000, 0x0000ff},
                    {"GNOME Adwaita dark", 0x323232, 0xffffff, 0x242424, 0x323232, 0x308cc6, 0xf0f0f0, 0xffffff, 0xa1a1ff},
                    {"Adwaita-Dark style", 0x353535, 0xeeeeec, 0x2d2d2d, 0x373737, 0x15539e, 0xffffff, 0x919190, 0xa5a5ff},
                    {"Adwaita-HighContrastInverse", 0x000000, 0xffffff, 0x000000, 0x303030, 0x0f3b71, 0xffffff, 0x919190, 0x7171ff},
                    {"Breeze Dark", 0x31363b, 0xfcfcfc, 0x232629, 0x31363b, 0x3daee9, 0xfcfcfc, 0xfcfcfc, 0xa6a6ff},
                    {"Light buttons on a dark window", 0x323232, 0xffffff, 0x242424, 0xe0e0e0, 0x308cc6, 0xf0f0f0, 0xffffff, 0xa1a1ff}};
    constexpr std::pair<QPalette::ColorRole, QPalette::ColorRole> kTextOn[] = {
        {QPalette::WindowText, QPalette::Window}, {QPalette::Text, QPalette::Base}, {QPalette::ButtonText, QPalette::Button},
        {QPalette::ButtonText, QPalette::Window}, {QPalette::HighlightedText, QPalette::Highlight},
        {QPalette::ToolTipText, QPalette::ToolTipBase}};
    const QPalette before = QApplication::palette(), tooltipsBefore = QToolTip::palette();
    ScriptedResolver resolver;
    LinkDialog dialog;
    RunModal(dialog, [&] {
        QWidget* shown = platform::WidgetOf(dialog.m_hWnd);
        for (const auto& each : palettes) {
            QPalette palette = before, unreadableTips = tooltipsBefore;
            for (const auto group : {QPalette::Active, QPalette::Inactive}) {
                const QRgb text = group == QPalette::Active ? each.text : each.inactiveText;
                for (const auto& [role, color] : {std::pair{QPalette::Window, each.window}, {QPalette::WindowText, text},
                                                  {QPalette::Base, each.base}, {QPalette::Text, text}, {QPalette::Button, each.button},
                                                  {QPalette::ButtonText, text}, {QPalette::Highlight, each.highlight},
                                                  {QPalette::HighlightedText, each.highlightedText},
                                                  {QPalette::ToolTipBase, each.base}, {QPalette::ToolTipText, text}})
                    palette.setColor(group, role, QColor(color));
                unreadableTips.setColor(group, QPalette::ToolTipText, QColor(0x777777));
                unreadableTips.setColor(group, QPalette::ToolTipBase, QColor(0x555555));
            }
            QToolTip::setPalette(unreadableTips);
            QApplication::setPalette(palette);
            const QColor link(each.link);
            EXPECT_GE(WcagContrast(link, QColor(each.window)), 5.5) << each.name;
            for (int id : {IDC_PRODUCT_NAME, IDC_PRODUCT_TEXT}) {
                QWidget* label = dialog.Widget(id);
                EXPECT_TRUE(testing_support::PumpUntil([&] { return label->palette().color(QPalette::WindowText) == link; }))
                    << each.name << ": redrawn in the new colours";
                EXPECT_GT(PixelsIn(dialog, id, link), 10) << each.name << ": the text and its underline";
            }
            EXPECT_EQ(shown->palette().color(QPalette::Window), QColor(each.window)) << each.name << ": the dialog follows";
            auto* menu = shown->findChild<QMenu*>();
            menu->popup(QPoint());  // the system menu opens
            menu->close();
            std::vector<QPalette> drawnWith{QToolTip::palette()};  // the tooltips' first
            QList<QWidget*> windows = shown->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            for (QWidget* window : windows << shown)
                drawnWith.push_back(window->palette());
            const size_t dialogs = drawnWith.size();
            QTimer::singleShot(0, [&] {
                for (QWidget* window : QApplication::topLevelWidgets())
                    if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible()) {
                        QList<QWidget*> parts = box->findChildren<QWidget*>();
                        for (QWidget* part : parts << box)
                            drawnWith.push_back(part->palette());
                        box->accept();
                    }
            });
            CurrentMessageBoxService().Show(nullptr, "Nomvara", "A message with no window to inherit from", MB_OK);
            EXPECT_GE(drawnWith.size(), dialogs + 3) << "the message box, its text and its button";
            for (const QPalette& own : drawnWith)
                for (const auto group : {QPalette::Active, QPalette::Inactive})
                    for (const auto& [text, background] : kTextOn) {
                        const double ratio = WcagContrast(own.color(group, text), own.color(group, background));
                        // Text is drawn antialiased: a colour made readable aims at 5.5:1, a link's too.
                        const bool made = own.color(group, text) != palette.color(group, text) ||
                                          own.color(group, background) != palette.color(group, background);
                        EXPECT_GE(ratio, made ? 5.45 : 4.5) << each.name << ": text role " << text << " group " << group;
                        // A link's own colour aside, text that reads well keeps its colour, and a selection its text's.
                        const bool tooltip = &own == &drawnWith.front();
                        if (!tooltip && (text == QPalette::HighlightedText || (text != QPalette::WindowText && &each == palettes))) {
                            EXPECT_EQ(own.color(group, text), palette.color(group, text)) << each.name << ": kept";
                        }
                    }
        }
    });
    QApplication::setPalette(before);
    QToolTip::setPalette(tooltipsBefore);
}

TEST(LinkLabel, UnderlinesACopyOfTheDialogFont) {
    ScriptedResolver resolver;
    LinkDialog dialog;
    RunModal(dialog, [&] {
        const LOGFONT dialogFont = FontOf(dialog.m_hWnd);
        for (int id : {IDC_PRODUCT_NAME, IDC_PRODUCT_TEXT}) {
            const LOGFONT labelFont = FontOf(dialog.GetDlgItem(id));
            EXPECT_STREQ(labelFont.lfFaceName, "MS Sans Serif");
            EXPECT_EQ(labelFont.lfHeight, dialogFont.lfHeight);
            EXPECT_EQ(labelFont.lfWeight, dialogFont.lfWeight);
            EXPECT_EQ(labelFont.lfCharSet, dialogFont.lfCharSet);
            EXPECT_EQ(labelFont.lfUnderline, 1);
            EXPECT_EQ(dialogFont.lfUnderline, 0);
            EXPECT_TRUE(dialog.Widget(id)->font().underline());
        }
    });
}

TEST(Links, EachOpensItsOwnAddressOnEveryClickAnywhereInItsRectangleUnderAHand) {
    struct Row {
        bool inAboutBox;
        int id;
        const char* address;
        bool hand;  // the button keeps the ordinary pointer
    };
    const Row rows[] = {
        {false, IDC_PRODUCT_NAME, PRODUCT_LINK_URL, true}, {false, IDC_PRODUCT_TEXT, PRODUCT_LINK_URL, true},
        {false, IDC_BANNER, HOME_BANNER_URL, true},        {false, IDC_DOWNLOAD, PRODUCT_BUTTON_URL, false},
        {true, IDC_SITE_LINK, HOME_LINK_URL, true},        {true, IDC_MAKER_LINK, HOME_LINK_URL, true},  // not the address shown
    };
    ScriptedResolver resolver;
    RecordingLauncher launcher;
    LinkDialog dialog;
    RunModal(dialog, [&] {
        for (const Row& row : rows) {
            const auto clickTwice = [&](CDialog& owner) {
                QWidget* widget = Item(owner, row.id);
                launcher.opened.clear();
                MouseAt(widget, QEvent::MouseMove, BlankPart(widget));
                EXPECT_EQ(IsHandCursor(widget), row.hand) << row.id;
                if (auto* button = qobject_cast<QPushButton*>(widget)) {
                    button->click();
                    button->click();
                } else {
                    Click(widget, BlankPart(widget));
                    Click(widget, QPoint(1, 1));
                }
                EXPECT_EQ(launcher.opened, Opened(2, row.address)) << row.id << ": nothing suppresses a repeat";
            };
            row.inAboutBox ? WithAboutBox(dialog, clickTwice) : clickTwice(dialog);  // a new box for each row
        }
    });
}

TEST(LinkLabel, WithoutAnAddressItOpensItsOwnTextAndKeepsIt) {
    ScriptedResolver resolver;
    RecordingLauncher launcher;
    LinkDialog dialog;
    RunModal(dialog, [&] {
        QWidget* label = dialog.Widget(IDC_PRODUCT_NAME);
        dialog.m_productNameLink.SetUrl("");
        Click(label, BlankPart(label));
        dialog.m_productNameLink.SetWindowText("Shown later");
        Click(label, BlankPart(label));
        EXPECT_EQ(launcher.opened, (Opened{"Nomvara Route Explorer", "Nomvara Route Explorer"}));
    });
}

TEST(AboutBox, EveryOpeningIsNewAndTheSame) {
    ScriptedResolver resolver;
    LinkDialog dialog;
    struct Seen {
        std::string site, maker;
        LOGFONT font;
        bool hand;
    };
    std::vector<Seen> openings;
    RunModal(dialog, [&] {
        for (int opening = 0; opening < 2; ++opening)
            WithAboutBox(dialog, [&](CDialog& about) {
                EXPECT_EQ(platform::InnermostModalRun()->templateId, IDD_ABOUTBOX);
                QWidget* site = Item(about, IDC_SITE_LINK);
                QWidget* maker = Item(about, IDC_MAKER_LINK);
                MouseAt(site, QEvent::MouseMove, BlankPart(site));
                openings.push_back({qobject_cast<QLabel*>(site)->text().toStdString(),
                                    qobject_cast<QLabel*>(maker)->text().toStdString(), FontOf(about.GetDlgItem(IDC_SITE_LINK)),
                                    IsHandCursor(site)});
            });
    });
    ASSERT_EQ(openings.size(), 2u);
    EXPECT_EQ(openings[0].site, "www.nomvara-software.example");
    EXPECT_EQ(openings[0].maker, "Copyright (C) 2026 Nomvara Software");
    for (const Seen& seen : openings) {
        EXPECT_EQ(seen.site, openings[0].site);
        EXPECT_EQ(seen.maker, openings[0].maker);
        EXPECT_EQ(std::memcmp(&seen.font, &openings[0].font, sizeof(LOGFONT)), 0);
        EXPECT_EQ(seen.font.lfUnderline, 1);
        EXPECT_TRUE(seen.hand);
    }
}

TEST(WebAddresses, HaveTheFixedForm) {
    struct Case {
        const char* address;
        bool homePage;
        const char* spot;
    };
    const Case cases[] = {{HOME_BANNER_URL, true, "banner"},
                          {HOME_LINK_URL, true, "link"},
                          {PRODUCT_LINK_URL, false, "link"},
                          {PRODUCT_BUTTON_URL, false, "button"}};
    QString campaign, productPath;
    for (const Case& each : cases) {
        const QUrl url(each.address, QUrl::StrictMode);
        ASSERT_TRUE(url.isValid()) << each.address;
        EXPECT_EQ(url.scheme(), "http");
        EXPECT_TRUE(url.host().endsWith(".example")) << "a reserved name, no real company";
        const auto items = QUrlQuery(url).queryItems();
        ASSERT_EQ(items.size(), 3) << each.address;
        EXPECT_EQ(items[0].first, "utm_source");
        EXPECT_EQ(items[1].first, "utm_medium");
        EXPECT_EQ(items[2].first, "utm_campaign");
        if (campaign.isEmpty())
            campaign = items[2].second;
        EXPECT_EQ(items[2].second, campaign) << "one campaign value everywhere";
        const QString spotted = campaign + "_" + each.spot;
        EXPECT_EQ(items[1].second, spotted) << each.address;
        if (each.homePage) {
            EXPECT_EQ(items[0].second, spotted);
            EXPECT_TRUE(QString(each.address).contains(url.host() + "?")) << "the query follows the host directly";
        } else {
            EXPECT_EQ(items[0].second, campaign);
            EXPECT_FALSE(url.path().isEmpty());
            if (productPath.isEmpty())
                productPath = url.path();
            EXPECT_EQ(url.path(), productPath);
        }
    }
}

namespace {

std::uint32_t Dword(const unsigned char* at) { return at[0] | at[1] << 8 | at[2] << 16 | std::uint32_t(at[3]) << 24; }
std::uint16_t Word(const unsigned char* at) { return std::uint16_t(at[0] | at[1] << 8); }

const unsigned char* Bytes(ResourceType type, UINT id) {
    const ResourceEntry* entry = FindResource(type, id);
    return entry ? static_cast<const unsigned char*>(entry->data) : nullptr;
}

}  // namespace

TEST(Resources, TheHandCursorIsMonochrome32x32WithItsHotSpotAtTheFingerTip) {
    const unsigned char* cursor = Bytes(ResourceType::Cursor, IDC_HAND_CURSOR);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(Word(cursor + 2), 2) << "a cursor file";
    EXPECT_EQ(Word(cursor + 4), 1) << "one image";
    EXPECT_EQ(cursor[6], 32);
    EXPECT_EQ(cursor[7], 32);
    EXPECT_EQ(Word(cursor + 10), 5) << "hot spot x";
    EXPECT_EQ(Word(cursor + 12), 0) << "hot spot y";
    const unsigned char* image = cursor + Dword(cursor + 18);
    EXPECT_EQ(Dword(image + 8), 64u) << "image and mask";
    EXPECT_EQ(Word(image + 14), 1) << "one bit per pixel";
    HCURSOR hand = LoadCursor(AfxGetInstanceHandle(), IDC_HAND_CURSOR);
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(hand->hotSpot.x, 5);
    const QImage pixels = hand->pixmap.toImage();
    EXPECT_EQ(qAlpha(pixels.pixel(5, 0)), 255) << "the finger tip is at the hot spot";
    EXPECT_EQ(qAlpha(pixels.pixel(20, 0)), 0);
}

TEST(Resources, TheBannerIs609x86At32BitsUncompressedWithoutColourTable) {
    const unsigned char* bitmap = Bytes(ResourceType::Bitmap, IDB_BANNER);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bitmap), 2), "BM");
    const unsigned char* info = bitmap + 14;
    EXPECT_EQ(Dword(info + 4), 609u);
    EXPECT_EQ(Dword(info + 8), 86u);
    EXPECT_EQ(Word(info + 14), 32);
    EXPECT_EQ(Dword(info + 16), 0u) << "BI_RGB";
    EXPECT_EQ(Dword(info + 32), 0u) << "no colours used";
    EXPECT_EQ(Dword(bitmap + 10), 54u) << "pixels follow the headers at once";
}

TEST(Resources, TheIconHas32And16PixelImagesOf16Colours) {
    const unsigned char* icon = Bytes(ResourceType::Icon, IDR_MAINFRAME);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(Word(icon + 4), 2);
    for (int i = 0; i < 2; ++i) {
        const unsigned char* entry = icon + 6 + 16 * i;
        EXPECT_EQ(entry[0], i == 0 ? 32 : 16);
        EXPECT_EQ(entry[2], 16) << "colours";
        EXPECT_EQ(Word(icon + Dword(entry + 12) + 14), 4) << "bits per pixel";
    }
    EXPECT_EQ(LoadIcon(AfxGetInstanceHandle(), IDR_MAINFRAME)->pixmap.width(), 32);
}

TEST(Resources, TheVersionRecordIs1310) {
    const ResourceEntry* entry = FindResource(ResourceType::Version, VS_VERSION_INFO);
    ASSERT_NE(entry, nullptr);
    const auto* version = static_cast<const VersionInfo*>(entry->data);
    EXPECT_EQ(version->language, 0x0409);
    EXPECT_EQ(version->codePage, 1200);
    EXPECT_EQ((std::array{version->fileVersion[0], version->fileVersion[1], version->fileVersion[2], version->fileVersion[3]}),
              (std::array<WORD, 4>{1, 3, 1, 0}));
    EXPECT_STREQ(version->fileVersionText, "1, 3, 1, 0");
    EXPECT_STREQ(version->productName, "Nomvara");
}

namespace {

// Does what a screen reader does over AT-SPI to follow a link: the widget's accessible "press".
bool PressAsAssistiveTechnology(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    QAccessibleActionInterface* actions = accessible ? accessible->actionInterface() : nullptr;
    if (!actions || !actions->actionNames().contains(QAccessibleActionInterface::pressAction()))
        return false;
    actions->doAction(QAccessibleActionInterface::pressAction());
    return true;
}

}  // namespace

TEST(AssistiveTechnology, FollowsEachLinkAndTheBannerOnceWithoutTakingThemIntoTheTabOrder) {
    ScriptedResolver resolver;
    RecordingLauncher launcher;
    LinkDialog dialog;
    RunModal(dialog, [&] {
        for (int id : {IDC_PRODUCT_NAME, IDC_PRODUCT_TEXT, IDC_BANNER}) {
            EXPECT_TRUE(PressAsAssistiveTechnology(dialog.Widget(id))) << id;
            EXPECT_EQ(dialog.Widget(id)->focusPolicy(), Qt::NoFocus) << id;
        }
        for (auto [id, name] : {std::pair{IDC_PRODUCT_NAME, PRODUCT_NAME}, {IDC_BANNER, BANNER_NAME}})
            EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog.Widget(id))->text(QAccessible::Name), QString::fromUtf8(name)) << id;
        for (QLabel* label : platform::WidgetOf(dialog.m_hWnd)->findChildren<QLabel*>()) {
            if (label->text() == "Dns Query:") {
                EXPECT_FALSE(PressAsAssistiveTechnology(label)) << "a plain text takes no clicks";
            }
        }
        WithAboutBox(dialog, [&](CDialog& about) {
            for (int id : {IDC_SITE_LINK, IDC_MAKER_LINK})
                EXPECT_TRUE(PressAsAssistiveTechnology(Item(about, id))) << id;
        });
    });
    EXPECT_EQ(launcher.opened, (Opened{PRODUCT_LINK_URL, PRODUCT_LINK_URL, HOME_BANNER_URL, HOME_LINK_URL, HOME_LINK_URL}));
}
