// The question pool: a bounded number of threads, one question per name and resolver, the question
// asked last asked first unless an older one has waited too long, every asker told once, nothing asked
// that nobody wants, and no flood of questions for a resolver that has stopped answering.
#include <netdb.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/winthread.h"
#include "tasks/questionpool.h"
#include "tests/support.h"

using namespace std::chrono_literals;
using testing_support::ScriptedResolver;
using testing_support::WaitUntil;
using Names = std::vector<std::string>;

namespace {

// What each question's askers were told, by name.
class Answers {
public:
    QuestionPool::Told For(const std::string& name) {
        return [this, name](const QuestionAnswer& answer) {
            std::lock_guard lock(m_mutex);
            m_told.emplace_back(name, answer);
        };
    }
    std::vector<std::pair<std::string, QuestionAnswer>> Told() {
        std::lock_guard lock(m_mutex);
        return m_told;
    }
    bool Count(std::size_t count) {
        return WaitUntil([&] { return Told().size() == count; });
    }

private:
    std::mutex m_mutex;
    std::vector<std::pair<std::string, QuestionAnswer>> m_told;
};

class QuestionPoolTest : public ::testing::Test {
protected:
    void SetUp() override { resolver.AnswerEverything({0, "any", {}, {"2001:db8::1"}}); }
    void Ask(QuestionPool& pool, const std::string& name, QuestionPool::Wanted wanted = [] { return true; }) {
        pool.Ask({AF_INET6, name}, winsock::CurrentResolver(), answers.For(name), std::move(wanted));
    }
    Answers answers;
    // Ended after the resolver, which lets go of every question it holds, also when a test fails.
    std::optional<QuestionPool> pool;
    ScriptedResolver resolver;
};

}  // namespace

TEST_F(QuestionPoolTest, AtMostEightThreadsAskAndTheQuestionsBeyondWaitTheirTurn) {
    const int threadsBefore = testing_support::ProcessStatus("Threads:");
    pool.emplace();
    resolver.HoldIpv6();
    for (int i = 0; i < 10; ++i)
        Ask(*pool, "name" + std::to_string(i));
    ASSERT_TRUE(WaitUntil([&] { return resolver.Ipv6Waiting() >= 8; }));
    EXPECT_LE(testing_support::ProcessStatus("Threads:") - threadsBefore, 8);
    EXPECT_TRUE(answers.Told().empty()) << "waiting, not given up";
    resolver.ReleaseIpv6();
    ASSERT_TRUE(answers.Count(10));
    for (const auto& [name, answer] : answers.Told())
        EXPECT_EQ(answer.addresses, Names{"2001:db8::1"}) << name;
}

TEST_F(QuestionPoolTest, TheSameNameOutIsAskedOnceAndEveryAskerIsToldOnce) {
    pool.emplace();
    resolver.HoldIpv6();
    Ask(*pool, "same");
    Ask(*pool, "same");
    resolver.ReleaseIpv6();
    ASSERT_TRUE(answers.Count(2));
    EXPECT_EQ(resolver.Ipv6Asked(), Names{"same"});
    Ask(*pool, "same");
    ASSERT_TRUE(answers.Count(3));
    EXPECT_EQ(resolver.Ipv6Asked(), (Names{"same", "same"})) << "once answered, a name is asked again";
}

TEST_F(QuestionPoolTest, TheQuestionAskedLastGoesFirstUnlessAnOlderOneHasWaitedTooLong) {
    pool.emplace(1, 2s, 500ms);
    resolver.HoldIpv6();
    Ask(*pool, "busy");
    ASSERT_TRUE(WaitUntil([&] { return resolver.Ipv6Waiting() == 1; }));
    Ask(*pool, "oldest");
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return std::chrono::steady_clock::now() - asked > 500ms; }));
    Ask(*pool, "old");
    Ask(*pool, "new");
    Ask(*pool, "newest");
    resolver.ReleaseIpv6();
    ASSERT_TRUE(answers.Count(5));
    EXPECT_EQ(resolver.Ipv6Asked(), (Names{"busy", "oldest", "newest", "new", "old"}));
}

TEST_F(QuestionPoolTest, AQuestionNobodyWantsAnyMoreIsNeverAsked) {
    pool.emplace(1);
    resolver.HoldIpv6();
    Ask(*pool, "busy");
    ASSERT_TRUE(WaitUntil([&] { return resolver.Ipv6Waiting() == 1; }));
    std::atomic<bool> wanted{true};
    Ask(*pool, "withdrawn", [&] { return wanted.load(); });
    Ask(*pool, "joined", [] { return false; });
    Ask(*pool, "joined");
    wanted = false;
    resolver.ReleaseIpv6();
    ASSERT_TRUE(answers.Count(2));
    EXPECT_EQ(resolver.Ipv6Asked(), (Names{"busy", "joined"}));
    EXPECT_EQ(answers.Told().back().first, "joined") << "told once, to the asker that still wanted it";
}

TEST_F(QuestionPoolTest, AThreadThatEndsIdleMakesRoomAndWithoutAnyThreadTheQuestionIsNotAsked) {
    const auto threadEnded = [&] { return testing_support::ThreadWaits(resolver.LastIpv6Thread()) == -1; };
    pool.emplace(1, 10ms);
    Ask(*pool, "first");
    ASSERT_TRUE(answers.Count(1));
    ASSERT_TRUE(WaitUntil(threadEnded));
    Ask(*pool, "second");
    ASSERT_TRUE(answers.Count(2));
    ASSERT_TRUE(WaitUntil(threadEnded));
    SetThreadCreationFails(true);
    Ask(*pool, "third");
    SetThreadCreationFails(false);
    ASSERT_TRUE(answers.Count(3));
    EXPECT_EQ(answers.Told().back().second.error, EAI_SYSTEM) << "this computer could not ask it";
    EXPECT_EQ(resolver.Ipv6Asked(), (Names{"first", "second"}));
}

// Behind a server that drops such questions, the rest are told at once that they were left unasked,
// one question at a time listens for the server, and once it answers, questions are asked again.
TEST_F(QuestionPoolTest, AfterSeveralQuestionsInARowGotNoAnswerTheOthersAreLeftUnaskedButOne) {
    pool.emplace(1);
    resolver.AnswerEverything({0, "any", {}, {}, EAI_AGAIN});
    resolver.HoldIpv6();
    Ask(*pool, "silent0");
    ASSERT_TRUE(WaitUntil([&] { return resolver.Ipv6Waiting() == 1; }));
    for (int i = 1; i < 6; ++i)
        Ask(*pool, "silent" + std::to_string(i));
    resolver.ReleaseIpv6();
    ASSERT_TRUE(answers.Count(6));
    EXPECT_EQ(resolver.Ipv6Asked(), (Names{"silent0", "silent5", "silent4", "silent3"})) << "newest first, four in a row";
    for (const auto& [name, answer] : answers.Told())
        EXPECT_EQ(answer.leftUnasked, name == "silent1" || name == "silent2") << name;

    resolver.HoldIpv6();
    Ask(*pool, "probe");
    Ask(*pool, "meanwhile");
    ASSERT_TRUE(answers.Count(7));
    EXPECT_TRUE(answers.Told().back().second.leftUnasked) << "told at once, while the one listens";
    resolver.AnswerEverything({0, "any", {}, {"2001:db8::1"}});
    resolver.ReleaseIpv6();
    ASSERT_TRUE(answers.Count(8));
    Ask(*pool, "after");
    ASSERT_TRUE(answers.Count(9));
    EXPECT_EQ(answers.Told().back().second.addresses, Names{"2001:db8::1"});
    EXPECT_EQ(resolver.Ipv6Asked().back(), "after");
}
