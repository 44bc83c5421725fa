#pragma once

#include "platform/wintypes.h"

constexpr UINT IDD_TEST_FIRST = 200;
constexpr UINT IDD_TEST_SECOND = 201;
constexpr UINT IDS_TEST = 202;
constexpr int IDC_TEST_EDIT = 300;
constexpr int IDC_TEST_BUTTON = 301;
constexpr int IDC_TEST_LIST = 302;
constexpr int IDC_TEST_STATIC = 303;
constexpr int IDC_TEST_MULTILINE = 304;
