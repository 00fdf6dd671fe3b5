#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <new>
#include <system_error>
#include <vector>

#include "app/app_folders.h"
#include "app/app_info.h"
#include "app/controls.h"
#include "app/dialogs.h"
#include "app/settings_file.h"
#include "app/update_check.h"
#include "gis/gis_writer.h"
#include "gis/tab_libraries.h"
#include "io/errors.h"
#include "roadjob/job_runner.h"

// The icon lives in the program's resources; a static library needs them registered by hand.
static void InitAppResources() { Q_INIT_RESOURCE(app_resources); }

namespace itn {

namespace fs = std::filesystem;

namespace {

QString Q(const std::string& Text) { return QString::fromStdString(Text); }
std::string S(const QString& Text) { return Text.toStdString(); }

std::string WithSeparator(std::string Folder) {
    if (!Folder.empty() && Folder.back() != '/') Folder += '/';
    return Folder;
}

// Folder part of a file path, with a trailing separator.
std::string FolderOf(const std::string& FileName) {
    const size_t slash = FileName.rfind('/');
    return slash == std::string::npos ? std::string() : FileName.substr(0, slash + 1);
}

bool FolderExists(const std::string& Folder) {
    std::error_code ec;
    return !Folder.empty() && fs::is_directory(Folder, ec);
}

std::vector<std::string> ListItems(const QListWidget* List) {
    std::vector<std::string> items;
    for (int i = 0; i < List->count(); ++i) items.push_back(S(List->item(i)->text()));
    return items;
}

// The item the user selected, or -1 when the list has a current row that is not selected.
int SelectedRow(const QListWidget* List) {
    const QListWidgetItem* item = List->currentItem();
    return item && item->isSelected() ? List->currentRow() : -1;
}

QPushButton* NewButton(const QString& Name, const QString& Caption, QWidget* Parent) {
    auto* button = new QPushButton(Caption, Parent);
    button->setObjectName(Name);
    return button;
}

QCheckBox* NewCheckBox(const QString& Name, const QString& Caption, bool Checked, QWidget* Parent) {
    auto* box = new QCheckBox(Caption, Parent);
    box->setObjectName(Name);
    box->setChecked(Checked);
    return box;
}

// The hourglass for the length of a run, restored however the run ends.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace

TForm3::TForm3(IDialogs& Dialogs, QWidget* Parent) : QMainWindow(Parent), FDialogs(Dialogs) {
    setObjectName("TForm3");
    setWindowTitle(kWindowCaption);
    InitAppResources();
    setWindowIcon(QIcon(":/icons/itn2brinlow.png"));
    // Minimize and close only; the size is fixed.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    CreateControls();
    FormCreate();
}

TForm3::~TForm3() = default;

void TForm3::CreateControls() {
    auto* client = new QWidget(this);
    client->setObjectName("ClientArea");
    client->setFixedSize(680, 576);
    setCentralWidget(client);

    // Input files: one page per layer, the buttons above the list.
    inputPages = new QTabWidget(client);
    inputPages->setObjectName("PageControl1");
    auto makePage = [this](const QString& PageName, const QString& Caption, const QString& ListName,
                           const QString& FilesName, const QString& FolderName, QListWidget*& List,
                           QPushButton*& AddFiles, QPushButton*& AddFolder) {
        auto* page = new QWidget();
        page->setObjectName(PageName);
        auto* layout = new QVBoxLayout(page);
        auto* buttons = new QHBoxLayout();
        AddFiles = NewButton(FilesName, "Add Files", page);
        AddFolder = NewButton(FolderName, "Add Files in folder", page);
        buttons->addWidget(AddFiles);
        buttons->addWidget(AddFolder);
        buttons->addStretch();
        layout->addLayout(buttons);
        List = new QListWidget(page);
        List->setObjectName(ListName);
        List->setSelectionMode(QAbstractItemView::SingleSelection);
        List->installEventFilter(this);
        layout->addWidget(List);
        inputPages->addTab(page, Caption);
        return page;
    };
    tsRoads = makePage("tsRoads", "Roads", "lbRoad", "btnRoadsAddFiles", "btnRoadsAddFolderContents", lbRoad,
                       btnRoadsAddFiles, btnRoadsAddFolderContents);
    tsUrbanPaths =
        makePage("tsUrbanPaths", "Urban Paths", "lbUrban", "btnUrbanAddFiles", "btnUrbanAddFolderContents",
                 lbUrban, btnUrbanAddFiles, btnUrbanAddFolderContents);

    // Output folder.
    sbSelOutputDirectory = new QToolButton(client);
    sbSelOutputDirectory->setObjectName("sbSelOutputDirectory");
    sbSelOutputDirectory->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    sbSelOutputDirectory->setToolTip("Select output folder");
    outputFolderLabel = new TPathLabel("< output folder >", client);
    outputFolderLabel->setObjectName("Label1");
    auto* outputRow = new QHBoxLayout();
    outputRow->addWidget(sbSelOutputDirectory);
    outputRow->addWidget(outputFolderLabel, 1);

    // Options: attribute fields and output format side by side, the other options and "Go !"
    // below them.
    attributesGroup = new QGroupBox("Attribute fields", client);
    attributesGroup->setObjectName("GroupBox1");
    attribute2Box = NewCheckBox("cb2", "Attribute2: BL Net 2 / Waypicker 3-4 /  BL Netserver 3", false, attributesGroup);
    attributeCBox = NewCheckBox("cbC", "AttributeC: BL Net 2 / Waypicker 3-4 /  BL Netserver 3 - Capita compatible",
                      false, attributesGroup);
    attribute4Box = NewCheckBox("cb4", "Attribute4: BL Net 4 / Haulcraft / Waypicker 5", true, attributesGroup);
    avoidPatternBox = NewCheckBox("cb4p", "AvoidPattern: BL Net 4 / Haulcraft / Waypicker 5", true, attributesGroup);
    auto* attributes = new QVBoxLayout(attributesGroup);
    attributes->setSpacing(2);
    for (QCheckBox* box : {attribute2Box, attributeCBox, attribute4Box, avoidPatternBox}) attributes->addWidget(box);

    // The network formats, in their numbering; the extras are for the command line.
    QStringList formatLabels;
    for (const TOutputFormatInfo& format : OutputFormats()) {
        if (*format.Label) formatLabels << format.Label;
    }
    rgOutputFormat = new TRadioGroup("Output format", formatLabels, 1, client);
    rgOutputFormat->setObjectName("rgOutputFormat");
    rgOutputFormat->SetItemIndex(JobOption(TJobOptionId::OutputFormat).Default());

    cbSplitLoopLinks = NewCheckBox("cbSplitLoopLinks", "Split loop links", true, client);
    cbTurn = NewCheckBox("cbTurn", "Turn restrictions", true, client);
    rgMaxHeightUnit = new TRadioGroup("MaxHeight unit in output", {"cm", "inch"}, 2, client);
    rgMaxHeightUnit->setObjectName("rgMaxHeightUnit");
    rgMaxHeightUnit->SetItemIndex(JobOption(TJobOptionId::MaxHeightUnit).Default());
    cbSaveUnzipped = NewCheckBox(
        "cbSaveUnzipped", "Save unzipped files after phase 1 (faster, but requires a lot of disk space)",
        false, client);
    btnGo = NewButton("btnGo", "Go !", client);
    btnGo->setMinimumHeight(40);

    auto* checks = new QVBoxLayout();
    checks->addWidget(cbSplitLoopLinks);
    checks->addWidget(cbTurn);
    auto* otherOptions = new QHBoxLayout();
    otherOptions->addLayout(checks);
    otherOptions->addSpacing(12);
    otherOptions->addWidget(rgMaxHeightUnit);
    otherOptions->addStretch();

    auto* options = new QGridLayout();
    options->addWidget(attributesGroup, 0, 0);
    options->addWidget(rgOutputFormat, 0, 1);
    options->addLayout(otherOptions, 1, 0);
    options->addWidget(cbSaveUnzipped, 2, 0);
    options->addWidget(btnGo, 1, 1, 2, 1);
    options->setColumnStretch(0, 1);

    // Status and messages.
    phaseLabel = new QLabel(client);
    phaseLabel->setObjectName("Label2");
    QSizePolicy keepSpace = phaseLabel->sizePolicy();
    keepSpace.setRetainSizeWhenHidden(true);
    phaseLabel->setSizePolicy(keepSpace);
    phaseLabel->setMinimumHeight(phaseLabel->fontMetrics().height());
    phaseLabel->hide();
    messageList = new QPlainTextEdit(client);
    messageList->setObjectName("Memo1");
    messageList->setReadOnly(true);
    messageList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    messageList->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* layout = new QVBoxLayout(client);
    layout->addWidget(inputPages, 4);
    layout->addLayout(outputRow);
    layout->addLayout(options);
    layout->addWidget(phaseLabel);
    layout->addWidget(messageList, 3);

    // The file-open dialog, prepared once; each "Add Files" sets its title and folder.
    openDialog = new QFileDialog(this, "Select files for input");
    openDialog->setObjectName("OpenDialog1");
    openDialog->setFileMode(QFileDialog::ExistingFiles);
    openDialog->setAcceptMode(QFileDialog::AcceptOpen);
    openDialog->setSizeGripEnabled(true);
    openDialog->setNameFilters(
        {"ITN Layer(s) (*.gz *.gml *.xml)", "GZ files only (*.gz)", "GML / XML files only (*.gml *.xml)"});
    openDialog->selectNameFilter("ITN Layer(s) (*.gz *.gml *.xml)");

    mainMenu = new QMenuBar(this);
    mainMenu->setObjectName("MainMenu1");
    QMenu* fileMenu = mainMenu->addMenu("File");
    fileMenu->setObjectName("File1");
    auto addAction = [this](QWidget* Menu, const QString& Name, const QString& Caption,
                            void (TForm3::*Handler)()) {
        auto* action = new QAction(Caption, Menu);
        action->setObjectName(Name);
        connect(action, &QAction::triggered, this, Handler);
        Menu->addAction(action);
        return action;
    };
    addAction(fileMenu, "Checkwebsiteforupdates1", "Check website for updates",
              &TForm3::Checkwebsiteforupdates1Click);
    addAction(fileMenu, "About1", "About", &TForm3::About1Click);
    fileMenu->addSeparator();
    stopAction = addAction(fileMenu, "Stop1", "Stop", &TForm3::Stop1Click);
    stopAction->setEnabled(false);  // only during a run
    addAction(fileMenu, "Exit1", "Exit", &TForm3::Exit1Click);
    addAction(mainMenu, "Help1", "Help", &TForm3::Help1Click);
    setMenuBar(mainMenu);

    connect(btnRoadsAddFiles, &QPushButton::clicked, this, &TForm3::btnRoadsAddFilesClick);
    connect(btnUrbanAddFiles, &QPushButton::clicked, this, &TForm3::btnUrbanAddFilesClick);
    connect(btnRoadsAddFolderContents, &QPushButton::clicked, this, &TForm3::btnRoadsAddFolderContentsClick);
    connect(btnUrbanAddFolderContents, &QPushButton::clicked, this, &TForm3::btnUrbanAddFolderContentsClick);
    connect(sbSelOutputDirectory, &QToolButton::clicked, this, &TForm3::sbSelOutputDirectoryClick);
    connect(btnGo, &QPushButton::clicked, this, &TForm3::btnGoClick);

    CreateShortcuts();

    // The client area keeps its size; the window is that plus the menu bar.
    QMainWindow::layout()->setSizeConstraint(QLayout::SetFixedSize);
}

// Keys of the usual desktop programs. Ctrl+O and Ctrl+Return act only while their button does,
// so a run cannot be started or changed from the keyboard either.
void TForm3::CreateShortcuts() {
    findChild<QAction*>("Exit1")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QAction* help = findChild<QAction*>("Help1");
    help->setShortcut(QKeySequence(Qt::Key_F1));
    addAction(help);  // a menu-bar item has no shortcut of its own when the bar is hidden
    auto* addRoads = new QAction("Add road files", this);
    addRoads->setObjectName("actRoadsAddFiles");
    addRoads->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(addRoads, &QAction::triggered, this, [this] {
        if (btnRoadsAddFiles->isEnabled()) btnRoadsAddFilesClick();
    });
    addAction(addRoads);
    auto* go = new QAction("Go", this);
    go->setObjectName("actGo");
    go->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    connect(go, &QAction::triggered, this, [this] {
        if (btnGo->isEnabled() && !fRunning) btnGoClick();
    });
    addAction(go);
    stopAction->setShortcut(QKeySequence(Qt::Key_Escape));
    addAction(stopAction);  // Esc works with the menu closed
    btnRoadsAddFiles->setToolTip("Add road files (Ctrl+O)");
    btnGo->setToolTip("Start the conversion (Ctrl+Return)");
}

// Creation: folders, first page, then the settings. A settings folder that cannot be made is
// reported and leaves the design defaults; the window stays usable.
void TForm3::FormCreate() {
    ProgramFolder = itn::ProgramFolder();
    OutputFolder.clear();
    // Input dialogs open in the folder used last (from the settings), else the home folder; the
    // program's own folder holds no data.
    InputFolder = S(QDir::homePath());
    inputPages->setCurrentWidget(tsRoads);
    SettingsFolder = SettingsFolderPath();
    try {
        ForceFolder(SettingsFolder);
        SettingsToControls(LoadSettings(SettingsFolder + kSettingsFileName));
    } catch (const std::exception& e) {
        FDialogs.ShowError(this, Q(e.what()));
    }
}

void TForm3::FormClose() {
    try {
        SaveSettings(SettingsFolder + kSettingsFileName, SettingsFromControls());
    } catch (const std::exception& e) {
        FDialogs.ShowError(this, Q(e.what()));
    }
}

TSettings TForm3::SettingsFromControls() const {
    TSettings s;
    for (const TJobOption& option : JobOptions()) {
        if (option.Kind == TJobOptionKind::OnOff) {
            s[option.Id] = findChild<QCheckBox*>(option.WidgetName)->isChecked() ? 1 : 0;
        } else {
            s[option.Id] = findChild<TRadioGroup*>(option.WidgetName)->ItemIndex();
        }
    }
    s.LastFolder = LastFolder;
    return s;
}

void TForm3::SettingsToControls(const TSettings& s) {
    for (const TJobOption& option : JobOptions()) {
        if (option.Kind == TJobOptionKind::OnOff) {
            findChild<QCheckBox*>(option.WidgetName)->setChecked(s[option.Id] != 0);
        } else {
            findChild<TRadioGroup*>(option.WidgetName)->SetItemIndex(s[option.Id]);
        }
    }
    if (FolderExists(s.LastFolder)) SetInputFolder(s.LastFolder);
}

void TForm3::closeEvent(QCloseEvent* Event) {
    if (fRunning) {
        // The job runs inside this window's handler: it ends first. The question does not
        // wait for its answer, so the job goes on while it is shown.
        Event->ignore();
        if (fCloseAsked || fCloseAfterRun) return;
        fCloseAsked = true;
        FDialogs.Ask(this, "A conversion is running. Stop it and close the window?", [this](bool Yes) {
            fCloseAsked = false;
            if (!Yes) return;
            if (fRunning) {
                fCloseAfterRun = true;
                Stop1Click();
            } else {
                close();
            }
        });
        return;
    }
    FormClose();
    Event->accept();
}

// ---- input files ----

void TForm3::btnRoadsAddFilesClick() { AddFilesToList(lbRoad); }
void TForm3::btnUrbanAddFilesClick() { AddFilesToList(lbUrban); }
void TForm3::btnRoadsAddFolderContentsClick() { AddFolderContents(lbRoad); }
void TForm3::btnUrbanAddFolderContentsClick() { AddFolderContents(lbUrban); }

void TForm3::AddFilesToList(QListWidget* List) {
    openDialog->setWindowTitle(List == lbRoad ? "Select ITN Road files" : "Select ITN Urban paths files");
    openDialog->setDirectory(Q(FolderExists(InputFolder) ? InputFolder : S(QDir::homePath())));
    const QStringList files = FDialogs.OpenFiles(*openDialog);
    for (const QString& file : files) List->addItem(file);
    if (!files.isEmpty()) SetInputFolder(FolderOf(S(files.first())));
    UpdateGoButton();
    if (List == lbRoad && lbRoad->count() > 0 && OutputFolder.empty()) {
        SetOutputFolder(FolderOf(S(lbRoad->item(0)->text())));
    }
}

void TForm3::AddFolderContents(QListWidget* List) {
    const QString text =
        List == lbRoad ? "Select folder with ITN Road files" : "Select folder with ITN Urban paths files";
    const QString chosen =
        FDialogs.ChooseFolder(this, text, FolderExists(InputFolder) ? Q(InputFolder) : QString(), false);
    if (chosen.isEmpty()) return;
    std::string folder = S(chosen);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    SetInputFolder(folder);
    for (const char* extension : {"gz", "gml", "xml"}) AddFilesWithExtension(List, folder, extension);
    if (List->count() > 0) {
        if (OutputFolder.empty()) SetOutputFolder(FolderOf(S(List->item(0)->text())));
        UpdateGoButton();
    }
}

// Plain, visible files of Folder whose extension is Extension (any letter case), by name.
void TForm3::AddFilesWithExtension(QListWidget* List, const std::string& Folder,
                                   const std::string& Extension) {
    const QDir dir(Q(Folder));
    const QStringList names = dir.entryList({"*." + Q(Extension)}, QDir::Files | QDir::NoDotAndDotDot,
                                            QDir::Name | QDir::IgnoreCase);
    const std::string prefix = Folder == "/" ? Folder : Folder + "/";
    for (const QString& name : names) List->addItem(Q(prefix) + name);
}

bool TForm3::eventFilter(QObject* Watched, QEvent* Event) {
    if ((Watched == lbRoad || Watched == lbUrban) && Event->type() == QEvent::KeyPress) {
        auto* list = static_cast<QListWidget*>(Watched);
        const int key = static_cast<QKeyEvent*>(Event)->key();
        lbFilesKeyDown(list, key);
        if (key == Qt::Key_Delete) return true;
    }
    return QMainWindow::eventFilter(Watched, Event);
}

void TForm3::lbFilesKeyDown(QListWidget* List, int Key) {
    // During a run the lists are read-only: the job works on their contents.
    if (Key == Qt::Key_Delete && !fRunning) DeleteSelectedFile(List);
    UpdateGoButton();
}

void TForm3::DeleteSelectedFile(QListWidget* List) {
    const int index = SelectedRow(List);
    if (index < 0) return;
    delete List->takeItem(index);
    if (List->count() > 0) List->setCurrentRow(std::min(index, List->count() - 1));
}

void TForm3::UpdateGoButton() {
    if (fRunning) return;  // "Go !" stays off until the run ends
    btnGo->setEnabled(lbRoad->count() + lbUrban->count() > 0);
}

void TForm3::SetOutputFolder(const std::string& Folder) {
    OutputFolder = Folder;
    outputFolderLabel->setText(Q(OutputFolder));
    outputFolderLabel->setToolTip(Q(OutputFolder));
}

void TForm3::SetInputFolder(const std::string& Folder) {
    std::string folder = Folder;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder.empty()) return;
    InputFolder = folder;
    LastFolder = folder;
}

void TForm3::sbSelOutputDirectoryClick() {
    const QString chosen = FDialogs.ChooseFolder(
        this, "Select folder for output", FolderExists(OutputFolder) ? Q(OutputFolder) : QString(), true);
    if (!chosen.isEmpty()) SetOutputFolder(WithSeparator(S(chosen)));
}

// ---- the run ----

void TForm3::SetRunControlsEnabled(bool Enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             btnRoadsAddFiles, btnRoadsAddFolderContents, btnUrbanAddFiles, btnUrbanAddFolderContents,
             sbSelOutputDirectory, btnGo, cbSplitLoopLinks, cbTurn, rgMaxHeightUnit, attribute2Box, attributeCBox, attribute4Box, avoidPatternBox,
             rgOutputFormat, cbSaveUnzipped}) {
        control->setEnabled(Enabled);
    }
}

// TAB output without the TAB module: say so and let the user cancel; true to go on.
bool TForm3::CheckTabLibrary() {
    if (rgOutputFormat->ItemIndex() != static_cast<int32_t>(TOutputFormat::Tab) || TGISWrite::MITAB_supported())
        return true;
    FDialogs.ShowMessage(this, QString(kTabModuleName) + " was not found - creating MIF instead");
    return !FDialogs.Confirm(this, "Do you want to cancel processing?");
}

void TForm3::btnGoClick() {
    // The job is not re-entrant and the window handles its events during a run.
    if (fRunning) return;
    fRunning = true;
    fStop = false;
    const bool goWasEnabled = btnGo->isEnabled();
    SetRunControlsEnabled(false);
    stopAction->setEnabled(true);
    RunJob();
    stopAction->setEnabled(false);
    fRunning = false;
    SetRunControlsEnabled(true);
    btnGo->setEnabled(goWasEnabled);
    if (fCloseAfterRun) {
        fCloseAfterRun = false;
        close();
    }
}

void TForm3::Stop1Click() {
    if (!fRunning || fStop) return;
    fStop = true;
    AddMessage("Stopping ...");
}

void TForm3::RunJob() {
    UrbanPathsPresent = lbUrban->count() > 0;
    if (OutputFolder.empty()) {
        FDialogs.ShowMessage(this, "Please select an output folder first.");
        return;
    }
    // A group left without a selection by the settings file takes its default item.
    for (const TJobOption& option : JobOptions()) {
        if (option.Kind != TJobOptionKind::Choice) continue;
        auto* group = findChild<TRadioGroup*>(option.WidgetName);
        if (group->ItemIndex() < 0) group->SetItemIndex(option.Default());
    }
    if (!CheckTabLibrary()) return;

    const TSettings chosen = SettingsFromControls();
    TRoadJobOptions options;
    for (const TJobOption& option : JobOptions()) option.Set(options, chosen[option.Id]);
    options.RoadFiles = ListItems(lbRoad);
    options.OutputFolder = OutputFolder;
    options.Stop = &fStop;
    const std::vector<std::string> urbanFiles = ListItems(lbUrban);

    std::vector<std::string> inputs = options.RoadFiles;
    inputs.insert(inputs.end(), urbanFiles.begin(), urbanFiles.end());
    const std::string clash =
        OutputReplacesInput(OutputFolder, options.OutputFormat, options.TurnRestrictions, inputs);
    if (!clash.empty()) {
        FDialogs.ShowError(this, Q(clash));
        return;
    }

    TConversionEvents events;
    events.UrbanStatus = [this](const std::string& Text) { UrbanStatus(Text); };
    events.UrbanItemChanged = [this](int32_t Index) { UrbanItemChanged(Index); };
    events.Road.ShowPhase = [this](const std::string& Text) { ShowPhase(Text); };
    events.Road.HidePhase = [this]() { HidePhase(); };
    events.Road.AddMessage = [this](const std::string& Line) { AddMessage(Line); };
    events.Road.Warning = [this](const std::string& Text) { AddMessage("Warning: " + Text); };
    events.Road.SelectRoadFile = [this](int32_t Index) { SelectRoadFile(Index); };
    events.Road.PrepareProgress = [this](const std::string& FileName) { PrepareProgress(FileName); };
    events.Road.XmlProgress = [this](TNativeXml&, int32_t) { XmlProgress(); };
    events.Road.KeepResponsive = [] { QApplication::processEvents(); };

    std::string error;
    {
        TWaitCursor hourglass;
        const auto start = std::chrono::steady_clock::now();
        try {
            inputPages->setCurrentWidget(tsUrbanPaths);
            RunConversionJob(options, urbanFiles, events);
            const auto elapsed = std::chrono::steady_clock::now() - start;
            AddMessage(DoneLine(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
        } catch (const EStopped& e) {
            AddMessage(e.what());  // asked for: a line in the list, no error box
        } catch (const std::bad_alloc&) {
            error = "Out of memory";
        } catch (const std::exception& e) {
            error = e.what();
        } catch (...) {
            error = "The conversion failed for an unknown reason";
        }
        inputPages->setCurrentWidget(tsRoads);
    }
    if (!error.empty()) FDialogs.ShowError(this, Q(error));
}

void TForm3::AddMessage(const std::string& Line) { messageList->appendPlainText(Q(Line)); }

void TForm3::UrbanStatus(const std::string& Text) {
    phaseLabel->setText(Q(Text));
    QApplication::processEvents();
}

void TForm3::UrbanItemChanged(int32_t Index) {
    lbUrban->setCurrentRow(Index);
    AddMessage(FileCountLine(Index, static_cast<size_t>(lbUrban->count())));
    QApplication::processEvents();
}

void TForm3::ShowPhase(const std::string& Text) {
    inputPages->setCurrentWidget(tsRoads);  // the urban files are done when a road phase starts
    phaseLabel->setText(Q(Text));
    phaseLabel->setVisible(true);
}

void TForm3::HidePhase() { phaseLabel->setVisible(false); }

void TForm3::SelectRoadFile(int32_t Index) { lbRoad->setCurrentRow(Index); }

void TForm3::PrepareProgress(const std::string& FileName) {
    std::error_code ec;
    const uintmax_t size = fs::file_size(FileName, ec);
    const uintmax_t skip = ec ? 0 : size / 1000;
    ProgressSkipValue = static_cast<int32_t>(std::min<uintmax_t>(skip, INT32_MAX));
    ProgressSkipCounter = ProgressSkipValue;
}

// Handles the window's events once every ProgressSkipValue progress events; a file below
// 1000 bytes (skip value 0) is read without.
void TForm3::XmlProgress() {
    const int32_t before = ProgressSkipCounter;
    ProgressSkipCounter = static_cast<int32_t>(static_cast<uint32_t>(before) - 1u);
    if (before == 1) {
        ProgressSkipCounter = ProgressSkipValue;
        QApplication::processEvents();
    }
}

// ---- menu ----

void TForm3::Checkwebsiteforupdates1Click() { CheckForUpdates(kProductKey, kVersionText, FDialogs, this); }

void TForm3::About1Click() { FDialogs.ShowMessage(this, QString("This is version ") + kVersionText); }

void TForm3::Help1Click() {
    const std::string document = HelpDocumentPath(ProgramFolder);
    if (document.empty()) {
        FDialogs.ShowError(this, Q("The help file was not found: neither " + ProgramFolder + kHelpFileName +
                                   " nor the installed manual exists."));
        return;
    }
    if (!FDialogs.OpenUrl(QUrl::fromLocalFile(Q(document)))) {
        FDialogs.ShowError(this, Q("Cannot open the help file " + document));
    }
}

void TForm3::Exit1Click() { close(); }

}  // namespace itn
