#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

#include "app/application.h"
#include "app/controls.h"
#include "app/form1.h"
#include "app/qt_view_factory.h"
#include "fake_platform.h"
#include "posix_file_system.h"
#include "settings/directory_list_widget.h"
#include "settings/form2.h"
#include "settings/form3.h"
#include "settings/settings_views.h"

using namespace latchsweep;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QStringList itemTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

int rowOf(const QListWidget* list, const QString& text)
{
    return static_cast<int>(itemTexts(list).indexOf(text));
}

int px(int twips) { return twipsToPixels(twips, qt::screenTwipsPerPixel()); }

// Deletes the windows the core has discarded.
void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace

// The settings windows on Qt over the real POSIX file system, in a scratch working directory;
// timers on the virtual clock and message boxes answered by the fake, which records them.
class SettingsWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(scratch_.emplace().isValid());
        work_ = QDir(scratch_->path()).filePath(QStringLiteral("work"));
        QVERIFY(QDir().mkpath(work_ + QStringLiteral("/Games/MM2")));
        QVERIFY(QDir().mkpath(work_ + QStringLiteral("/apps")));
        QVERIFY(QDir().mkpath(work_ + QStringLiteral("/Zeta")));
        previous_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work_));
        work_ = QDir::currentPath(); // as the system spells it, links resolved
        fakes_ = std::make_unique<testing::FakePlatform>();
        ports_ = std::make_unique<Platform>(Platform{fakes_->clock, files_, fakes_->messages, fakes_->process,
                                                     fakes_->tray, fakes_->registry, fakes_->launcher});
        app_ = std::make_unique<Application>(*ports_, views_);
        app_->start();
    }

    void cleanup()
    {
        app_.reset();
        settle();
        ports_.reset();
        fakes_.reset();
        QDir::setCurrent(previous_);
        scratch_.reset();
    }

    void gameDirectoryWindowLayout()
    {
        QWidget* window = openForm2();
        QCOMPARE(window->objectName(), QStringLiteral("Form2"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Select Midtown Madness 2 Directory"));
        checkFixedFrameWithCloseBoxOnly(window);
        QVERIFY(!window->windowIcon().isNull());
        QCOMPARE(window->findChild<QWidget*>(QStringLiteral("client"))->size(), QSize(px(5985), px(4230)));
        auto* list = window->findChild<qt::DirectoryListWidget*>(QStringLiteral("MM2Dir"));
        auto* save = window->findChild<QPushButton*>(QStringLiteral("Command1"));
        auto* label = window->findChild<QLabel*>(QStringLiteral("Label1"));
        auto* display = window->findChild<QTextEdit*>(QStringLiteral("curmm2dir"));
        QVERIFY(list && save && label && display);
        QCOMPARE(list->geometry(), QRect(0, 0, px(5895), px(3240)));
        QCOMPARE(save->geometry(), QRect(0, px(3240), px(5895), px(255)));
        QCOMPARE(label->geometry(), QRect(px(120), px(3600), px(2055), px(255)));
        QCOMPARE(display->geometry(), QRect(px(1800), px(3600), px(4095), px(495)));
        QCOMPARE(save->text(), QStringLiteral("Save"));
        QCOMPARE(label->text(), QStringLiteral("Current MM2 Directory:"));
        QCOMPARE(display->toPlainText(), QStringLiteral("No MM2 Directory Currently Set!"));
        QVERIFY(display->isReadOnly());
        QCOMPARE(window->focusWidget(), list);
        QTest::keyClick(list, Qt::Key_Tab);
        QCOMPARE(window->focusWidget(), save);

        // The drive's tree down to the working directory, then its subdirectories by name.
        const QStringList parts = work_.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        const QStringList texts = itemTexts(list);
        QCOMPARE(texts.mid(0, parts.size() + 1), QStringList{QStringLiteral("/")} + parts);
        QCOMPARE(texts.mid(parts.size() + 1), (QStringList{"apps", "Games", "Zeta"}));
        QCOMPARE(list->currentRow(), parts.size());
    }

    void autoDeleteWindowLayout()
    {
        QWidget* window = openForm3();
        QCOMPARE(window->objectName(), QStringLiteral("Form3"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Auto-Delete Settings"));
        checkFixedFrameWithCloseBoxOnly(window);
        QVERIFY(!window->windowIcon().isNull());
        QCOMPARE(window->findChild<QWidget*>(QStringLiteral("client"))->size(), QSize(px(4680), px(1365)));
        auto* frame = window->findChild<QGroupBox*>(QStringLiteral("Frame1"));
        auto* label = window->findChild<QLabel*>(QStringLiteral("Label2"));
        auto* save = window->findChild<QPushButton*>(QStringLiteral("Command1"));
        auto* text1 = window->findChild<QLineEdit*>(QStringLiteral("text1"));
        QVERIFY(frame && label && save && text1);
        QCOMPARE(frame->title(), QStringLiteral("Auto-Delete Settings"));
        QCOMPARE(label->parentWidget(), frame);
        QCOMPARE(text1->parentWidget(), frame);
        QCOMPARE(frame->geometry(), QRect(px(120), px(120), px(4455), px(735)));
        QCOMPARE(label->geometry(), QRect(px(120), px(240), px(2535), px(255)));
        QCOMPARE(save->geometry(), QRect(px(120), px(960), px(4455), px(255)));
        QCOMPARE(text1->geometry(), QRect(px(2400), px(240), px(1935), px(375)));
        QCOMPARE(label->text(), QStringLiteral("Milliseconds in Scanning Delay:"));
        QCOMPARE(save->text(), QStringLiteral("Save"));
        QCOMPARE(text1->text(), QStringLiteral("10000"));
        QCOMPARE(save->nextInFocusChain(), text1);
    }

    void keyboardNavigatesAndOnlyEnterOpens()
    {
        QWidget* window = openForm2();
        auto* list = window->findChild<qt::DirectoryListWidget*>(QStringLiteral("MM2Dir"));
        const int games = rowOf(list, QStringLiteral("Games"));
        list->setFocus();
        while (list->currentRow() < games)
            QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(form2().MM2Dir().path(), work_.toStdString()); // highlighting changes nothing
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(form2().MM2Dir().path(), (work_ + QStringLiteral("/Games")).toStdString());
        QCOMPARE(list->currentItem()->text(), QStringLiteral("Games"));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("MM2"));
        QTest::keyClick(list, Qt::Key_Enter);
        QCOMPARE(form2().MM2Dir().path(), (work_ + QStringLiteral("/Games/MM2")).toStdString());
        QTest::keyClick(list, Qt::Key_Home);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(form2().MM2Dir().path(), std::string("/"));
        QCOMPARE(list->currentRow(), 0);
    }

    void doubleClickOpensAndASingleClickOnlyHighlights()
    {
        QWidget* window = openForm2();
        auto* list = window->findChild<qt::DirectoryListWidget*>(QStringLiteral("MM2Dir"));
        QListWidgetItem* zeta = list->findItems(QStringLiteral("Zeta"), Qt::MatchExactly).value(0);
        QVERIFY(zeta);
        const QPoint at = list->visualItemRect(zeta).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(list->currentItem(), zeta);
        QCOMPARE(form2().MM2Dir().path(), work_.toStdString());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(form2().MM2Dir().path(), (work_ + QStringLiteral("/Zeta")).toStdString());
    }

    void saveByClickWritesConfirmsAndCloses()
    {
        QWidget* window = openForm2();
        auto* list = window->findChild<qt::DirectoryListWidget*>(QStringLiteral("MM2Dir"));
        list->setCurrentRow(rowOf(list, QStringLiteral("Games")));
        QTest::keyClick(list, Qt::Key_Return);
        QString shownDuringBox;
        fakes_->messages.whileShown = [&] {
            shownDuringBox = window->findChild<QTextEdit*>(QStringLiteral("curmm2dir"))->toPlainText();
        };
        QPointer<QWidget> guard(window);
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);

        const QByteArray line = (work_ + QStringLiteral("/Games/MM2.LOCK\r\n")).toUtf8();
        QCOMPARE(readAll(QStringLiteral("Directory.txt")), line);
        QCOMPARE(shownDuringBox, work_ + QStringLiteral("/Games/MM2.LOCK\n"));
        QCOMPARE(fakes_->messages.shown.size(), std::size_t(1));
        QCOMPARE(fakes_->messages.shown[0].text, std::string("Midtown Madness 2 Directory Saved"));
        QCOMPARE(fakes_->messages.shown[0].title, std::string("Success"));
        QVERIFY(!app_->form2().exists());
        QVERIFY(guard && !guard->isVisible());
        settle();
        QVERIFY(!guard);

        // A fresh window shows every line of the file.
        writeAll(QStringLiteral("Directory.txt"), "first\r\nsecond\r\n");
        QCOMPARE(openForm2()->findChild<QTextEdit*>(QStringLiteral("curmm2dir"))->toPlainText(),
                 QStringLiteral("first\nsecond\n"));
    }

    void aFailedSaveKeepsTheWindowAndTheOldFile()
    {
        // A directory in the file's place: the rename that replaces it fails, even for root.
        writeAll(QStringLiteral("AutoDelete.txt.keep"), "");
        QVERIFY(QDir().mkdir(QStringLiteral("AutoDelete.txt")));
        QWidget* window = openForm3();
        auto* text1 = window->findChild<QLineEdit*>(QStringLiteral("text1"));
        text1->selectAll();
        QTest::keyClicks(text1, QStringLiteral("750"));
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        QCOMPARE(fakes_->messages.shown.size(), std::size_t(1));
        const auto& message = fakes_->messages.shown[0];
        QVERIFY2(message.text.starts_with("Could not save AutoDelete.txt: "), message.text.c_str());
        QVERIFY(message.text.size() > std::string("Could not save AutoDelete.txt: ").size());
        QCOMPARE(message.title, std::string("Latchsweep"));
        QVERIFY(app_->form3().exists());
        QVERIFY(window->isVisible());
        QCOMPARE(text1->text(), QStringLiteral("750"));
        QVERIFY(QFileInfo(QStringLiteral("AutoDelete.txt")).isDir());
        QCOMPARE(QDir(work_).entryList(QStringList{QStringLiteral("AutoDelete.txt.tmp*")}, QDir::AllEntries),
                 QStringList());
    }

    void typedDelaySavedByClick()
    {
        QWidget* window = openForm3();
        auto* text1 = window->findChild<QLineEdit*>(QStringLiteral("text1"));
        text1->selectAll();
        QTest::keyClicks(text1, QStringLiteral(" 250 "));
        QCOMPARE(app_->form3().get()->text1(), std::string(" 250 "));
        QTest::keyClick(text1, Qt::Key_Return); // Enter in the box is not a Save
        QVERIFY(fakes_->messages.shown.empty());
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        QCOMPARE(readAll(QStringLiteral("AutoDelete.txt")), QByteArray(" 250 \r\n"));
        QCOMPARE(fakes_->messages.shown.size(), std::size_t(1));
        QCOMPARE(fakes_->messages.shown[0].text, std::string("The Auto Delete's Settings Has Been Saved"));
        QCOMPARE(fakes_->messages.shown[0].title, std::string("Success"));
        QVERIFY(!app_->form3().exists());
    }

    void loadAndSaveKeepTheBytesOfAnyFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("number") << QByteArray("2500\r\n") << QByteArray("2500\r\n");
        QTest::newRow("spaces") << QByteArray(" 250 \r\n") << QByteArray(" 250 \r\n");
        QTest::newRow("LF only") << QByteArray("250\n") << QByteArray("250\r\n");
        QTest::newRow("two lines") << QByteArray("1\r\n2\r\n") << QByteArray("1\r\n");
        QTest::newRow("empty") << QByteArray() << QByteArray("\r\n");
        QTest::newRow("not UTF-8") << QByteArray("\xff\xfe\xc3\x28 12\r\n") << QByteArray("\xff\xfe\xc3\x28 12\r\n");
        QTest::newRow("binary") << QByteArray("a\0b\x01\r\n", 6) << QByteArray("a\0b\x01\r\n", 6);
    }

    void loadAndSaveKeepTheBytesOfAnyFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, saved);
        writeAll(QStringLiteral("AutoDelete.txt"), content);
        for (int round = 0; round < 2; ++round) {
            QWidget* window = openForm3();
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
            QCOMPARE(readAll(QStringLiteral("AutoDelete.txt")), saved);
            settle();
        }
    }

    void hugeAndOddFilesOpenAtOnce()
    {
        // 300 MB of zero bytes (a sparse file) and a pipe under the names.
        QFile huge(QStringLiteral("Directory.txt"));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(qint64(300) * 1024 * 1024));
        huge.close();
        QVERIFY(::mkfifo("AutoDelete.txt", 0600) == 0);
        QElapsedTimer clock;
        clock.start();
        QWidget* directory = openForm2();
        QWidget* delay = openForm3();
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(directory->findChild<QTextEdit*>(QStringLiteral("curmm2dir"))->toPlainText().size() <= 64 * 1024);
        QCOMPARE(delay->findChild<QLineEdit*>(QStringLiteral("text1"))->text(), QStringLiteral("10000"));
    }

    void theCloseBoxDiscardsTheWindow()
    {
        QWidget* window = openForm3();
        window->findChild<QLineEdit*>(QStringLiteral("text1"))->setText(QStringLiteral("1"));
        QPointer<QWidget> guard(window);
        QVERIFY(window->close());
        QVERIFY(!app_->form3().exists());
        settle();
        QVERIFY(!guard);
        QVERIFY(!QFile::exists(QStringLiteral("AutoDelete.txt")));
        QVERIFY(fakes_->messages.shown.empty());
    }

    void linkedAndUnreadableDirectories()
    {
        QVERIFY(QFile::link(work_ + QStringLiteral("/Games"), QStringLiteral("link")));
        QVERIFY(QFile::link(QStringLiteral("nowhere"), QStringLiteral("dangling")));
        QVERIFY(QDir().mkdir(QStringLiteral("locked")));
        QVERIFY(QFile::setPermissions(QStringLiteral("locked"), QFileDevice::Permissions{}));
        QWidget* window = openForm2();
        auto* list = window->findChild<qt::DirectoryListWidget*>(QStringLiteral("MM2Dir"));
        const QStringList children = itemTexts(list).mid(list->currentRow() + 1);
        QCOMPARE(children, (QStringList{"apps", "Games", "link", "locked", "Zeta"}));

        form2().openDirectory(static_cast<std::size_t>(rowOf(list, QStringLiteral("link"))));
        QCOMPARE(form2().MM2Dir().path(), (work_ + QStringLiteral("/link")).toStdString());
        QCOMPARE(list->item(list->count() - 1)->text(), QStringLiteral("MM2"));

        form2().openDirectory(static_cast<std::size_t>(list->currentRow() - 1));
        form2().openDirectory(static_cast<std::size_t>(rowOf(list, QStringLiteral("locked"))));
        QCOMPARE(form2().MM2Dir().path(), (work_ + QStringLiteral("/locked")).toStdString());
        if (::geteuid() != 0)
            QCOMPARE(list->count(), list->currentRow() + 1); // nothing listed below it
        QVERIFY(fakes_->messages.shown.empty());
        QFile::setPermissions(QStringLiteral("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner);
    }

private:
    QWidget* openForm2()
    {
        app_->run(Command::OpenGameDirectory);
        return qt::windowOf(app_->form2().get()->view());
    }
    QWidget* openForm3()
    {
        app_->run(Command::OpenAutoDelete);
        return qt::windowOf(app_->form3().get()->view());
    }
    Form2& form2() { return *app_->form2().get(); }

    static void checkFixedFrameWithCloseBoxOnly(QWidget* window)
    {
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(window->isVisible());
    }

    std::optional<QTemporaryDir> scratch_;
    QString work_;
    QString previous_;
    PosixFileSystem files_;
    std::unique_ptr<testing::FakePlatform> fakes_;
    std::unique_ptr<Platform> ports_;
    qt::QtViewFactory views_;
    std::unique_ptr<Application> app_;
};

QTEST_MAIN(SettingsWindowsTest)
#include "settings_windows_test.moc"
