// Resources compiled into the program: icons, cursors, bitmaps, strings, dialog templates, version.
#pragma once

#include <cstddef>

#include "platform/wintypes.h"

enum class ResourceType { Icon, Cursor, Bitmap, String, Dialog, Version };

// One resource: for Icon, Cursor and Bitmap the bytes of an .ico, .cur or .bmp file;
// for String a NUL-terminated text; for Dialog a DialogTemplate; for Version a VersionInfo.
struct ResourceEntry {
    ResourceType type;
    UINT id;
    const void* data;
    std::size_t size;
    int scale = 1;  // 2: the same icon or bitmap drawn for screens of twice the density
};

struct ResourceTable {
    const ResourceEntry* entries;
    std::size_t count;
};

// Every program links exactly one table, as a Windows program carries its resource section.
extern const ResourceTable g_programResources;

const ResourceEntry* FindResource(ResourceType type, UINT id, int scale = 1);

struct VersionInfo {
    WORD language;   // 0x0409, US English
    WORD codePage;   // 1200
    WORD fileVersion[4];
    const char* fileVersionText;
    const char* productVersionText;
    const char* productName;
    const char* companyName;
};

HINSTANCE AfxGetInstanceHandle();
HICON LoadIcon(HINSTANCE instance, UINT id);
HCURSOR LoadCursor(HINSTANCE instance, UINT id);
// Copies string `id` into `buffer` (at most size-1 bytes); returns its length, 0 when missing.
int LoadString(HINSTANCE instance, UINT id, char* buffer, int size);
