// ResolveQuery through the C library's resolver against a real DNS server.
#include <arpa/inet.h>
#include <netdb.h>

#include <gtest/gtest.h>

#include <thread>

#include "tests/lookup/resolutioncases.h"

using namespace resolution_cases;

TEST(RealResolution, AnswersFromTheTestZone) {
    int played = 0;
    for (const Case& each : kCases) {
        if (each.plays != Plays::ScriptedOnly) {
            ++played;
            EXPECT_EQ(Resolve(each.query), each.answers) << each.name;
        }
    }
    EXPECT_GT(played, 15) << "the table plays";
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

TEST(RealResolution, SixteenThreadsAtOnceEachGetTheirOwnAnswers) {
    std::vector<int> wrong(16, 0);
    std::vector<std::thread> threads;
    for (int i = 0; i < 16; ++i)
        threads.emplace_back([&, i] {
            const std::string name = std::string("n").append(std::to_string(i)).append(".nomvara.test");
            const std::vector<CString> expected{CString("198.51.100." + std::to_string(100 + i))};
            for (int round = 0; round < 20; ++round)
                wrong[i] += Resolve(name.c_str()) != expected;
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, std::vector<int>(16, 0));
}
