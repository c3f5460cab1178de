#include "clirun.h"

#include <gtest/gtest.h>

namespace {
const QString appPath = QStringLiteral(TALVOREN_BINARY_DIR "/bin/talvoren");

struct CommandLineCase
{
    QString program;
    QStringList arguments;
    int exitCode;
    bool onStandardOutput; // else on standard error
    QStringList expected;  // texts the output holds
};

} // namespace

// Both executables answer --help and --version, list the commands with what they
// do, and name a wrong option or command with the usage on standard error.
TEST(CommandLine, HelpVersionAndUsageErrorsOfBothExecutables)
{
    const QString exitStatus =
        QStringLiteral("Exit status: 0 done, 1 the work failed, 2 a usage error.");
    const QList<CommandLineCase> cases = {
        {cliPath,
         {"--help"},
         0,
         true,
         {"Usage: talvoren-cli [options] COMMAND [OPTIONS]", exitStatus, "-v, --version",
          "  check-information  Asks the notice server", "  import             Files the pictures",
          "  inspect ", "  settings ", "  strip ", "  watch              Watches"}},
        {cliPath, {"-v"}, 0, true, {"talvoren-cli 1.0.0 (build "}},
        {cliPath, {}, 2, false, {"talvoren-cli: no command given", "Usage: talvoren-cli"}},
        {cliPath, {"frobnicate"}, 2, false, {"unknown command \"frobnicate\"", "Commands:"}},
        {cliPath,
         {"--frobnicate"},
         2,
         false,
         {"Unknown option 'frobnicate'", "Usage: talvoren-cli"}},
        {cliPath,
         {"import", "--help"},
         0,
         true,
         {"Usage: talvoren-cli import [options] SOURCE", "--move", "--import-folder", "--json",
          exitStatus}},
        {cliPath, {"import", "-h"}, 0, true, {"Usage: talvoren-cli import"}},
        {cliPath,
         {"import", "--frobnicate", "x"},
         2,
         false,
         {"talvoren-cli: import: Unknown option 'frobnicate'", "Usage: talvoren-cli import"}},
        {cliPath, {"watch", "--help"}, 0, true, {"--volume-root <DIR>", "--once"}},
        {cliPath,
         {"strip", "a"},
         2,
         false,
         {"strip: missing argument DEST", "Usage: talvoren-cli strip"}},
        {cliPath, {"check-update", "extra"}, 2, false, {"unexpected argument \"extra\""}},
        {cliPath,
         {"settings", "get", "k", "--as", "colour"},
         2,
         false,
         {"--as takes one of bool, int, real, string", "Usage: talvoren-cli settings"}},
        {appPath,
         {"--help"},
         0,
         true,
         {"Usage: talvoren [options]", "--headless", "--volume-root <DIR>", exitStatus}},
        {appPath, {"--version"}, 0, true, {"talvoren 1.0.0 (build "}},
        {appPath,
         {"--frobnicate"},
         2,
         false,
         {"talvoren: Unknown option 'frobnicate'", "Usage: talvoren"}},
    };
    for (const CommandLineCase& row : cases) {
        const CliRun result = runExecutable(row.program, row.arguments);
        const std::string name = (row.program + ' ' + row.arguments.join(' ')).toStdString();
        EXPECT_EQ(result.exitCode, row.exitCode) << name << "\n" << result.err.toStdString();
        const QString& output = row.onStandardOutput ? result.out : result.err;
        for (const QString& text : row.expected)
            EXPECT_TRUE(output.contains(text)) << name << ": " << text.toStdString() << " in\n"
                                               << output.toStdString();
        if (row.exitCode == 0) {
            EXPECT_TRUE(result.err.isEmpty()) << name << ": " << result.err.toStdString();
        }
    }
}
