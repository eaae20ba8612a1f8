// SPDX-License-Identifier: MIT
// `veltrum --check`: its options on a table of command lines, and runs over
// saved basket files against a catalog built per test, in process and as
// the real executable without a display.

#include "app/CheckCommand.h"
#include "app/CommandLine.h"

#include "exchange/BasketCheck.h"
#include "exchange/BasketFile.h"
#include "Fixtures.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList Args(std::initializer_list<const char*> rest)
{
    QStringList arguments{QStringLiteral("veltrum")};
    for (const char* a : rest)
        arguments.append(QString::fromUtf8(a));
    return arguments;
}

} // namespace

TEST(CheckCommandLine, TakesItsOptionsOrSaysWhatIsWrong)
{
    NameProgram();
    const struct {
        const char* what;
        QStringList arguments;
        bool check;
        const char* inError; // "" : a check is run
        QStringList files;
        const char* catalogDir;
        int margin;
        CheckFormat format;
    } cases[] = {
        {"one file",
         Args({"--check", "a.vbasket"}),
         true,
         "",
         {QStringLiteral("a.vbasket")},
         "",
         80,
         CheckFormat::Text},
        {"files in order, every option",
         Args({"--check", "b.vbasket", "--catalog", "/srv/cat", "--margin", "65", "--format",
               "json", "a.vbasket"}),
         true,
         "",
         {QStringLiteral("b.vbasket"), QStringLiteral("a.vbasket")},
         "/srv/cat",
         65,
         CheckFormat::Json},
        {"csv, margin at the top",
         Args({"--check", "--format=csv", "--margin=100", "a"}),
         true,
         "",
         {QStringLiteral("a")},
         "",
         100,
         CheckFormat::Csv},
        {"no file",
         Args({"--check"}),
         false,
         "--check needs at least one basket file.",
         {},
         "",
         0,
         CheckFormat::Text},
        {"margin below the window's range",
         Args({"--check", "--margin", "49", "a"}),
         false,
         "--margin takes a whole number from 50 to 100, got '49'.",
         {},
         "",
         0,
         CheckFormat::Text},
        {"margin not a number",
         Args({"--check", "--margin", "8O", "a"}),
         false,
         "got '8O'",
         {},
         "",
         0,
         CheckFormat::Text},
        {"unknown format",
         Args({"--check", "--format", "xml", "a"}),
         false,
         "--format takes text, json or csv, got 'xml'.",
         {},
         "",
         0,
         CheckFormat::Text},
        {"catalog without its directory",
         Args({"--check", "a", "--catalog"}),
         false,
         "Missing value after '--catalog'.",
         {},
         "",
         0,
         CheckFormat::Text},
        {"an option of the check without it",
         Args({"--format", "json", "a"}),
         false,
         "--format is an option of --check.",
         {},
         "",
         0,
         CheckFormat::Text},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(AsksForTextOnly(c.arguments) || !c.check) << "answered without a display";
        const CommandLineResult result = ParseCommandLine(c.arguments);
        EXPECT_FALSE(result.run) << "never the window";
        ASSERT_EQ(result.check.has_value(), c.check) << result.standardError.toStdString();
        if (!c.check) {
            EXPECT_EQ(result.exitStatus, kUsageExitStatus);
            EXPECT_TRUE(result.standardError.contains(QString::fromUtf8(c.inError)))
                << result.standardError.toStdString();
            continue;
        }
        EXPECT_EQ(result.check->files, c.files);
        EXPECT_EQ(result.check->catalogDir, QString::fromUtf8(c.catalogDir));
        EXPECT_EQ(result.check->marginPercent, c.margin);
        EXPECT_EQ(result.check->format, c.format);
    }
}

namespace {

DeviceTexts Texts(const char* code, const char* v5, const char* v7, const char* v_7,
                  const char* power, const char* slots)
{
    return {QString::fromUtf8(code), QString::fromUtf8(v5),    QString::fromUtf8(v7),
            QString::fromUtf8(v_7),  QString::fromUtf8(power), QString::fromUtf8(slots)};
}

// A catalog of three blocks and a folder of basket files saved against
// it; the first crate type takes 3 A on +5 V, 0.7 A on −7 V and 4 slots.
class CheckRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog.AddBlocks({PowerBlock(u"A", 1, 1, 0.2, 0.1, 5),
                           PowerBlock(u"B", 1, 1.4, 0.3, 0.2, 8),
                           PowerBlock(u"HOT", 1, 0.5, 0, 0.7, 2)});
        Save("fits.vbasket", {Texts("A", "1", "0.2", "0.1", "5", "1")});
        Save("over.vbasket",
             {Texts("A", "1", "0.2", "0.1", "5", "1"), Texts("B", "1.4", "0.3", "0.2", "8", "1"),
              Texts("B", "1.4", "0.3", "0.2", "8", "1")});
        // Saved when HOT took 0.1 A on −7 V; the catalog says 0.7 now.
        Save("changed.vbasket",
             {Texts("A", "1", "0.2", "0.1", "5", "1"), Texts("HOT", "0.5", "0", "0.1", "2", "1")});
        QFile broken(Path("broken.vbasket"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("{\"format\": \"veltrum-basket\", \"version\": 1, \"entr");
    }
    void Save(const char* name, std::vector<DeviceTexts> entries)
    {
        BasketDocument basket;
        basket.decimalSeparator = QStringLiteral(".");
        basket.crateType = QStringLiteral("KSV-1HA (QT310SB)");
        basket.entries = std::move(entries);
        basket.catalog = ReadCatalogStamp(catalog.DatabasePath());
        SaveBasketFile(Path(name), basket);
    }
    QString Path(const char* name) const { return files.filePath(QString::fromUtf8(name)); }
    CheckOptions Options(std::initializer_list<const char*> names,
                         CheckFormat format = CheckFormat::Text) const
    {
        CheckOptions options;
        for (const char* name : names)
            options.files << Path(name);
        options.catalogDir = catalog.Dir();
        options.format = format;
        return options;
    }

    FixtureCatalog catalog;
    QTemporaryDir files;
};

} // namespace

TEST_F(CheckRun, ReportsEveryFileInOrderWithTheStatusOfTheWorst)
{
    const struct {
        const char* what;
        std::initializer_list<const char*> files;
        int status;
        const char* summary;
    } cases[] = {
        {"all fit, nothing changed",
         {"fits.vbasket", "fits.vbasket"},
         0,
         "ИТОГО: файлов 2, в пределах 2, близко к пределу 0, превышение 0, изменено 0, не "
         "прочитано 0"},
        {"one over",
         {"fits.vbasket", "over.vbasket"},
         1,
         "ИТОГО: файлов 2, в пределах 1, близко к пределу 0, превышение 1, изменено 0, не "
         "прочитано 0"},
        {"a changed current passes a limit",
         {"changed.vbasket"},
         1,
         "ИТОГО: файлов 1, в пределах 0, близко к пределу 0, превышение 1, изменено 1, не "
         "прочитано 0"},
        {"unreadable files among good ones",
         {"fits.vbasket", "broken.vbasket", "missing.vbasket", "over.vbasket"},
         3,
         "ИТОГО: файлов 4, в пределах 1, близко к пределу 0, превышение 1, изменено 0, не "
         "прочитано 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CheckCommandOutput output = RunCheckCommand(Options(c.files));
        EXPECT_EQ(output.exitStatus, c.status);
        EXPECT_TRUE(output.standardError.isEmpty()) << output.standardError.constData();
        const QString text = QString::fromUtf8(output.standardOutput);
        EXPECT_TRUE(text.endsWith(QString::fromUtf8(c.summary) + u'\n')) << text.toStdString();
        // Each file has its block, in the order given.
        qsizetype at = 0;
        for (const char* name : c.files) {
            const qsizetype found = text.indexOf(Path(name) + u'\n', at);
            EXPECT_GE(found, at) << name;
            at = std::max(at, found);
        }
    }
    const QString mixed = QString::fromUtf8(
        RunCheckCommand(Options({"broken.vbasket", "changed.vbasket", "missing.vbasket"}))
            .standardOutput);
    EXPECT_TRUE(mixed.contains(u"  НЕ ПРОВЕРЕН: Не удалось открыть файл корзины"))
        << mixed.toStdString();
    EXPECT_TRUE(mixed.contains(u"файл обрывается")) << mixed.toStdString();
    EXPECT_TRUE(mixed.contains(u"  ИТОГ: ПРЕВЫШЕНИЕ: −7V на 0.1 А")) << mixed.toStdString();
    EXPECT_TRUE(mixed.contains(u"    HOT: -7V, А 0.1 → 0.7")) << mixed.toStdString();
}

TEST_F(CheckRun, ACatalogThatCannotBeReadLeavesEveryFileUnchecked)
{
    CheckOptions options = Options({"fits.vbasket", "over.vbasket"}, CheckFormat::Json);
    for (const QString& dir : {files.filePath(QStringLiteral("nowhere")), Path("fits.vbasket")}) {
        SCOPED_TRACE(dir.toStdString());
        options.catalogDir = dir;
        const CheckCommandOutput output = RunCheckCommand(options);
        EXPECT_EQ(output.exitStatus, kCheckUnreadableStatus);
        EXPECT_TRUE(output.standardError.startsWith("veltrum: catalog not found: "))
            << output.standardError.constData();
        const QJsonObject root = QJsonDocument::fromJson(output.standardOutput).object();
        const QJsonArray checked = root[QStringLiteral("files")].toArray();
        ASSERT_EQ(checked.size(), 2);
        for (const QJsonValue& file : checked) {
            EXPECT_EQ(file[QStringLiteral("verdict")].toString(), QStringLiteral("unreadable"));
            EXPECT_TRUE(file[QStringLiteral("error")].toString().contains(u"не найден"));
        }
        EXPECT_EQ(root[QStringLiteral("summary")][QStringLiteral("unreadable")].toInt(), 2);
    }

    // A file that is not a database: SQLite's reason, on standard error too.
    QFile::copy(Path("fits.vbasket"), files.filePath(QStringLiteral("VELTRUM.db")));
    options.catalogDir = files.path();
    const CheckCommandOutput notADatabase = RunCheckCommand(options);
    EXPECT_EQ(notADatabase.exitStatus, kCheckUnreadableStatus);
    EXPECT_TRUE(notADatabase.standardError.contains("not a database"))
        << notADatabase.standardError.constData();
}

TEST_F(CheckRun, JsonAndCsvCarryTheSameFindings)
{
    const CheckCommandOutput json =
        RunCheckCommand(Options({"fits.vbasket", "changed.vbasket"}, CheckFormat::Json));
    EXPECT_EQ(json.exitStatus, 1);
    const QJsonObject root = QJsonDocument::fromJson(json.standardOutput).object();
    const QJsonArray checked = root[QStringLiteral("files")].toArray();
    ASSERT_EQ(checked.size(), 2);
    EXPECT_EQ(checked[0][QStringLiteral("verdict")].toString(), QStringLiteral("fits"));
    EXPECT_EQ(checked[1][QStringLiteral("verdict")].toString(), QStringLiteral("over"));
    EXPECT_EQ(checked[1][QStringLiteral("changes")][0].toString(),
              QStringLiteral("HOT: -7V, А 0.1 → 0.7"));
    EXPECT_FALSE(checked[0][QStringLiteral("catalogReplaced")].toBool());
    EXPECT_TRUE(root[QStringLiteral("summary")][QStringLiteral("catalogSha256")].isNull())
        << "the same size and time: the catalog is not hashed";

    const CheckCommandOutput csv =
        RunCheckCommand(Options({"fits.vbasket", "changed.vbasket"}, CheckFormat::Csv));
    EXPECT_EQ(csv.exitStatus, 1);
    const QStringList lines =
        QString::fromUtf8(csv.standardOutput.mid(3)).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.value(1).startsWith(Path("fits.vbasket") + u','))
        << lines.value(1).toStdString();
    EXPECT_TRUE(lines.value(2).contains(u",ПРЕВЫШЕНИЕ,")) << lines.value(2).toStdString();
}

namespace {

struct Outcome {
    int exitStatus = -1;
    QByteArray out;
    QByteArray err;
};

Outcome RunVeltrum(const QStringList& arguments, const QProcessEnvironment& environment,
                   const QString& standardOutputFile = QString())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!standardOutputFile.isEmpty())
        process.setStandardOutputFile(standardOutputFile);
    process.start(QStringLiteral(VELTRUM_SAMPLE_DIR "/veltrum"), arguments);
    Outcome run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitStatus = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace

TEST_F(CheckRun, TheProgramChecksWithoutADisplayInTheNotationOfItsLocale)
{
    // Nothing in the environment but the locale: no display, no HOME.
    const struct {
        const char* locale;
        const char* sentence;
        const char* change;
    } cases[] = {
        {nullptr, "ИТОГ: ПРЕВЫШЕНИЕ: −7V на 0.1 А", "HOT: -7V, А 0.1 → 0.7"},
        {"ru_RU.UTF-8", "ИТОГ: ПРЕВЫШЕНИЕ: −7V на 0,1 А", "HOT: -7V, А 0,1 → 0,7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale ? c.locale : "no locale");
        QProcessEnvironment environment;
        if (c.locale)
            environment.insert(QStringLiteral("LC_ALL"), QString::fromUtf8(c.locale));
        const Outcome run = RunVeltrum({QStringLiteral("--check"), QStringLiteral("--catalog"),
                                        catalog.Dir(), Path("changed.vbasket")},
                                       environment);
        EXPECT_EQ(run.exitStatus, 1) << run.err.constData();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.constData();
        const QString out = QString::fromUtf8(run.out);
        EXPECT_TRUE(out.contains(QString::fromUtf8(c.sentence))) << out.toStdString();
        EXPECT_TRUE(out.contains(QString::fromUtf8(c.change))) << out.toStdString();
    }
}

TEST_F(CheckRun, TheProgramSaysWhenTheReportCannotBeWritten)
{
    const Outcome run = RunVeltrum({QStringLiteral("--check"), QStringLiteral("--catalog"),
                                    catalog.Dir(), Path("fits.vbasket")},
                                   QProcessEnvironment(), QStringLiteral("/dev/full"));
    EXPECT_EQ(run.exitStatus, kCheckUnreadableStatus);
    EXPECT_TRUE(run.err.contains("the report could not be written")) << run.err.constData();
}

TEST_F(CheckRun, ACatalogWrittenSinceIsToldByItsHashAndIsNoChangeByItself)
{
    // Saved with a stamp of another time: only the hash can tell.
    BasketDocument basket = LoadBasketFile(Path("fits.vbasket"));
    basket.catalog.modified = basket.catalog.modified.addDays(-3);
    SaveBasketFile(Path("same.vbasket"), basket);
    basket.catalog.sha256 = QString(64, u'0');
    SaveBasketFile(Path("other.vbasket"), basket);

    const CheckCommandOutput output =
        RunCheckCommand(Options({"same.vbasket", "other.vbasket"}, CheckFormat::Json));
    EXPECT_EQ(output.exitStatus, 0) << "a new catalog file alone is no change";
    const QJsonObject root = QJsonDocument::fromJson(output.standardOutput).object();
    const QJsonArray checked = root[QStringLiteral("files")].toArray();
    ASSERT_EQ(checked.size(), 2);
    EXPECT_FALSE(checked[0][QStringLiteral("catalogReplaced")].toBool());
    EXPECT_TRUE(checked[1][QStringLiteral("catalogReplaced")].toBool());
    EXPECT_EQ(root[QStringLiteral("summary")][QStringLiteral("catalogSha256")].toString(),
              ReadCatalogStamp(catalog.DatabasePath()).sha256);
}

TEST(CheckCrateTypes, TheCheckListsTheCrateTypesTheWindowListsForTheSameCatalog)
{
    QTemporaryDir files;
    const QString path = files.filePath(QStringLiteral("rack.vbasket"));
    BasketDocument basket;
    basket.decimalSeparator = QStringLiteral(".");
    basket.crateType = QStringLiteral("KSV-3HA (2 x QT27)");
    for (int i = 0; i < 4; ++i)
        basket.entries.push_back(Texts("RL-16M", "3", "0.6", "0.5", "30", "2"));
    basket.catalog = ReadCatalogStamp(QStringLiteral(VELTRUM_CRATES_SAMPLE_DIR "/VELTRUM.db"));
    SaveBasketFile(path, basket);
    CheckOptions options;
    options.files << path;

    // The catalog's own crate types: the file's type is known, and the
    // types that take the basket are the catalog's.
    options.catalogDir = QStringLiteral(VELTRUM_CRATES_SAMPLE_DIR);
    const CheckCommandOutput own = RunCheckCommand(options);
    const QString ownText = QString::fromUtf8(own.standardOutput);
    EXPECT_TRUE(own.standardError.isEmpty()) << own.standardError.constData();
    EXPECT_TRUE(ownText.contains(u"  ТИП КОРЗИНЫ: KSV-3HA (2 x QT27)\n")) << ownText.toStdString();
    EXPECT_TRUE(ownText.contains(u"  ПОДХОДЯТ: KSV-3HA (2 x QT27), KSV-64 (QT250)\n"))
        << ownText.toStdString();
    EXPECT_FALSE(ownText.contains(u"неизвестен")) << ownText.toStdString();

    // An invalid table: the built-in types, as the window lists them, and
    // the reason on standard error; the file's type is then unknown.
    FixtureCatalog broken;
    broken.AddBlocks({PowerBlock(u"RL-16M", 2, 3, 0.6, 0.5, 30)});
    ExecSql(broken.DatabasePath(),
            QStringLiteral("CREATE TABLE CRATE_TYPES (NAME TEXT, V5 REAL, V7 REAL, V_7 REAL, "
                           "TOTAL_POWER REAL, SLOTS_COUNT INTEGER);"
                           "INSERT INTO CRATE_TYPES VALUES ('KSV-3HA (2 x QT27)', 20, 6, 6, 180, 0);"));
    options.catalogDir = broken.Dir();
    const CheckCommandOutput builtIn = RunCheckCommand(options);
    const QString builtInText = QString::fromUtf8(builtIn.standardOutput);
    EXPECT_TRUE(builtIn.standardError.contains("crate types of the catalog not used: crate type "
                                               "row 1 (rowid 1"))
        << builtIn.standardError.constData();
    EXPECT_TRUE(builtInText.contains(u"неизвестен; отмечен тип «KSV-1HA (QT310SB)»"))
        << builtInText.toStdString();
    EXPECT_EQ(builtIn.exitStatus, kCheckFoundStatus);
}
