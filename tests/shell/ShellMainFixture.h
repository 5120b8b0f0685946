#pragma once

// The pieces a window test builds around the main window, torn down in the reverse order:
// a throwaway program folder, the message recorder, the data module and its shell database,
// and the main window itself. Test classes inherit it beside QObject and call
// OpenMainFixture() from init() and CloseMainFixture() from cleanup().

#include "DataModuleShellDatabase.h"
#include "MessageService.h"
#include "RealText.h"
#include "ShellTestFolder.h"
#include "UBIniSettings.h"
#include "UDataModule1.h"
#include "UfrmMain.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <memory>

namespace endomira::shelltest {

// Saves a picture of `widget` as "<name>.png" in the folder named by ENDOMIRA_SHOT_DIR, when set.
inline void Shot(QWidget* widget, const QString& name) {
    const QString dir = qEnvironmentVariable("ENDOMIRA_SHOT_DIR");
    if (!dir.isEmpty()) {
        widget->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
    }
}

// Lets the windows closed so far be deleted.
inline void ProcessDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class TMainWindowFixture {
protected:
    std::unique_ptr<TProgramFolderFixture> Folder;
    std::unique_ptr<TMessageRecorder> Boxes;
    std::unique_ptr<TDataModule1> DataModule;
    std::unique_ptr<TDataModuleShellDatabase> Database;
    std::unique_ptr<TfrmMain> Main;

    // False when the program folder could not be made.
    bool OpenMainFixture() {
        Folder = std::make_unique<TProgramFolderFixture>();
        if (!Folder->IsValid()) {
            return false;
        }
        Boxes = std::make_unique<TMessageRecorder>();
        DataModule = std::make_unique<TDataModule1>();
        Database = std::make_unique<TDataModuleShellDatabase>(*DataModule);
        return true;
    }
    void CloseMainFixture() {
        Main.reset();
        ProcessDeletes();
        Database.reset();
        DataModule.reset();
        Boxes.reset();
        Folder.reset();
        SetProgramSettings(nullptr);
        SetDecimalSeparator(QChar(u'.'));
    }
};

} // namespace endomira::shelltest
