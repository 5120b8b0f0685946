#pragma once

#include "CfgCamCapValues.h"

#include <QWidget>
#include <array>

class QLineEdit;
class QPushButton;
class QTabWidget;

namespace endomira {

// "Configuração": the installation's settings (camera channels, capture limit and automatic
// capture references, clinic identification), read and written through the program's settings
// object. Pending changes must be applied ("Aplicar") or cancelled before "OK" closes it.
class TfrmCfgCamCap final : public QWidget {
    Q_OBJECT

public:
    explicit TfrmCfgCamCap(QWidget* parent = nullptr);
    ~TfrmCfgCamCap() override;

    // Marked open from its show until its close.
    bool IsOpen() const { return IsOpen_; }

    void LoadDialogValues();
    // False when a field did not convert: the message was shown and the field has the focus.
    bool SaveDialogValues();
    bool HasChanges() const;

    void btnOKClick();
    void btnApplyClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TCfgTexts EditTexts() const;
    void EditChanged(TCfgField field);
    void SetButtons(TCfgButtons buttons);
    // "Aplicar": asks, then saves (Yes) or reloads the stored values (No); false when a field
    // did not convert and the dialog must stay on it.
    bool ApplyChanges();
    // Asks about pending changes; false when they could not be saved and the dialog must stay.
    bool ResolvePendingChanges();
    void CloseDialog();
    QLineEdit* Edit(TCfgField field) const { return Edits_[static_cast<std::size_t>(field)]; }

    std::array<QLineEdit*, kCfgFieldCount> Edits_{};
    QTabWidget* Pages_ = nullptr;
    QPushButton* BtnOK_ = nullptr;
    QPushButton* BtnApply_ = nullptr;
    QPushButton* BtnCancel_ = nullptr;
    bool IsOpen_ = false;
    bool Loading_ = false;
    // Set while a button closes the dialog, whose question has already been asked.
    bool ClosingByButton_ = false;
};

} // namespace endomira
