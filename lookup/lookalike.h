// Letters of a name that can pass for others, by the checks of Unicode's UTS #39 (ICU's spoof checker),
// on which browsers build their display of such names. The one place that asks ICU.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct LookAlike {
    enum class Kind {
        None,
        MixedScripts,  // a label mixes scripts beyond what UTS #39's Highly Restrictive level allows
        WholeScript,   // a label wholly in one non-Latin script whose confusable skeleton is plain ASCII
    };
    Kind kind = Kind::None;
    std::vector<std::string> scripts{};  // the scripts' names, in the order their letters come
};

// The first label of a name in UTF-8 that looks like what it is not; None for plain ASCII, for text
// that is no UTF-8, and wherever ICU cannot tell. ICU's data is loaded on the first name beyond ASCII.
LookAlike LookAlikeLetters(std::string_view name);
