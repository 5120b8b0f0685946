#include "UBVideoGrabber.h"

#include "MessageService.h"

#include <exception>

namespace endomira {

TVGrabber::TVGrabber(QObject* Host, std::uint16_t Width, std::uint16_t Height, std::uint16_t Top,
                     std::uint16_t Left, int /*ChannelNumber*/, int PreviewZoom,
                     bool FlipHorizontal, bool FlipVertical, const TVideoEngineFactory& factory)
    : Width_(Width), Height_(Height), Top_(Top), Left_(Left), Host_(Host) {
    Engine_ = factory ? factory(Host) : CreateVideoEngine(Host);
    Engine_->SetVideoSize(Width_, Height_, true);
    Engine_->PlacePreview(Left_, Top_, Host_, true);
    Engine_->SetPreviewZoom(PreviewZoom);
    Engine_->SetFrameGrabberRGB();
    // Each flip is switched off first and then set, so the engine starts from a known state.
    Engine_->SetFlipVertical(false);
    Engine_->SetFlipVertical(FlipVertical);
    Engine_->SetFlipHorizontal(false);
    Engine_->SetFlipHorizontal(FlipHorizontal);
    Engine_->SetOverlaysKeepAspect(true);
    Engine_->SetDisplayAutoSize(false);
    Engine_->SetDisplayAspect(TDisplayAspect::NoResize);
}

TVGrabber::~TVGrabber() {
    // The engine stops its thread before it goes; the host panel stays.
    Engine_.reset();
}

void TVGrabber::OpenChannel(int ChannelNumber) {
    Engine_->SetFrameGrabberRGB();
    Engine_->SelectDevice(ChannelNumber);
    Engine_->StartPreview();
}

void TVGrabber::StopChannel() {
    Engine_->Stop();
}

void TVGrabber::PausePreview() {
    Engine_->PausePreview();
}

void TVGrabber::ResumePreview() {
    Engine_->ResumePreview();
}

void TVGrabber::SetPreviewVisible(bool visible) {
    Engine_->SetPreviewVisible(visible);
}

bool TVGrabber::IsSettingAvailable(int index) const {
    return Engine_->GetCameraSetting(index).Available;
}

int TVGrabber::GetBrightnessMin() const {
    return Engine_->GetCameraSetting(kSettingBrightness).Min;
}
int TVGrabber::GetBrightnessMax() const {
    return Engine_->GetCameraSetting(kSettingBrightness).Max;
}
int TVGrabber::GetBrightnessStep() const {
    return Engine_->GetCameraSetting(kSettingBrightness).Step;
}
int TVGrabber::GetContrastMin() const {
    return Engine_->GetCameraSetting(kSettingContrast).Min;
}
int TVGrabber::GetContrastMax() const {
    return Engine_->GetCameraSetting(kSettingContrast).Max;
}
int TVGrabber::GetContrastStep() const {
    return Engine_->GetCameraSetting(kSettingContrast).Step;
}
int TVGrabber::GetGainMin() const {
    return Engine_->GetCameraSetting(kSettingGain).Min;
}
int TVGrabber::GetGainMax() const {
    return Engine_->GetCameraSetting(kSettingGain).Max;
}
int TVGrabber::GetGainStep() const {
    return Engine_->GetCameraSetting(kSettingGain).Step;
}

void TVGrabber::ApplyCameraSetting(int barTag, int value, bool automatic, bool useDefault) {
    bool failed = false;
    try {
        const int flags = automatic ? kSettingFlagAuto : kSettingFlagManual;
        if (useDefault) {
            value = Engine_->GetCameraSetting(barTag).Default;
        }
        failed = Engine_->SetCameraSetting(barTag, value, flags) == TSettingResult::Failed;
    } catch (const std::exception&) {
        failed = true;
    }
    if (failed) {
        ShowMessageBox(QStringLiteral("Parâmetros inválidos de controle de câmera!"),
                       QStringLiteral("ERRO"), mbOK);
    }
}

} // namespace endomira
