// Message tables: static data, one per class, chained to the base class's table.
// Each entry decodes its message's arguments once and calls a named handler.
#pragma once

#include <iterator>
#include <span>

#include "platform/wintypes.h"

class CCmdTarget;

struct MessageEntry {
    UINT message;
    WORD code;  // notification code, for WM_COMMAND
    UINT id;    // control or command id, for WM_COMMAND
    LRESULT (*handler)(CCmdTarget& target, WPARAM wParam, LPARAM lParam);
};

struct MessageMap {
    const MessageMap* base;
    std::span<const MessageEntry> (*entries)();
};

#define DECLARE_MESSAGE_MAP()                                      \
protected:                                                         \
    static std::span<const MessageEntry> MessageEntries();         \
                                                                   \
public:                                                            \
    static const MessageMap messageMap;                            \
    const MessageMap* GetMessageMap() const override;              \
                                                                   \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
    const MessageMap theClass::messageMap{&baseClass::messageMap, &theClass::MessageEntries}; \
    const MessageMap* theClass::GetMessageMap() const { return &messageMap; }           \
    std::span<const MessageEntry> theClass::MessageEntries() {                          \
        using ThisClass [[maybe_unused]] = theClass;                                    \
        static const MessageEntry entries[] = {

#define END_MESSAGE_MAP()                   \
    MessageEntry{0, 0, 0, nullptr}          \
    };                                      \
    return {entries, std::size(entries) - 1}; \
    }

#define NOMVARA_HANDLER(body) [](CCmdTarget& target, WPARAM wParam, LPARAM lParam) -> LRESULT { \
    auto& self = static_cast<ThisClass&>(target);                                                \
    (void)self; (void)wParam; (void)lParam;                                                      \
    body                                                                                         \
}

#define ON_COMMAND(id, fn) MessageEntry{WM_COMMAND, 0, UINT(id), NOMVARA_HANDLER((self.*fn)(); return 0;)},
#define ON_BN_CLICKED(id, fn) MessageEntry{WM_COMMAND, BN_CLICKED, UINT(id), NOMVARA_HANDLER((self.*fn)(); return 0;)},
#define ON_MESSAGE(msg, fn) MessageEntry{UINT(msg), 0, 0, NOMVARA_HANDLER(return (self.*fn)(wParam, lParam);)},
#define ON_WM_PAINT() MessageEntry{WM_PAINT, 0, 0, NOMVARA_HANDLER(self.OnPaint(); return 0;)},
#define ON_WM_QUERYDRAGICON() \
    MessageEntry{WM_QUERYDRAGICON, 0, 0, NOMVARA_HANDLER(return reinterpret_cast<LRESULT>(self.OnQueryDragIcon());)},
#define ON_WM_SYSCOMMAND() \
    MessageEntry{WM_SYSCOMMAND, 0, 0, NOMVARA_HANDLER(self.OnSysCommand(UINT(wParam), lParam); return 0;)},
#define ON_WM_CTLCOLOR_REFLECT()                                                           \
    MessageEntry{WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0,                                      \
                 NOMVARA_HANDLER(return reinterpret_cast<LRESULT>(                         \
                     self.CtlColor(reinterpret_cast<CDC*>(wParam), UINT(lParam)));)},
#define ON_WM_NCHITTEST() \
    MessageEntry{WM_NCHITTEST, 0, 0, NOMVARA_HANDLER(return self.OnNcHitTest(PointFromLParam(lParam));)},
#define ON_WM_SETCURSOR()                                                                          \
    MessageEntry{WM_SETCURSOR, 0, 0,                                                               \
                 NOMVARA_HANDLER(return self.OnSetCursor(reinterpret_cast<HWND>(wParam),           \
                                                         UINT(LOWORD(WPARAM(lParam))),             \
                                                         UINT(HIWORD(WPARAM(lParam))));)},
#define ON_WM_LBUTTONDOWN()                                                                    \
    MessageEntry{WM_LBUTTONDOWN, 0, 0,                                                         \
                 NOMVARA_HANDLER(self.OnLButtonDown(UINT(wParam), PointFromLParam(lParam)); return 0;)},

// Points travel in lParam as two signed 16-bit halves.
constexpr LPARAM PointToLParam(POINT point) {
    return LPARAM((WPARAM(WORD(point.x)) | (WPARAM(WORD(point.y)) << 16)));
}
constexpr POINT PointFromLParam(LPARAM value) {
    return POINT{static_cast<short>(LOWORD(WPARAM(value))), static_cast<short>(HIWORD(WPARAM(value)))};
}
