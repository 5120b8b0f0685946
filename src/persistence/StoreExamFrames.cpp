// The exam store reading the examination's frame buffer.

#include "UBDEndomira.h"
#include "UBFrameBuffer.h"

namespace endomira {

bool TBDEndomira::StoreExam(TExame& exam, const TBFrameBuffer& frames) {
    const std::vector<TExamFrameImages> images = ExamFrameImages(frames.BGetFrames());
    return StoreExam(exam, std::span<const TExamFrameImages>(images));
}

} // namespace endomira
