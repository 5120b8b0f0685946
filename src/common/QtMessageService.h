#pragma once

#include "MessageService.h"

namespace endomira {

// Shows the program's messages as modal message boxes.
class TQtMessageService final : public IMessageService {
public:
    TMsgButton Show(const TMessage& message) override;
};

} // namespace endomira
