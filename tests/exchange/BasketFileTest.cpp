// SPDX-License-Identifier: MIT
// Basket files: what is written, what is read back, and every way a file
// can be wrong or a save can fail.

#include "ExchangeSupport.h"

#include "ThrownMessage.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

BasketDocument Sample()
{
    BasketDocument basket;
    basket.decimalSeparator = QStringLiteral(",");
    basket.crateType = QStringLiteral("KSV-3HA (QT27)");
    basket.entries = {
        {QStringLiteral("MK1-100"), QStringLiteral("0,5"), QStringLiteral("0,1"),
         QStringLiteral("0,05"), QStringLiteral("3,2"), QStringLiteral("1")},
        {QStringLiteral("ЗГ-1 \"малая\""), QStringLiteral("1E-5"), QStringLiteral("0"),
         QStringLiteral("0"), QStringLiteral("12"), QStringLiteral("0")},
    };
    basket.catalog = {QStringLiteral("VELTRUM.db"), 40960,
                      QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9, 123), Qt::UTC),
                      QString(64, u'a')};
    return basket;
}

QJsonObject SampleJson()
{
    return QJsonDocument::fromJson(EncodeBasket(Sample())).object();
}

QByteArray Json(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// The sample with one field of the first entry replaced.
QByteArray WithEntryField(const char* key, const QJsonValue& value)
{
    QJsonObject root = SampleJson();
    QJsonArray entries = root[QStringLiteral("entries")].toArray();
    QJsonObject entry = entries[0].toObject();
    entry[QLatin1String(key)] = value;
    entries[0] = entry;
    root[QStringLiteral("entries")] = entries;
    return Json(root);
}

QByteArray WithField(const char* key, const QJsonValue& value)
{
    QJsonObject root = SampleJson();
    root[QLatin1String(key)] = value;
    return Json(root);
}

QByteArray Without(const char* key)
{
    QJsonObject root = SampleJson();
    root.remove(QLatin1String(key));
    return Json(root);
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

} // namespace

TEST(BasketFile, KeepsEverythingThroughEncodingAndDecoding)
{
    const BasketDocument sample = Sample();
    const BasketDocument back = DecodeBasket(EncodeBasket(sample));
    EXPECT_EQ(back.decimalSeparator, sample.decimalSeparator);
    EXPECT_EQ(back.crateType, sample.crateType);
    EXPECT_EQ(back.entries, sample.entries);
    EXPECT_EQ(back.catalog, sample.catalog);

    // The documented layout, read with a plain JSON reader.
    const QJsonObject root = SampleJson();
    EXPECT_EQ(root[QStringLiteral("format")].toString(), QStringLiteral("veltrum-basket"));
    EXPECT_EQ(root[QStringLiteral("version")].toInt(), 1);
    const QJsonObject second = root[QStringLiteral("entries")].toArray()[1].toObject();
    EXPECT_EQ(second[QStringLiteral("code")].toString(), QStringLiteral("ЗГ-1 \"малая\""));
    EXPECT_EQ(second[QStringLiteral("power")].toString(), QStringLiteral("12"));
    const QJsonObject catalog = root[QStringLiteral("catalog")].toObject();
    EXPECT_EQ(catalog[QStringLiteral("modified")].toString(),
              QStringLiteral("2024-03-05T14:07:09.123Z"));
    EXPECT_EQ(catalog[QStringLiteral("size")].toInteger(), 40960);

    // A reader of this version ignores fields it does not know.
    QJsonObject extended = root;
    extended[QStringLiteral("comment")] = QStringLiteral("for order 17");
    EXPECT_EQ(DecodeBasket(Json(extended)).entries, sample.entries);
}

TEST(BasketFile, KeepsTheCrateLimitsAndTheProgramVersionAndOpensFilesWithoutThem)
{
    BasketDocument sample = Sample();
    sample.crateLimits = LimitTexts{QStringLiteral("10"), QStringLiteral("3"), QStringLiteral("3"),
                                    QStringLiteral("90,5"), QStringLiteral("17")};
    const QByteArray bytes = EncodeBasket(sample);
    const BasketDocument back = DecodeBasket(bytes);
    EXPECT_EQ(back.crateLimits, sample.crateLimits);
    EXPECT_EQ(back.programVersion, ProgramVersion());
    EXPECT_FALSE(ProgramVersion().isEmpty());

    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    EXPECT_EQ(root[QStringLiteral("version")].toInt(), 1) << "the format's version stays";
    EXPECT_EQ(root[QStringLiteral("programVersion")].toString(), ProgramVersion());
    const QJsonObject limits = root[QStringLiteral("crateLimits")].toObject();
    EXPECT_EQ(limits[QStringLiteral("power")].toString(), QStringLiteral("90,5"));
    EXPECT_EQ(limits[QStringLiteral("slots")].toString(), QStringLiteral("17"));

    // A file written before either was recorded still opens, and says neither.
    QJsonObject older = root;
    older.remove(QStringLiteral("crateLimits"));
    older.remove(QStringLiteral("programVersion"));
    const BasketDocument old = DecodeBasket(Json(older));
    EXPECT_FALSE(old.crateLimits.has_value());
    EXPECT_TRUE(old.programVersion.isEmpty());
    EXPECT_EQ(old.entries, sample.entries);

    // A basket saved without limits writes no limits field.
    EXPECT_FALSE(SampleJson().contains(QStringLiteral("crateLimits")));
}

// A catalog whose time has no ISO 8601 text (before the year 0, after
// 9999, or none at all) used to make a file its reader refused. The time is
// now left out and read as unknown; files written with an empty time open.
TEST(BasketFile, ACatalogTimeThatCannotBeWrittenIsLeftOutAndReadAsUnknown)
{
    const QDateTime far = QDateTime::fromSecsSinceEpoch(320'000'000'000, Qt::UTC);
    const QDateTime beforeYearZero = QDateTime::fromSecsSinceEpoch(-70'000'000'000, Qt::UTC);
    ASSERT_TRUE(far.isValid() && beforeYearZero.isValid());
    QTemporaryDir dir;
    for (const QDateTime& modified : {QDateTime(), far, beforeYearZero}) {
        SCOPED_TRACE(modified.isValid() ? modified.date().year() : 0);
        BasketDocument sample = Sample();
        sample.catalog.modified = modified;
        const QJsonObject catalog = QJsonDocument::fromJson(EncodeBasket(sample))
                                        .object()[QStringLiteral("catalog")]
                                        .toObject();
        EXPECT_FALSE(catalog.contains(QStringLiteral("modified")));

        const QString path = dir.filePath(QStringLiteral("unknown-time.vbasket"));
        SaveBasketFile(path, sample);
        const BasketDocument back = LoadBasketFile(path);
        EXPECT_FALSE(back.catalog.modified.isValid());
        EXPECT_EQ(back.catalog.sha256, sample.catalog.sha256);
        EXPECT_EQ(back.catalog.size, sample.catalog.size);
        EXPECT_EQ(back.entries, sample.entries);
    }

    QJsonObject root = SampleJson();
    QJsonObject catalog = root[QStringLiteral("catalog")].toObject();
    catalog[QStringLiteral("modified")] = QString(); // as such files were written
    root[QStringLiteral("catalog")] = catalog;
    EXPECT_FALSE(DecodeBasket(Json(root)).catalog.modified.isValid());
    EXPECT_EQ(DecodeBasket(Json(root)).entries, Sample().entries);

    catalog[QStringLiteral("modified")] = QStringLiteral("вчера");
    root[QStringLiteral("catalog")] = catalog;
    const std::string message =
        ThrownMessage<EBasketFormatError>([&] { (void)DecodeBasket(Json(root)); });
    EXPECT_NE(message.find("поле «catalog.modified» должно быть датой и временем"),
              std::string::npos)
        << message;
    catalog[QStringLiteral("modified")] = 1;
    root[QStringLiteral("catalog")] = catalog;
    EXPECT_THROW((void)DecodeBasket(Json(root)), EBasketFormatError);
}

TEST(BasketFile, RefusesWhatIsNotAValidBasketSayingWhatIsWrong)
{
    const QByteArray valid = EncodeBasket(Sample());
    QByteArray millionEntries =
        R"({"format":"veltrum-basket","version":1,"decimalSeparator":",","crateType":"","entries":[)";
    millionEntries += QByteArray("{},").repeated(999999) + "{}]}";
    const QByteArray deep = QByteArray(10000, '[') + QByteArray(10000, ']');
    QByteArray deepInside = valid;
    deepInside.insert(valid.indexOf('{') + 1,
                      "\"x\":" + QByteArray(40, '[') + QByteArray(40, ']') + ",");
    QJsonObject badCatalog = SampleJson();
    QJsonObject catalog = badCatalog[QStringLiteral("catalog")].toObject();
    catalog[QStringLiteral("sha256")] = QStringLiteral("not a hash");
    badCatalog[QStringLiteral("catalog")] = catalog;

    const struct {
        const char* name;
        QByteArray bytes;
        const char* message;
    } cases[] = {
        {"empty", QByteArray(), "файл пуст"},
        {"not JSON", "Корзина: MK1-100, ЗГ-1", "это не файл JSON"},
        {"JSON but not an object", "[1, 2, 3]", "это не файл корзины Veltrum"},
        {"trailing garbage", valid + "}", "это не файл JSON"},
        {"truncated", valid.left(valid.size() / 2), "файл обрывается"},
        {"truncated in a string", valid.left(valid.indexOf("MK1-") + 2), "файл обрывается"},
        {"another format", WithField("format", QStringLiteral("kate-session")),
         "это не файл корзины Veltrum"},
        {"no format", Without("format"), "это не файл корзины Veltrum"},
        {"newer version", WithField("version", 2),
         "более новой версией программы (версия формата 2, эта программа читает версию 1)"},
        {"version zero", WithField("version", 0), "неизвестная версия формата 0"},
        {"version as text", WithField("version", QStringLiteral("1")),
         "поле «version» должно быть целым числом"},
        {"fractional version", WithField("version", 1.5),
         "поле «version» должно быть целым числом"},
        {"a million entries", millionEntries,
         "слишком много записей (1000000, допускается не более 10000)"},
        {"nesting 10,000 deep", deep, "слишком глубокая вложенность"},
        {"binary data full of brackets",
         QByteArray("SQLite format 3\0", 16) + QByteArray(100, '[') + QByteArray(4, '\xFF'),
         "это не файл JSON"},
        {"a bracket, then binary data", QByteArray("{\x80\x81") + QByteArray(100, '['),
         "это не файл JSON"},
        {"nesting 41 deep inside a basket", deepInside, "слишком глубокая вложенность"},
        {"entries not a list", WithField("entries", QStringLiteral("MK1-100")),
         "поле «entries» должно быть списком"},
        {"entry not an object", WithField("entries", QJsonArray{1}),
         "запись «entries[0]» должна быть объектом"},
        {"code a number", WithEntryField("code", 100),
         "поле «entries[0].code» должно быть строкой"},
        {"current a number, not a text", WithEntryField("v5", 0.5),
         "поле «entries[0].v5» должно быть строкой"},
        {"current not a number", WithEntryField("v7", QStringLiteral("много")),
         "поле «entries[0].v7» должно быть числом, а не «много»"},
        {"current with the other separator", WithEntryField("v_7", QStringLiteral("0.05")),
         "поле «entries[0].v_7» должно быть числом"},
        {"negative slots", WithEntryField("slots", QStringLiteral("-1")),
         "поле «entries[0].slots» должно быть числом"},
        {"fractional slots", WithEntryField("slots", QStringLiteral("1,5")),
         "поле «entries[0].slots» должно быть числом"},
        {"missing power", WithEntryField("power", QJsonValue::Undefined),
         "нет поля «entries[0].power»"},
        {"crate type a number", WithField("crateType", 4), "поле «crateType» должно быть строкой"},
        {"no catalog", Without("catalog"), "нет поля «catalog»"},
        {"catalog hash not a hash", Json(badCatalog), "поле «catalog.sha256»"},
        {"crate limits not an object", WithField("crateLimits", QJsonArray{1, 2}),
         "поле «crateLimits» должно быть объектом"},
        {"crate limit missing",
         WithField("crateLimits", QJsonObject{{QStringLiteral("v5"), QStringLiteral("3")}}),
         "нет поля «crateLimits.v7»"},
        {"crate limit with the other separator",
         WithField("crateLimits", QJsonObject{{QStringLiteral("v5"), QStringLiteral("3.5")},
                                              {QStringLiteral("v7"), QStringLiteral("1")},
                                              {QStringLiteral("v_7"), QStringLiteral("1")},
                                              {QStringLiteral("power"), QStringLiteral("1")},
                                              {QStringLiteral("slots"), QStringLiteral("4")}}),
         "поле «crateLimits.v5» должно быть числом"},
        {"crate slots fractional",
         WithField("crateLimits", QJsonObject{{QStringLiteral("v5"), QStringLiteral("3")},
                                              {QStringLiteral("v7"), QStringLiteral("1")},
                                              {QStringLiteral("v_7"), QStringLiteral("1")},
                                              {QStringLiteral("power"), QStringLiteral("1")},
                                              {QStringLiteral("slots"), QStringLiteral("4,5")}}),
         "поле «crateLimits.slots» должно быть числом"},
        {"program version a number", WithField("programVersion", 1),
         "поле «programVersion» должно быть строкой"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string message =
            ThrownMessage<EBasketFormatError>([&] { (void)DecodeBasket(c.bytes); });
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
}

TEST(BasketFile, FileErrorsNameTheFile)
{
    QTemporaryDir dir;
    const QString truncated = dir.filePath(QStringLiteral("half.vbasket"));
    const QByteArray valid = EncodeBasket(Sample());
    WriteBytes(truncated, valid.left(100));
    // 100 MB, sparse: refused by its size before a byte is read.
    const QString huge = dir.filePath(QStringLiteral("huge.vbasket"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(100 * 1000 * 1000));
    }
    const struct {
        QString path;
        const char* message;
    } cases[] = {
        {truncated, "файл обрывается"},
        {huge, "файл слишком велик (100000000 байт, допускается не более 8388608)"},
        {dir.filePath(QStringLiteral("missing.vbasket")), ": "},
        {dir.path(), "это папка, а не файл"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const std::string message =
            ThrownMessage<EFileError>([&] { (void)LoadBasketFile(c.path); });
        const std::string named =
            "Не удалось открыть файл корзины \"" + c.path.toStdString() + "\": ";
        EXPECT_EQ(message.rfind(named, 0), 0u) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }

    // A device is not read at all: opening only regular files, it is refused
    // as one (it used to be read up to the cap).
    const std::string zero =
        ThrownMessage<EFileError>([] { (void)LoadBasketFile(QStringLiteral("/dev/zero")); });
    EXPECT_NE(zero.find("это не обычный файл"), std::string::npos) << zero;
}

// What is not a basket file at all is said so at once: a FIFO with no
// writer would hold the reading thread (the window) for good, and the
// sample catalog, a binary file, is not JSON.
TEST(BasketFile, SpecialAndBinaryFilesAreRefusedWithoutWaiting)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.vbasket"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString path;
        const char* message;
    } cases[] = {
        {fifo, "это не обычный файл"},
        {QStringLiteral("/dev/null"), "это не обычный файл"},
        {QStringLiteral(VELTRUM_SAMPLE_DIR "/VELTRUM.db"), "это не файл JSON"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const std::string message =
            ThrownMessage<EFileError>([&] { (void)LoadBasketFile(c.path); });
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        EXPECT_EQ(message.find("вложенность"), std::string::npos) << message;
    }
}

TEST(BasketFile, SavedFileReadsBackAndASecondSaveReplacesIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("basket.vbasket"));
    BasketDocument basket = Sample();
    SaveBasketFile(path, basket);
    basket.entries.pop_back();
    SaveBasketFile(path, basket);
    EXPECT_EQ(LoadBasketFile(path).entries, basket.entries);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("basket.vbasket")});
}

TEST(BasketFile, FailedSaveSaysWhyAndLeavesTheOlderFileWhole)
{
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.vbasket"));
    SaveBasketFile(old, Sample());
    const QByteArray before = ReadBytes(old);

    // A folder in the way, and a folder that is not there.
    const QString folder = dir.filePath(QStringLiteral("folder.vbasket"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.vbasket")));
    for (const QString& path : {folder, dir.filePath(QStringLiteral("none/basket.vbasket"))}) {
        const std::string message =
            ThrownMessage<EFileError>([&] { SaveBasketFile(path, Sample()); });
        const std::string named =
            "Не удалось сохранить корзину в файл \"" + path.toStdString() + "\": ";
        ASSERT_EQ(message.rfind(named, 0), 0u) << message;
        EXPECT_GT(message.size(), named.size()) << "the reason is given";
    }

    // A full disk: the process may write no more than a few bytes, so the
    // new file cannot be written whole.
    BasketDocument larger = Sample();
    larger.entries.resize(200, larger.entries[0]);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tiny = saved;
    tiny.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const std::string full = ThrownMessage<EFileError>([&] { SaveBasketFile(old, larger); });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_NE(full.find("Не удалось сохранить корзину в файл"), std::string::npos) << full;

    EXPECT_EQ(ReadBytes(old), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.vbasket")})
        << "no partial file is left behind";
}

TEST(BasketFile, SaveWithoutPermissionSaysWhy)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not hold for root";
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const QString path = dir.filePath(QStringLiteral("basket.vbasket"));
    const std::string message = ThrownMessage<EFileError>([&] { SaveBasketFile(path, Sample()); });
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_NE(message.find("Не удалось сохранить корзину в файл"), std::string::npos) << message;
    EXPECT_FALSE(QFile::exists(path));
}

TEST(BasketFile, CatalogStampIsTheFilesNameSizeTimeAndHash)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("VELTRUM.db"));
    WriteBytes(path, "abc");
    const QDateTime when(QDate(2023, 1, 2), QTime(3, 4, 5), Qt::UTC);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    }
    const CatalogStamp stamp = ReadCatalogStamp(path);
    EXPECT_EQ(stamp.fileName, QStringLiteral("VELTRUM.db"));
    EXPECT_EQ(stamp.size, 3);
    EXPECT_EQ(stamp.modified, when);
    // SHA-256 of "abc", the standard's own example.
    EXPECT_EQ(stamp.sha256,
              QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
}
