#pragma once

#include <QString>
#include <array>
#include <optional>

namespace endomira {

class TBIniSettings;

// The edits of the system configuration dialog, in the order in which the dialog compares them
// with the settings.
enum class TCfgField {
    MainCam,
    AuxCam,
    Average,
    SD,
    Tolerance,
    MaxCaptures,
    ClinicName,
    ClinicAddress,
    ClinicPhone,
};
constexpr int kCfgFieldCount = 9;

// One text per edit, indexed by TCfgField.
struct TCfgTexts {
    std::array<QString, kCfgFieldCount> Text;

    QString& operator[](TCfgField f) { return Text[static_cast<std::size_t>(f)]; }
    const QString& operator[](TCfgField f) const { return Text[static_cast<std::size_t>(f)]; }
};

// The captures limit above which a typed maximum does not by itself count as a change.
constexpr int kMaxCapturesLimit = 300;

// The stored values formatted as the dialog shows them: channels as the decimal text of a byte,
// average, SD and tolerance with "0.00" and the process's separator, the maximum as decimal
// digits, clinic data unchanged. A channel whose stored text is not a number is shown as it is
// stored, so that the dialog still opens and the operator can correct it.
TCfgTexts StoredCfgTexts(const TBIniSettings& settings);

// True when an edit differs from the stored value. The comparison is textual ("05" differs from
// "5"). A maximum whose integer value is above 300 does not count; a maximum that is not an
// integer at all counts as a change, so that it stays pending and "Aplicar" reports it instead
// of "OK" discarding it unseen.
bool HasChanges(const TCfgTexts& edits, const TCfgTexts& stored);

struct TCfgButtons {
    bool ApplyEnabled = false;
    bool OKEnabled = true;
};

// The buttons after a change of one edit: "Aplicar" exactly when something is pending and "OK"
// exactly when nothing is. A maximum whose text is not an integer leaves the buttons as they are.
TCfgButtons ButtonsAfterChange(TCfgField changed, const TCfgTexts& edits, const TCfgTexts& stored,
                               TCfgButtons current);

struct TCfgSaveFailure {
    TCfgField Field;
    QString Message;
};

// Writes the edits through the settings' setters in this order: main channel, auxiliary channel
// (bytes: a channel above 255 is stored modulo 256), average, SD, tolerance (two decimals),
// maximum (16 bits), clinic name, address, phone. A text that does not convert stops the save
// at that field; the fields before it are already written.
std::optional<TCfgSaveFailure> SaveCfgTexts(const TCfgTexts& edits, TBIniSettings& settings);

} // namespace endomira
