// Resource and control identifiers.
#pragma once

#include "platform/wintypes.h"

constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDS_ABOUTBOX = 101;
constexpr UINT IDD_MAIN_DIALOG = 102;
constexpr UINT IDR_MAINFRAME = 128;
constexpr UINT IDC_HAND_CURSOR = 131;
constexpr UINT IDB_BANNER = 133;
constexpr UINT VS_VERSION_INFO = 1;

constexpr UINT IDM_ABOUTBOX = 0x0010;

// Main dialog controls.
constexpr int IDC_QUERY = 1000;
constexpr int IDC_GET = 1002;
constexpr int IDC_RESPONSES = 1003;
constexpr int IDC_BANNER = 1004;
constexpr int IDC_PRODUCT_NAME = 1005;
constexpr int IDC_PRODUCT_TEXT = 1006;
constexpr int IDC_LOCAL_ADDRESSES = 1007;
constexpr int IDC_DOWNLOAD = 1008;

// About box controls.
constexpr int IDC_MAKER_LINK = 1006;
constexpr int IDC_SITE_LINK = 1007;

constexpr int IDC_STATIC = -1;
