// The simulated module's answers, line cutting and options, without a pty.

#include "line_splitter.h"
#include "responder.h"
#include "sim_options.h"

#include <gtest/gtest.h>

using namespace NetModuleSim;

namespace {

std::string answerOf(Responder &responder, const char *line)
{
    const auto answer = responder.answer(line);
    return answer ? *answer : std::string("<silent>");
}

} // namespace

TEST(NetmoduleResponder, AnswersReadsAndAcknowledgesWrites)
{
    ModuleSettings settings;
    Responder responder(settings, {});
    const std::pair<const char *, const char *> cases[] = {
        {"rrm", "Lrm0\r\n"},
        {"rma", "Lma001122334455\r\n"},
        {"rbr", "Lbr3\r\n"},
        {"rip", "Lip192.168.1.100\r\n"},
        {"rdi", "Ldi192.168.1.20\r\n"},
        {"rpn", "Lpn1973\r\n"},
        {"rdp", "Ldp1973\r\n"},
        {"rgi", "Lgi192.168.1.1\r\n"},
        {"rnm", "Lnm255.255.255.0\r\n"},
        {"Wip10.0.0.5", "Lip10.0.0.5\r\n"},
        {"rip", "Lip10.0.0.5\r\n"},
        {"Wbr5", "Lbr5\r\n"},
        {"rbr", "Lbr5\r\n"},
        {"Wfs", "LfsOK\r\n"},
        {"rfs", "<silent>"},
        {"rxx", "<silent>"},
        {"Wxx1", "<silent>"},
        {"rip1", "<silent>"},
        {"hello", "<silent>"},
        {"r", "<silent>"},
    };
    for (const auto &[line, answer] : cases)
        EXPECT_EQ(answerOf(responder, line), answer) << line;
    EXPECT_EQ(settings.storeCount(), 1);
    EXPECT_EQ(settings.stored().at("ip"), "10.0.0.5");
}

TEST(NetmoduleResponder, MisbehavesOnRequestPerCommand)
{
    ModuleSettings settings;
    Faults faults;
    faults.silent = {"rrm", "Wfs"};
    faults.wrongPrefix = {"rma"};
    faults.shortAnswer = {"Wip"};
    Responder responder(settings, faults);
    EXPECT_EQ(answerOf(responder, "rrm"), "<silent>");
    EXPECT_EQ(answerOf(responder, "Wfs"), "<silent>");
    EXPECT_EQ(settings.storeCount(), 1); // silent, but it did store
    EXPECT_EQ(answerOf(responder, "rma"), "Lmx001122334455\r\n");
    EXPECT_EQ(answerOf(responder, "Wip1.2.3.4"), "Lip");
    EXPECT_EQ(answerOf(responder, "rip"), "Lip1.2.3.4\r\n");
    EXPECT_EQ(answerOf(responder, "rbr"), "Lbr3\r\n");
}

TEST(NetmoduleLineSplitter, CutsAtLineEndsAcrossReads)
{
    LineSplitter splitter;
    EXPECT_TRUE(splitter.feed("rr").empty());
    EXPECT_EQ(splitter.feed("m\r\nWip1.2.3.4\r\n\r\nrbr"),
              (std::vector<std::string>{"rrm", "Wip1.2.3.4"}));
    EXPECT_EQ(splitter.pending(), "rbr");
    EXPECT_EQ(splitter.feed("\n"), std::vector<std::string>{"rbr"});
}

TEST(NetmoduleSimOptions, TakesFaultsDelayPresetsAndLog)
{
    const ParsedOptions parsed =
        parseSimOptions({"--silent", "rrm", "--silent", "Wfs", "--wrong-prefix", "rma", "--short",
                         "Wip", "--delay-ms", "40", "--set", "ip=1.2.3.4.5", "--log", "/tmp/x"});
    ASSERT_EQ(parsed.error, "");
    const SimOptions &o = parsed.options;
    EXPECT_EQ(o.faults.silent, (std::set<std::string>{"rrm", "Wfs"}));
    EXPECT_EQ(o.faults.wrongPrefix, std::set<std::string>{"rma"});
    EXPECT_EQ(o.faults.shortAnswer, std::set<std::string>{"Wip"});
    EXPECT_EQ(o.delayMs, 40);
    ASSERT_EQ(o.presets.size(), 1u);
    EXPECT_EQ(o.presets[0], (std::pair<std::string, std::string>{"ip", "1.2.3.4.5"}));
    EXPECT_EQ(o.logPath, "/tmp/x");
}

TEST(NetmoduleSimOptions, RejectsWhatItCannotUse)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--silent"},         {"--silent", "rr"},    {"--short", "xip"},
        {"--delay-ms", "-1"}, {"--delay-ms", "5ms"}, {"--set", "zz=1"},
        {"--set", "ip"},      {"--frobnicate", "1"}, {"stray"},
    };
    for (const auto &arguments : bad)
        EXPECT_FALSE(parseSimOptions(arguments).error.empty()) << arguments[0];
    EXPECT_TRUE(parseSimOptions({"--help"}).helpRequested);
}
