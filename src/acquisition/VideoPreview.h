#pragma once

#include "VideoEngine.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <memory>

namespace endomira {

// The live image of a camera inside its host panel. The engine's thread leaves each new picture
// in the shared feed; this control collects it on the user-interface thread at display rate.
// A simulated device's picture is labelled "SIMULAÇÃO".
class TVideoPreview : public QWidget {
    Q_OBJECT

public:
    TVideoPreview(QWidget* host, std::shared_ptr<TPreviewFeed> feed);

    void SetFillHost(bool fill);
    void SetZoom(int percent);
    void SetDisplay(bool autoSize, TDisplayAspect aspect, int videoWidth, int videoHeight);

    // The picture last collected from the feed (what the control shows).
    const QImage& Shown() const { return Shown_; }
    bool ShowsSimulation() const { return Simulated_; }

    // Collects a newer picture from the feed now; true when there was one.
    bool Poll();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QRect TargetRect() const;

    std::shared_ptr<TPreviewFeed> Feed_;
    QTimer Timer_;
    quint64 Seen_ = 0;
    QImage Shown_;
    bool Simulated_ = false;
    bool FillHost_ = true;
    int Zoom_ = 100;
    bool AutoSize_ = false;
    TDisplayAspect Aspect_ = TDisplayAspect::NoResize;
    QSize VideoSize_{640, 480};
};

// Makes every capture engine of the program show its preview as a TVideoPreview in its host
// panel. Called by the windows that show cameras; calling it again changes nothing.
void UsePreviewWidgets();

} // namespace endomira
