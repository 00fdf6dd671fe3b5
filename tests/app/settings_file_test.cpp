// The settings file as the window reads it at creation and writes it at closing: defaults,
// value forms, clamping of the radio groups, write order, unknown lines, and the failures.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "app/controls.h"
#include "app/main_window.h"
#include "app/settings_file.h"
#include "fake_dialogs.h"

using itn::TForm3;
using itn::TRadioGroup;

namespace {

// The window's options in the order of the settings file's write order.
struct TState {
    int OutputFormat, MaxHeight;
    bool Turn, Phase1Save, SplitLoopLinks, A2, AC, A4, A4p;
};

TState StateOf(TForm3& W) {
    auto box = [&](const char* Name) { return W.findChild<QCheckBox*>(Name)->isChecked(); };
    return {W.findChild<TRadioGroup*>("rgOutputFormat")->ItemIndex(),
            W.findChild<TRadioGroup*>("rgMaxHeightUnit")->ItemIndex(),
            box("cbTurn"),
            box("cbSaveUnzipped"),
            box("cbSplitLoopLinks"),
            box("cb2"),
            box("cbC"),
            box("cb4"),
            box("cb4p")};
}

QString Describe(const TState& S) {
    return QString("format %1, height %2, turn %3, save %4, split %5, a2 %6, ac %7, a4 %8, a4p %9")
        .arg(S.OutputFormat)
        .arg(S.MaxHeight)
        .arg(S.Turn)
        .arg(S.Phase1Save)
        .arg(S.SplitLoopLinks)
        .arg(S.A2)
        .arg(S.AC)
        .arg(S.A4)
        .arg(S.A4p);
}

QByteArray ReadAll(const QString& FileName) {
    QFile file(FileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& FileName, const QByteArray& Bytes) {
    QFile file(FileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(Bytes);
}

const TState kDefaults{2, 1, false, false, true, false, false, true, true};

}  // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> FTemp;
    TFakeDialogs FDialogs;

    QString Folder() const { return FTemp->filePath("config/itn2brinlow"); }
    QString IniPath() const { return Folder() + "/itn2brinlow.ini"; }

    std::unique_ptr<TForm3> Open(const QString& SettingsFolder) {
        qputenv("ITN2BRINLOW_SETTINGS_DIR", SettingsFolder.toUtf8());
        FDialogs = TFakeDialogs();
        auto window = std::make_unique<TForm3>(FDialogs);
        window->show();
        return window;
    }

    // A window over a settings file holding Text.
    std::unique_ptr<TForm3> OpenWith(const QByteArray& Text) {
        QDir().mkpath(Folder());
        WriteAll(IniPath(), Text);
        return Open(Folder());
    }

private slots:
    void init() {
        FTemp = std::make_unique<QTemporaryDir>();
        QVERIFY(FTemp->isValid());
    }

    void firstStartUsesDefaultsAndWritesNineKeysInOrder() {
        auto w = Open(Folder());  // the folder does not exist yet
        QVERIFY(QDir(Folder()).exists());
        QCOMPARE(Describe(StateOf(*w)), Describe(kDefaults));
        QVERIFY(FDialogs.Boxes.isEmpty());
        QVERIFY(w->close());
        QCOMPARE(
            ReadAll(IniPath()),
            QByteArray(
                "[main]\r\noutputformat=2\r\nmaxheight=1\r\nturnrestriction=0\r\nphase1save=0\r\n"
                "splitlooplinks=1\r\nattribute2=0\r\nattributec=0\r\nattribute4=1\r\nattribute4p=1\r\n"));
    }

    void valuesAreReadAndWrittenBack() {
        auto w = OpenWith(
            "[main]\r\noutputformat=0\r\nmaxheight=0\r\nsplitlooplinks=0\r\nturnrestriction=1\r\n"
            "phase1save=1\r\nattribute2=1\r\nattributec=1\r\nattribute4=0\r\nattribute4p=0\r\n");
        const TState s = StateOf(*w);
        QCOMPARE(Describe(s), Describe({0, 0, true, true, false, true, true, false, false}));
        // Changed in the window, then saved in place.
        w->findChild<TRadioGroup*>("rgOutputFormat")->Item(3)->click();
        w->findChild<QCheckBox*>("cb4p")->setChecked(true);
        QVERIFY(w->close());
        QCOMPARE(
            ReadAll(IniPath()),
            QByteArray("[main]\r\noutputformat=3\r\nmaxheight=0\r\nsplitlooplinks=0\r\nturnrestriction=1\r\n"
                       "phase1save=1\r\nattribute2=1\r\nattributec=1\r\nattribute4=0\r\nattribute4p=1\r\n"));
    }

    void valueForms_data() {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("expected");
        const auto expect = [](auto Change) {
            TState s = kDefaults;
            Change(s);
            return Describe(s);
        };
        const auto same = [](TState&) {};
        QTest::newRow("garbage Boolean keeps its default") << QByteArray("attribute4=abc") << expect(same);
        QTest::newRow("hex Boolean") << QByteArray("attribute2=0x10")
                                     << expect([](TState& s) { s.A2 = true; });
        QTest::newRow("empty Boolean keeps its default") << QByteArray("phase1save=") << expect(same);
        QTest::newRow("dollar hex") << QByteArray("attributec=$1") << expect([](TState& s) { s.AC = true; });
        QTest::newRow("any nonzero is true")
            << QByteArray("turnrestriction=-7") << expect([](TState& s) { s.Turn = true; });
        QTest::newRow("blanks and letter case")
            << QByteArray("  SplitLoopLinks =  0 ") << expect([](TState& s) { s.SplitLoopLinks = false; });
        QTest::newRow("hex index") << QByteArray("outputformat=0X1")
                                   << expect([](TState& s) { s.OutputFormat = 1; });
        QTest::newRow("garbage index") << QByteArray("outputformat=1x") << expect(same);
        QTest::newRow("bare 0x") << QByteArray("outputformat=0x") << expect(same);
        QTest::newRow("beyond 32 bits") << QByteArray("outputformat=4294967296") << expect(same);
        QTest::newRow("index beyond the last item")
            << QByteArray("outputformat=7") << expect([](TState& s) { s.OutputFormat = 3; });
        QTest::newRow("index below -1 selects nothing")
            << QByteArray("outputformat=-5") << expect([](TState& s) { s.OutputFormat = -1; });
        QTest::newRow("height cm") << QByteArray("maxheight=0") << expect([](TState& s) { s.MaxHeight = 0; });
        QTest::newRow("height clamped")
            << QByteArray("maxheight=0x7FFFFFFF") << expect([](TState& s) { s.MaxHeight = 1; });
        QTest::newRow("hex -1 selects nothing")
            << QByteArray("maxheight=0xFFFFFFFF") << expect([](TState& s) { s.MaxHeight = -1; });
        QTest::newRow("key of another section") << QByteArray("[other]\r\nattribute4=0") << expect(same);
    }

    void valueForms() {
        QFETCH(QByteArray, lines);
        QFETCH(QString, expected);
        auto w = OpenWith("[main]\r\n" + lines + "\r\n");
        QCOMPARE(Describe(StateOf(*w)), expected);
    }

    void noSelectionIsSavedAsMinusOne() {
        auto w = OpenWith("[main]\nOutputFormat=-5\n");
        QVERIFY(w->close());
        QVERIFY(ReadAll(IniPath()).startsWith("[main]\r\noutputformat=-1\r\nmaxheight=1\r\n"));
    }

    void unknownLinesAreKept() {
        const QByteArray before =
            "; written by hand\n"
            "[other]\n"
            "outputformat=9\n"
            "\n"
            "[Main]\n"
            "attribute4=0\n"
            "window=left\n"
            "not an entry\n"
            "\n"
            "[last]\n"
            "x=1\n";
        auto w = OpenWith(before);
        QVERIFY(!StateOf(*w).A4);
        QCOMPARE(StateOf(*w).OutputFormat, 2);  // the [other] section's key is not ours
        QVERIFY(w->close());
        QCOMPARE(ReadAll(IniPath()), QByteArray("; written by hand\r\n"
                                                "[other]\r\n"
                                                "outputformat=9\r\n"
                                                "\r\n"
                                                "[Main]\r\n"
                                                "attribute4=0\r\n"
                                                "window=left\r\n"
                                                "not an entry\r\n"
                                                "outputformat=2\r\n"
                                                "maxheight=1\r\n"
                                                "turnrestriction=0\r\n"
                                                "phase1save=0\r\n"
                                                "splitlooplinks=1\r\n"
                                                "attribute2=0\r\n"
                                                "attributec=0\r\n"
                                                "attribute4p=1\r\n"
                                                "\r\n"
                                                "[last]\r\n"
                                                "x=1\r\n"));
    }

    // The input dialogs' folder: kept as it is, also with blanks inside; a name with a line
    // break cannot be one line of the file and is not written.
    void lastFolderKey_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("kept");
        QTest::newRow("plain") << "/data/itn" << true;
        QTest::newRow("blanks and non-ASCII") << "/data/ITN roads/Gr\u00fcn" << true;
        QTest::newRow("line break") << "/data/a\nb" << false;
        QTest::newRow("none used") << QString() << false;
    }

    void lastFolderKey() {
        QFETCH(QString, folder);
        QFETCH(bool, kept);
        QDir().mkpath(Folder());
        itn::TSettings settings;
        settings.LastFolder = folder.toStdString();
        itn::SaveSettings(IniPath().toStdString(), settings);
        QCOMPARE(ReadAll(IniPath()).contains("lastfolder="), kept);
        const itn::TSettings back = itn::LoadSettings(IniPath().toStdString());
        QCOMPARE(QString::fromStdString(back.LastFolder), kept ? folder : QString());
    }

    void folderThatCannotBeCreated() {
        // A file stands where the settings folder's parent should be.
        WriteAll(FTemp->filePath("plainfile"), "x");
        const QString folder = FTemp->filePath("plainfile/itn2brinlow");
        auto w = Open(folder);
        QCOMPARE(FDialogs.Boxes.size(), 1);
        QVERIFY2(FDialogs.Boxes[0].startsWith("error: Unable to create folder") &&
                     FDialogs.Boxes[0].contains(folder),
                 qPrintable(FDialogs.Boxes[0]));
        // The design defaults stay (turn restrictions checked), and a run is still possible.
        QVERIFY(w->findChild<QCheckBox*>("cbTurn")->isChecked());
        const QString out = FTemp->filePath("out");
        QDir().mkpath(out);
        FDialogs.FolderAnswers << out;
        QTest::mouseClick(w->findChild<QToolButton*>("sbSelOutputDirectory"), Qt::LeftButton);
        w->findChild<TRadioGroup*>("rgOutputFormat")->Item(0)->click();
        QTest::mouseClick(w->findChild<QPushButton*>("btnGo"), Qt::LeftButton);
        QVERIFY(QFile::exists(out + "/ITN_network.mif"));
        // Closing reports the settings that could not be written, and still closes.
        QVERIFY(w->close());
        QCOMPARE(FDialogs.Boxes.last(), "error: Unable to write to " + folder + "/itn2brinlow.ini");
    }

    void fileThatCannotBeWritten() {
        QDir().mkpath(IniPath());  // a folder in the file's place
        auto w = Open(Folder());
        QCOMPARE(Describe(StateOf(*w)), Describe(kDefaults));
        QVERIFY(FDialogs.Boxes.isEmpty());
        QVERIFY(w->close());
        QCOMPARE(FDialogs.Boxes, QStringList{"error: Unable to write to " + IniPath()});
    }
};

QTEST_MAIN(SettingsFileTest)
#include "settings_file_test.moc"
