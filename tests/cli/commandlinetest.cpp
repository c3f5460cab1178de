#include "clirun.h"

TEST(CommandLine, HelpVersionAndUsageErrorsOfBothExecutables)
{
    const struct
    {
        QString words; // the program and its arguments, split at spaces
        int exitCode;
        QString expected; // texts ("|" between) on standard output, or error if it failed
    } cases[] = {
        {"talvoren-cli --help", 0,
         "Usage: talvoren-cli [options] COMMAND [OPTIONS]|-v, --version|"
         "Exit status: 0 done, 1 the work failed, 2 a usage error.|"
         "  check-information  Asks the notice server|  import             Files the pictures|"
         "  inspect |  settings |  strip |  watch              Watches"},
        {"talvoren-cli -v", 0, "talvoren-cli 1.0.0 (build "},
        {"talvoren-cli", 2, "talvoren-cli: no command given|Usage: talvoren-cli"},
        {"talvoren-cli frobnicate", 2, "unknown command \"frobnicate\"|Commands:"},
        {"talvoren-cli --frobnicate", 2, "Unknown option 'frobnicate'|Usage: talvoren-cli"},
        {"talvoren-cli import --help", 0,
         "Usage: talvoren-cli import [options] SOURCE|--move|--import-folder|--json|"
         "Exit status: 0 done, 1 the work failed, 2 a usage error."},
        {"talvoren-cli import --frobnicate x", 2,
         "talvoren-cli: import: Unknown option 'frobnicate'|Usage: talvoren-cli import"},
        {"talvoren-cli import", 2, "import: missing argument SOURCE|Usage: talvoren-cli import"},
        {"talvoren-cli watch --help", 0, "--volume-root <DIR>|--once"},
        {"talvoren-cli watch --volume-root=", 2,
         "--volume-root needs a folder|Usage: talvoren-cli watch"},
        {"talvoren-cli strip a", 2, "strip: missing argument DEST|Usage: talvoren-cli strip"},
        {"talvoren-cli inspect", 2, "inspect: missing argument FILE|Usage: talvoren-cli inspect"},
        {"talvoren-cli check-update extra", 2, "unexpected argument \"extra\""},
        {"talvoren-cli history --since May", 2,
         "\"May\" is not a YYYY-MM-DD date|Usage: talvoren-cli history"},
        {"talvoren-cli settings get k --as colour", 2,
         "--as takes one of bool, int, real, string|Usage: talvoren-cli settings"},
        {"talvoren-cli settings frobnicate", 2, "usage: talvoren-cli settings list "},
        {"talvoren-cli settings set k", 2, "usage: talvoren-cli settings list "},
        {"talvoren-cli settings list --type int", 2, "usage: talvoren-cli settings list"},
        {"talvoren --help", 0,
         "Usage: talvoren [options]|--headless|--volume-root <DIR>|"
         "Exit status: 0 done, 1 the work failed, 2 a usage error."},
        {"talvoren --version", 0, "talvoren 1.0.0 (build "},
        {"talvoren --frobnicate", 2, "talvoren: Unknown option 'frobnicate'|Usage: talvoren"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.words.toStdString());
        const QStringList words = row.words.split(u' ');
        const CliRun result =
            runExecutable(TALVOREN_BINARY_DIR "/bin/" + words.first(), words.mid(1));
        EXPECT_EQ(result.exitCode, row.exitCode) << result.err.toStdString();
        const QString& output = row.exitCode == 0 ? result.out : result.err;
        for (const QString& text : row.expected.split(u'|'))
            EXPECT_TRUE(contains(output, text));
        EXPECT_TRUE(row.exitCode != 0 || result.err.isEmpty()) << result.err.toStdString();
    }
}
