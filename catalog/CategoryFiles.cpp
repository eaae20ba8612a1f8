// SPDX-License-Identifier: MIT
#include "catalog/CategoryFiles.h"

#include "base/Exception.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The upper half of Windows-1251; the lower half is ASCII. 0x98 has no
// character in the code page and shows as the replacement character.
constexpr std::array<char16_t, 128> kUpperHalf = {
    // 0x80
    u'\u0402',
    u'\u0403',
    u'\u201A',
    u'\u0453',
    u'\u201E',
    u'\u2026',
    u'\u2020',
    u'\u2021',
    u'\u20AC',
    u'\u2030',
    u'\u0409',
    u'\u2039',
    u'\u040A',
    u'\u040C',
    u'\u040B',
    u'\u040F',
    // 0x90
    u'\u0452',
    u'\u2018',
    u'\u2019',
    u'\u201C',
    u'\u201D',
    u'\u2022',
    u'\u2013',
    u'\u2014',
    u'\uFFFD',
    u'\u2122',
    u'\u0459',
    u'\u203A',
    u'\u045A',
    u'\u045C',
    u'\u045B',
    u'\u045F',
    // 0xA0
    u'\u00A0',
    u'\u040E',
    u'\u045E',
    u'\u0408',
    u'\u00A4',
    u'\u0490',
    u'\u00A6',
    u'\u00A7',
    u'\u0401',
    u'\u00A9',
    u'\u0404',
    u'\u00AB',
    u'\u00AC',
    u'\u00AD',
    u'\u00AE',
    u'\u0407',
    // 0xB0
    u'\u00B0',
    u'\u00B1',
    u'\u0406',
    u'\u0456',
    u'\u0491',
    u'\u00B5',
    u'\u00B6',
    u'\u00B7',
    u'\u0451',
    u'\u2116',
    u'\u0454',
    u'\u00BB',
    u'\u0458',
    u'\u0405',
    u'\u0455',
    u'\u0457',
    // 0xC0..0xFF: А..я in alphabet order
    u'\u0410',
    u'\u0411',
    u'\u0412',
    u'\u0413',
    u'\u0414',
    u'\u0415',
    u'\u0416',
    u'\u0417',
    u'\u0418',
    u'\u0419',
    u'\u041A',
    u'\u041B',
    u'\u041C',
    u'\u041D',
    u'\u041E',
    u'\u041F',
    u'\u0420',
    u'\u0421',
    u'\u0422',
    u'\u0423',
    u'\u0424',
    u'\u0425',
    u'\u0426',
    u'\u0427',
    u'\u0428',
    u'\u0429',
    u'\u042A',
    u'\u042B',
    u'\u042C',
    u'\u042D',
    u'\u042E',
    u'\u042F',
    u'\u0430',
    u'\u0431',
    u'\u0432',
    u'\u0433',
    u'\u0434',
    u'\u0435',
    u'\u0436',
    u'\u0437',
    u'\u0438',
    u'\u0439',
    u'\u043A',
    u'\u043B',
    u'\u043C',
    u'\u043D',
    u'\u043E',
    u'\u043F',
    u'\u0440',
    u'\u0441',
    u'\u0442',
    u'\u0443',
    u'\u0444',
    u'\u0445',
    u'\u0446',
    u'\u0447',
    u'\u0448',
    u'\u0449',
    u'\u044A',
    u'\u044B',
    u'\u044C',
    u'\u044D',
    u'\u044E',
    u'\u044F',
};

[[noreturn]] void ThrowFileError(const QString& what, const QString& path, const QString& reason)
{
    throw EFileError(
        (what + QStringLiteral(" \"") + path + QStringLiteral("\": ") + reason).toStdString());
}

} // namespace

std::optional<QByteArray> EncodeCp1251(QStringView text, qsizetype* unencodable)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes.append(static_cast<char>(c));
            continue;
        }
        // The replacement character stands for the unassigned 0x98 when
        // decoding; it has no byte of its own.
        const auto* found = c == u'\uFFFD' ? kUpperHalf.end()
                                           : std::find(kUpperHalf.begin(), kUpperHalf.end(), c);
        if (found == kUpperHalf.end()) {
            if (unencodable)
                *unencodable = i;
            return std::nullopt;
        }
        bytes.append(static_cast<char>(0x80 + (found - kUpperHalf.begin())));
    }
    return bytes;
}

QString DecodeCp1251(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = byte < 0x80 ? QChar(char16_t{byte}) : QChar(kUpperHalf[byte - 0x80]);
    }
    return text;
}

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n') {
            ++i;
            continue;
        }
        lines.append(text.mid(start, i - start));
        i += (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

QString DecodeCategoryText(QByteArrayView bytes)
{
    static constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
    if (bytes.startsWith(QByteArrayView(kUtf8Mark, 3)))
        return QString::fromUtf8(bytes.sliced(3));
    return DecodeCp1251(bytes);
}

QStringList LoadCategoryFile(const QString& path)
{
    const QString cannotOpen = QStringLiteral("Не удалось открыть файл");
    // Opened without blocking and checked on the descriptor itself: a FIFO
    // would block the open, a device would be read without end.
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        ThrowFileError(cannotOpen, path, qt_error_string(errno));
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        ThrowFileError(cannotOpen, path, file.errorString());
    }
    struct stat info {};
    if (::fstat(descriptor, &info) != 0)
        ThrowFileError(cannotOpen, path, qt_error_string(errno));
    if (S_ISDIR(info.st_mode))
        ThrowFileError(cannotOpen, path, QStringLiteral("это каталог, а не файл"));
    if (!S_ISREG(info.st_mode))
        ThrowFileError(cannotOpen, path, QStringLiteral("это не обычный файл"));
    const QString tooLarge = QStringLiteral("файл больше %1 МиБ").arg(kCategoryFileByteLimit >> 20);
    if (info.st_size > kCategoryFileByteLimit)
        ThrowFileError(cannotOpen, path, tooLarge);
    // Read no more than the limit allows even if the file grows meanwhile.
    const QByteArray bytes = file.read(kCategoryFileByteLimit + 1);
    if (file.error() != QFileDevice::NoError)
        ThrowFileError(QStringLiteral("Не удалось прочитать файл"), path, file.errorString());
    if (bytes.size() > kCategoryFileByteLimit)
        ThrowFileError(cannotOpen, path, tooLarge);
    return SplitLines(DecodeCategoryText(bytes));
}

QString CategoryFileName(int categoryNumber)
{
    return QStringLiteral("Category%1.itm").arg(categoryNumber, 3, 10, QLatin1Char('0'));
}

QString CategoryFilePath(const QString& catalogDir, int categoryNumber)
{
    return QDir(catalogDir)
        .filePath(QStringLiteral("Category/") + CategoryFileName(categoryNumber));
}

bool HasSubcategories(int categoryNumber)
{
    return categoryNumber == 21 || categoryNumber == 22 || categoryNumber == 24;
}

int CategoryNumber(int categoryPosition)
{
    return categoryPosition + 1;
}

int SubcategoryCode(int categoryPosition, int subcategoryPosition)
{
    return categoryPosition + 100 * subcategoryPosition + 101;
}

std::int64_t SubcategoryLine(std::int64_t categoryNumber, std::int64_t code)
{
    // s − n needs 65 bits at the extremes; its quotient by 100 fits in 64.
    // Split both into hundreds and a remainder (each remainder has the sign
    // of its number, so their difference lies within ±198).
    const std::int64_t hundreds = code / 100 - categoryNumber / 100;
    const std::int64_t rest = code % 100 - categoryNumber % 100;
    // (s − n) = 100·hundreds + rest; truncating that toward zero:
    std::int64_t quotient = hundreds + rest / 100;
    const std::int64_t remainder = rest % 100;
    // hundreds and the remainder may have opposite signs: carry one hundred
    // so that the remainder takes the sign of the whole difference.
    if (quotient > 0 && remainder < 0)
        --quotient;
    else if (quotient < 0 && remainder > 0)
        ++quotient;
    return quotient - 1;
}

QString LineOrEmpty(const QStringList& lines, long long line)
{
    if (line < 0 || line >= lines.size())
        return {};
    return lines.at(static_cast<qsizetype>(line));
}
