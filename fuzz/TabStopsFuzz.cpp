// SPDX-License-Identifier: MIT
// The column lists' arithmetic: fields of tab-separated rows and tab stops.
//
// Sizes are pixel widths: a character below 1024 pixels, a field of text
// below 2^22 pixels (over half a million average characters), a header
// section below 2^16 pixels, and lists below 64 entries. Positions then
// stay within an int, as they do for any row the program can show.

#include "base/Exception.h"
#include "kit/TabStops.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Reads numbers from the input, front to back; zero once it runs out.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint32_t Next()
    {
        std::uint32_t value = 0;
        const std::size_t n = size_ < 4 ? size_ : 4;
        std::memcpy(&value, data_, n);
        data_ += n;
        size_ -= n;
        return value;
    }
    int Below(std::uint32_t limit) { return static_cast<int>(Next() % limit); }
    QList<int> Widths(std::uint32_t limit)
    {
        QList<int> widths;
        const int count = Below(64);
        for (int i = 0; i < count && size_ > 0; ++i)
            widths.append(Below(limit));
        return widths;
    }
    const std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

void CheckFields(const QString& row)
{
    const int tabs = TabCount(row);
    QStringList fields;
    for (int column = 0; column <= tabs; ++column)
        fields << FieldOfRow(row, column); // every field up to the last exists
    if (fields.join(QLatin1Char('\t')) != row)
        std::abort();
    for (const int beyond : {tabs + 1, -1}) {
        try {
            (void)FieldOfRow(row, beyond);
            std::abort();
        } catch (const EListError&) {
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in(data, size);
    constexpr std::uint32_t kField = 1u << 22;
    constexpr std::uint32_t kSection = 1u << 16;
    const int a = AverageCharWidth(in.Below(52 * 1024));
    if (a < 1)
        std::abort();

    const QList<int> automatic = AutomaticTabStops(in.Widths(kField), a);
    for (qsizetype i = 0; i < automatic.size(); ++i)
        if (automatic[i] < (i > 0 ? automatic[i - 1] : 0) + 4)
            std::abort();

    const QList<int> sections = in.Widths(kSection);
    const QList<int> stops = TabStopsFromHeader(automatic, sections, a);
    if (stops.size() != automatic.size())
        std::abort();

    QList<int> stopPixels;
    for (const int stop : stops)
        stopPixels.append(stop * a);
    const int x = in.Below(kField) - static_cast<int>(kField / 2);
    if (NextTabPosition(x, stopPixels, a) <= x)
        std::abort();

    const QList<int> fieldWidths = in.Widths(kField);
    const int left = in.Below(kSection);
    const QList<int> positions = FieldPositions(fieldWidths, left, stopPixels, a);
    if (positions.size() != fieldWidths.size())
        std::abort();
    for (qsizetype i = 1; i < positions.size(); ++i)
        if (positions[i] <= positions[i - 1] + fieldWidths[i - 1])
            std::abort();

    CheckFields(QString::fromUtf8(reinterpret_cast<const char*>(in.Data()),
                                  static_cast<qsizetype>(in.Size())));
    return 0;
}
