// The two dialog templates, in dialog units.
#include "ui/templates.h"

#include "platform/dlgtemplate.h"
#include "ui/resourceids.h"
#include "ui/strings.h"

namespace {

using enum ControlClass;

constexpr DialogControl kMainControls[] = {
    {IDC_QUERY, Edit, "", 0, 73, 90, 90, 14, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {IDC_GET, Button, "Get ", 0, 167, 90, 51, 14, WS_TABSTOP | BS_DEFPUSHBUTTON},
    {IDC_RESPONSES, ListBox, nullptr, 0, 231, 96, 175, 60,
     WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT},
    {IDC_STATIC, Button, "Dns Response", 0, 225, 86, 187, 75, BS_GROUPBOX},
    {IDC_BANNER, Static, nullptr, IDB_BANNER, 7, 7, 409, 54, SS_BITMAP | SS_NOTIFY | SS_SUNKEN},
    {IDC_PRODUCT_NAME, Static, PRODUCT_NAME, 0, 156, 63, 112, 8, WS_GROUP | SS_LEFT},
    {IDC_PRODUCT_TEXT, Static, PRODUCT_BLURB, 0, 15, 73, 336, 8, WS_GROUP | SS_LEFT},
    {IDC_LOCAL_ADDRESSES, Edit, "", 0, 73, 107, 145, 36, WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY},
    {IDC_STATIC, Static, "Local IP Addresses:", 0, 8, 111, 64, 8, WS_GROUP | SS_LEFT},
    {IDC_STATIC, Static, "Dns Query:", 0, 34, 92, 36, 8, WS_GROUP | SS_LEFT},
    {IDC_STATIC, Static, HELP_TEXT, 0, 15, 145, 199, 18, WS_GROUP | SS_LEFT},
    {IDC_DOWNLOAD, Button, "Download Now!", 0, 354, 71, 57, 14, WS_TABSTOP | BS_PUSHBUTTON},
};

constexpr DialogControl kAboutControls[] = {
    {IDOK, Button, "OK", 0, 195, 7, 50, 14, WS_TABSTOP | BS_DEFPUSHBUTTON},
    {IDCANCEL, Button, "Cancel", 0, 195, 24, 50, 14, WS_TABSTOP | BS_PUSHBUTTON},
    {IDC_STATIC, Static, nullptr, IDR_MAINFRAME, 17, 17, 20, 20, SS_ICON},
    {IDC_STATIC, Static, "Nomvara 1.3.1", 0, 47, 17, 73, 8, WS_GROUP | SS_LEFT},
    {IDC_MAKER_LINK, Static, MAKER_NOTICE, 0, 47, 30, 126, 8, WS_GROUP | SS_LEFT},
    {IDC_SITE_LINK, Static, MAKER_SITE, 0, 47, 43, 126, 8, WS_GROUP | SS_LEFT},
};

constexpr BYTE DEFAULT_CHARSET = 1;

}  // namespace

const DialogTemplate kMainDialogTemplate{
    "Nomvara", "MS Sans Serif", 8, FW_NORMAL, false, DEFAULT_CHARSET, 0, 0, 423, 174,
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT,
    kMainControls};

const DialogTemplate kAboutDialogTemplate{
    "About Nomvara", "MS Sans Serif", 8, FW_NORMAL, false, DEFAULT_CHARSET, 0, 0, 252, 74,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, kAboutControls};
