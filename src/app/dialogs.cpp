#include "app/dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "app/app_info.h"

namespace itn {

QStringList TQtDialogs::OpenFiles(QFileDialog& Dialog) {
    if (Dialog.exec() != QDialog::Accepted) return {};
    return Dialog.selectedFiles();
}

QString TQtDialogs::ChooseFolder(QWidget* Parent, const QString& Text, const QString& StartFolder,
                                 bool AllowNewFolder) {
    QFileDialog::Options options = QFileDialog::ShowDirsOnly;
    if (!AllowNewFolder) options |= QFileDialog::ReadOnly;
    return QFileDialog::getExistingDirectory(Parent, Text, StartFolder, options);
}

void TQtDialogs::ShowMessage(QWidget* Parent, const QString& Text) {
    QMessageBox::information(Parent, kApplicationTitle, Text);
}

bool TQtDialogs::Confirm(QWidget* Parent, const QString& Text) {
    return QMessageBox::question(Parent, QStringLiteral("Confirm"), Text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

void TQtDialogs::Ask(QWidget* Parent, const QString& Text, std::function<void(bool Yes)> Answer) {
    // open() instead of exec(): no event loop of its own, so whatever runs goes on meanwhile.
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Confirm"), Text,
                                QMessageBox::Yes | QMessageBox::No, Parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box,
                     [Answer = std::move(Answer)](int Result) { Answer(Result == QMessageBox::Yes); });
    box->open();
}

void TQtDialogs::ShowError(QWidget* Parent, const QString& Text) {
    QMessageBox::critical(Parent, kApplicationTitle, Text);
}

bool TQtDialogs::OpenUrl(const QUrl& Url) { return QDesktopServices::openUrl(Url); }

}  // namespace itn
