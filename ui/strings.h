// The program's fixed texts.
#pragma once

constexpr const char* PRODUCT_NAME = "Nomvara Route Explorer";
constexpr const char* PRODUCT_BLURB = "Nomvara Route Explorer draws every hop between your computer and any host, live.";
constexpr const char* MAKER_NOTICE = "Copyright (C) 2026 Nomvara Software";
constexpr const char* MAKER_SITE = "www.nomvara-software.example";
// What screen readers call the banner, a picture that opens the maker's home page.
constexpr const char* BANNER_NAME = "Nomvara Software home page";
// The desktop entry's name, without ".desktop" (desktop/org.example.Nomvara.desktop).
constexpr const char* DESKTOP_ENTRY = "org.example.Nomvara";
constexpr const char* ABOUT_MENU_TEXT = "&About Nomvara...";
constexpr const char* HELP_TEXT =
    "Dns Query: Fill Ip Addres to get  DNS name or fill DNS name \r\n"
    "( for example: www.example.com ) to get appropriate IP Addresses.";
