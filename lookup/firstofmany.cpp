#include "lookup/firstofmany.h"

std::string FirstOfMany(const std::vector<std::string>& items, std::size_t shown) {
    std::string text;
    for (std::size_t at = 0; at < items.size() && at < shown; ++at)
        text += (at ? ", " : "") + items[at];
    if (items.size() > shown)
        text += " and " + std::to_string(items.size() - shown) + " more";
    return text;
}
