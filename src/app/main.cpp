// itn2brinlow: the desktop converter window.
#include <QApplication>
#include <csignal>

#include "app/app_info.h"
#include "app/dialogs.h"
#include "app/main_window.h"
#include "gis/gis_writer.h"

int main(int argc, char** argv) {
    // A file size limit then shows as a write error instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(itn::kProductKey);
    QApplication::setApplicationVersion(itn::kVersionText);
    QApplication::setDesktopFileName(itn::kProductKey);
    // The TAB module is looked for once, at start-up.
    itn::TGISWrite::MITAB_supported();

    itn::TQtDialogs dialogs;
    itn::TForm3 window(dialogs);
    window.show();
    return app.exec();
}
