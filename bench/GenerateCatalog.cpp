// SPDX-License-Identifier: MIT
// Writes a synthetic block catalog of a given size for the benchmarks:
//   bench_generate_catalog <directory> <blocks>
// makes <directory>/VELTRUM.db (same table and indexes as data/catalog.sql)
// and <directory>/Category/*.itm (Windows-1251). The content depends only on
// the block count: a fixed seed drives a generator of our own, so every run
// on every machine writes the same rows.
//
// Shape of the data, which the benchmarks rely on:
//   IDENT     "<P>-<NNNN>-<L><D>", P one of 20 prefixes chosen evenly, so the
//             fragment "MK1-" matches about 5 % of the blocks and "-" all.
//   NAME_RUS  Cyrillic words, 20 to 60 characters, UTF-8.
//   CATEGORY  1 .. 24 evenly; categories 21, 22 and 24 carry SUB_CATEGORY
//             n + 100 * k (k = 1 .. 4, one per line of their files), the
//             others 0.

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

// splitmix64: tiny, fast and fully specified, unlike the standard
// distributions whose results differ between library versions.
struct Random {
    std::uint64_t state;
    std::uint64_t Next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
};

constexpr std::uint64_t kSeed = 20240611;

const char* const kPrefixes[20] = {"MK1", "AI8", "AO4", "DI6", "DO6", "IF2", "NC3",
                                   "PC5", "DR2", "TM8", "FQ4", "SW9", "MM1", "HM7",
                                   "RL5", "GI3", "TS2", "IZ6", "PS4", "KC1"};

const char* const kWords[] = {"модуль",        "аналогового",
                              "дискретного",   "ввода",
                              "вывода",        "источник",
                              "питания",       "вторичный",
                              "интерфейсный",  "сетевой",
                              "связи",         "контроллер",
                              "крейтовый",     "резервный",
                              "измерительный", "канал",
                              "сигналов",      "термометрии",
                              "частоты",       "памяти",
                              "индикации",     "релейный",
                              "развязки",      "времени",
                              "изоляции",      "защиты",
                              "управления",    "приводами",
                              "счёта",         "импульсов",
                              "расширения",    "процессорный",
                              "коммутатор",    "гальванической",
                              "двуполярный",   "полевых",
                              "цепей",         "с",
                              "для",           "и"};

// Characters (not bytes) of a UTF-8 text.
std::size_t CharCount(std::string_view utf8)
{
    std::size_t n = 0;
    for (unsigned char c : utf8)
        n += (c & 0xC0) != 0x80;
    return n;
}

// First `chars` characters of a UTF-8 text.
std::string CutChars(const std::string& utf8, std::size_t chars)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            if (n == chars)
                return utf8.substr(0, i);
            ++n;
        }
    }
    return utf8;
}

std::string MakeName(Random& random)
{
    const std::size_t target = 20 + static_cast<std::size_t>(random.Below(41)); // 20 .. 60
    std::string name = "Блок";
    while (CharCount(name) < target) {
        name += ' ';
        name += kWords[random.Below(static_cast<int>(std::size(kWords)))];
    }
    name = CutChars(name, target);
    while (!name.empty() && name.back() == ' ') // never end in a blank
        name.back() = 'X';
    return name;
}

std::string MakeIdent(Random& random)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s-%04d-%c%d", kPrefixes[random.Below(20)],
                  random.Below(10000), 'A' + random.Below(26), random.Below(10));
    return text;
}

// UTF-8 Cyrillic (and ASCII) to Windows-1251, for the category files.
std::string ToCp1251(std::string_view utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const unsigned code =
            ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
        i += 2;
        if (code >= 0x410 && code <= 0x44F)
            out += static_cast<char>(0xC0 + (code - 0x410));
        else if (code == 0x401)
            out += static_cast<char>(0xA8);
        else if (code == 0x451)
            out += static_cast<char>(0xB8);
        else
            out += '?';
    }
    return out;
}

void WriteLines(const std::filesystem::path& file, const std::vector<std::string>& lines)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines)
        out << ToCp1251(line) << "\r\n";
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

void Check(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "bench_generate_catalog: %s: %s\n", what, sqlite3_errmsg(db));
        std::exit(2);
    }
}

void Exec(sqlite3* db, const char* sql)
{
    Check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db, sql);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_generate_catalog <directory> <blocks>\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    const long blocks = std::strtol(argv[2], nullptr, 10);
    if (blocks <= 0) {
        std::fprintf(stderr, "bench_generate_catalog: bad block count %s\n", argv[2]);
        return 2;
    }
    std::filesystem::create_directories(dir / "Category");

    std::vector<std::string> categories;
    for (int n = 1; n <= 24; ++n)
        categories.push_back("Категория блоков " + std::to_string(n));
    WriteLines(dir / "Category" / "Category000.itm", categories);
    for (int n : {21, 22, 24}) {
        std::vector<std::string> lines;
        for (int k = 1; k <= 4; ++k)
            lines.push_back("Подкатегория " + std::to_string(k) + " категории " +
                            std::to_string(n));
        char name[32];
        std::snprintf(name, sizeof name, "Category%03d.itm", n);
        WriteLines(dir / "Category" / name, lines);
    }

    const std::filesystem::path finalPath = dir / "VELTRUM.db";
    const std::filesystem::path tmpPath = dir / "VELTRUM.db.tmp";
    std::filesystem::remove(tmpPath);
    sqlite3* db = nullptr;
    Check(sqlite3_open(tmpPath.c_str(), &db), db, "open");
    Exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
    Exec(db, "BEGIN TRANSACTION;");
    Exec(db, "CREATE TABLE BLOCKS (IDENT TEXT, NAME_RUS TEXT, VIPR TEXT, SLOTS_COUNT INTEGER, "
             "V5 REAL, V7 REAL, V_7 REAL, TOTAL_POWER REAL, CATEGORY INTEGER, "
             "SUB_CATEGORY INTEGER);");
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(db, "INSERT INTO BLOCKS VALUES (?,?,?,?,?,?,?,?,?,?)", -1, &insert,
                             nullptr),
          db, "prepare");
    Random random{kSeed};
    for (long i = 0; i < blocks; ++i) {
        const std::string ident = MakeIdent(random);
        const std::string name = MakeName(random);
        char vipr[32];
        std::snprintf(vipr, sizeof vipr, "ВЛТМ.4680%02d.%03d", random.Below(100),
                      random.Below(1000));
        const int category = 1 + random.Below(24);
        const int sub = (category == 21 || category == 22 || category == 24)
                            ? category + 100 * (1 + random.Below(4))
                            : 0;
        const double v5 = random.Below(300) / 100.0;
        const double v7 = random.Below(4) == 0 ? random.Below(100) / 100.0 : 0.0;
        const double v_7 = random.Below(3) == 0 ? random.Below(50) / 100.0 : 0.0;
        const double power = (v5 * 5 + v7 * 7 + v_7 * 7) + random.Below(20) / 10.0;
        sqlite3_bind_text(insert, 1, ident.data(), static_cast<int>(ident.size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, vipr, -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 4, 1 + random.Below(4));
        sqlite3_bind_double(insert, 5, v5);
        sqlite3_bind_double(insert, 6, v7);
        sqlite3_bind_double(insert, 7, v_7);
        sqlite3_bind_double(insert, 8, power);
        sqlite3_bind_int(insert, 9, category);
        sqlite3_bind_int(insert, 10, sub);
        Check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Exec(db, "CREATE INDEX BLOCKS_IDENT ON BLOCKS(IDENT);");
    Exec(db, "CREATE INDEX BLOCKS_CATEGORY ON BLOCKS(CATEGORY, SUB_CATEGORY);");
    Exec(db, "COMMIT;");
    Check(sqlite3_close(db), nullptr, "close");
    std::filesystem::rename(tmpPath, finalPath);
    std::printf("%s: %ld blocks\n", finalPath.c_str(), blocks);
    return 0;
}
