// SPDX-License-Identifier: MIT
// The basket files opened or saved last, under ОТКРЫТЬ, and the folder the
// file dialogs start in, in the real window and from one start to the
// next; nothing kept before a file command is used, and a settings file
// that cannot be read or written costs nothing else.

#include "WindowDriver.h"

#include "WhenModal.h"
#include "exchange/RecentFiles.h"
#include "kit/Platform.h"
#include "kit/TabbedListBox.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class RecentBaskets : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog.WriteStandard();
        catalog.AddBlocks(
            {PowerBlock(u"ONE", 1, 0.1, 0.1, 0.1, 1), PowerBlock(u"TWO", 2, 0.2, 0.2, 0.2, 2)});
        settingsFile = settings.filePath(QStringLiteral("veltrum/recent.ini"));
        Start();
    }
    // The program started again, on the same settings; file names come
    // from `nextFileName`, or from the window's own file dialogs.
    enum FileNames { Seam, RealDialogs };
    void Start(FileNames names = Seam)
    {
        window.reset();
        requests.clear();
        window = std::make_unique<Window>(catalog.Dir());
        ASSERT_NE(form().Database, nullptr);
        form().RecentFilesFile = settingsFile;
        form().CodeRB->click();
        if (names == Seam)
            form().AskFileName = [this](FileRequest request) {
                requests.push_back(request);
                return nextFileName;
            };
    }
    TMainForm& form() { return *window->form; }
    DialogRecorder& recorder() { return window->recorder; }
    QString Path(const QString& name) const { return files.filePath(name); }
    void Save(const QString& path)
    {
        nextFileName = path;
        form().SaveBtn->click();
    }
    void Open(const QString& path)
    {
        nextFileName = path;
        form().OpenBtn->click();
    }
    // What the drop-down offers, as it offers it when opened.
    QStringList Offered()
    {
        Q_EMIT form().RecentMenu->aboutToShow();
        QStringList paths;
        for (const QAction* entry : form().RecentMenu->actions())
            paths << entry->data().toString();
        return paths;
    }
    QAction* Entry(const QString& path)
    {
        Offered();
        for (QAction* entry : form().RecentMenu->actions())
            if (entry->data().toString() == path)
                return entry;
        ADD_FAILURE() << "not offered: " << path.toStdString();
        return nullptr;
    }
    void Choose(const QString& path)
    {
        if (QAction* entry = Entry(path))
            entry->trigger();
    }
    std::string Errors() { return recorder().errors.join(u'\n').toStdString(); }

    FixtureCatalog catalog;
    QTemporaryDir files, settings;
    QString settingsFile;
    std::unique_ptr<Window> window;
    std::vector<FileRequest> requests;
    QString nextFileName;
};

QStringList Names(const QStringList& paths)
{
    QStringList names;
    for (const QString& path : paths)
        names << QFileInfo(path).fileName();
    return names;
}

} // namespace

TEST_F(RecentBaskets, SavedAndOpenedFilesGoOnTopAndAreOfferedAtTheNextStart)
{
    EXPECT_EQ(Offered(), QStringList{QString()}) << "one entry that says the list is empty";
    EXPECT_FALSE(form().RecentMenu->actions().value(0)->isEnabled());

    AddToBasket(form(), u"ONE");
    for (int i = 1; i <= 10; ++i)
        Save(Path(QStringLiteral("b%1.vbasket").arg(i)));
    Save(Path(QStringLiteral("b3.vbasket")));
    recorder().nextAnswer = 1; // «Заменить текущую корзину?»: OK
    ASSERT_TRUE(QDir(files.path()).mkdir(QStringLiteral("sub")));
    Open(QDir(files.path()).filePath(QStringLiteral("sub/../b5.vbasket"))); // another spelling
    ASSERT_TRUE(recorder().errors.isEmpty()) << Errors();
    ASSERT_EQ(requests.size(), 12u);

    const QStringList expected{QStringLiteral("b5.vbasket"),  QStringLiteral("b3.vbasket"),
                               QStringLiteral("b10.vbasket"), QStringLiteral("b9.vbasket"),
                               QStringLiteral("b8.vbasket"),  QStringLiteral("b7.vbasket"),
                               QStringLiteral("b6.vbasket"),  QStringLiteral("b4.vbasket")};
    EXPECT_EQ(Names(Offered()), expected);
    // Numbered for the keyboard, named with their folders, the whole path as tooltip.
    const QAction* first = form().RecentMenu->actions().value(0);
    EXPECT_EQ(first->text(), QStringLiteral("&1 b5.vbasket — ") +
                                 QDir::toNativeSeparators(QDir::cleanPath(files.path())));
    EXPECT_EQ(first->toolTip(), QDir::toNativeSeparators(Path(QStringLiteral("b5.vbasket"))));

    Start();
    EXPECT_EQ(Names(Offered()), expected) << "kept for the next start";
    EXPECT_TRUE(recorder().dialogs.empty());

    // Chosen from the list: opened as ОТКРЫТЬ opens, «Заменить» first, and on top.
    AddToBasket(form(), u"TWO");
    recorder().answers = {2};
    Choose(Path(QStringLiteral("b8.vbasket")));
    ASSERT_EQ(recorder().dialogs.size(), 1u);
    EXPECT_EQ(recorder().dialogs[0].text, QStringLiteral("Заменить текущую корзину?"));
    EXPECT_EQ(Rows(form().RackTabLB).value(0).section(u'\t', 0, 0), QStringLiteral("TWO"));
    EXPECT_EQ(Names(Offered()), expected) << "a file not opened stays where it was";
    recorder().answers = {1};
    Choose(Path(QStringLiteral("b8.vbasket")));
    EXPECT_EQ(Rows(form().RackTabLB), QStringList{QStringLiteral("ONE\t0.1\t0.1\t0.1\t1\t1")});
    EXPECT_EQ(Names(Offered()).value(0), QStringLiteral("b8.vbasket"));
    EXPECT_EQ(Offered().size(), 8);
    EXPECT_TRUE(requests.empty()) << "no file dialog";
    EXPECT_TRUE(recorder().errors.isEmpty()) << Errors();
}

TEST_F(RecentBaskets, AFileThatIsGoneIsSaidAndLeavesTheList)
{
    AddToBasket(form(), u"ONE");
    const QString gone = Path(QStringLiteral("gone & lost.vbasket"));
    Save(gone);
    Save(Path(QStringLiteral("kept.vbasket")));
    AddToBasket(form(), u"TWO");
    const QStringList before = Rows(form().RackTabLB);
    ASSERT_TRUE(QFile::remove(gone));

    Choose(gone);
    ASSERT_EQ(recorder().dialogs.size(), 1u) << "nothing asked: there is nothing to open";
    EXPECT_EQ(recorder().dialogs[0].text,
              QStringLiteral("Файл \"%1\" не найден; он убран из списка недавних файлов.")
                  .arg(QDir::toNativeSeparators(gone)));
    EXPECT_EQ(recorder().dialogs[0].icon, IDI_EXCLAMATION);
    EXPECT_EQ(Rows(form().RackTabLB), before);
    EXPECT_EQ(Names(Offered()), QStringList{QStringLiteral("kept.vbasket")});
    EXPECT_TRUE(recorder().errors.isEmpty()) << Errors();

    Start();
    EXPECT_EQ(Names(Offered()), QStringList{QStringLiteral("kept.vbasket")}) << "dropped for good";
}

TEST_F(RecentBaskets, TheFileDialogsStartInTheFolderLastUsed)
{
    ASSERT_TRUE(QDir(files.path()).mkpath(QStringLiteral("saved/here")));
    ASSERT_TRUE(QDir(files.path()).mkpath(QStringLiteral("exported")));
    AddToBasket(form(), u"ONE");
    Save(Path(QStringLiteral("saved/here/crate.vbasket")));

    // The window's own file dialogs, where each of them starts.
    const auto startFolders = [this] {
        QStringList folders;
        for (QPushButton* button : {form().OpenBtn, form().SaveBtn, form().ExportBtn}) {
            WhenModal([&folders](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                if (dialog == nullptr) {
                    ADD_FAILURE() << modal->metaObject()->className();
                    modal->close();
                    return;
                }
                folders << dialog->directory().absolutePath();
                dialog->reject();
            });
            button->click();
        }
        return folders;
    };
    Start(RealDialogs);
    const QString saved = QDir::cleanPath(Path(QStringLiteral("saved/here")));
    EXPECT_EQ(startFolders(), QStringList(3, saved));

    Start();
    nextFileName = Path(QStringLiteral("exported/crate.csv"));
    form().ExportBtn->click();
    ASSERT_TRUE(QFileInfo::exists(nextFileName));
    Start(RealDialogs);
    EXPECT_EQ(startFolders(), QStringList(3, QDir::cleanPath(Path(QStringLiteral("exported")))))
        << "the export's folder, though a CSV is no recent basket";
    EXPECT_EQ(Names(Offered()), QStringList{QStringLiteral("crate.vbasket")});

    // A folder gone since: the home folder.
    ASSERT_TRUE(QDir(Path(QStringLiteral("exported"))).removeRecursively());
    Start(RealDialogs);
    EXPECT_EQ(startFolders(), QStringList(3, QDir::homePath()));
    EXPECT_TRUE(recorder().errors.isEmpty()) << Errors();
}

namespace {

// HOME set to a folder of the test's own while it lives, so that the
// program's own choice of configuration folder (Qt's test location under
// HOME) can be watched.
class OwnHome {
public:
    OwnHome() : previous_(qgetenv("HOME")) { qputenv("HOME", QFile::encodeName(home_.path())); }
    ~OwnHome() { qputenv("HOME", previous_); }
    QString Path() const { return home_.path(); }
    QStringList Everything() const
    {
        QStringList found;
        QDirIterator it(home_.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        return found;
    }

private:
    QTemporaryDir home_;
    QByteArray previous_;
};

} // namespace

TEST(RecentBasketsKept, NothingIsWrittenUntilAFileCommandIsUsed)
{
    OwnHome home;
    ASSERT_TRUE(
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).startsWith(home.Path()))
        << "the tests run in Qt's test locations";

    // A start without the catalog.
    FixtureCatalog empty;
    empty.WriteCategories({QStringLiteral("Одна категория")});
    {
        DialogRecorder recorder;
        TMainForm form(empty.Dir(), QStringLiteral("."));
        form.show();
        EXPECT_TRUE(QTest::qWaitFor([&form] { return !form.isVisible(); }));
        EXPECT_EQ(recorder.dialogs.size(), 1u);
    }
    EXPECT_EQ(home.Everything(), QStringList());

    // A whole session without a file command: nothing either.
    FixtureCatalog catalog;
    catalog.WriteStandard();
    catalog.AddBlocks({PowerBlock(u"ONE", 1, 0.1, 0.1, 0.1, 1)});
    QTemporaryDir files;
    const QString path = files.filePath(QStringLiteral("crate.vbasket"));
    {
        DialogRecorder recorder;
        TMainForm form(catalog.Dir(), QStringLiteral("."));
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        EXPECT_EQ(QFileInfo(form.RecentFilesFile).dir(),
                  QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
        EXPECT_EQ(QFileInfo(form.RecentFilesFile).fileName(), QStringLiteral("recent.ini"));
        form.CodeRB->click();
        AddToBasket(form, u"ONE");
        form.UndoBtn->click();
        Q_EMIT form.RecentMenu->aboutToShow();                    // read, not written
        form.AskFileName = [](FileRequest) { return QString(); }; // every dialog cancelled
        form.SaveBtn->click();
        form.OpenBtn->click();
        form.ExportBtn->click();
        EXPECT_EQ(home.Everything(), QStringList());

        form.AskFileName = [&path](FileRequest) { return path; };
        form.SaveBtn->click();
        EXPECT_TRUE(recorder.errors.isEmpty()) << recorder.errors.join(u'\n').toStdString();
        EXPECT_TRUE(QFileInfo(form.RecentFilesFile).isFile()) << "written by the save";
        EXPECT_EQ(LoadRecentFiles(form.RecentFilesFile).files, QStringList{path});
    }
}

TEST_F(RecentBaskets, ASettingsFileThatCannotBeWrittenOrReadChangesNothingElse)
{
    // Its folder cannot be made: a file stands in its place (root could
    // still write into a read-only folder).
    const QString blocker = settings.filePath(QStringLiteral("blocker"));
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    form().RecentFilesFile = blocker + QStringLiteral("/recent.ini");
    AddToBasket(form(), u"ONE");
    const QString first = Path(QStringLiteral("first.vbasket"));
    const QString second = Path(QStringLiteral("second.vbasket"));
    Save(first);
    AddToBasket(form(), u"TWO");
    Save(second);
    recorder().nextAnswer = 1;
    Open(first);
    EXPECT_EQ(Rows(form().RackTabLB), QStringList{QStringLiteral("ONE\t0.1\t0.1\t0.1\t1\t1")});
    EXPECT_EQ(Offered(), (QStringList{first, second})) << "this session keeps its list";
    Choose(second);
    EXPECT_EQ(Rows(form().RackTabLB).size(), 2);
    ASSERT_EQ(recorder().dialogs.size(), 2u) << "«Заменить текущую корзину?» twice, nothing else";
    EXPECT_TRUE(recorder().errors.isEmpty()) << Errors();
    EXPECT_TRUE(QFileInfo(blocker).isFile());
    EXPECT_EQ(QFileInfo(blocker).size(), 0);
    EXPECT_TRUE(QFileInfo::exists(first) && QFileInfo::exists(second));

    // A settings file that is not one: an empty list, no message; the next
    // file command writes a good one in its place.
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settingsFile).path()));
    QFile garbage(settingsFile);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray("\x00\xff[recent\nfiles=\"", 16) + QByteArray(4096, '\x01'));
    garbage.close();
    Start();
    EXPECT_EQ(Offered(), QStringList{QString()});
    Save(first);
    EXPECT_EQ(Offered(), QStringList{first});
    EXPECT_TRUE(recorder().dialogs.empty());
    EXPECT_TRUE(recorder().errors.isEmpty()) << Errors();
    Start();
    EXPECT_EQ(Offered(), QStringList{first});
}

// The drop-down is a named control of the reading order; Space opens it and
// an entry's number chooses it.
TEST_F(RecentBaskets, TheDropDownIsReachedAndUsedFromTheKeyboard)
{
    EXPECT_EQ(form().RecentBtn->accessibleName(), QStringLiteral("Недавние файлы"));
    EXPECT_EQ(form().RecentBtn->focusPolicy(), Qt::StrongFocus);
    AddToBasket(form(), u"ONE");
    const QString first = Path(QStringLiteral("first.vbasket"));
    Save(first);
    AddToBasket(form(), u"TWO");
    Save(Path(QStringLiteral("second.vbasket")));

    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    form().OpenBtn->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form().OpenBtn, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form().RecentBtn);

    bool offered = false;
    auto* poll = new QTimer(&form());
    QObject::connect(poll, &QTimer::timeout, poll, [&] {
        if (QApplication::activePopupWidget() != form().RecentMenu)
            return;
        poll->stop();
        offered = form().RecentMenu->actions().size() == 2;
        QTest::keyClick(form().RecentMenu, Qt::Key_2); // the older: first.vbasket
    });
    poll->start(10);
    recorder().nextAnswer = 1; // «Заменить текущую корзину?»
    QTest::keyClick(form().RecentBtn, Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([this] { return form().Devices.size() == 1; }));
    poll->stop();
    EXPECT_TRUE(offered);
    EXPECT_EQ(Rows(form().RackTabLB), QStringList{QStringLiteral("ONE\t0.1\t0.1\t0.1\t1\t1")});
    EXPECT_EQ(Offered().value(0), first);
    EXPECT_TRUE(recorder().errors.isEmpty()) << Errors();
}
