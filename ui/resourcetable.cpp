// The program's resource table.
#include "platform/resources.h"
#include "ui/embedded.h"
#include "ui/resourceids.h"
#include "ui/strings.h"
#include "ui/templates.h"

namespace {

constexpr VersionInfo kVersion{0x0409, 1200, {1, 3, 1, 0}, "1, 3, 1, 0", "1, 3, 1, 0", "Nomvara", "Nomvara Software"};

const ResourceEntry kEntries[] = {
    {ResourceType::Dialog, IDD_ABOUTBOX, &kAboutDialogTemplate, sizeof kAboutDialogTemplate},
    {ResourceType::String, IDS_ABOUTBOX, ABOUT_MENU_TEXT, 0},
    {ResourceType::Dialog, IDD_MAIN_DIALOG, &kMainDialogTemplate, sizeof kMainDialogTemplate},
    {ResourceType::Icon, IDR_MAINFRAME, kNomvaraIco, kNomvaraIcoSize},
    {ResourceType::Icon, IDR_MAINFRAME, kNomvaraIco2x, kNomvaraIco2xSize, 2},
    {ResourceType::Cursor, IDC_HAND_CURSOR, kHandCur, kHandCurSize},
    {ResourceType::Bitmap, IDB_BANNER, kBannerBmp, kBannerBmpSize},
    {ResourceType::Bitmap, IDB_BANNER, kBannerBmp2x, kBannerBmp2xSize, 2},
    {ResourceType::Version, VS_VERSION_INFO, &kVersion, sizeof kVersion},
};

}  // namespace

const ResourceTable g_programResources{kEntries, std::size(kEntries)};
