#pragma once

namespace endomira {

class TDataModule1;
class TfrmMain;

// Gives the main window's commands the windows that work on the data module: the doctor and
// patient managers (the patient manager's "Novo Exame" goes on to the main window's own).
void ConnectRecordWindows(TfrmMain& main, TDataModule1& dataModule);

} // namespace endomira
