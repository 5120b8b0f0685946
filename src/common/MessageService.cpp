#include "MessageService.h"

#include <atomic>
#include <cstdio>

namespace endomira {

namespace {

class TStderrMessageService final : public IMessageService {
public:
    TMsgButton Show(const TMessage& message) override {
        QString text = message.Text;
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(message.Title), qUtf8Printable(text));
        if (message.Buttons & mbOK) {
            return mbOK;
        }
        if (message.Buttons & mbNo) {
            return mbNo;
        }
        if (message.Buttons & mbCancel) {
            return mbCancel;
        }
        return mbNone;
    }
};

TStderrMessageService gFallback;
std::atomic<IMessageService*> gService{nullptr};

} // namespace

QString TitleOf(TMsgKind kind, const QString& plainTitle) {
    switch (kind) {
    case TMsgKind::Error:
        return QStringLiteral("Error");
    case TMsgKind::Information:
        return QStringLiteral("Information");
    case TMsgKind::Confirmation:
        return QStringLiteral("Confirm");
    case TMsgKind::Warning:
        return QStringLiteral("Warning");
    case TMsgKind::Plain:
        break;
    }
    return plainTitle;
}

IMessageService& Messages() {
    IMessageService* service = gService.load();
    return service ? *service : gFallback;
}

IMessageService* SetMessageService(IMessageService* service) {
    return gService.exchange(service);
}

TMsgButton ShowMessageBox(const QString& text, const QString& title, TMsgButtons buttons) {
    return Messages().Show(TMessage{TMsgKind::Plain, title, text, buttons});
}

TMsgButton ShowMessageDlg(const QString& text, TMsgKind kind, TMsgButtons buttons) {
    return Messages().Show(TMessage{kind, TitleOf(kind, QString()), text, buttons});
}

TMessageRecorder::TMessageRecorder() : Previous_(SetMessageService(this)) {}

TMessageRecorder::~TMessageRecorder() {
    SetMessageService(Previous_);
}

TMsgButton TMessageRecorder::Show(const TMessage& message) {
    Shown_.push_back(message);
    if (!Answers_.empty()) {
        const TMsgButton answer = Answers_.front();
        Answers_.pop_front();
        return answer;
    }
    for (const TMsgButton b : {mbOK, mbYes, mbNo, mbCancel}) {
        if (message.Buttons & b) {
            return b;
        }
    }
    return mbNone;
}

} // namespace endomira
