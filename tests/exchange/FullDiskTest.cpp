// SPDX-License-Identifier: MIT
// Writing onto a file system with no space left, for real: a small tmpfs
// mounted for the test and filled up. The older file stays whole and the
// failure is said, for every file the program writes.

#include "ExchangeSupport.h"

#include "exchange/AtomicFile.h"
#include "exchange/BasketCsv.h"
#include "exchange/ReportDocument.h"
#include "ThrownMessage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include <sys/mount.h>

namespace {

// A 64 KiB tmpfs over a temporary folder, unmounted when the test ends.
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        if (::mount("tmpfs", QFile::encodeName(folder_.path()).constData(), "tmpfs", 0,
                    "size=64k,mode=0700") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno)
                         << "); the full-disk case needs it";
        mounted_ = true;
    }
    void TearDown() override
    {
        if (mounted_)
            ::umount2(QFile::encodeName(folder_.path()).constData(), MNT_DETACH);
    }

    QString Path(const char* name) const { return folder_.filePath(QLatin1String(name)); }

    // Writes `bytes` to `name` the plain way.
    void Put(const char* name, const QByteArray& bytes) const
    {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
        ASSERT_TRUE(file.flush());
    }

    // Takes every byte that is left.
    void Fill() const
    {
        QFile filler(Path("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        ASSERT_EQ(filler.error(), QFileDevice::ResourceError) << "the disk is full";
    }

    QByteArray Read(const char* name) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

private:
    QTemporaryDir folder_;
    bool mounted_ = false;
};

} // namespace

TEST_F(FullDisk, EverySaveFailsAloudAndLeavesTheOlderFileWhole)
{
    BasketDocument basket;
    basket.decimalSeparator = QStringLiteral(",");
    basket.crateType = QStringLiteral("KSV-3HA (QT27)");
    basket.entries = {{QStringLiteral("MK1-100"), QStringLiteral("0,5"), QStringLiteral("0,1"),
                       QStringLiteral("0,05"), QStringLiteral("3,2"), QStringLiteral("1")}};
    basket.catalog = {QStringLiteral("VELTRUM.db"), 1, QDateTime::currentDateTimeUtc(),
                      QString(64, u'a')};

    // Each is well under the 16 KiB QSaveFile keeps in its buffer.
    const struct {
        const char* name;
        std::function<void(const QString&)> save;
        const char* failure;
    } cases[] = {
        {"basket.vbasket", [&](const QString& path) { SaveBasketFile(path, basket); },
         "Не удалось сохранить корзину в файл"},
        {"basket.csv",
         [](const QString& path) {
             WriteFileAtomically(path, BasketCsv(SampleSummary(QStringLiteral(","))),
                                 QStringLiteral("Не удалось записать файл \"%1\": %2"));
         },
         "Не удалось записать файл"},
        {"report.pdf",
         [](const QString& path) {
             WriteReportPdf(*NewReportDocument(SampleSummary(QStringLiteral(","))), path);
         },
         "Не удалось записать PDF в файл"},
    };
    for (const auto& c : cases)
        Put(c.name, "the older file, whole");
    Fill();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string message = ThrownMessage<EFileError>([&] { c.save(Path(c.name)); });
        EXPECT_NE(message.find(c.failure), std::string::npos) << message;
        EXPECT_NE(message.find("на диске нет места"), std::string::npos) << message;
        EXPECT_EQ(Read(c.name), QByteArray("the older file, whole"));
    }
    EXPECT_EQ(QDir(Path("")).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("basket.csv"), QStringLiteral("basket.vbasket"),
                           QStringLiteral("filler"), QStringLiteral("report.pdf")}))
        << "no partial file is left behind";
}
