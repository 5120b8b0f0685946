#include "QtMessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace endomira {

TMsgButton TQtMessageService::Show(const TMessage& message) {
    QString text = message.Text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(message.Title);
    box.setText(text);
    switch (message.Kind) {
    case TMsgKind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case TMsgKind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case TMsgKind::Confirmation:
        box.setIcon(QMessageBox::Question);
        break;
    case TMsgKind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case TMsgKind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    // Typed boxes carry the toolkit's English buttons; the program's own boxes those of the
    // operator's Portuguese desktop.
    const bool typed = message.Kind != TMsgKind::Plain;
    struct Choice {
        TMsgButton Button;
        QString Caption;
        QMessageBox::ButtonRole Role;
    };
    const Choice choices[] = {
        {mbYes, typed ? QStringLiteral("&Yes") : QStringLiteral("&Sim"), QMessageBox::YesRole},
        {mbNo, typed ? QStringLiteral("&No") : QStringLiteral("&Não"), QMessageBox::NoRole},
        {mbOK, QStringLiteral("OK"), QMessageBox::AcceptRole},
        {mbCancel, typed ? QStringLiteral("Cancel") : QStringLiteral("Cancelar"),
         QMessageBox::RejectRole},
    };
    TMsgButton escapeAnswer = mbNone;
    std::vector<std::pair<QAbstractButton*, TMsgButton>> added;
    for (const Choice& choice : choices) {
        if (message.Buttons & choice.Button) {
            QPushButton* button = box.addButton(choice.Caption, choice.Role);
            added.emplace_back(button, choice.Button);
            if (escapeAnswer == mbNone || choice.Button == mbNo || choice.Button == mbCancel) {
                escapeAnswer = choice.Button;
            }
        }
    }
    if (added.empty()) {
        added.emplace_back(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole), mbOK);
        escapeAnswer = mbOK;
    }
    box.setDefaultButton(static_cast<QPushButton*>(added.front().first));
    box.exec();
    for (const auto& [button, answer] : added) {
        if (box.clickedButton() == button) {
            return answer;
        }
    }
    return escapeAnswer;
}

} // namespace endomira
