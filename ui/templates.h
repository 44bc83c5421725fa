#pragma once

#include "platform/dlgtemplate.h"
#include "platform/gdi.h"

extern const DialogTemplate kMainDialogTemplate;   // IDD_MAIN_DIALOG
extern const DialogTemplate kAboutDialogTemplate;  // IDD_ABOUTBOX
