// The four web addresses the program opens: HTTP on the maker's site, then utm_source, utm_medium
// and utm_campaign in that order. The maker's site is under a reserved name, so no real company is sent
// the program's users.
#pragma once

#define NOMVARA_HOME "http://www.nomvara-software.example"
#define NOMVARA_PRODUCT_PAGE NOMVARA_HOME "/products/route-explorer.html"

constexpr const char* HOME_BANNER_URL =
    NOMVARA_HOME "?utm_source=nomvara_banner&utm_medium=nomvara_banner&utm_campaign=nomvara";
constexpr const char* HOME_LINK_URL =
    NOMVARA_HOME "?utm_source=nomvara_link&utm_medium=nomvara_link&utm_campaign=nomvara";
constexpr const char* PRODUCT_LINK_URL =
    NOMVARA_PRODUCT_PAGE "?utm_source=nomvara&utm_medium=nomvara_link&utm_campaign=nomvara";
constexpr const char* PRODUCT_BUTTON_URL =
    NOMVARA_PRODUCT_PAGE "?utm_source=nomvara&utm_medium=nomvara_button&utm_campaign=nomvara";

#undef NOMVARA_PRODUCT_PAGE
#undef NOMVARA_HOME
