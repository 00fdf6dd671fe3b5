// The main window driven through its object names, with scripted dialogs: the list and
// output folder rules, "Go !" enabling, whole runs on the sample data, the TAB fall-back,
// a failing run, and the menu commands.
#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

#include "app/controls.h"
#include "fake_dialogs.h"
#include "gis/tab_libraries.h"

using itn::TForm3;
using itn::TRadioGroup;

namespace {

const QString kSampleDir = QStringLiteral(ITN_SOURCE_DIR "/data/sample");

template <class T>
T* Child(QWidget& Window, const char* Name) {
    T* child = Window.findChild<T*>(Name);
    if (!child) qFatal("no control %s", Name);
    return child;
}

QStringList Items(QListWidget* List) {
    QStringList items;
    for (int i = 0; i < List->count(); ++i) items << List->item(i)->text();
    return items;
}

QStringList MemoLines(TForm3& Window) {
    const QString text = Child<QPlainTextEdit>(Window, "Memo1")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

QByteArray Digest(const QString& FileName) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

void WriteFile(const QString& FileName, const QByteArray& Bytes) {
    QFile file(FileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(Bytes), Bytes.size());
}

// The controls a run turns off, with "Go !".
const char* const kRunControls[] = {"btnRoadsAddFiles",
                                    "btnRoadsAddFolderContents",
                                    "btnUrbanAddFiles",
                                    "btnUrbanAddFolderContents",
                                    "sbSelOutputDirectory",
                                    "btnGo",
                                    "cbSplitLoopLinks",
                                    "cbTurn",
                                    "rgMaxHeightUnit",
                                    "cb2",
                                    "cbC",
                                    "cb4",
                                    "cb4p",
                                    "rgOutputFormat",
                                    "cbSaveUnzipped"};

QStringList DisabledControls(TForm3& Window) {
    QStringList off;
    for (const char* name : kRunControls) {
        if (!Child<QWidget>(Window, name)->isEnabled()) off << name;
    }
    return off;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> FTemp;
    std::unique_ptr<TFakeDialogs> FDialogs;
    std::unique_ptr<TForm3> FWindow;

    QString Temp(const QString& Name) const { return FTemp->filePath(Name); }

    // A new window with its own, empty settings folder.
    TForm3& NewWindow() {
        FWindow.reset();
        qputenv("ITN2BRINLOW_SETTINGS_DIR", Temp("settings").toUtf8());
        FDialogs = std::make_unique<TFakeDialogs>();
        FWindow = std::make_unique<TForm3>(*FDialogs);
        FWindow->show();
        if (!QTest::qWaitForWindowExposed(FWindow.get())) qWarning("window not exposed");
        return *FWindow;
    }

    // A folder holding a copy of the two sample road files.
    QString SampleCopy(const QString& Name) {
        const QString folder = Temp(Name);
        QDir().mkpath(folder);
        for (const QString& file : {QStringLiteral("roads_0001.gml"), QStringLiteral("roads_0002.gz")}) {
            QFile::copy(kSampleDir + "/" + file, folder + "/" + file);
        }
        return folder;
    }

    // Road files from a folder, the output folder, then the format; "Go !" not yet pressed.
    void PrepareRun(TForm3& Window, const QString& InputFolder, const QString& OutputFolder, int Format) {
        QDir().mkpath(OutputFolder);
        FDialogs->FolderAnswers << InputFolder << OutputFolder;
        QTest::mouseClick(Child<QPushButton>(Window, "btnRoadsAddFolderContents"), Qt::LeftButton);
        QTest::mouseClick(Child<QToolButton>(Window, "sbSelOutputDirectory"), Qt::LeftButton);
        Child<TRadioGroup>(Window, "rgOutputFormat")->Item(Format)->click();
    }

private slots:
    void initTestCase() {
        // No TAB module in these tests: TAB output falls back to MIF/MID.
        itn::LoadMitabFrom("/nonexistent/libitn2brinlow-tab.so");
    }

    void init() {
        FTemp = std::make_unique<QTemporaryDir>();
        QVERIFY(FTemp->isValid());
    }

    void cleanup() {
        FWindow.reset();
        FDialogs.reset();
        FTemp.reset();
    }

    void windowLayout() {
        TForm3& w = NewWindow();
        QCOMPARE(w.windowTitle(), QStringLiteral("ITN > Brinlow Converter"));
        QCOMPARE(w.centralWidget()->size(), QSize(680, 576));
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(w.minimumSize(), w.maximumSize());
        auto* pages = Child<QTabWidget>(w, "PageControl1");
        QCOMPARE(pages->tabText(0), QStringLiteral("Roads"));
        QCOMPARE(pages->tabText(1), QStringLiteral("Urban Paths"));
        QCOMPARE(pages->currentIndex(), 0);
        QCOMPARE(Child<QPushButton>(w, "btnGo")->text(), QStringLiteral("Go !"));
        QVERIFY(Child<QPushButton>(w, "btnGo")->isEnabled());
        QCOMPARE(Child<QLabel>(w, "Label1")->text(), QStringLiteral("< output folder >"));
        QVERIFY(!Child<QLabel>(w, "Label2")->isVisible());
        QCOMPARE(Child<QToolButton>(w, "sbSelOutputDirectory")->toolTip(),
                 QStringLiteral("Select output folder"));
        QCOMPARE(
            Child<QCheckBox>(w, "cbSaveUnzipped")->text(),
            QStringLiteral("Save unzipped files after phase 1 (faster, but requires a lot of disk space)"));
        QCOMPARE(Child<TRadioGroup>(w, "rgOutputFormat")->Item(3)->text(), QStringLiteral("GML 2"));
        QStringList menu;
        for (QAction* action : Child<QMenuBar>(w, "MainMenu1")->actions()) {
            menu << action->text();
            if (action->menu()) {
                for (QAction* item : action->menu()->actions()) {
                    if (!item->isSeparator()) menu << "  " + item->text();
                }
            }
        }
        QCOMPARE(menu, QStringList({"File", "  Check website for updates", "  About", "  Stop", "  Exit", "Help"}));
    }

    void addFilesSetsOutputFolderFromRoadFilesOnly() {
        TForm3& w = NewWindow();
        auto* lbRoad = Child<QListWidget>(w, "lbRoad");
        auto* lbUrban = Child<QListWidget>(w, "lbUrban");

        // Urban files never set the output folder through "Add Files".
        FDialogs->FileAnswers << QStringList{"/data/urban/u1.gml"};
        QTest::mouseClick(Child<QPushButton>(w, "btnUrbanAddFiles"), Qt::LeftButton);
        QCOMPARE(Items(lbUrban), QStringList{"/data/urban/u1.gml"});
        QCOMPARE(w.OutputFolderPath(), std::string());
        QCOMPARE(Child<QLabel>(w, "Label1")->text(), QStringLiteral("< output folder >"));

        // Road files: in the dialog's order, duplicates kept, output folder from the first.
        FDialogs->FileAnswers << QStringList{"/data/b/r2.gz", "/data/a/r1.gml", "/data/b/r2.gz"};
        QTest::mouseClick(Child<QPushButton>(w, "btnRoadsAddFiles"), Qt::LeftButton);
        QCOMPARE(Items(lbRoad), QStringList({"/data/b/r2.gz", "/data/a/r1.gml", "/data/b/r2.gz"}));
        QCOMPARE(w.OutputFolderPath(), std::string("/data/b/"));
        QCOMPARE(Child<QLabel>(w, "Label1")->text(), QStringLiteral("/data/b/"));

        // Later road files leave a chosen output folder alone.
        FDialogs->FileAnswers << QStringList{"/data/c/r3.xml"};
        QTest::mouseClick(Child<QPushButton>(w, "btnRoadsAddFiles"), Qt::LeftButton);
        QCOMPARE(lbRoad->count(), 4);
        QCOMPARE(w.OutputFolderPath(), std::string("/data/b/"));

        // The one prepared dialog, titled per list, starting in the home folder (the folders
        // chosen here do not exist, so it stays there).
        QCOMPARE(FDialogs->FileDialogs.size(), 3);
        QCOMPARE(FDialogs->FileDialogs[0].Title, QStringLiteral("Select ITN Urban paths files"));
        QCOMPARE(FDialogs->FileDialogs[1].Title, QStringLiteral("Select ITN Road files"));
        QCOMPARE(FDialogs->FileDialogs[0].Folder, QDir::homePath());
        QCOMPARE(FDialogs->FileDialogs[2].Folder, QDir::homePath());
        QCOMPARE(FDialogs->FileDialogs[0].Mode, QFileDialog::ExistingFiles);
        QCOMPARE(FDialogs->FileDialogs[0].Filters,
                 QStringList({"ITN Layer(s) (*.gz *.gml *.xml)", "GZ files only (*.gz)",
                              "GML / XML files only (*.gml *.xml)"}));
        QCOMPARE(FDialogs->FileDialogs[0].SelectedFilter, QStringLiteral("ITN Layer(s) (*.gz *.gml *.xml)"));
    }

    void addFolderContentsOrdersGzThenGmlThenXml() {
        const QString folder = Temp("in");
        QDir().mkpath(folder + "/sub.gml");  // a folder, not a file
        for (const char* name : {"a.xml", "b.gml", "c.gz", "d.txt", ".hidden.gml", "e.GML", "a.gz"}) {
            WriteFile(folder + "/" + name, "x");
        }
        TForm3& w = NewWindow();
        FDialogs->FolderAnswers << folder << QString() << Temp("empty");
        QDir().mkpath(Temp("empty"));
        QTest::mouseClick(Child<QPushButton>(w, "btnUrbanAddFolderContents"), Qt::LeftButton);
        const QString f = folder + "/";
        QCOMPARE(Items(Child<QListWidget>(w, "lbUrban")),
                 QStringList({f + "a.gz", f + "c.gz", f + "b.gml", f + "e.GML", f + "a.xml"}));
        // The folder route sets the output folder for either list.
        QCOMPARE(w.OutputFolderPath(), (folder + "/").toStdString());
        QCOMPARE(FDialogs->FolderDialogs[0].Text, QStringLiteral("Select folder with ITN Urban paths files"));
        QVERIFY(!FDialogs->FolderDialogs[0].AllowNewFolder);

        // Cancelled, then an empty folder: the road list stays empty; the next dialog starts in
        // the folder chosen last.
        QTest::mouseClick(Child<QPushButton>(w, "btnRoadsAddFolderContents"), Qt::LeftButton);
        QCOMPARE(FDialogs->FolderDialogs[1].Text, QStringLiteral("Select folder with ITN Road files"));
        QCOMPARE(FDialogs->FolderDialogs[1].StartFolder, folder);
        QTest::mouseClick(Child<QPushButton>(w, "btnRoadsAddFolderContents"), Qt::LeftButton);
        QCOMPARE(Child<QListWidget>(w, "lbRoad")->count(), 0);
        QCOMPARE(FDialogs->FolderDialogs.size(), 3);
    }

    void deleteKey_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("selected");  // -1: current row without a selection
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("middle item") << 3 << 1 << QStringList({"f0", "f2"}) << 1;
        QTest::newRow("last item selects the new last") << 3 << 2 << QStringList({"f0", "f1"}) << 1;
        QTest::newRow("first item") << 3 << 0 << QStringList({"f1", "f2"}) << 0;
        QTest::newRow("only item") << 1 << 0 << QStringList() << -1;
        QTest::newRow("nothing selected") << 2 << -1 << QStringList({"f0", "f1"}) << -1;
    }

    void deleteKey() {
        QFETCH(int, count);
        QFETCH(int, selected);
        QFETCH(QStringList, remaining);
        QFETCH(int, selectedAfter);
        TForm3& w = NewWindow();
        QStringList files;
        for (int i = 0; i < count; ++i) files << QString("f%1").arg(i);
        FDialogs->FileAnswers << files;
        QTest::mouseClick(Child<QPushButton>(w, "btnRoadsAddFiles"), Qt::LeftButton);
        auto* list = Child<QListWidget>(w, "lbRoad");
        list->setFocus();
        if (selected >= 0) {
            list->setCurrentRow(selected);
        } else {
            list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
            list->clearSelection();
        }
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(Items(list), remaining);
        const QList<QListWidgetItem*> chosen = list->selectedItems();
        QCOMPARE(chosen.isEmpty() ? -1 : list->row(chosen.first()), selectedAfter);
        QCOMPARE(Child<QPushButton>(w, "btnGo")->isEnabled(), !remaining.isEmpty());
    }

    void goButtonFollowsBothLists() {
        TForm3& w = NewWindow();
        auto* go = Child<QPushButton>(w, "btnGo");
        QVERIFY(go->isEnabled());  // at start-up, before any list changed
        QTest::mouseClick(Child<QPushButton>(w, "btnRoadsAddFiles"), Qt::LeftButton);  // cancelled
        QVERIFY(!go->isEnabled());
        FDialogs->FileAnswers << QStringList{"/u/u1.gml"};
        QTest::mouseClick(Child<QPushButton>(w, "btnUrbanAddFiles"), Qt::LeftButton);
        QVERIFY(go->isEnabled());
        FDialogs->FileAnswers << QStringList{"/r/r1.gml"};
        QTest::mouseClick(Child<QPushButton>(w, "btnRoadsAddFiles"), Qt::LeftButton);
        // Deleting the only urban file leaves the road file: still enabled; then none: off.
        auto* lbUrban = Child<QListWidget>(w, "lbUrban");
        auto* lbRoad = Child<QListWidget>(w, "lbRoad");
        lbUrban->setCurrentRow(0);
        QTest::keyClick(lbUrban, Qt::Key_Delete);
        QVERIFY(go->isEnabled());
        lbRoad->setCurrentRow(0);
        QTest::keyClick(lbRoad, Qt::Key_Delete);
        QVERIFY(!go->isEnabled());
    }

    void outputFolderDialog() {
        TForm3& w = NewWindow();
        auto* button = Child<QToolButton>(w, "sbSelOutputDirectory");
        const QString out = Temp("out");
        QDir().mkpath(out);
        FDialogs->FolderAnswers << out << QString();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(FDialogs->FolderDialogs[0].Text, QStringLiteral("Select folder for output"));
        QCOMPARE(FDialogs->FolderDialogs[0].StartFolder, QString());  // no output folder yet
        QCOMPARE(w.OutputFolderPath(), (out + "/").toStdString());
        QCOMPARE(Child<QLabel>(w, "Label1")->text(), out + "/");
        // Cancelled: unchanged; the dialog started at the current output folder.
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(FDialogs->FolderDialogs[1].StartFolder, out + "/");
        QCOMPARE(w.OutputFolderPath(), (out + "/").toStdString());
        // Road files added later do not replace it.
        FDialogs->FileAnswers << QStringList{"/elsewhere/r.gml"};
        QTest::mouseClick(Child<QPushButton>(w, "btnRoadsAddFiles"), Qt::LeftButton);
        QCOMPARE(w.OutputFolderPath(), (out + "/").toStdString());
    }

    // Both input dialogs open where the user last took files from, also after a restart;
    // else in the home folder.
    void inputDialogsStartInTheFolderUsedLast() {
        const QString first = Temp("first");
        const QString second = Temp("second");
        QDir().mkpath(first);
        QDir().mkpath(second);
        TForm3& w = NewWindow();
        FDialogs->FileAnswers << QStringList{first + "/r1.gml", second + "/r2.gml"};
        QTest::mouseClick(Child<QPushButton>(w, "btnRoadsAddFiles"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(w, "btnUrbanAddFiles"), Qt::LeftButton);  // cancelled
        QTest::mouseClick(Child<QPushButton>(w, "btnUrbanAddFolderContents"), Qt::LeftButton);
        QCOMPARE(FDialogs->FileDialogs[0].Folder, QDir::homePath());
        QCOMPARE(FDialogs->FileDialogs[1].Folder, first);  // the folder of the first file chosen
        QCOMPARE(FDialogs->FolderDialogs[0].StartFolder, first);
        // A folder chosen for its contents is the next start too.
        FDialogs->FolderAnswers << second;
        QTest::mouseClick(Child<QPushButton>(w, "btnRoadsAddFolderContents"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(w, "btnRoadsAddFiles"), Qt::LeftButton);
        QCOMPARE(FDialogs->FileDialogs[2].Folder, second);
        QVERIFY(w.close());
        QFile ini(Temp("settings/itn2brinlow.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("\r\nlastfolder=" + second.toUtf8() + "\r\n"));

        // Restarted: from the settings file.
        TForm3& again = NewWindow();
        QTest::mouseClick(Child<QPushButton>(again, "btnRoadsAddFiles"), Qt::LeftButton);
        QCOMPARE(FDialogs->FileDialogs[0].Folder, second);
        QVERIFY(again.close());

        // The folder has gone since: the home folder, and the dialog for folders gets no start.
        QVERIFY(QDir(second).removeRecursively());
        TForm3& gone = NewWindow();
        QTest::mouseClick(Child<QPushButton>(gone, "btnRoadsAddFiles"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(gone, "btnRoadsAddFolderContents"), Qt::LeftButton);
        QCOMPARE(FDialogs->FileDialogs[0].Folder, QDir::homePath());
        QCOMPARE(FDialogs->FolderDialogs[0].StartFolder, QDir::homePath());
    }

    // Ctrl+O adds road files, Ctrl+Return starts a run only while "Go !" is on, F1 opens the
    // manual, Ctrl+Q closes the window (saving the settings).
    void keyboardShortcuts() {
        TForm3& w = NewWindow();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* go = Child<QPushButton>(w, "btnGo");
        Child<TRadioGroup>(w, "rgOutputFormat")->Item(0)->click();

        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);  // cancelled: the lists are empty now
        QCOMPARE(FDialogs->FileDialogs.size(), 1);
        QCOMPARE(FDialogs->FileDialogs[0].Title, QStringLiteral("Select ITN Road files"));
        QVERIFY(!go->isEnabled());
        QTest::keyClick(&w, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(FDialogs->Boxes.isEmpty());  // "Go !" is off: nothing started

        FDialogs->FileAnswers << QStringList{Temp("r.gml")};
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(Items(Child<QListWidget>(w, "lbRoad")), QStringList{Temp("r.gml")});
        QVERIFY(go->isEnabled());
        // The output folder is set from the road file; a missing input file ends the run with a message.
        QTest::keyClick(&w, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(FDialogs->Boxes.size(), 1);
        QVERIFY2(FDialogs->Boxes[0].startsWith("error: "), qPrintable(FDialogs->Boxes[0]));
        QTest::keyClick(&w, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        QCOMPARE(FDialogs->Boxes.size(), 2);

        QTest::keyClick(&w, Qt::Key_F1);
        QCOMPARE(FDialogs->OpenedUrls.size(), 1);
        QVERIFY(FDialogs->OpenedUrls[0].isLocalFile());

        QVERIFY(w.isVisible());
        QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!w.isVisible());
        QVERIFY(QFileInfo::exists(Temp("settings/itn2brinlow.ini")));
    }

    void windowIcon() {
        TForm3& w = NewWindow();
        QVERIFY(!w.windowIcon().isNull());
        const QImage icon = w.windowIcon().pixmap(QSize(64, 64)).toImage();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.size(), QSize(64, 64));
    }

    void wholeRunOnTheSample() {
        const QString in = SampleCopy("in");
        const QString out = Temp("out");
        const QByteArray gmlBefore = Digest(in + "/roads_0001.gml");
        const QByteArray gzBefore = Digest(in + "/roads_0002.gz");
        const QString urban = kSampleDir + "/urban_paths.gml";
        const QByteArray urbanBefore = Digest(urban);
        TForm3& w = NewWindow();
        PrepareRun(w, in, out, 0);
        FDialogs->FileAnswers << QStringList{urban};
        QTest::mouseClick(Child<QPushButton>(w, "btnUrbanAddFiles"), Qt::LeftButton);
        Child<QCheckBox>(w, "cbTurn")->setChecked(true);
        QCOMPARE(Items(Child<QListWidget>(w, "lbRoad")),
                 QStringList({in + "/roads_0002.gz", in + "/roads_0001.gml"}));
        QCOMPARE(Child<QListWidget>(w, "lbUrban")->currentRow(), -1);

        // While the job runs (events are handled from its progress callback): everything that
        // could start or change a run is off, and a second start does nothing.
        QStringList offDuringRun;
        bool runningSeen = false;
        bool hourglassSeen = false;  // no run at all leaves all of these unset
        QString statusDuringRun;
        int listDuringRun = -1;
        qsizetype fileDialogsDuringRun = -1;
        // Checked once the road job reads: the urban step before it handles events as well.
        QTimer probe;
        probe.setInterval(0);
        connect(&probe, &QTimer::timeout, &w, [&] {
            if (!Child<QLabel>(w, "Label2")->isVisible()) return;
            probe.stop();
            runningSeen = w.Running();
            const QCursor* cursor = QApplication::overrideCursor();
            hourglassSeen = cursor && cursor->shape() == Qt::WaitCursor;
            statusDuringRun = Child<QLabel>(w, "Label2")->text();
            w.btnGoClick();
            // Neither can the keys: no file dialog, no second start.
            w.activateWindow();
            QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
            QTest::keyClick(&w, Qt::Key_Return, Qt::ControlModifier);
            fileDialogsDuringRun = FDialogs->FileDialogs.size();
            auto* lbRoad = Child<QListWidget>(w, "lbRoad");
            lbRoad->setCurrentRow(0);
            QTest::keyClick(lbRoad, Qt::Key_Delete);
            listDuringRun = lbRoad->count();
            w.close();
            offDuringRun = DisabledControls(w);  // a key in a list must not turn "Go !" back on
        });
        // The urban file is read first, with its page shown.
        int pageDuringUrban = -1;
        QTimer::singleShot(0, &w,
                           [&] { pageDuringUrban = Child<QTabWidget>(w, "PageControl1")->currentIndex(); });
        probe.start();
        QTest::mouseClick(Child<QPushButton>(w, "btnGo"), Qt::LeftButton);
        probe.stop();
        QCOMPARE(pageDuringUrban, 1);
        QCOMPARE(Child<QListWidget>(w, "lbUrban")->currentRow(), 0);

        QVERIFY(runningSeen);
        QVERIFY(hourglassSeen);
        QCOMPARE(statusDuringRun, QStringLiteral("Phase 1 / 3"));
        QCOMPARE(offDuringRun.size(), int(std::size(kRunControls)));
        QCOMPARE(listDuringRun, 2);
        QCOMPARE(fileDialogsDuringRun, 1);  // the one that added the urban file
        QVERIFY(w.isVisible());  // closing was refused while running
        // The question does not hold the run: unanswered, the run goes on to its end.
        QCOMPARE(FDialogs->Boxes, QStringList{"ask: A conversion is running. Stop it and close the window?"});

        // One line per urban file and pass, one per road file and phase, then the time.
        const QStringList lines = MemoLines(w);
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines.mid(0, 8),
                 QStringList({"1 / 1", "1 / 1", "1 / 2", "2 / 2", "1 / 2", "2 / 2", "1 / 2", "2 / 2"}));
        QVERIFY2(
            QRegularExpression("^Done in \\d\\d:\\d\\d:\\d\\d \\(hh:mm:ss\\)$").match(lines[8]).hasMatch(),
            qPrintable(lines[8]));
        QCOMPARE(QDir(out).entryList(QDir::Files),
                 QStringList({"ITN_network.mid", "ITN_network.mif", "turn.txt", "VehicleType.txt",
                              "VehicleUse.txt"}));
        // The path links come first in the network file; the road links joined by paths are divided.
        QFile mid(out + "/ITN_network.mid");
        QVERIFY(mid.open(QIODevice::ReadOnly));
        const QByteArray records = mid.readAll();
        QVERIFY2(records.startsWith("1,\"4000090000000000\""), records.left(80).constData());
        QVERIFY(records.contains(",\"4000010000000005_1\","));
        // Inputs untouched, no expanded file left beside the .gz.
        QCOMPARE(Digest(in + "/roads_0001.gml"), gmlBefore);
        QCOMPARE(Digest(in + "/roads_0002.gz"), gzBefore);
        QCOMPARE(Digest(urban), urbanBefore);
        QCOMPARE(QDir(in).entryList(QDir::Files), QStringList({"roads_0001.gml", "roads_0002.gz"}));
        // Idle again.
        QVERIFY(!w.Running());
        QVERIFY(DisabledControls(w).isEmpty());
        QVERIFY(!Child<QLabel>(w, "Label2")->isVisible());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(Child<QTabWidget>(w, "PageControl1")->currentIndex(), 0);

        // A second run appends to the message list.
        QTest::mouseClick(Child<QPushButton>(w, "btnGo"), Qt::LeftButton);
        QCOMPARE(MemoLines(w).size(), 18);
    }

    void tabFallback_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("Yes: nothing is written") << true;
        QTest::newRow("No: MIF instead") << false;
    }

    void tabFallback() {
        QFETCH(bool, cancel);
        const QString in = SampleCopy("in");
        const QString out = Temp("out");
        TForm3& w = NewWindow();
        PrepareRun(w, in, out, 2);
        FDialogs->ConfirmAnswers << cancel;
        QTest::mouseClick(Child<QPushButton>(w, "btnGo"), Qt::LeftButton);
        QCOMPARE(FDialogs->Boxes, QStringList({"message: libitn2brinlow-tab.so was not found - creating MIF instead",
                                               "confirm: Do you want to cancel processing?"}));
        if (cancel) {
            QCOMPARE(QDir(out).entryList(QDir::Files), QStringList());
            QVERIFY(MemoLines(w).isEmpty());
        } else {
            QVERIFY(QFileInfo::exists(out + "/ITN_network.mif"));
            QVERIFY(QFileInfo::exists(out + "/ITN_network.mid"));
            QVERIFY(!QFileInfo::exists(out + "/ITN_network.tab"));
            QVERIFY(MemoLines(w).last().startsWith("Done in "));
        }
        QVERIFY(DisabledControls(w).isEmpty());
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void failingRunShowsTheErrorAndReenables() {
        const QString in = Temp("in");
        QDir().mkpath(in);
        const QByteArray bad =
            "<?xml version='1.0'?>\n<osgb:FeatureCollection><a></b></osgb:FeatureCollection>\n";
        WriteFile(in + "/bad.gml", bad);
        TForm3& w = NewWindow();
        PrepareRun(w, in, Temp("out"), 0);
        QTest::mouseClick(Child<QPushButton>(w, "btnGo"), Qt::LeftButton);
        QCOMPARE(FDialogs->Boxes.size(), 1);
        QVERIFY2(FDialogs->Boxes[0].startsWith("error: ") && FDialogs->Boxes[0].size() > 10,
                 qPrintable(FDialogs->Boxes[0]));
        QVERIFY(!MemoLines(w).join('\n').contains("Done in"));
        QVERIFY(DisabledControls(w).isEmpty());
        QVERIFY(!w.Running());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(Digest(in + "/bad.gml"), QCryptographicHash::hash(bad, QCryptographicHash::Sha256));
        // The window is usable: a good run afterwards succeeds.
        Child<QListWidget>(w, "lbRoad")->clear();
        FDialogs->FolderAnswers << SampleCopy("good");
        QTest::mouseClick(Child<QPushButton>(w, "btnRoadsAddFolderContents"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(w, "btnGo"), Qt::LeftButton);
        QVERIFY(MemoLines(w).last().startsWith("Done in "));
    }

    // A road file without road features: a warning line after its first pass; the run succeeds.
    void inputWithoutFeaturesWarnsInTheMessageList() {
        const QString in = Temp("in");
        QDir().mkpath(in);
        WriteFile(in + "/other.xml", "<?xml version='1.0'?>\n<catalogue/>\n");
        TForm3& w = NewWindow();
        PrepareRun(w, in, Temp("out"), 0);
        QTest::mouseClick(Child<QPushButton>(w, "btnGo"), Qt::LeftButton);
        QVERIFY(FDialogs->Boxes.isEmpty());
        const QStringList lines = MemoLines(w);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.mid(0, 4), QStringList({"1 / 1", "Warning: No ITN road features found in " + in + "/other.xml",
                                               "1 / 1", "1 / 1"}));
        QVERIFY2(lines[4].startsWith("Done in "), qPrintable(lines[4]));
    }

    // Every file of a folder with a digest of its bytes.
    QStringList FolderDigests(const QString& Folder) {
        QStringList entries;
        for (const QString& name : QDir(Folder).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot))
            entries << name + " " + Digest(Folder + "/" + name).toHex();
        return entries;
    }

    // Presses "Go !" and calls During once the road job reads (events are handled from its
    // progress callback).
    void GoAndDuringRoadJob(TForm3& Window, const std::function<void()>& During) {
        QTimer probe;
        probe.setInterval(0);
        connect(&probe, &QTimer::timeout, &Window, [&] {
            if (!Child<QLabel>(Window, "Label2")->isVisible()) return;
            probe.stop();
            During();
        });
        probe.start();
        QTest::mouseClick(Child<QPushButton>(Window, "btnGo"), Qt::LeftButton);
        probe.stop();
    }

    // Stop from the menu and with Esc while the road job reads: the run ends at once with a
    // line in the message list, no error box, and the earlier result as it was.
    void stopDuringRun_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("menu") << false;
        QTest::newRow("Esc") << true;
    }

    void stopDuringRun() {
        QFETCH(bool, escape);
        const QString in = SampleCopy("in");
        const QString out = Temp("out");
        TForm3& w = NewWindow();
        PrepareRun(w, in, out, 0);
        auto* stop = w.findChild<QAction*>("Stop1");
        QVERIFY(stop != nullptr);
        QVERIFY(!stop->isEnabled());
        QTest::mouseClick(Child<QPushButton>(w, "btnGo"), Qt::LeftButton);  // the earlier result
        QVERIFY(MemoLines(w).last().startsWith("Done in "));
        const QStringList before = FolderDigests(out);
        QVERIFY(before.size() >= 4);

        bool enabledDuringRun = false;
        GoAndDuringRoadJob(w, [&] {
            enabledDuringRun = stop->isEnabled();
            if (escape) QTest::keyClick(&w, Qt::Key_Escape);
            else stop->trigger();
        });
        QVERIFY(enabledDuringRun);
        const QStringList lines = MemoLines(w);
        QCOMPARE(lines.mid(lines.size() - 2), QStringList({"Stopping ...", "Stopped: nothing was written"}));
        QVERIFY(FDialogs->Boxes.isEmpty());
        QCOMPARE(FolderDigests(out), before);
        QVERIFY(!w.Running());
        QVERIFY(!stop->isEnabled());
        QVERIFY(DisabledControls(w).isEmpty());
        // Esc outside a run does nothing; the next run completes.
        QTest::keyClick(&w, Qt::Key_Escape);
        QTest::mouseClick(Child<QPushButton>(w, "btnGo"), Qt::LeftButton);
        QVERIFY(MemoLines(w).last().startsWith("Done in "));
    }

    // Closing during a run asks without holding the run: Yes stops it and closes the window
    // once it has ended, No lets it complete.
    void closeDuringRun_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes: stop and close") << true;
        QTest::newRow("No: go on") << false;
    }

    void closeDuringRun() {
        QFETCH(bool, yes);
        const QString in = SampleCopy("in");
        const QString out = Temp("out");
        TForm3& w = NewWindow();
        PrepareRun(w, in, out, 0);
        QTest::mouseClick(Child<QPushButton>(w, "btnGo"), Qt::LeftButton);
        const QStringList before = FolderDigests(out);

        bool runningAfterQuestion = false;
        int questions = 0;
        GoAndDuringRoadJob(w, [&] {
            w.close();
            w.close();  // asked once
            runningAfterQuestion = w.Running();
            questions = FDialogs->PendingAnswers.size();
            FDialogs->PendingAnswers.takeFirst()(yes);
        });
        QCOMPARE(questions, 1);
        QVERIFY(runningAfterQuestion);
        QCOMPARE(FDialogs->Boxes, QStringList{"ask: A conversion is running. Stop it and close the window?"});
        QVERIFY(!w.Running());
        if (yes) {
            QVERIFY(!w.isVisible());
            QCOMPARE(MemoLines(w).last(), QStringLiteral("Stopped: nothing was written"));
            QCOMPARE(FolderDigests(out), before);
        } else {
            QVERIFY(w.isVisible());
            QVERIFY(MemoLines(w).last().startsWith("Done in "));
        }
    }

    void runRefusals() {
        // No output folder: nothing starts (nothing is written into the working directory).
        TForm3& w = NewWindow();
        FDialogs->FileAnswers << QStringList{Temp("u.gml")};
        QTest::mouseClick(Child<QPushButton>(w, "btnUrbanAddFiles"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(w, "btnGo"), Qt::LeftButton);
        QCOMPARE(FDialogs->Boxes, QStringList{"message: Please select an output folder first."});
        QVERIFY(MemoLines(w).isEmpty());
        QVERIFY(DisabledControls(w).isEmpty());

        // An input named as an output file is never overwritten.
        const QString in = Temp("in");
        QDir().mkpath(in);
        const QByteArray text = "<?xml version='1.0'?><x/>";
        WriteFile(in + "/ITN_network.xml", text);
        TForm3& w2 = NewWindow();
        FDialogs->FileAnswers << QStringList{in + "/ITN_network.xml"};
        QTest::mouseClick(Child<QPushButton>(w2, "btnRoadsAddFiles"), Qt::LeftButton);
        Child<TRadioGroup>(w2, "rgOutputFormat")->Item(3)->click();
        QTest::mouseClick(Child<QPushButton>(w2, "btnGo"), Qt::LeftButton);
        QCOMPARE(FDialogs->Boxes.size(), 1);
        QVERIFY2(
            FDialogs->Boxes[0].startsWith("error: Input file") && FDialogs->Boxes[0].contains("overwritten"),
            qPrintable(FDialogs->Boxes[0]));
        QCOMPARE(Digest(in + "/ITN_network.xml"), QCryptographicHash::hash(text, QCryptographicHash::Sha256));
        QVERIFY(!QFileInfo::exists(in + "/VehicleUse.txt"));
    }

    void groupsWithoutSelectionTakeTheirDefault() {
        QDir().mkpath(Temp("settings"));
        WriteFile(Temp("settings/itn2brinlow.ini"), "[main]\r\noutputformat=-5\r\nmaxheight=-3\r\n");
        const QString in = SampleCopy("in");
        TForm3& w = NewWindow();
        auto* format = Child<TRadioGroup>(w, "rgOutputFormat");
        auto* unit = Child<TRadioGroup>(w, "rgMaxHeightUnit");
        QCOMPARE(format->ItemIndex(), -1);
        QCOMPARE(unit->ItemIndex(), -1);
        FDialogs->FolderAnswers << in << Temp("out");
        QDir().mkpath(Temp("out"));
        QTest::mouseClick(Child<QPushButton>(w, "btnRoadsAddFolderContents"), Qt::LeftButton);
        QTest::mouseClick(Child<QToolButton>(w, "sbSelOutputDirectory"), Qt::LeftButton);
        FDialogs->ConfirmAnswers << false;  // TAB, the default, falls back to MIF
        QTest::mouseClick(Child<QPushButton>(w, "btnGo"), Qt::LeftButton);
        QCOMPARE(format->ItemIndex(), 2);
        QCOMPARE(unit->ItemIndex(), 1);
        QVERIFY(MemoLines(w).last().startsWith("Done in "));
        QVERIFY(QFileInfo::exists(Temp("out/ITN_network.mif")));
    }

    void menuCommands() {
        TForm3& w = NewWindow();
        auto* about = w.findChild<QAction*>("About1");
        QVERIFY(about);
        about->trigger();
        QCOMPARE(FDialogs->Boxes, QStringList{"message: This is version 1.23"});

        auto* help = w.findChild<QAction*>("Help1");
        QVERIFY(help);
        help->trigger();
        QCOMPARE(FDialogs->OpenedUrls.size(), 1);
        const QUrl manual = FDialogs->OpenedUrls[0];
        QVERIFY(manual.isLocalFile());
        QVERIFY2(QFileInfo::exists(manual.toLocalFile()), qPrintable(manual.toString()));
        QVERIFY(manual.fileName() == "manual.html" || manual.fileName() == "itn2brinlow.chm");
        // A handler that cannot open it is reported.
        FDialogs->OpenUrlSucceeds = false;
        help->trigger();
        QVERIFY(FDialogs->Boxes.last().startsWith("error: Cannot open the help file "));

        // Exit closes the window, which saves the settings.
        auto* exit = w.findChild<QAction*>("Exit1");
        QVERIFY(exit);
        exit->trigger();
        QVERIFY(!w.isVisible());
        QVERIFY(QFileInfo::exists(Temp("settings/itn2brinlow.ini")));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
