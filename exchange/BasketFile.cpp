// SPDX-License-Identifier: MIT
#include "exchange/BasketFile.h"

#include "exchange/AtomicFile.h"
#include "base/DecimalText.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

[[noreturn]] void Fail(const QString& what)
{
    throw EBasketFormatError(what.toStdString());
}

// The six texts of an entry, as the file names them.
struct EntryField {
    const char16_t* key;
    QString DeviceTexts::*text;
};
constexpr EntryField kEntryFields[] = {
    {u"code", &DeviceTexts::ident},
    {u"v5", &DeviceTexts::v5},
    {u"v7", &DeviceTexts::v7},
    {u"v_7", &DeviceTexts::v_7},
    {u"power", &DeviceTexts::totalPower},
    {u"slots", &DeviceTexts::slotsCount},
};

// The five limits of "crateLimits", named as the entries' amounts are.
constexpr const char16_t* kLimitKeys[kLimitCount] = {u"v5", u"v7", u"v_7", u"power", u"slots"};
constexpr int kSlotsLimit = static_cast<int>(LimitKind::Slots);

// The deepest nesting of objects and arrays, found before the JSON parser
// sees the text: the parser recurses, and a file of ten thousand brackets
// must be refused without going that deep.
int NestingDepth(const QByteArray& bytes, int stopAt)
{
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : bytes) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            deepest = std::max(deepest, ++depth);
            if (deepest > stopAt)
                break;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return deepest;
}

// True when nothing but blanks follows `offset`: the parser ran out of text
// where more was due, so the file was cut short.
bool OnlyBlanksFrom(const QByteArray& bytes, qsizetype offset)
{
    for (qsizetype i = std::max<qsizetype>(offset, 0); i < bytes.size(); ++i)
        if (!QChar::isSpace(static_cast<uchar>(bytes[i])))
            return false;
    return true;
}

// JSON text is UTF-8 and opens with a bracket; anything else (a database,
// a picture) is no basket file, whatever bytes it holds further on. Told
// first, so that brackets inside binary data are not counted as nesting.
bool LooksLikeJsonText(const QByteArray& bytes)
{
    const QByteArray text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    const QByteArray start = text.left(64).trimmed();
    if (start.isEmpty() || (start.front() != '{' && start.front() != '['))
        return false;
    if (text.contains('\0'))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8);
    (void)QString(decoder.decode(text));
    return !decoder.hasError();
}

QJsonObject ParseRoot(const QByteArray& bytes)
{
    if (bytes.trimmed().isEmpty())
        Fail(Text(u"файл пуст"));
    if (bytes.size() > kMaxBasketFileBytes)
        Fail(Text(u"файл слишком велик (%1 байт, допускается не более %2)")
                 .arg(bytes.size())
                 .arg(kMaxBasketFileBytes));
    if (!LooksLikeJsonText(bytes))
        Fail(Text(u"это не файл JSON, а значит, не файл корзины Veltrum"));
    if (NestingDepth(bytes, kMaxBasketNesting) > kMaxBasketNesting)
        Fail(
            Text(u"слишком глубокая вложенность данных (более %1 уровней)").arg(kMaxBasketNesting));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        const bool cutShort =
            error.error != QJsonParseError::GarbageAtEnd && OnlyBlanksFrom(bytes, error.offset);
        if (cutShort)
            Fail(Text(u"файл обрывается: данные кончаются на байте %1").arg(bytes.size()));
        Fail(Text(u"это не файл JSON (ошибка в байте %1)").arg(error.offset));
    }
    if (!document.isObject())
        Fail(Text(u"это не файл корзины Veltrum"));
    return document.object();
}

QJsonValue Field(const QJsonObject& object, const QString& key, const QString& path)
{
    const auto found = object.constFind(key);
    if (found == object.constEnd())
        Fail(Text(u"нет поля «%1»").arg(path));
    return *found;
}

QString StringField(const QJsonObject& object, const QString& key, const QString& path)
{
    const QJsonValue value = Field(object, key, path);
    if (!value.isString())
        Fail(Text(u"поле «%1» должно быть строкой").arg(path));
    return value.toString();
}

QJsonObject ObjectField(const QJsonObject& object, const QString& key, const QString& path)
{
    const QJsonValue value = Field(object, key, path);
    if (!value.isObject())
        Fail(Text(u"поле «%1» должно быть объектом").arg(path));
    return value.toObject();
}

// A whole number stored as a JSON number, within the range a double holds exactly.
qint64 WholeNumberField(const QJsonObject& object, const QString& key, const QString& path)
{
    const QJsonValue value = Field(object, key, path);
    const double number = value.toDouble();
    constexpr double kExact = 9007199254740992.0; // 2^53
    if (!value.isDouble() || number != std::floor(number) || std::fabs(number) > kExact)
        Fail(Text(u"поле «%1» должно быть целым числом").arg(path));
    return static_cast<qint64>(number);
}

void CheckFormat(const QJsonObject& root)
{
    const QJsonValue format = root.value(QStringLiteral("format"));
    if (!format.isString() || format.toString() != Text(kBasketFormatName))
        Fail(Text(u"это не файл корзины Veltrum"));
    const qint64 version =
        WholeNumberField(root, QStringLiteral("version"), QStringLiteral("version"));
    if (version > kBasketFormatVersion)
        Fail(Text(u"файл записан более новой версией программы (версия формата %1, "
                  u"эта программа читает версию %2)")
                 .arg(version)
                 .arg(kBasketFormatVersion));
    if (version < 1)
        Fail(Text(u"неизвестная версия формата %1").arg(version));
}

void CheckNumberText(const QString& text, const QString& separator, bool whole, const QString& path)
{
    try {
        if (whole) {
            if (ParseInteger(text) < 0)
                throw EConvertError("negative");
        } else {
            (void)ParseDecimal(text, separator);
        }
    } catch (const EConvertError&) {
        Fail(Text(u"поле «%1» должно быть числом, а не «%2»").arg(path, text.left(40)));
    }
}

DeviceTexts DecodeEntry(const QJsonValue& value, int index, const QString& separator)
{
    const QString path = QStringLiteral("entries[%1]").arg(index);
    if (!value.isObject())
        Fail(Text(u"запись «%1» должна быть объектом").arg(path));
    const QJsonObject object = value.toObject();
    DeviceTexts texts;
    for (const EntryField& field : kEntryFields) {
        const QString key = Text(field.key);
        const QString fieldPath = path + QLatin1Char('.') + key;
        texts.*field.text = StringField(object, key, fieldPath);
        if (field.text != &DeviceTexts::ident)
            CheckNumberText(texts.*field.text, separator, field.text == &DeviceTexts::slotsCount,
                            fieldPath);
    }
    return texts;
}

// Optional: files written before the limits were recorded have none.
std::optional<LimitTexts> DecodeCrateLimits(const QJsonObject& root, const QString& separator)
{
    const QString key = QStringLiteral("crateLimits");
    if (!root.contains(key))
        return std::nullopt;
    const QJsonObject object = ObjectField(root, key, key);
    LimitTexts limits;
    for (int i = 0; i < kLimitCount; ++i) {
        const QString name = Text(kLimitKeys[i]);
        const QString path = key + QLatin1Char('.') + name;
        limits[static_cast<size_t>(i)] = StringField(object, name, path);
        CheckNumberText(limits[static_cast<size_t>(i)], separator, i == kSlotsLimit, path);
    }
    return limits;
}

QString DecodeProgramVersion(const QJsonObject& root)
{
    const QString key = QStringLiteral("programVersion");
    return root.contains(key) ? StringField(root, key, key) : QString();
}

CatalogStamp DecodeCatalog(const QJsonObject& root)
{
    const QJsonObject object =
        ObjectField(root, QStringLiteral("catalog"), QStringLiteral("catalog"));
    CatalogStamp stamp;
    stamp.fileName =
        StringField(object, QStringLiteral("fileName"), QStringLiteral("catalog.fileName"));
    stamp.size = WholeNumberField(object, QStringLiteral("size"), QStringLiteral("catalog.size"));
    // No time, or an empty one (as files of a catalog whose time could not
    // be written were saved), is an unknown time; any other text must be one.
    const QString modifiedKey = QStringLiteral("modified");
    const QString modified =
        object.contains(modifiedKey)
            ? StringField(object, modifiedKey, QStringLiteral("catalog.modified"))
            : QString();
    if (!modified.isEmpty()) {
        stamp.modified = QDateTime::fromString(modified, Qt::ISODateWithMs);
        if (!stamp.modified.isValid())
            Fail(Text(u"поле «catalog.modified» должно быть датой и временем"));
        stamp.modified = stamp.modified.toUTC();
    }
    stamp.sha256 = StringField(object, QStringLiteral("sha256"), QStringLiteral("catalog.sha256"));
    const bool hex = stamp.sha256.size() == 64 &&
                     std::all_of(stamp.sha256.begin(), stamp.sha256.end(), [](QChar c) {
                         return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
                     });
    if (!hex)
        Fail(Text(u"поле «catalog.sha256» должно содержать 64 шестнадцатеричные цифры"));
    return stamp;
}

QString FileMessage(const char16_t* what, const QString& path, const QString& reason)
{
    return Text(what).arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

QByteArray EncodeBasket(const BasketDocument& basket)
{
    QJsonArray entries;
    for (const DeviceTexts& texts : basket.entries) {
        QJsonObject entry;
        for (const EntryField& field : kEntryFields)
            entry.insert(Text(field.key), texts.*field.text);
        entries.append(entry);
    }
    QJsonObject catalog{
        {QStringLiteral("fileName"), basket.catalog.fileName},
        {QStringLiteral("size"), static_cast<double>(basket.catalog.size)},
        {QStringLiteral("sha256"), basket.catalog.sha256},
    };
    // ISO 8601 has no text for a time before the year 0 or after 9999
    // (some file systems keep such times), nor for no time at all: such a
    // time is left out rather than written as a text no reader takes.
    const QString modified = basket.catalog.modified.isValid()
                                 ? basket.catalog.modified.toUTC().toString(Qt::ISODateWithMs)
                                 : QString();
    if (!modified.isEmpty())
        catalog.insert(QStringLiteral("modified"), modified);
    QJsonObject root{
        {QStringLiteral("format"), Text(kBasketFormatName)},
        {QStringLiteral("version"), kBasketFormatVersion},
        {QStringLiteral("decimalSeparator"), basket.decimalSeparator},
        {QStringLiteral("crateType"), basket.crateType},
        {QStringLiteral("entries"), entries},
        {QStringLiteral("catalog"), catalog},
    };
    if (basket.crateLimits) {
        QJsonObject limits;
        for (int i = 0; i < kLimitCount; ++i)
            limits.insert(Text(kLimitKeys[i]), (*basket.crateLimits)[static_cast<size_t>(i)]);
        root.insert(QStringLiteral("crateLimits"), limits);
    }
    if (!basket.programVersion.isEmpty())
        root.insert(QStringLiteral("programVersion"), basket.programVersion);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

BasketDocument DecodeBasket(const QByteArray& bytes)
{
    const QJsonObject root = ParseRoot(bytes);
    CheckFormat(root);

    BasketDocument basket;
    basket.decimalSeparator =
        StringField(root, QStringLiteral("decimalSeparator"), QStringLiteral("decimalSeparator"));
    if (basket.decimalSeparator.isEmpty() || basket.decimalSeparator.size() > 4)
        Fail(Text(u"поле «decimalSeparator» должно быть разделителем дробной части"));
    basket.crateType = StringField(root, QStringLiteral("crateType"), QStringLiteral("crateType"));
    basket.crateLimits = DecodeCrateLimits(root, basket.decimalSeparator);

    const QJsonValue entries = Field(root, QStringLiteral("entries"), QStringLiteral("entries"));
    if (!entries.isArray())
        Fail(Text(u"поле «entries» должно быть списком"));
    const QJsonArray list = entries.toArray();
    if (list.size() > kMaxBasketEntries)
        Fail(Text(u"слишком много записей (%1, допускается не более %2)")
                 .arg(list.size())
                 .arg(kMaxBasketEntries));
    basket.entries.reserve(static_cast<size_t>(list.size()));
    for (int i = 0; i < list.size(); ++i)
        basket.entries.push_back(DecodeEntry(list.at(i), i, basket.decimalSeparator));

    basket.catalog = DecodeCatalog(root);
    basket.programVersion = DecodeProgramVersion(root);
    return basket;
}

void SaveBasketFile(const QString& path, const BasketDocument& basket)
{
    WriteFileAtomically(path, EncodeBasket(basket),
                        Text(u"Не удалось сохранить корзину в файл \"%1\": %2"));
}

BasketDocument LoadBasketFile(const QString& path)
{
    const char16_t* const what = u"Не удалось открыть файл корзины \"%1\": %2";
    const auto refuse = [&](const QString& reason) {
        return EFileError(FileMessage(what, path, reason).toStdString());
    };
    // Opened without blocking and checked on the descriptor itself: a FIFO
    // or a device would otherwise hold the window for good, and a file
    // swapped in after a check on the name is never read.
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
        throw refuse(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info {};
    const bool described = ::fstat(descriptor, &info) == 0;
    const int statError = errno;
    if (!described || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        if (!described)
            throw refuse(QString::fromLocal8Bit(std::strerror(statError)));
        if (S_ISDIR(info.st_mode))
            throw refuse(Text(u"это папка, а не файл"));
        throw refuse(Text(u"это не обычный файл (канал, устройство или сокет); "
                          u"открываются только обычные файлы"));
    }
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        throw refuse(file.errorString());
    }
    const auto tooLarge = [&](qint64 size) {
        return EFileError(FileMessage(what, path,
                                      Text(u"файл слишком велик (%1 байт, допускается не более %2)")
                                          .arg(size)
                                          .arg(kMaxBasketFileBytes))
                              .toStdString());
    };
    if (file.size() > kMaxBasketFileBytes)
        throw tooLarge(file.size());
    // One byte past the cap is enough to know the file is too large, also
    // when it has grown since it was measured.
    const QByteArray bytes = file.read(kMaxBasketFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw EFileError(FileMessage(what, path, file.errorString()).toStdString());
    if (bytes.size() > kMaxBasketFileBytes)
        throw tooLarge(bytes.size());
    try {
        return DecodeBasket(bytes);
    } catch (const EBasketFormatError& error) {
        throw EFileError(FileMessage(what, path, QString::fromUtf8(error.what())).toStdString());
    }
}

CatalogStamp ReadCatalogStamp(const QString& path)
{
    const QFileInfo info(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(
            FileMessage(u"Не удалось прочитать файл каталога \"%1\": %2", path, file.errorString())
                .toStdString());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        throw EFileError(
            FileMessage(u"Не удалось прочитать файл каталога \"%1\": %2", path, file.errorString())
                .toStdString());
    CatalogStamp stamp;
    stamp.fileName = info.fileName();
    stamp.size = info.size();
    stamp.modified = info.lastModified().toUTC();
    stamp.sha256 = QString::fromLatin1(hash.result().toHex());
    return stamp;
}
