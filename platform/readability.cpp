#include "platform/readability.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QToolTip>

#include <unordered_map>

#include "platform/gdi.h"
#include "platform/qtcontrast.h"
#include "platform/qtconvert.h"
#include "platform/qtgdi.h"
#include "platform/qtwindow.h"

namespace platform {
namespace {

// Worked out once per palette the desktop gives: every control of a kind shares its palette.
QPalette ReadableFor(const QPalette& given) {
    static std::unordered_map<qint64, QPalette> readable;  // the GUI thread's alone
    // Palettes a desktop has given and taken back are not kept for ever.
    if (readable.size() > 64)
        readable.clear();
    auto [kept, made] = readable.try_emplace(given.cacheKey());
    if (made)
        kept->second = ReadablePalette(given);
    return kept->second;
}

void SetPalette(QWidget* widget, const QPalette& palette) {
    if (palette != widget->palette())
        widget->setPalette(palette);
}

// A static's dialog is asked for its colours; the control's own object may answer.
void RequestColors(HWND window) {
    auto* label = static_cast<QLabel*>(window->widget.data());
    CDC colors;
    const auto brush = reinterpret_cast<HBRUSH>(::SendMessage(window->parent, WM_CTLCOLORSTATIC,
                                                               reinterpret_cast<WPARAM>(&colors), reinterpret_cast<LPARAM>(window)));
    QPalette palette = ReadableFor(QApplication::palette(label->parentWidget() ? label->parentWidget() : label));
    bool fill = false;
    if (brush) {
        palette.setColor(QPalette::WindowText, ReadableOn(ToQColor(colors.GetTextColor()), palette.color(QPalette::Window)));
        fill = !brush->hollow && colors.GetBkMode() == OPAQUE;
    }
    SetPalette(label, palette);
    if (fill != label->autoFillBackground())
        label->setAutoFillBackground(fill);
}

void MakeReadable(QWidget* widget) {
    // Qt gives every tooltip the tooltip palette as it is made.
    const QPalette tooltips = ReadableFor(QToolTip::palette());
    if (tooltips != QToolTip::palette())
        QToolTip::setPalette(tooltips);
    HWND window = WindowFromWidget(widget);
    if (window && window->kind == WindowKind::Static && IsWindow(window))
        RequestColors(window);
    else
        SetPalette(widget, ReadableFor(QApplication::palette(widget)));
}

constexpr char kKept[] = "nomvara.readable";

// Installed on each kept widget, it sees the widget's first showing and a change of style. A new
// palette of the application's is told to windows alone: a window takes it for its kept controls too,
// whose own palettes it no longer reaches.
class ReadabilityKeeper : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = static_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::ApplicationPaletteChange:
            if (widget->testAttribute(Qt::WA_WState_Polished))
                MakeReadable(widget);
            for (QWidget* control : widget->findChildren<QWidget*>())
                if (control->property(kKept).isValid() && control->testAttribute(Qt::WA_WState_Polished))
                    MakeReadable(control);
            return false;
        case QEvent::Polish:
        case QEvent::StyleChange: MakeReadable(widget); return false;
        default: return false;
        }
    }
};

}  // namespace

void KeepReadable(QWidget* widget) {
    static ReadabilityKeeper* const keeper = new ReadabilityKeeper;  // lives as long as any widget may
    widget->installEventFilter(keeper);
    widget->setProperty(kKept, true);
    if (widget->testAttribute(Qt::WA_WState_Polished))
        MakeReadable(widget);
}

}  // namespace platform
