#pragma once

#include "RecordsLogic.h"

#include <QString>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace endomira {

// Building blocks shared by the patient and doctor managers' forms.

// A caption above its field, placed in a grid cell.
QLabel* AddLabelled(QGridLayout* grid, int row, int column, const QString& caption, QWidget* field,
                    int columnSpan = 1);

QLineEdit* MakeEdit(QWidget* parent, const char* name);
QLineEdit* MakeMasked(QWidget* parent, const char* name, TMaskKind kind);
// `editable`: the operator may type an entry of his own; `upperCase`: typed text is turned
// into capitals as it is typed.
QComboBox* MakeCombo(QWidget* parent, const char* name, const QStringList& items, bool editable,
                     bool upperCase = false);
// A button of the top bar.
QPushButton* MakeBarButton(QWidget* parent, const char* name, const QString& caption,
                           const QString& hint);

// The text of a combo box; empty when nothing is chosen or typed.
QString ComboText(const QComboBox* combo);
// Chooses the item equal to `text`; an editable box shows a text of its own as typed, a fixed
// list chooses nothing for a text it does not hold.
void SetComboText(QComboBox* combo, const QString& text);
// Sets a masked field from a stored text.
void SetMaskedText(QLineEdit* edit, const QString& text);

} // namespace endomira
