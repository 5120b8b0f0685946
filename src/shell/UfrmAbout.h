#pragma once

#include <QDialog>

class QLabel;

namespace endomira {

class IShellDatabase;

// "Sobre": the program's, the instrument's and the database's versions.
class TfrmAbout final : public QDialog {
    Q_OBJECT

public:
    // The database's version is read from the given data module when there is one.
    explicit TfrmAbout(IShellDatabase* database, QWidget* parent = nullptr);

    void done(int result) override;
};

} // namespace endomira
