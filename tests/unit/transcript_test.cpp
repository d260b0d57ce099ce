// transcript.jsonl: JSON texts and numbers as the transcript writes them,
// and whole lines from processes appending at once.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/sim/machine/transcript.h"
#include "support/machine_fixture.h"

namespace {

TEST(Transcript, JsonTextsAndNumbers) {
    const std::pair<std::string, std::string> texts[] = {
        {"Install Printer Driver", "\"Install Printer Driver\""},
        {"a \"quoted\" C:\\path", "\"a \\\"quoted\\\" C:\\\\path\""},
        {"line\r\nnext\ttab", "\"line\\r\\nnext\\ttab\""},
        {std::string("\x01\x1f", 2), "\"\\u0001\\u001f\""},
        {"caf\xc3\xa9", "\"caf\xc3\xa9\""},
    };
    for (const auto &t : texts) EXPECT_EQ(sim::JsonString(t.first), t.second);
    EXPECT_EQ(sim::JsonHex(0), "\"0x0\"");
    EXPECT_EQ(sim::JsonHex(0x20040), "\"0x20040\"");
    EXPECT_EQ(sim::JsonHex(0xDEADBEEFull), "\"0xdeadbeef\"");
}

TEST(Transcript, LinesOfConcurrentProcessesStayWhole) {
    testing_machine::MachineFolder machine;
    machine.Use();
    constexpr int kLines = 200;
    const std::string text(300, 'x');
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        if (writers[w] == 0) {
            for (int i = 0; i < kLines; ++i)
                sim::AppendTranscript("{\"event\":\"post\",\"writer\":" + std::to_string(w) +
                                      ",\"text\":" + sim::JsonString(text) + "}");
            _exit(0);
        }
    }
    for (pid_t writer : writers) waitpid(writer, nullptr, 0);
    const auto events = machine.Transcript();
    ASSERT_EQ(events.size(), 2u * kLines);
    for (const auto &event : events) {
        EXPECT_EQ(event.at("event"), "post");
        EXPECT_EQ(event.at("text"), text);
    }
}

TEST(Transcript, FixtureReadsFlatObjects) {
    testing_machine::TranscriptEvent event;
    ASSERT_TRUE(testing_machine::ParseJsonObject(
        "{\"event\":\"messagebox\",\"owner\":\"0x0\",\"text\":\"a\\\"b\\nc\",\"result\":1}", &event));
    EXPECT_EQ(event.at("event"), "messagebox");
    EXPECT_EQ(event.at("text"), "a\"b\nc");
    EXPECT_EQ(event.at("result"), "1");
    EXPECT_FALSE(testing_machine::ParseJsonObject("{\"event\":", &event));
    EXPECT_FALSE(testing_machine::ParseJsonObject("not json", &event));
}

}  // namespace
