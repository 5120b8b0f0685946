#include "FormFields.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace endomira {

QLabel* AddLabelled(QGridLayout* grid, int row, int column, const QString& caption, QWidget* field,
                    int columnSpan) {
    auto* label = new QLabel(caption, field->parentWidget());
    label->setBuddy(field);
    grid->addWidget(label, row * 2, column, 1, columnSpan);
    grid->addWidget(field, row * 2 + 1, column, 1, columnSpan);
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QLineEdit* MakeMasked(QWidget* parent, const char* name, TMaskKind kind) {
    QLineEdit* edit = MakeEdit(parent, name);
    edit->setInputMask(InputMask(kind));
    // Room for the whole mask in the program's font, whatever the column width.
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(InputMask(kind)) + 24);
    return edit;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, const QStringList& items, bool editable,
                     bool upperCase) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(editable);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    if (editable) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->lineEdit()->clear();
        if (upperCase) {
            QLineEdit* line = combo->lineEdit();
            QObject::connect(line, &QLineEdit::textEdited, line, [line](const QString& text) {
                const QString upper = text.toUpper();
                if (upper != text) {
                    const int cursor = line->cursorPosition();
                    line->setText(upper);
                    line->setCursorPosition(cursor);
                }
            });
        }
    }
    return combo;
}

QPushButton* MakeBarButton(QWidget* parent, const char* name, const QString& caption,
                           const QString& hint) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    button->setMinimumHeight(34);
    return button;
}

QString ComboText(const QComboBox* combo) {
    if (combo->isEditable()) {
        return combo->currentText();
    }
    return combo->currentIndex() >= 0 ? combo->currentText() : QString();
}

void SetComboText(QComboBox* combo, const QString& text) {
    const int index = text.isEmpty() ? -1 : combo->findText(text, Qt::MatchFixedString);
    combo->setCurrentIndex(index);
    if (combo->isEditable()) {
        combo->setEditText(index >= 0 ? combo->itemText(index) : text);
    }
}

void SetMaskedText(QLineEdit* edit, const QString& text) {
    edit->setText(text);
}

} // namespace endomira
