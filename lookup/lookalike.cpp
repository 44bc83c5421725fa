#include "lookup/lookalike.h"

#include <unicode/uscript.h>
#include <unicode/uspoof.h>
#include <unicode/utf8.h>

#include <algorithm>

namespace {

// Made once, on the first name beyond ASCII; ICU lets threads check with one checker at once.
const USpoofChecker* Checker() {
    static USpoofChecker* const checker = [] {
        UErrorCode status = U_ZERO_ERROR;
        USpoofChecker* made = uspoof_open(&status);
        uspoof_setChecks(made, USPOOF_RESTRICTION_LEVEL, &status);
        uspoof_setRestrictionLevel(made, USPOOF_HIGHLY_RESTRICTIVE);
        return U_SUCCESS(status) ? made : nullptr;
    }();
    return checker;
}

// The scripts of a label's letters, each once; nothing for text that is no UTF-8.
std::vector<std::string> ScriptsOf(std::string_view label, bool& valid) {
    std::vector<std::string> scripts;
    for (int32_t at = 0; at < int32_t(label.size());) {
        UChar32 letter;
        U8_NEXT(label.data(), at, int32_t(label.size()), letter);
        UErrorCode status = U_ZERO_ERROR;
        const UScriptCode script = letter < 0 ? USCRIPT_INVALID_CODE : uscript_getScript(letter, &status);
        valid = valid && letter >= 0 && U_SUCCESS(status);
        const std::string name = script == USCRIPT_COMMON || script == USCRIPT_INHERITED || !valid ? "" : uscript_getName(script);
        if (!name.empty() && std::find(scripts.begin(), scripts.end(), name) == scripts.end())
            scripts.push_back(name);
    }
    return scripts;
}

LookAlike LabelLookAlike(const USpoofChecker* checker, std::string_view label) {
    bool valid = true;
    std::vector<std::string> scripts = ScriptsOf(label, valid);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t failed = uspoof_checkUTF8(checker, label.data(), int32_t(label.size()), nullptr, &status);
    if (!valid || U_FAILURE(status))
        return {};
    if (failed & USPOOF_RESTRICTION_LEVEL)
        return {LookAlike::Kind::MixedScripts, std::move(scripts)};
    if (scripts.size() != 1 || scripts[0] == "Latin")
        return {};
    char skeleton[1024];
    const int32_t length = uspoof_getSkeletonUTF8(checker, 0, label.data(), int32_t(label.size()), skeleton, sizeof skeleton, &status);
    const bool ascii = U_SUCCESS(status) && std::all_of(skeleton, skeleton + length, [](char each) { return (each & 0x80) == 0; });
    return ascii ? LookAlike{LookAlike::Kind::WholeScript, std::move(scripts)} : LookAlike{};
}

}  // namespace

LookAlike LookAlikeLetters(std::string_view name) {
    if (std::all_of(name.begin(), name.end(), [](char each) { return (each & 0x80) == 0; }) || !Checker())
        return {};
    for (std::size_t start = 0; start <= name.size();) {
        const std::size_t end = std::min(name.find('.', start), name.size());
        if (LookAlike found = LabelLookAlike(Checker(), name.substr(start, end - start)); found.kind != LookAlike::Kind::None)
            return found;
        start = end + 1;
    }
    return {};
}
