#include "ShellWindows.h"

#include "UfrmDoctorManager.h"
#include "UfrmMain.h"
#include "UfrmPatientManager.h"

namespace endomira {

void ConnectRecordWindows(TfrmMain& main, TDataModule1& dataModule) {
    main.SetChildFactory(TChildKind::DoctorManager, [&dataModule](TfrmMain&) -> QWidget* {
        return new TfrmDoctorManager(dataModule);
    });
    main.SetChildFactory(TChildKind::PatientManager, [&dataModule](TfrmMain& frmMain) -> QWidget* {
        auto* manager = new TfrmPatientManager(dataModule);
        manager->SetNewExamCommand([&frmMain] { frmMain.CutItemClick(); });
        return manager;
    });
}

} // namespace endomira
