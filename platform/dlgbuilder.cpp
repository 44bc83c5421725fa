#include "platform/dlgbuilder.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/accessible.h"
#include "platform/defproc.h"
#include "platform/dlgtemplate.h"
#include "platform/events.h"
#include "platform/readability.h"
#include "platform/fixedsize.h"
#include "platform/gdi.h"
#include "platform/qtconvert.h"
#include "platform/qtgdi.h"
#include "platform/qtwindow.h"
#include "platform/resources.h"

namespace platform {
namespace {

// The dialog's own widget: the Close box and Qt's own Escape handling become IDCANCEL requests.
class DialogWindow : public QDialog {
public:
    using QDialog::QDialog;
    void reject() override { ::SendMessage(WindowFromWidget(this), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        ::SendMessage(WindowFromWidget(this), WM_SYSCOMMAND, SC_CLOSE, 0);
    }
};

struct Scale {
    int averageWidth;
    int height;
    QRect operator()(int x, int y, int cx, int cy) const {
        return QRect(DialogUnitsToPixelsX(x, averageWidth), DialogUnitsToPixelsY(y, height),
                     DialogUnitsToPixelsX(cx, averageWidth), DialogUnitsToPixelsY(cy, height));
    }
};

HFONT TemplateFont(const DialogTemplate& dialogTemplate) {
    LOGFONT description{};
    description.lfHeight = -((dialogTemplate.pointSize * 96 + 36) / 72);  // points at 96 dots per inch
    description.lfWeight = dialogTemplate.weight;
    description.lfItalic = dialogTemplate.italic ? 1 : 0;
    description.lfCharSet = dialogTemplate.charSet;
    std::strncpy(description.lfFaceName, dialogTemplate.fontFace, sizeof description.lfFaceName - 1);
    return CreateFontIndirect(&description);
}

// A wrapped text that the substitute font makes longer than its rectangle may grow downwards, as far as
// the dialog reaches, rather than lose its last line.
void FitWrappedText(QLabel* label, int dialogHeight) {
    if (!label->wordWrap())
        return;
    const int needed = label->heightForWidth(label->width());
    if (needed > label->height())
        label->resize(label->width(), std::min(needed, dialogHeight - label->y()));
}

// A list's lines can be copied: "Copy" (and Ctrl+C) the selected ones, "Copy All" every line, in the
// list's order, one per line.
void AddCopyActions(QListWidget* list) {
    const auto copy = [list](bool all) {
        QStringList lines;
        for (int i = 0; i < list->count(); ++i)
            if (all || list->item(i)->isSelected())
                lines << list->item(i)->text();
        if (!lines.isEmpty())
            QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
    };
    auto* copySelected = new QAction(QObject::tr("Copy") + QLatin1Char('\t') + QKeySequence(QKeySequence::Copy).toString(), list);
    copySelected->setObjectName(QLatin1String(platform::kCopyActionName));
    QObject::connect(copySelected, &QAction::triggered, list, [copy] { copy(false); });
    auto* copyAll = new QAction(QObject::tr("Copy All"), list);
    QObject::connect(copyAll, &QAction::triggered, list, [copy] { copy(true); });
    list->addActions({copySelected, copyAll});
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
}

// Each input and list is named for a screen reader by its label: the group box around it, else the
// static text on its left on the same line.
void NameFromLabels(QWidget* dialog) {
    const QList<QWidget*> children = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* input : children) {
        if (!qobject_cast<QLineEdit*>(input) && !qobject_cast<QPlainTextEdit*>(input) && !qobject_cast<QListWidget*>(input))
            continue;
        QString name;
        int nearest = INT_MAX;
        for (QWidget* label : children) {
            const QRect around = label->geometry();
            if (auto* box = qobject_cast<QGroupBox*>(label); box && around.contains(input->geometry())) {
                name = box->title();
                break;
            }
            auto* text = qobject_cast<QLabel*>(label);
            const int gap = input->geometry().left() - around.right();
            if (text && !text->text().isEmpty() && gap >= 0 && gap < nearest && around.top() < input->geometry().bottom() &&
                around.bottom() > input->geometry().top()) {
                nearest = gap;
                name = text->text();
            }
        }
        if (!name.isEmpty())
            input->setAccessibleName(name);
    }
}

QLabel* MakeStatic(const DialogControl& control, QWidget* parent, QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setMouseTracking(true);
    const DWORD type = control.style & SS_TYPEMASK;
    QPixmap picture;
    if (type == SS_ICON) {
        HICON icon = LoadIcon(AfxGetInstanceHandle(), control.image);
        picture = icon ? icon->icon.pixmap(icon->pixmap.size(), qGuiApp->devicePixelRatio()) : QPixmap();
    } else if (type == SS_BITMAP) {
        picture = LoadBitmapPixmap(control.image);
    }
    if (!picture.isNull()) {
        label->setPixmap(picture);
        geometry.setSize(picture.deviceIndependentSize().toSize());  // picture statics take the picture's size
    } else {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    if (control.style & SS_SUNKEN) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
        geometry.setSize(geometry.size() + QSize(2, 2));
    }
    return label;
}

QWidget* MakeControl(const DialogControl& control, QWidget* parent, QRect& geometry, WindowKind& kind) {
    switch (control.kind) {
    case ControlClass::Button:
        if ((control.style & 0xF) == BS_GROUPBOX) {
            kind = WindowKind::GroupBox;
            auto* box = new QGroupBox(parent);
            box->setAttribute(Qt::WA_TransparentForMouseEvents);  // hit tests pass through a group box
            return box;
        } else {
            kind = WindowKind::Button;
            auto* button = new QPushButton(parent);
            button->setAutoDefault(false);
            button->setDefault((control.style & 0xF) == BS_DEFPUSHBUTTON);
            return button;
        }
    case ControlClass::Edit:
        if (control.style & ES_MULTILINE) {
            kind = WindowKind::MultiLineEdit;
            auto* edit = new QPlainTextEdit(parent);
            edit->setReadOnly(control.style & ES_READONLY);
            edit->setVerticalScrollBarPolicy(control.style & WS_VSCROLL ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
            return edit;
        } else {
            kind = WindowKind::Edit;
            auto* edit = new QLineEdit(parent);
            edit->setFrame(control.style & WS_BORDER);
            edit->setReadOnly(control.style & ES_READONLY);
            return edit;
        }
    case ControlClass::ListBox: {
        kind = WindowKind::ListBox;
        auto* list = new QListWidget(parent);
        list->setVerticalScrollBarPolicy(control.style & WS_VSCROLL ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        AddCopyActions(list);
        return list;
    }
    case ControlClass::Static: kind = WindowKind::Static; return MakeStatic(control, parent, geometry);
    }
    return nullptr;
}

void Connect(QWidget* widget, HWND dialog, HWND window) {
    if (auto* button = qobject_cast<QPushButton*>(widget))
        QObject::connect(button, &QPushButton::clicked, [dialog, window] {
            ::SendMessage(dialog, WM_COMMAND, MAKEWPARAM(WORD(window->id), BN_CLICKED), reinterpret_cast<LPARAM>(window));
        });
}

// A new widget's window: default processing, and its Qt events as messages.
HWND MakeWindow(QWidget* widget, WindowKind kind, int id, DWORD style, HWND parent) {
    HWND window = RegisterWindow(widget, kind, id, style, parent, &DefaultWindowProc);
    widget->installEventFilter(Bridge());
    KeepReadable(widget);
    return window;
}

HWND MakeDialog(const DialogTemplate& dialogTemplate, HWND owner) {
    auto* widget = new DialogWindow(WidgetOf(owner));
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (dialogTemplate.style & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dialogTemplate.style & WS_MINIMIZEBOX)
        flags |= Qt::WindowMinimizeButtonHint;
    widget->setWindowFlags(flags);
    widget->setSizeGripEnabled(false);
    HWND dialog = MakeWindow(widget, WindowKind::Dialog, 0, dialogTemplate.style, owner);
    dialog->font = dialog->ownedFont = TemplateFont(dialogTemplate);
    widget->setFont(dialog->font->font);
    DefaultWindowProc(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dialogTemplate.caption));
    return dialog;
}

QWidget* AddControl(const DialogControl& control, HWND dialog, const Scale& scale) {
    QRect geometry = scale(control.x, control.y, control.cx, control.cy);
    WindowKind kind = WindowKind::Static;
    QWidget* child = MakeControl(control, dialog->widget, geometry, kind);
    child->setGeometry(geometry);
    child->setFocusPolicy(control.style & WS_TABSTOP ? Qt::StrongFocus : Qt::NoFocus);
    HWND window = MakeWindow(child, kind, control.id, control.style, dialog);
    DefaultWindowProc(window, WM_SETFONT, reinterpret_cast<WPARAM>(dialog->font), 0);
    if (control.text)
        DefaultWindowProc(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(control.text));
    if (kind == WindowKind::Static)
        FitWrappedText(static_cast<QLabel*>(child), dialog->widget->height());
    Connect(child, dialog, window);
    if (kind == WindowKind::GroupBox)
        child->lower();
    return child;
}

}  // namespace

HWND CreateDialogWindow(const DialogTemplate& dialogTemplate, HWND owner) {
    ShowWindowsToAssistiveTechnology();
    HWND dialog = MakeDialog(dialogTemplate, owner);
    QWidget* widget = dialog->widget;
    const QFontMetrics metrics(dialog->font->font);
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const Scale scale{(letters / 26 + 1) / 2, metrics.height()};
    widget->setFixedSize(scale(0, 0, dialogTemplate.cx, dialogTemplate.cy).size());
    KeepFixedSizeWhenMaximized(widget);

    QWidget* previousStop = nullptr;
    for (const DialogControl& control : dialogTemplate.controls) {
        QWidget* child = AddControl(control, dialog, scale);
        if (control.style & WS_TABSTOP) {
            if (previousStop)
                QWidget::setTabOrder(previousStop, child);
            previousStop = child;
        }
    }
    NameFromLabels(widget);
    return dialog;
}

}  // namespace platform
