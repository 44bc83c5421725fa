#include "platform/modalruns.h"

#include <vector>

namespace platform {
namespace {

std::vector<ModalRun>& Runs() {
    thread_local std::vector<ModalRun> runs;
    return runs;
}

}  // namespace

ModalRunScope::ModalRunScope(ModalRun run) { Runs().push_back(run); }

ModalRunScope::~ModalRunScope() { Runs().pop_back(); }

const ModalRun* InnermostModalRun() { return Runs().empty() ? nullptr : &Runs().back(); }

}  // namespace platform
