#include "tests/e2e/e2e.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>

namespace {

std::unique_ptr<UdpRelay> g_relay;

class RelayEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        g_relay = std::make_unique<UdpRelay>();
        ASSERT_TRUE(g_relay->Listening()) << "run the end-to-end tests through tests/e2e/netns-run";
    }
    void TearDown() override { g_relay.reset(); }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new RelayEnvironment);

}  // namespace

UdpRelay& Relay() { return *g_relay; }

int LoggedQueries(const std::string& type, const std::string& name) {
    const char* path = std::getenv("NOMVARA_DNS_LOG");
    std::ifstream log(path ? path : "");
    const std::string wanted = "query[" + type + "] " + name + " ";
    int count = 0;
    for (std::string line; std::getline(log, line);)
        count += line.find(wanted) != std::string::npos;
    return count;
}
