// ResolveQuery against a scripted name service.
#include <netdb.h>

#include <gtest/gtest.h>

#include "tests/lookup/resolutioncases.h"

using namespace resolution_cases;

namespace {

class ResolveQueryTest : public ::testing::Test {
protected:
    void SetUp() override { ScriptTheTestZone(resolver); }
    testing_support::ScriptedResolver resolver;
};

}  // namespace

TEST_F(ResolveQueryTest, ClassifiesByTheFirstByteAndAnswersFromTheScript) {
    int played = 0;
    for (const Case& each : kCases) {
        if (each.plays == Plays::RealOnly)
            continue;
        ++played;
        const int before = resolver.Calls();
        EXPECT_EQ(Resolve(each.query), each.answers) << each.name;
        EXPECT_EQ(resolver.Calls() - before, each.calls) << each.name;
    }
    EXPECT_GT(played, 20) << "the table plays";
}

TEST_F(ResolveQueryTest, EveryErrorOfTheServiceIsOneFailureLineButANameWithoutIpv4AddressesHasNoLines) {
    for (int error : {EAI_NONAME, EAI_AGAIN, EAI_FAIL, EAI_NODATA, EAI_SYSTEM, EAI_IDN_ENCODE}) {
        resolver.AddName("failing.example", {"192.0.2.1"}, error);
        resolver.AddAddress("192.0.2.60", "failing.example", error);
        EXPECT_EQ(Resolve("failing.example"), error == EAI_NODATA ? std::vector<CString>{} : kFailure) << error;
        EXPECT_EQ(Resolve("192.0.2.60"), kFailure) << error;
    }
}
