// Dialogs for the window tests: scripted answers, and a record of every dialog and box shown.
#pragma once

#include <QFileDialog>
#include <QList>
#include <QStringList>
#include <QUrl>
#include <functional>

#include "app/dialogs.h"

class TFakeDialogs : public itn::IDialogs {
public:
    struct TFileDialogCall {
        QString Title;
        QString Folder;
        QStringList Filters;
        QString SelectedFilter;
        QFileDialog::FileMode Mode;
    };
    struct TFolderDialogCall {
        QString Text;
        QString StartFolder;
        bool AllowNewFolder;
    };

    // Answers, taken front first; an empty queue cancels the dialog or answers No.
    QList<QStringList> FileAnswers;
    QStringList FolderAnswers;
    QList<bool> ConfirmAnswers;
    bool OpenUrlSucceeds = true;
    // Called whenever a message, question or error box is shown.
    std::function<void()> OnBox;

    QList<TFileDialogCall> FileDialogs;
    QList<TFolderDialogCall> FolderDialogs;
    QStringList Boxes;  // "message: ...", "confirm: ...", "ask: ...", "error: ..." in the order shown
    // Answers of the questions asked without waiting, for the test to call.
    QList<std::function<void(bool)>> PendingAnswers;
    QList<QUrl> OpenedUrls;

    QStringList OpenFiles(QFileDialog& Dialog) override {
        FileDialogs.append({Dialog.windowTitle(), Dialog.directory().absolutePath(), Dialog.nameFilters(),
                            Dialog.selectedNameFilter(), Dialog.fileMode()});
        return FileAnswers.isEmpty() ? QStringList() : FileAnswers.takeFirst();
    }
    QString ChooseFolder(QWidget*, const QString& Text, const QString& StartFolder,
                         bool AllowNewFolder) override {
        FolderDialogs.append({Text, StartFolder, AllowNewFolder});
        return FolderAnswers.isEmpty() ? QString() : FolderAnswers.takeFirst();
    }
    void ShowMessage(QWidget*, const QString& Text) override { Box("message: " + Text); }
    bool Confirm(QWidget*, const QString& Text) override {
        Box("confirm: " + Text);
        return !ConfirmAnswers.isEmpty() && ConfirmAnswers.takeFirst();
    }
    void Ask(QWidget*, const QString& Text, std::function<void(bool)> Answer) override {
        PendingAnswers.append(std::move(Answer));
        Box("ask: " + Text);
    }
    void ShowError(QWidget*, const QString& Text) override { Box("error: " + Text); }
    bool OpenUrl(const QUrl& Url) override {
        OpenedUrls.append(Url);
        return OpenUrlSucceeds;
    }

private:
    void Box(const QString& Line) {
        Boxes.append(Line);
        if (OnBox) OnBox();
    }
};
