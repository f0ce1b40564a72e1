// The built netmodule-sim driven over its pseudo-terminal as a serial port.

#include "module_sim_process.h"
#include "pty_line.h"
#include "test_files.h"

#include <gtest/gtest.h>

TEST(NetmoduleSimProcess, AnswersOnItsPseudoTerminalAndKeepsWhatIsWritten)
{
    ModuleSimProcess module;
    ASSERT_TRUE(module.device().startsWith(u"/dev/")) << module.device().toStdString();
    PtyLine line(module.device());
    ASSERT_TRUE(line.isOpen());

    line.write("rip\r\n");
    EXPECT_EQ(line.readUntilQuiet(100), QByteArray("Lip192.168.1.100\r\n"));
    line.write("Wip10.0.0.5\r\nrip\r\nWfs\r\n");
    EXPECT_EQ(line.readUntilQuiet(100), QByteArray("Lip10.0.0.5\r\nLip10.0.0.5\r\nLfsOK\r\n"));
    EXPECT_EQ(readFileBytes(module.logPath()), QByteArray("rip\nWip10.0.0.5\nrip\nWfs\n"));
    EXPECT_TRUE(module.stop());
}

TEST(NetmoduleSimProcess, FaultsAsRequested)
{
    ModuleSimProcess module(
        {"--silent", "rrm", "--wrong-prefix", "rma", "--short", "Wip", "--set", "br=9"});
    PtyLine line(module.device());
    line.write("rrm\r\n");
    EXPECT_EQ(line.readUntilQuiet(100), QByteArray());
    line.write("rma\r\nWip1.2.3.4\r\nrbr\r\n");
    EXPECT_EQ(line.readUntilQuiet(100), QByteArray("Lmx001122334455\r\nLipLbr9\r\n"));
}

TEST(NetmoduleSimProcess, AnswersLateWhenAskedTo)
{
    ModuleSimProcess module({"--delay-ms", "150"});
    PtyLine line(module.device());
    line.write("rbr\r\n");
    const qint64 after = line.msUntilReadable();
    EXPECT_GE(after, 120);
    EXPECT_LT(after, 1000);
    EXPECT_EQ(line.readUntilQuiet(50), QByteArray("Lbr3\r\n"));
}

TEST(NetmoduleSimProcess, RefusesAWrongCommandLine)
{
    const ProgramRun run = runProgram(QStringLiteral(NETMODULE_SIM_PATH), {"--silent", "x"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains(u"three-letter command"));
}
