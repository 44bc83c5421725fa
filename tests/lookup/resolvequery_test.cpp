// ResolveQuery against a scripted name service.
#include <netdb.h>

#include <gtest/gtest.h>

#include "lookup/lookuprequest.h"
#include "lookup/resolvequery.h"
#include "tests/support.h"

using testing_support::ScriptedResolver;

namespace {

std::vector<CString> Resolve(const char* query) {
    std::vector<CString> answers{"left over from before"};
    ResolveQuery(query, answers);
    return answers;
}

const std::vector<CString> kFailure{CANT_RESOLVE};

class ResolveQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        resolver.AddName("three.example", {"192.0.2.1", "192.0.2.3", "192.0.2.2"});
        resolver.AddName("1e100.example", {"192.0.2.7"});
        resolver.AddName("\xC3\xA9t\xC3\xA9.example", {"192.0.2.8"});
        resolver.AddName("nothing.example", {});
        resolver.AddAddress("192.0.2.1", "three.example");
        resolver.AddAddress("255.255.255.255", "broadcast.example");
    }
    ScriptedResolver resolver;
};

}  // namespace

TEST_F(ResolveQueryTest, ClassifiesByTheFirstByte) {
    struct Case {
        const char* name;
        const char* query;
        std::vector<CString> answers;
        int calls;
    };
    const Case cases[] = {
        {"letter_name", "three.example", {"192.0.2.1", "192.0.2.3", "192.0.2.2"}, 1},
        {"dotted_address", "192.0.2.1", {"three.example"}, 1},
        {"address_without_name", "192.0.2.99", kFailure, 1},
        {"broadcast_literal_is_an_address", "255.255.255.255", {"broadcast.example"}, 1},
        {"digit_leading_name", "1e100.example", {"192.0.2.7"}, 1},
        {"high_byte_leading_name", "\xC3\xA9t\xC3\xA9.example", {"192.0.2.8"}, 1},
        {"unknown_name", "unknown.example", kFailure, 1},
        {"empty_text", "", kFailure, 0},
        {"leading_blank", " three.example", kFailure, 0},
        {"leading_tab", "\tthree.example", kFailure, 0},
        {"leading_delete", "\x7Fthree.example", kFailure, 0},
        {"punctuation", "-.example", kFailure, 1},
    };
    for (const Case& each : cases) {
        const int before = resolver.Calls();
        EXPECT_EQ(Resolve(each.query), each.answers) << each.name;
        EXPECT_EQ(resolver.Calls() - before, each.calls) << each.name;
    }
}

TEST_F(ResolveQueryTest, ANameWithNoAddressesGivesNoLines) { EXPECT_TRUE(Resolve("nothing.example").empty()); }

TEST_F(ResolveQueryTest, ALongRegisteredNameArrivesWhole) {
    std::string longName;
    for (int label = 0; label < 4; ++label)
        longName += std::string(60, char('a' + label)) + ".";
    longName += "example";
    resolver.AddAddress("192.0.2.50", longName);
    EXPECT_EQ(Resolve("192.0.2.50"), std::vector<CString>{CString(longName)});
}

TEST_F(ResolveQueryTest, EveryErrorOfTheServiceIsOneFailureLine) {
    for (int error : {EAI_NONAME, EAI_AGAIN, EAI_FAIL, EAI_NODATA, EAI_SYSTEM, EAI_IDN_ENCODE}) {
        resolver.AddName("failing.example", {"192.0.2.1"}, error);
        resolver.AddAddress("192.0.2.60", "failing.example", error);
        EXPECT_EQ(Resolve("failing.example"), kFailure) << error;
        EXPECT_EQ(Resolve("192.0.2.60"), kFailure) << error;
    }
}
