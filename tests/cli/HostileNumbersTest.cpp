#include "tests/cli/HostileFiles.h"

namespace vorlane::test {
namespace {

// Options that are not finite numbers, or lie outside the controls' ranges, are usage errors:
// exit 2 before any file is opened, and no output file appears. The input does not exist, so an
// option that was taken shows as exit 1 ("cannot open") instead.
TEST_F(HostileFiles, NumericOptionsMustBeFiniteAndInRange)
{
    const QString in = Path("missing.wav");
    const QString out = Path("out.wav");
    const QString flat = "0,0,0,0,0,0,0,0,0,0";
    struct Case {
        QStringList options;
        int code;
    };
    const Case cases[] = {
        {{"--eq", "nan,0,0,0,0,0,0,0,0,0"}, 2},
        {{"--eq", "inf,0,0,0,0,0,0,0,0,0"}, 2},
        {{"--eq", "16,0,0,0,0,0,0,0,0,0"}, 2},
        {{"--eq", "1e999,0,0,0,0,0,0,0,0,0"}, 2},
        {{"--eq", "15,-15,0,0,0,0,0,0,0,0"}, 1},
        {{"--seconds", "inf"}, 2},
        {{"--seconds", "-1"}, 2},
        {{"--seconds", "2.5"}, 1},
        {{"--from", "1e308"}, 2},
        {{"--from", "nan"}, 2},
        {{"--tempo", "1e999"}, 2},
        {{"--tempo", "-51"}, 2},
        {{"--tempo", "-50"}, 1},
        {{"--echo", "30,0"}, 2},
        {{"--echo", "30,nan"}, 2},
        {{"--echo", "50,1000"}, 1},
        {{"--compressor", "0,4"}, 2},
        {{"--compressor", "-20,11"}, 2},
        {{"--compressor", "-60,1"}, 1},
    };
    for (const Case &c : cases) {
        const CliResult r = RunCli(QStringList{"render", in, out} + c.options);
        EXPECT_EQ(r.code, c.code) << c.options.join(' ').toStdString();
        EXPECT_FALSE(StateOf(out).exists) << c.options.join(' ').toStdString();
    }
    EXPECT_EQ(RunCli({"play", in, "--tempo", "nan"}).code, 2);
    EXPECT_EQ(RunCli({"render", in, out, "--eq", flat, "--seconds", "NaN"}).code, 2);
}

} // namespace
} // namespace vorlane::test
