// ResolveQuery through the C library's resolver against a real DNS server.
#include <arpa/inet.h>
#include <netdb.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "lookup/lookuprequest.h"
#include "lookup/resolvequery.h"
#include "tests/e2e/e2e.h"

namespace {

std::vector<CString> Resolve(const char* query) {
    std::vector<CString> answers{"a line from before"};
    ResolveQuery(query, answers);
    return answers;
}

const std::vector<CString> kFailure{CANT_RESOLVE};

}  // namespace

TEST(RealResolution, AnswersFromTheTestZone) {
    struct Case {
        const char* name;
        const char* query;
        std::vector<CString> answers;
    };
    const Case cases[] = {
        {"reverse_name", "198.51.100.1", {"three.nomvara.test"}},
        {"digit_leading_name", "1e100.nomvara.test", {"198.51.100.7"}},
        {"hosts_file_name", "hosts-only.nomvara.test", {"198.51.100.50"}},
        {"unknown_name", "nothere.nomvara.test", kFailure},
        {"address_without_name", "198.51.100.200", kFailure},
        {"name_without_ipv4", "v6only.nomvara.test", {}},
        {"outside_the_zone", "www.example.com", kFailure},
        {"empty", "", kFailure},
        {"leading_blank", " three.nomvara.test", kFailure},
    };
    for (const Case& each : cases)
        EXPECT_EQ(Resolve(each.query), each.answers) << each.name;
}

TEST(RealResolution, ANameGivesEveryAddressInTheServicesOrder) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    ASSERT_EQ(getaddrinfo("three.nomvara.test", nullptr, &hints, &found), 0);
    std::vector<CString> serviceOrder;
    for (addrinfo* each = found; each; each = each->ai_next) {
        char text[INET_ADDRSTRLEN];
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(each->ai_addr)->sin_addr, text, sizeof text);
        serviceOrder.emplace_back(text);
    }
    freeaddrinfo(found);
    ASSERT_EQ(serviceOrder.size(), 3u);
    EXPECT_EQ(Resolve("three.nomvara.test"), serviceOrder);
}

TEST(RealResolution, ALongRegisteredNameArrivesWhole) {
    const char* longName = std::getenv("NOMVARA_LONG_NAME");
    ASSERT_NE(longName, nullptr);
    ASSERT_GT(std::string(longName).size(), 180u);
    EXPECT_EQ(Resolve("198.51.100.9"), std::vector<CString>{longName});
}

TEST(RealResolution, SixteenThreadsAtOnceEachGetTheirOwnAnswers) {
    std::vector<int> wrong(16, 0);
    std::vector<std::thread> threads;
    for (int i = 0; i < 16; ++i)
        threads.emplace_back([&, i] {
            const std::string name = "n" + std::to_string(i) + ".nomvara.test";
            const std::vector<CString> expected{CString("198.51.100." + std::to_string(100 + i))};
            for (int round = 0; round < 20; ++round)
                wrong[i] += Resolve(name.c_str()) != expected;
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, std::vector<int>(16, 0));
}
