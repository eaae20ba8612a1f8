// SPDX-License-Identifier: MIT
// The command line: the parser's answers on a table of argument lists, and
// the real executable's output and exit status for the answers that end it.

#include "app/CommandLine.h"
#include "app/Program.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    const char* what;
    QStringList arguments;
    bool run;
    int exitStatus;
    const char* inOutput; // expected in standard output ("" : output empty)
    const char* inError;  // expected in standard error ("" : error empty)
    const char* basketFile;
};

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override { DescribeProgram(); }
};

QStringList Args(std::initializer_list<const char*> rest)
{
    QStringList arguments{QStringLiteral("veltrum")};
    for (const char* a : rest)
        arguments.append(QString::fromUtf8(a));
    return arguments;
}

TEST_F(CommandLineTest, AnswersEachArgumentList)
{
    const ParseCase cases[] = {
        {"no arguments", Args({}), true, 0, "", "", ""},
        {"a basket file", Args({"crate.vbk"}), true, 0, "", "", "crate.vbk"},
        {"a basket file after --", Args({"--", "--odd name"}), true, 0, "", "", "--odd name"},
        {"--help", Args({"--help"}), false, 0, "Usage:", "", ""},
        {"-h", Args({"-h"}), false, 0, "[basket-file]", "", ""},
        {"--help-all", Args({"--help-all"}), false, 0, "--version", "", ""},
        {"--version", Args({"--version"}), false, 0, "veltrum " VELTRUM_TEST_VERSION "\n", "", ""},
        {"-v", Args({"-v"}), false, 0, VELTRUM_TEST_VERSION, "", ""},
        {"help wins over a basket", Args({"crate.vbk", "--help"}), false, 0, "Usage:", "", ""},
        {"unknown long option", Args({"--frobnicate"}), false, 2, "",
         "veltrum: Unknown option 'frobnicate'.", ""},
        {"unknown short option", Args({"-x"}), false, 2, "", "Unknown option 'x'.", ""},
        {"two basket files", Args({"a.vbk", "b.vbk"}), false, 2, "",
         "Only one basket file can be opened, got 2.", ""},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.what);
        const CommandLineResult result = ParseCommandLine(c.arguments);
        EXPECT_EQ(result.run, c.run);
        if (c.run) {
            EXPECT_EQ(result.options.basketFile, QString::fromUtf8(c.basketFile));
            continue;
        }
        EXPECT_EQ(result.exitStatus, c.exitStatus);
        const QString out = QString::fromUtf8(c.inOutput);
        const QString err = QString::fromUtf8(c.inError);
        if (out.isEmpty())
            EXPECT_TRUE(result.standardOutput.isEmpty()) << result.standardOutput.toStdString();
        else
            EXPECT_TRUE(result.standardOutput.contains(out)) << result.standardOutput.toStdString();
        if (err.isEmpty()) {
            EXPECT_TRUE(result.standardError.isEmpty()) << result.standardError.toStdString();
        } else {
            EXPECT_TRUE(result.standardError.contains(err)) << result.standardError.toStdString();
            // A usage error shows the usage as well.
            EXPECT_TRUE(result.standardError.contains(u"Usage:"));
        }
    }
}

TEST_F(CommandLineTest, QtStyleWordsAreNotReadAsHelpOrVersion)
{
    // Read as clusters of short options, -stylesheet would hold an -h and
    // -reverse a -v.
    EXPECT_FALSE(AsksForTextOnly(Args({"-stylesheet", "look.qss", "-reverse"})));
    EXPECT_TRUE(AsksForTextOnly(Args({"-platform", "xcb", "--help"})));
    EXPECT_TRUE(AsksForTextOnly(Args({"-v"})));
    EXPECT_FALSE(AsksForTextOnly(Args({"crate.vbk"})));
}

struct Outcome {
    int exitStatus = -1;
    QString out;
    QString err;
};

Outcome RunExecutable(const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VELTRUM_SAMPLE_DIR "/veltrum"), arguments);
    Outcome run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitStatus = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// An environment in which reaching the window system fails: X11 without a
// display.
QProcessEnvironment WithoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return environment;
}

TEST(ProgramProcess, HelpAndVersionPrintAndExitWithoutADisplay)
{
    const Outcome help = RunExecutable({QStringLiteral("--help")}, WithoutDisplay());
    EXPECT_EQ(help.exitStatus, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.contains(u"veltrum [options] [basket-file]")) << help.out.toStdString();
    EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();

    const Outcome version = RunExecutable({QStringLiteral("--version")}, WithoutDisplay());
    EXPECT_EQ(version.exitStatus, 0) << version.err.toStdString();
    EXPECT_EQ(version.out, QStringLiteral("veltrum " VELTRUM_TEST_VERSION "\n"));
}

TEST(ProgramProcess, UnknownOptionPrintsUsageOnStandardErrorAndExitsTwo)
{
    // Qt's own options are taken by Qt and never reported as unknown.
    const Outcome run = RunExecutable({QStringLiteral("-platform"), QStringLiteral("offscreen"),
                                       QStringLiteral("-reverse"), QStringLiteral("--frobnicate")},
                                      QProcessEnvironment::systemEnvironment());
    EXPECT_EQ(run.exitStatus, kUsageExitStatus);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(u"veltrum: Unknown option 'frobnicate'."))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(u"veltrum [options] [basket-file]")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(u"'platform'"));
    EXPECT_FALSE(run.err.contains(u"'reverse'"));
}

// Every usage error is told without a display: the command line is judged
// before the window system is reached (it used to abort with status 134).
TEST(ProgramProcess, UsageErrorsNeedNoDisplay)
{
    const struct {
        const char* what;
        QStringList arguments;
        const char* inError;
    } cases[] = {
        {"unknown option", {QStringLiteral("--bogus")}, "Unknown option 'bogus'."},
        {"two basket files",
         {QStringLiteral("a.vbasket"), QStringLiteral("b.vbasket")},
         "Only one basket file can be opened, got 2."},
        {"a file name that starts with a dash",
         {QStringLiteral("-crate.vbasket")},
         "Unknown option"},
        {"Qt's own options do not hide the error",
         {QStringLiteral("-platform"), QStringLiteral("xcb"), QStringLiteral("-style=fusion"),
          QStringLiteral("--bogus")},
         "Unknown option 'bogus'."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome run = RunExecutable(c.arguments, WithoutDisplay());
        EXPECT_EQ(run.exitStatus, kUsageExitStatus) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.inError))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(u"veltrum [options] [basket-file]")) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains(u"could not connect to display")) << run.err.toStdString();
    }
}

TEST(CommandLine, QtsOwnOptionsAreSetAsideBeforeJudging)
{
    const struct {
        QStringList arguments;
        QStringList kept;
    } cases[] = {
        {Args({"-platform", "offscreen", "crate.vbasket"}), Args({"crate.vbasket"})},
        {Args({"--platform", "xcb", "-reverse", "-style=fusion", "--bogus"}), Args({"--bogus"})},
        {Args({"-stylesheet", "look.qss", "-qwindowtitle", "T", "-x"}), Args({"-x"})},
        {Args({"--", "-platform"}), Args({"--", "-platform"})},
        {Args({"crate.vbasket", "-widgetcount"}), Args({"crate.vbasket"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        EXPECT_EQ(WithoutQtOptions(c.arguments), c.kept);
    }
    EXPECT_TRUE(StartsTheWindow(WithoutQtOptions(Args({"-platform", "xcb", "a.vbasket"}))));
    EXPECT_FALSE(StartsTheWindow(Args({"a.vbasket", "b.vbasket"})));
    EXPECT_FALSE(StartsTheWindow(Args({"--help"})));
    EXPECT_FALSE(StartsTheWindow(Args({"--bogus"})));
}

} // namespace
