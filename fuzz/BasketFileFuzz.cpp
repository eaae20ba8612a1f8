// SPDX-License-Identifier: MIT
// Basket files: decoding any bytes.
//
// Decoding either refuses the bytes with EBasketFormatError or gives a
// basket; a basket written out again must decode to the same basket, so
// that nothing a reader accepts is lost or changed by the next save.

#include "exchange/BasketFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool SameTexts(const DeviceTexts& a, const DeviceTexts& b)
{
    return a.ident == b.ident && a.v5 == b.v5 && a.v7 == b.v7 && a.v_7 == b.v_7 &&
           a.totalPower == b.totalPower && a.slotsCount == b.slotsCount;
}

bool SameBasket(const BasketDocument& a, const BasketDocument& b)
{
    if (a.decimalSeparator != b.decimalSeparator || a.crateType != b.crateType ||
        !(a.catalog == b.catalog) || a.entries.size() != b.entries.size())
        return false;
    for (size_t i = 0; i < a.entries.size(); ++i)
        if (!SameTexts(a.entries[i], b.entries[i]))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    BasketDocument basket;
    try {
        basket = DecodeBasket(bytes);
    } catch (const EBasketFormatError&) {
        return 0;
    }
    if (basket.entries.size() > static_cast<size_t>(kMaxBasketEntries))
        std::abort();
    try {
        if (!SameBasket(DecodeBasket(EncodeBasket(basket)), basket))
            std::abort();
    } catch (const EBasketFormatError&) {
        std::abort(); // what was accepted once must be accepted again
    }
    return 0;
}
