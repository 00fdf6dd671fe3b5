// The dialogs and outside actions of the window behind one interface, so that tests can
// script the user's choices and answers.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QFileDialog;
class QUrl;
class QWidget;

namespace itn {

class IDialogs {
public:
    virtual ~IDialogs() = default;

    // Shows the prepared file-open dialog; the chosen files in the dialog's order, or none.
    virtual QStringList OpenFiles(QFileDialog& Dialog) = 0;
    // A folder-selection dialog; the chosen folder, or empty when cancelled. StartFolder may
    // be empty. AllowNewFolder offers making a new folder.
    virtual QString ChooseFolder(QWidget* Parent, const QString& Text, const QString& StartFolder,
                                 bool AllowNewFolder) = 0;
    virtual void ShowMessage(QWidget* Parent, const QString& Text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool Confirm(QWidget* Parent, const QString& Text) = 0;
    // A Yes/No question that returns at once; Answer is called with true for Yes when the user
    // answers. For questions during a run, which must go on while the box is shown.
    virtual void Ask(QWidget* Parent, const QString& Text, std::function<void(bool Yes)> Answer) = 0;
    virtual void ShowError(QWidget* Parent, const QString& Text) = 0;
    // Opens a web page or document with the desktop's handler; false when that failed.
    virtual bool OpenUrl(const QUrl& Url) = 0;
};

// The real dialogs: Qt's file dialogs and message boxes, QDesktopServices.
class TQtDialogs : public IDialogs {
public:
    QStringList OpenFiles(QFileDialog& Dialog) override;
    QString ChooseFolder(QWidget* Parent, const QString& Text, const QString& StartFolder,
                         bool AllowNewFolder) override;
    void ShowMessage(QWidget* Parent, const QString& Text) override;
    bool Confirm(QWidget* Parent, const QString& Text) override;
    void Ask(QWidget* Parent, const QString& Text, std::function<void(bool Yes)> Answer) override;
    void ShowError(QWidget* Parent, const QString& Text) override;
    bool OpenUrl(const QUrl& Url) override;
};

}  // namespace itn
