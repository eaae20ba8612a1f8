// SPDX-License-Identifier: MIT
// Saved baskets checked against a catalog that has changed since: the
// verdict, the crate types that take the basket and the change lines on a
// table of files, the counts and exit statuses, the one lookup per code,
// and the report read back as JSON, CSV and text.

#include "ExchangeSupport.h"

#include "exchange/BasketCheck.h"
#include "exchange/CatalogLookup.h"
#include "exchange/BasketCheckReport.h"
#include "CsvReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace {

const QString kFirstType = QStringLiteral("KSV-1HA (QT310SB)"); // 3, 1.4, 0.7, 28.5 and 4 slots

DeviceTexts Texts(const char* code, const char* v5, const char* v7, const char* v_7,
                  const char* power, const char* slots)
{
    return {QString::fromUtf8(code), QString::fromUtf8(v5),    QString::fromUtf8(v7),
            QString::fromUtf8(v_7),  QString::fromUtf8(power), QString::fromUtf8(slots)};
}

// The catalog as it is now, with the full stop. HOT's −7 V current has
// gone up from the 0.1 it was saved with; GONE has been withdrawn.
const std::map<QString, DeviceTexts>& Blocks()
{
    static const std::map<QString, DeviceTexts> blocks = {
        {QStringLiteral("A"), Texts("A", "1", "0.2", "0.1", "5", "1")},
        {QStringLiteral("B"), Texts("B", "1.4", "0.3", "0.2", "8", "1")},
        {QStringLiteral("C"), Texts("C", "0.5", "0.1", "0.1", "3", "1")},
        {QStringLiteral("HOT"), Texts("HOT", "0.5", "0", "0.7", "2", "1")},
    };
    return blocks;
}

std::optional<DeviceTexts> FindInCatalog(const QString& code)
{
    const auto found = Blocks().find(code);
    if (found == Blocks().end())
        return std::nullopt;
    return found->second;
}

BasketDocument File(std::vector<DeviceTexts> entries, const QString& crateType = kFirstType,
                    std::optional<LimitTexts> crateLimits = std::nullopt)
{
    BasketDocument file;
    file.decimalSeparator = QStringLiteral(".");
    file.crateType = crateType;
    file.crateLimits = std::move(crateLimits);
    file.entries = std::move(entries);
    file.catalog.sha256 = QString(64, u'a');
    return file;
}

// Each block as it is in the catalog now.
DeviceTexts Saved(const char* code)
{
    return Blocks().at(QString::fromUtf8(code));
}

BasketCheckResult Check(const BasketDocument& file, const char* name = "crate.vbasket")
{
    return CheckBasket(QString::fromUtf8(name), file, &FindInCatalog, BasketCheckOptions());
}

} // namespace

TEST(BasketCheck, JudgesEachFileAsTheWindowWouldAfterOpeningIt)
{
    const struct {
        const char* what;
        BasketDocument file;
        BasketVerdict verdict;
        const char* sentence;
        QStringList changes;
        int takenBy; // how many crate types take the basket
        size_t entries;
    } cases[] = {
        {"unchanged and within",
         File({Saved("A"), Saved("C")}),
         BasketVerdict::Fits,
         "В ПРЕДЕЛАХ НОРМЫ",
         {},
         7,
         2},
        {"unchanged, +5 V at the warning threshold",
         File({Saved("A"), Saved("B")}),
         BasketVerdict::Near,
         "БЛИЗКО К ПРЕДЕЛУ: +5V 80 %",
         {},
         7,
         2},
        {"unchanged and over",
         File({Saved("A"), Saved("B"), Saved("B")}),
         BasketVerdict::Over,
         "ПРЕВЫШЕНИЕ: +5V на 0.8 А",
         {},
         6,
         3},
        {"a current gone up in the catalog passes a limit",
         File({Saved("A"), Texts("HOT", "0.5", "0", "0.1", "2", "1")}),
         BasketVerdict::Over,
         "ПРЕВЫШЕНИЕ: −7V на 0.1 А",
         {QStringLiteral("HOT: -7V, А 0.1 → 0.7")},
         6,
         2},
        {"a withdrawn block is left out",
         File({Saved("A"), Texts("GONE", "2", "1", "1", "20", "2")}),
         BasketVerdict::Fits,
         "В ПРЕДЕЛАХ НОРМЫ",
         {QStringLiteral("GONE: нет в каталоге, не добавлен")},
         7,
         1},
        {"an unknown crate type is judged as the first, ticked in its place",
         File({Saved("A"), Saved("C")}, QStringLiteral("KSV-9 (old)")),
         BasketVerdict::Fits,
         "В ПРЕДЕЛАХ НОРМЫ",
         {QStringLiteral("Тип корзины «KSV-9 (old)» неизвестен; отмечен тип «KSV-1HA (QT310SB)».")},
         7,
         2},
        {"the crate type's limits differ from those saved",
         File({Saved("A")}, kFirstType,
              LimitTexts{QStringLiteral("3"), QStringLiteral("1.4"), QStringLiteral("0.6"),
                         QStringLiteral("28.5"), QStringLiteral("5")}),
         BasketVerdict::Fits,
         "В ПРЕДЕЛАХ НОРМЫ",
         {QStringLiteral("Тип корзины «KSV-1HA (QT310SB)»: -7V, А 0.6 → 0.7; КОЛ-ВО СЛОТОВ 5 → 4")},
         7,
         1},
        {"the same limits saved are no change",
         File({Saved("A")}, kFirstType,
              LimitTexts{QStringLiteral("3.0"), QStringLiteral("1.40"), QStringLiteral("0.7"),
                         QStringLiteral("28.5"), QStringLiteral("4")}),
         BasketVerdict::Fits,
         "В ПРЕДЕЛАХ НОРМЫ",
         {},
         7,
         1},
        {"every block withdrawn: an empty basket, no verdict shown",
         File({Texts("GONE", "2", "1", "1", "20", "2")}),
         BasketVerdict::Fits,
         "",
         {QStringLiteral("GONE: нет в каталоге, не добавлен")},
         7,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const BasketCheckResult result = Check(c.file);
        ASSERT_TRUE(result.Readable()) << result.error.toStdString();
        EXPECT_EQ(result.crateType, c.file.crateType);
        EXPECT_EQ(result.verdict, c.verdict);
        EXPECT_EQ(result.verdictSentence, QString::fromUtf8(c.sentence));
        EXPECT_EQ(result.changes, c.changes);
        EXPECT_EQ(result.Changed(), !c.changes.isEmpty());
        EXPECT_EQ(result.takenBy.size(), c.takenBy) << result.takenBy.join(u'|').toStdString();
        ASSERT_EQ(result.reopened.entries.size(), c.entries);
        ASSERT_EQ(result.fitNotes.size(), 7);
        EXPECT_EQ(result.budget.has_value(), c.entries > 0);
        if (c.entries > 0) {
            // The entries carry the catalog's values, whatever the file said.
            for (const DeviceTexts& entry : result.reopened.entries)
                EXPECT_EQ(entry, *FindInCatalog(entry.ident));
            EXPECT_TRUE(result.headroomRow.startsWith(QStringLiteral("ЗАПАС:\t")));
        } else {
            // As the window after opening it: nothing under the totals.
            EXPECT_TRUE(result.headroomRow.isEmpty());
            for (const QString& note : result.fitNotes)
                EXPECT_TRUE(note.isEmpty()) << note.toStdString();
        }
    }
}

TEST(BasketCheck, NamesTheCrateTypesThatTakeAnOverfullBasketAndMarksTheOthers)
{
    const BasketCheckResult result = Check(File({Saved("A"), Saved("B"), Saved("B")}));
    EXPECT_EQ(result.takenBy.value(0), QStringLiteral("KSV-1HA (QT310SE)"));
    EXPECT_FALSE(result.takenBy.contains(kFirstType));
    EXPECT_EQ(result.fitNotes.value(0), QStringLiteral("✗ +5V"));
    EXPECT_EQ(result.fitNotes.value(1), QStringLiteral("✓ подходит"));
    EXPECT_EQ(result.fitNotes.value(2), QStringLiteral("✓"));
    EXPECT_EQ(
        result.headroomRow,
        QStringLiteral("ЗАПАС:\t⚠ −0.8 (127 %)\t0.6 (57 %)\t0.2 (71 %)\t7.5 (73 %)\t1 (75 %)"));
}

TEST(BasketCheck, TheWarningThresholdDecidesWhatIsNear)
{
    const BasketDocument file = File({Saved("A"), Saved("C")}); // +5 V at 50 %, slots at 50 %
    for (const auto& [margin, verdict] :
         {std::pair{80, BasketVerdict::Fits}, std::pair{50, BasketVerdict::Near}}) {
        BasketCheckOptions options;
        options.marginPercent = margin;
        const BasketCheckResult result =
            CheckBasket(QStringLiteral("f"), file, &FindInCatalog, options);
        EXPECT_EQ(result.verdict, verdict) << margin;
    }
}

TEST(BasketCheck, NumbersFollowTheScreensSeparatorWhateverTheFileUsed)
{
    // Saved with a comma, checked on a screen that writes a comma, against
    // a catalog read with it.
    const auto comma = [](DeviceTexts t) {
        for (QString* text : {&t.v5, &t.v7, &t.v_7, &t.totalPower})
            text->replace(u'.', u',');
        return t;
    };
    BasketDocument file = File({Saved("A"), Texts("HOT", "0.5", "0", "0.1", "2", "1")});
    BasketCheckOptions options;
    options.separator = QStringLiteral(",");
    const BasketCheckResult result = CheckBasket(
        QStringLiteral("f"), file,
        [&](const QString& code) -> std::optional<DeviceTexts> {
            const std::optional<DeviceTexts> block = FindInCatalog(code);
            return block ? std::optional<DeviceTexts>(comma(*block)) : std::nullopt;
        },
        options);
    EXPECT_EQ(result.verdictSentence, QStringLiteral("ПРЕВЫШЕНИЕ: −7V на 0,1 А"));
    EXPECT_EQ(result.changes, QStringList{QStringLiteral("HOT: -7V, А 0,1 → 0,7")});
}

// As the window does on opening: the block is left out and said so, as a
// change that enters the budget.
TEST(BasketCheck, ACatalogValueTheWindowWouldRefuseLeavesItsBlockOutAsAChange)
{
    const auto badCatalog = [](const QString& code) -> std::optional<DeviceTexts> {
        return Texts(code.toUtf8().constData(), "0,5 (НЕ ЧИСЛО)", "0", "0", "1", "1");
    };
    const BasketCheckResult result = CheckBasket(QStringLiteral("f"), File({Saved("A")}),
                                                 badCatalog, BasketCheckOptions());
    EXPECT_TRUE(result.reopened.entries.empty());
    ASSERT_EQ(result.changes.size(), 1);
    EXPECT_TRUE(result.changes[0].startsWith(QStringLiteral("A: не добавлен")))
        << result.changes[0].toStdString();
}

TEST(BasketCheck, ANewCatalogFileAloneIsNoChange)
{
    BasketCheckOptions options;
    options.catalog = CheckedCatalog{1, QDateTime(), [] { return QString(64, u'b'); }};
    const BasketCheckResult replaced =
        CheckBasket(QStringLiteral("f"), File({Saved("A")}), &FindInCatalog, options);
    EXPECT_TRUE(replaced.catalogReplaced);
    EXPECT_FALSE(replaced.Changed());
    EXPECT_EQ(CheckExitStatus(SummarizeChecks({replaced})), kCheckPassedStatus);
    EXPECT_FALSE(Check(File({Saved("A")})).catalogReplaced) << "not compared when not asked";
}

TEST(BasketCheck, TheCatalogIsHashedOnlyWhenSizeAndTimeCannotTell)
{
    const QDateTime saved(QDate(2026, 11, 2), QTime(9, 14), Qt::UTC);
    const CatalogStamp stamp{QStringLiteral("VELTRUM.db"), 4096, saved, QString(64, u'a')};
    const struct {
        const char* what;
        qint64 size;
        QDateTime modified;
        QChar hashDigit;
        bool another;
        int hashed;
    } cases[] = {
        {"same size and time: the same file", 4096, saved, u'b', false, 0},
        {"another size: another file", 8192, saved, u'a', true, 0},
        {"same size, written since, same bytes", 4096, saved.addSecs(60), u'a', false, 1},
        {"same size, written since, other bytes", 4096, saved.addSecs(60), u'b', true, 1},
        {"a time unknown now: the bytes tell", 4096, QDateTime(), u'a', false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int hashed = 0;
        const CheckedCatalog now{c.size, c.modified, [&] {
                                     ++hashed;
                                     return QString(64, c.hashDigit);
                                 }};
        EXPECT_EQ(IsAnotherCatalog(stamp, now), c.another);
        EXPECT_EQ(hashed, c.hashed);
    }

    // A basket saved with a time that could not be written: two unknown
    // times are no proof of one file, so the bytes tell.
    CatalogStamp unknown = stamp;
    unknown.modified = QDateTime();
    for (const QChar digit : {u'a', u'b'}) {
        int hashed = 0;
        const CheckedCatalog now{4096, QDateTime(), [&] {
                                     ++hashed;
                                     return QString(64, digit);
                                 }};
        EXPECT_EQ(IsAnotherCatalog(unknown, now), digit != u'a');
        EXPECT_EQ(hashed, 1);
    }
}

TEST(BasketCheck, CountsAndExitStatusOfARun)
{
    const BasketCheckResult fits = Check(File({Saved("A"), Saved("C")}));
    const BasketCheckResult near = Check(File({Saved("A"), Saved("B")}));
    const BasketCheckResult over = Check(File({Saved("A"), Saved("B"), Saved("B")}));
    const BasketCheckResult changed =
        Check(File({Saved("A"), Texts("GONE", "1", "1", "1", "1", "1")}));
    const BasketCheckResult unreadable =
        UncheckedBasket(QStringLiteral("bad"), QStringLiteral("?"));
    const struct {
        const char* what;
        std::vector<BasketCheckResult> results;
        int fits, near, over, changed, unreadable, status;
    } cases[] = {
        {"nothing to say", {fits, fits}, 2, 0, 0, 0, 0, 0},
        {"near still fits", {fits, near}, 1, 1, 0, 0, 0, 0},
        {"one over", {fits, over, near}, 1, 1, 1, 0, 0, 1},
        {"one changed", {changed, fits}, 2, 0, 0, 1, 0, 1},
        {"one unreadable among good ones", {fits, unreadable, near}, 1, 1, 0, 0, 1, 3},
        {"unreadable outweighs over and changed", {over, changed, unreadable}, 1, 0, 1, 1, 1, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const BasketCheckSummary summary = SummarizeChecks(c.results);
        EXPECT_EQ(summary.files, static_cast<int>(c.results.size()));
        EXPECT_EQ(summary.fits, c.fits);
        EXPECT_EQ(summary.near, c.near);
        EXPECT_EQ(summary.over, c.over);
        EXPECT_EQ(summary.changed, c.changed);
        EXPECT_EQ(summary.unreadable, c.unreadable);
        EXPECT_EQ(CheckExitStatus(summary), c.status);
    }
}

TEST(BasketCheck, EachCodeIsLookedUpOncePerRunFoundOrNot)
{
    std::map<QString, int> asked;
    bool failNext = false;
    const CatalogLookup remembering = RememberingLookup([&](const QString& code) {
        if (failNext) {
            failNext = false;
            throw std::runtime_error("catalog busy");
        }
        ++asked[code];
        return FindInCatalog(code);
    });
    const CatalogLookup copy = remembering; // shares what it remembers
    const BasketDocument first = File({Saved("A"), Saved("B"), Saved("A"), Saved("C")});
    const BasketDocument second = File({Saved("B"), Texts("GONE", "1", "1", "1", "1", "1"),
                                        Texts("GONE", "1", "1", "1", "1", "1"), Saved("A")});
    const BasketCheckResult a = CheckBasket(QStringLiteral("1"), first, remembering, {});
    const BasketCheckResult b = CheckBasket(QStringLiteral("2"), second, copy, {});
    EXPECT_EQ(a.reopened.entries.size(), 4u);
    EXPECT_EQ(b.reopened.entries.size(), 2u);
    EXPECT_EQ(b.changes.size(), 2u) << "the withdrawn block is said each time it appears";
    EXPECT_EQ(asked, (std::map<QString, int>{{QStringLiteral("A"), 1},
                                             {QStringLiteral("B"), 1},
                                             {QStringLiteral("C"), 1},
                                             {QStringLiteral("GONE"), 1}}));

    // A failure is not remembered: the next call asks again.
    failNext = true;
    EXPECT_THROW((void)remembering(QStringLiteral("HOT")), std::runtime_error);
    EXPECT_TRUE(remembering(QStringLiteral("HOT")).has_value());
    EXPECT_EQ(asked[QStringLiteral("HOT")], 1);
}

namespace {

// Three files: one near, one over with two changes, one unreadable.
BasketCheckRun SampleRun(const QString& separator)
{
    BasketCheckRun run;
    run.separator = separator;
    run.catalogPath = QStringLiteral("/srv/catalog/VELTRUM.db");
    run.catalogSha256 = QString(64, u'c');
    run.results.push_back(Check(File({Saved("A"), Saved("B")}), "near.vbasket"));
    run.results.push_back(Check(File({Saved("A"), Texts("HOT", "0.5", "0", "0.1", "2", "1"),
                                      Texts("GONE", "1", "1", "1", "1", "1")}),
                                "over; \"changed\".vbasket"));
    run.results.push_back(
        UncheckedBasket(QStringLiteral("broken.vbasket"), QStringLiteral("файл обрывается")));
    return run;
}

} // namespace

TEST(BasketCheckReport, JsonReadsBackWithEveryFileAndTheSummary)
{
    const BasketCheckRun run = SampleRun(QStringLiteral("."));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(CheckReportJson(run), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject root = document.object();
    EXPECT_EQ(root.keys(), (QStringList{QStringLiteral("files"), QStringLiteral("summary")}));

    const QJsonArray files = root[QStringLiteral("files")].toArray();
    ASSERT_EQ(files.size(), 3);
    const QJsonObject near = files[0].toObject();
    EXPECT_EQ(near[QStringLiteral("file")].toString(), QStringLiteral("near.vbasket"));
    EXPECT_EQ(near[QStringLiteral("verdict")].toString(), QStringLiteral("near"));
    EXPECT_EQ(near[QStringLiteral("verdictText")].toString(), run.results[0].verdictSentence);
    EXPECT_EQ(near[QStringLiteral("crateType")].toString(), kFirstType);
    EXPECT_FALSE(near[QStringLiteral("changed")].toBool());
    const QJsonArray limits = near[QStringLiteral("limits")].toArray();
    ASSERT_EQ(limits.size(), 5);
    const QJsonObject v5 = limits[0].toObject();
    EXPECT_EQ(v5[QStringLiteral("name")].toString(), QStringLiteral("+5V"));
    EXPECT_EQ(v5[QStringLiteral("total")].toString(), QStringLiteral("2.4"));
    EXPECT_EQ(v5[QStringLiteral("limit")].toString(), QStringLiteral("3"));
    EXPECT_EQ(v5[QStringLiteral("percentUsed")].toString(), QStringLiteral("80"));
    EXPECT_EQ(v5[QStringLiteral("state")].toString(), QStringLiteral("near"));

    const QJsonObject over = files[1].toObject();
    EXPECT_EQ(over[QStringLiteral("file")].toString(), QStringLiteral("over; \"changed\".vbasket"));
    EXPECT_EQ(over[QStringLiteral("verdict")].toString(), QStringLiteral("over"));
    EXPECT_TRUE(over[QStringLiteral("changed")].toBool());
    EXPECT_EQ(over[QStringLiteral("changes")].toArray().toVariantList().size(), 2);
    EXPECT_EQ(over[QStringLiteral("changes")].toArray()[0].toString(),
              QStringLiteral("HOT: -7V, А 0.1 → 0.7"));
    EXPECT_EQ(over[QStringLiteral("takenBy")].toArray().size(), run.results[1].takenBy.size());

    const QJsonObject broken = files[2].toObject();
    EXPECT_EQ(broken[QStringLiteral("verdict")].toString(), QStringLiteral("unreadable"));
    EXPECT_EQ(broken[QStringLiteral("error")].toString(), QStringLiteral("файл обрывается"));

    const QJsonObject summary = root[QStringLiteral("summary")].toObject();
    EXPECT_EQ(summary[QStringLiteral("files")].toInt(), 3);
    EXPECT_EQ(summary[QStringLiteral("fits")].toInt(), 0);
    EXPECT_EQ(summary[QStringLiteral("near")].toInt(), 1);
    EXPECT_EQ(summary[QStringLiteral("over")].toInt(), 1);
    EXPECT_EQ(summary[QStringLiteral("changed")].toInt(), 1);
    EXPECT_EQ(summary[QStringLiteral("unreadable")].toInt(), 1);
    EXPECT_EQ(summary[QStringLiteral("exitStatus")].toInt(), 3);
    EXPECT_EQ(summary[QStringLiteral("catalogSha256")].toString(), run.catalogSha256);
    EXPECT_EQ(summary[QStringLiteral("marginPercent")].toInt(), kDefaultMarginPercent);
}

TEST(BasketCheckReport, CsvReadsBackOneRowPerFileWithEitherSeparator)
{
    for (const auto& [decimal, field] : {std::pair{QStringLiteral(","), QChar(u';')},
                                         std::pair{QStringLiteral("."), QChar(u',')}}) {
        SCOPED_TRACE(decimal.toStdString());
        // The results' own texts are those of a full-stop screen; only the
        // field separator follows the run's.
        BasketCheckRun run = SampleRun(QStringLiteral("."));
        run.separator = decimal;
        const QByteArray csv = CheckReportCsv(run);
        ASSERT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
        const std::vector<QStringList> rows = ReadCsv(QString::fromUtf8(csv.mid(3)), field);
        ASSERT_EQ(rows.size(), 4u) << csv.constData();
        EXPECT_EQ(rows[0], (QStringList{QStringLiteral("ФАЙЛ"), QStringLiteral("ТИП КОРЗИНЫ"),
                                        QStringLiteral("ИТОГ"), QStringLiteral("ЗАКЛЮЧЕНИЕ"),
                                        QStringLiteral("ПОДХОДЯТ"), QStringLiteral("ИЗМЕНЕНИЯ"),
                                        QStringLiteral("ОШИБКА")}));
        const BasketCheckResult& over = run.results[1];
        EXPECT_EQ(rows[2],
                  (QStringList{over.file, kFirstType, QStringLiteral("ПРЕВЫШЕНИЕ"),
                               over.verdictSentence, over.takenBy.join(QStringLiteral(", ")),
                               over.changes.join(u'\n'), QString()}));
        EXPECT_EQ(rows[1][2], QStringLiteral("БЛИЗКО К ПРЕДЕЛУ"));
        EXPECT_EQ(rows[3], (QStringList{QStringLiteral("broken.vbasket"), QString(),
                                        QStringLiteral("НЕ ПРОЧИТАН"), QString(), QString(),
                                        QString(), QStringLiteral("файл обрывается")}));
    }
}

TEST(BasketCheckReport, TextGivesEachFileInOrderAndEndsWithTheSummary)
{
    const BasketCheckRun run = SampleRun(QStringLiteral("."));
    const QString text = CheckReportText(run);
    const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.last(), QStringLiteral("ИТОГО: файлов 3, в пределах 0, близко к пределу 1, "
                                           "превышение 1, изменено 1, не прочитано 1"));
    EXPECT_EQ(lines.value(0), QStringLiteral("near.vbasket"));
    EXPECT_TRUE(lines.contains(QStringLiteral("  ИТОГ: БЛИЗКО К ПРЕДЕЛУ: +5V 80 %")));
    EXPECT_TRUE(lines.contains(QStringLiteral("  ТИП КОРЗИНЫ: KSV-1HA (QT310SB)")));
    EXPECT_TRUE(lines.contains(QStringLiteral("    HOT: -7V, А 0.1 → 0.7")));
    EXPECT_TRUE(lines.contains(QStringLiteral("    GONE: нет в каталоге, не добавлен")));
    EXPECT_TRUE(lines.contains(QStringLiteral("  НЕ ПРОВЕРЕН: файл обрывается")));
    EXPECT_LT(text.indexOf(u"near.vbasket"), text.indexOf(u"over;"));
    EXPECT_LT(text.indexOf(u"over;"), text.indexOf(u"broken.vbasket"));
}
