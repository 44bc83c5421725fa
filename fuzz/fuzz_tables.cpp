// The pending table and the answer cache under any sequence of insert, find and erase, checked against
// a plain model; a record lent out never moves.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "lookup/lookuptables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PendingRequests pending;
    AnswerCache cache;
    std::map<std::uint32_t, std::string> pendingModel;
    std::map<std::string, std::string> cacheModel;
    std::map<std::uint32_t, const LookupRequest*> addresses;
    for (std::size_t at = 0; at + 3 <= size;) {
        const std::uint8_t operation = data[at] % 5;
        const std::uint32_t id = data[at + 1] % 32;
        const std::size_t length = std::min<std::size_t>(data[at + 2] % 8, size - at - 3);
        const std::string text(reinterpret_cast<const char*>(data + at + 3), length);
        at += 3 + length;
        LookupRequest request;
        request.requestId = id;
        request.query = CString(text);
        request.answers = {CString(text + "!")};
        switch (operation) {
        case 0:
            if (pending.InsertIfAbsent(request) != !pendingModel.count(id))
                std::abort();
            pendingModel.emplace(id, text);
            addresses.emplace(id, &pending.Find(id)->request);
            break;
        case 1:
            if (const auto found = pending.Find(id)) {
                if (!pendingModel.count(id) || found->request.query.str() != pendingModel[id] || &found->request != addresses[id])
                    std::abort();
                pending.Erase(id);
                pendingModel.erase(id);
                addresses.erase(id);
            } else if (pendingModel.count(id)) {
                std::abort();
            }
            break;
        case 2:
            if (cache.InsertIfAbsent(request) != !cacheModel.count(text))
                std::abort();
            cacheModel.emplace(text, text + "!");
            break;
        default: {
            const StoredLookup* found = cache.Find(CString(text));
            if ((found != nullptr) != (cacheModel.count(text) != 0))
                std::abort();
            if (found && found->request.answers.front().str() != cacheModel[text])
                std::abort();
        }
        }
    }
    for (std::uint32_t id = 0; id < 32; ++id)
        if (pending.Contains(id) != (pendingModel.count(id) != 0))
            std::abort();
    return 0;
}
