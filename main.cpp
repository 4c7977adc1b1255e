#include "dialogs/DebugWindow.h"
#include "dialogs/MonitorDialog.h"
#include "editor/GlidexWindow.h"
#include "platform/EventPump.h"
#include "platform/ExceptionReport.h"
#include "platform/Fonts.h"
#include "platform/Pointer.h"
#include "platform/QtPrompts.h"
#include "setup/SetupWindow.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    RegisterFontSubstitutes();

    QtPrompts prompts;
    QtPointer pointer;
    QtEventPump pump;
    SetExceptionReporter([&prompts](const QString& message) {
        prompts.messageBox(nullptr, message, QStringLiteral("Error"), MsgButtons::Ok);
    });
    const QString settingsPath = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("TORVIK.INI"));

    // The windows in their fixed order; all live until the program ends, and
    // only the setup window is shown. Closing it ends the program.
    TfrmSetup frmSetup(prompts, pump, settingsPath);
    TfrmGlidex frmGlidex(prompts, pointer);
    ConnectLayoutEditor(frmSetup, frmGlidex);
    TfrmMonitor frmMonitor;
    frmGlidex.MonitorLayoutDialog = [&frmMonitor] {
        frmMonitor.Load();
        return frmMonitor.exec() == mrYes;
    };
    TfrmDebug frmDebug;

    frmSetup.show();
    return QApplication::exec();
}
