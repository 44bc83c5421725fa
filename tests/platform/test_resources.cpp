// The resources of the platform tests: two small dialogs.
#include "tests/platform/test_dialogs.h"

#include "platform/dlgtemplate.h"
#include "platform/gdi.h"
#include "platform/resources.h"

namespace {

using enum ControlClass;

constexpr DialogControl kControls[] = {
    {IDC_TEST_EDIT, Edit, "", 0, 10, 10, 100, 14, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {IDC_TEST_BUTTON, Button, "Press", 0, 120, 10, 50, 14, WS_TABSTOP | BS_DEFPUSHBUTTON},
    {IDC_TEST_LIST, ListBox, nullptr, 0, 10, 30, 100, 60, WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_SORT},
    {IDC_TEST_STATIC, Static, "Label", 0, 120, 30, 60, 8, SS_LEFT},
    {IDC_TEST_MULTILINE, Edit, "", 0, 120, 44, 60, 30, WS_BORDER | ES_MULTILINE | ES_READONLY},
};

constexpr DialogControl kSecondControls[] = {
    {IDOK, Button, "OK", 0, 10, 10, 50, 14, WS_TABSTOP | BS_DEFPUSHBUTTON},
};

const DialogTemplate kFirst{"First", "MS Sans Serif", 8, FW_NORMAL, false, 1, 0, 0, 200, 100,
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT, kControls};
const DialogTemplate kSecond{"Second", "MS Sans Serif", 8, FW_NORMAL, false, 1, 0, 0, 80, 40,
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT, kSecondControls};

const ResourceEntry kEntries[] = {
    {ResourceType::Dialog, IDD_TEST_FIRST, &kFirst, sizeof kFirst},
    {ResourceType::Dialog, IDD_TEST_SECOND, &kSecond, sizeof kSecond},
    {ResourceType::String, IDS_TEST, "A test string", 0},
};

}  // namespace

const ResourceTable g_programResources{kEntries, std::size(kEntries)};
