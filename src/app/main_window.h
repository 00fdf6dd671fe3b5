// The main window: input file lists, output folder, output format and options, the "Go !"
// button that runs the conversion on the window's thread, and the message list.
#pragma once

#include <QMainWindow>
#include <atomic>
#include <cstdint>
#include <string>

class QAction;
class QCheckBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace itn {

class IDialogs;
class TPathLabel;
class TRadioGroup;
struct TSettings;

class TForm3 : public QMainWindow {
    Q_OBJECT
public:
    // Loads the settings into the controls; Dialogs serves every dialog and message box.
    explicit TForm3(IDialogs& Dialogs, QWidget* Parent = nullptr);
    ~TForm3() override;

    bool Running() const { return fRunning; }
    const std::string& OutputFolderPath() const { return OutputFolder; }
    const std::string& SettingsFolderName() const { return SettingsFolder; }

    // Handlers, named as the controls they serve.
    void btnRoadsAddFilesClick();
    void btnUrbanAddFilesClick();
    void btnRoadsAddFolderContentsClick();
    void btnUrbanAddFolderContentsClick();
    void sbSelOutputDirectoryClick();
    void btnGoClick();
    void Checkwebsiteforupdates1Click();
    void About1Click();
    void Help1Click();
    void Exit1Click();
    // Stops the running conversion at its next feature (the menu's Stop, and Esc).
    void Stop1Click();

protected:
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void CreateControls();
    void FormCreate();
    void FormClose();
    TSettings SettingsFromControls() const;
    void SettingsToControls(const TSettings& Settings);

    void AddFilesToList(QListWidget* List);
    void AddFolderContents(QListWidget* List);
    void AddFilesWithExtension(QListWidget* List, const std::string& Folder, const std::string& Extension);
    void DeleteSelectedFile(QListWidget* List);
    void lbFilesKeyDown(QListWidget* List, int Key);
    void UpdateGoButton();
    void SetOutputFolder(const std::string& Folder);
    void SetInputFolder(const std::string& Folder);
    void CreateShortcuts();
    void SetRunControlsEnabled(bool Enabled);
    bool CheckTabLibrary();
    void RunJob();
    void AddMessage(const std::string& Line);

    // Job callbacks.
    void UrbanStatus(const std::string& Text);
    void UrbanItemChanged(int32_t Index);
    void ShowPhase(const std::string& Text);
    void HidePhase();
    void SelectRoadFile(int32_t Index);
    void PrepareProgress(const std::string& FileName);
    void XmlProgress();

    IDialogs& FDialogs;

    std::string ProgramFolder;
    std::string SettingsFolder;
    std::string InputFolder;
    std::string LastFolder;  // the input folder the user chose, kept in the settings file
    std::string OutputFolder;
    bool UrbanPathsPresent = false;
    bool fRunning = false;
    std::atomic<bool> fStop{false};  // the running job checks it at every feature
    bool fCloseAfterRun = false;     // the user chose to stop the run and close the window
    bool fCloseAsked = false;        // the question is on screen
    int32_t ProgressSkipValue = 0;
    int32_t ProgressSkipCounter = 0;

    QTabWidget* inputPages = nullptr;
    QWidget* tsRoads = nullptr;
    QWidget* tsUrbanPaths = nullptr;
    QListWidget* lbRoad = nullptr;
    QPushButton* btnRoadsAddFiles = nullptr;
    QPushButton* btnRoadsAddFolderContents = nullptr;
    QListWidget* lbUrban = nullptr;
    QPushButton* btnUrbanAddFiles = nullptr;
    QPushButton* btnUrbanAddFolderContents = nullptr;
    QToolButton* sbSelOutputDirectory = nullptr;
    TPathLabel* outputFolderLabel = nullptr;
    QCheckBox* cbSplitLoopLinks = nullptr;
    QCheckBox* cbTurn = nullptr;
    TRadioGroup* rgMaxHeightUnit = nullptr;
    QGroupBox* attributesGroup = nullptr;
    QCheckBox* attribute2Box = nullptr;
    QCheckBox* attributeCBox = nullptr;
    QCheckBox* attribute4Box = nullptr;
    QCheckBox* avoidPatternBox = nullptr;
    TRadioGroup* rgOutputFormat = nullptr;
    QPushButton* btnGo = nullptr;
    QCheckBox* cbSaveUnzipped = nullptr;
    QLabel* phaseLabel = nullptr;
    QPlainTextEdit* messageList = nullptr;
    QMenuBar* mainMenu = nullptr;
    QAction* stopAction = nullptr;
    QFileDialog* openDialog = nullptr;
};

}  // namespace itn
