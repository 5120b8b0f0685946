#pragma once

#include <QString>
#include <deque>
#include <vector>

namespace endomira {

// Every modal message of the program goes through this service. The application installs the
// box-showing implementation; tests install a recorder.

enum class TMsgKind {
    Plain, // the program's own box: its title is given ("AVISO", "Aviso", "ERRO", "Erro")
    Error, // typed boxes carry the toolkit's own titles
    Information,
    Confirmation,
    Warning,
};

enum TMsgButton : int {
    mbNone = 0,
    mbOK = 1,
    mbYes = 2,
    mbNo = 4,
    mbCancel = 8,
};
using TMsgButtons = int;

struct TMessage {
    TMsgKind Kind = TMsgKind::Plain;
    QString Title;
    QString Text; // line breaks are single carriage returns
    TMsgButtons Buttons = mbOK;
};

// The title a typed box carries ("Error", "Information", "Confirm", "Warning"); the given one
// for a plain box.
QString TitleOf(TMsgKind kind, const QString& plainTitle);

class IMessageService {
public:
    virtual ~IMessageService() = default;
    // Shows the box modally and returns the button the operator chose.
    virtual TMsgButton Show(const TMessage& message) = 0;
};

// The installed service. Without one, messages go to standard error and the safest button is
// answered (OK, else No, else Cancel).
IMessageService& Messages();
// Installs a service (not owned); nullptr goes back to the standard-error fallback. Returns the
// previous one.
IMessageService* SetMessageService(IMessageService* service);

// The program's own box with its title.
TMsgButton ShowMessageBox(const QString& text, const QString& title, TMsgButtons buttons = mbOK);
// Typed boxes.
TMsgButton ShowMessageDlg(const QString& text, TMsgKind kind, TMsgButtons buttons = mbOK);

// Records every box and answers from a script. Installs itself for its lifetime.
class TMessageRecorder final : public IMessageService {
public:
    TMessageRecorder();
    ~TMessageRecorder() override;
    TMessageRecorder(const TMessageRecorder&) = delete;
    TMessageRecorder& operator=(const TMessageRecorder&) = delete;

    TMsgButton Show(const TMessage& message) override;

    // Answers given in order; when the script is empty the recorder answers OK if offered,
    // else Yes, else the first button offered.
    void QueueAnswer(TMsgButton answer) { Answers_.push_back(answer); }

    const std::vector<TMessage>& Shown() const { return Shown_; }
    void Clear() { Shown_.clear(); }

private:
    std::vector<TMessage> Shown_;
    std::deque<TMsgButton> Answers_;
    IMessageService* Previous_ = nullptr;
};

} // namespace endomira
