#pragma once

#include "ShellDatabase.h"

namespace endomira {

class TDataModule1;

// The shell's database services over the program's data module.
class TDataModuleShellDatabase final : public IShellDatabase {
public:
    explicit TDataModuleShellDatabase(TDataModule1& dataModule) : DM_(dataModule) {}

    void Open(const QString& path) override;
    QString Version() override;
    void AlterPatientTable() override;

private:
    TDataModule1& DM_;
};

} // namespace endomira
