#include "VideoPreview.h"

#include <QEvent>
#include <QPainter>
#include <QPointer>

namespace endomira {

namespace {

class TWidgetPreviewSurface final : public IPreviewSurface {
public:
    TWidgetPreviewSurface(QWidget* host, std::shared_ptr<TPreviewFeed> feed)
        : Preview_(new TVideoPreview(host, std::move(feed))) {
        Preview_->setObjectName(QStringLiteral("VideoPreview"));
        Preview_->show();
    }
    ~TWidgetPreviewSurface() override {
        // The control goes with its engine; the host panel stays. (The host may have gone
        // first and taken the control with it.)
        delete Preview_.data();
    }
    TWidgetPreviewSurface(const TWidgetPreviewSurface&) = delete;
    TWidgetPreviewSurface& operator=(const TWidgetPreviewSurface&) = delete;

    void Place(int left, int top, bool fillHost) override {
        if (Preview_) {
            Preview_->move(left, top);
            Preview_->SetFillHost(fillHost);
        }
    }
    void SetZoom(int percent) override {
        if (Preview_) {
            Preview_->SetZoom(percent);
        }
    }
    void SetDisplay(bool autoSize, TDisplayAspect aspect, int videoWidth,
                    int videoHeight) override {
        if (Preview_) {
            Preview_->SetDisplay(autoSize, aspect, videoWidth, videoHeight);
        }
    }
    void SetVisible(bool visible) override {
        if (Preview_) {
            Preview_->setVisible(visible);
        }
    }

private:
    QPointer<TVideoPreview> Preview_;
};

} // namespace

TVideoPreview::TVideoPreview(QWidget* host, std::shared_ptr<TPreviewFeed> feed)
    : QWidget(host), Feed_(std::move(feed)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (host != nullptr) {
        host->installEventFilter(this);
        setGeometry(host->rect());
    }
    connect(&Timer_, &QTimer::timeout, this, [this] {
        if (isVisible()) {
            Poll();
        }
    });
    Timer_.start(15);
}

bool TVideoPreview::Poll() {
    QImage image;
    bool simulated = false;
    if (!Feed_->TakeIfNewer(Seen_, image, simulated)) {
        return false;
    }
    Shown_ = std::move(image);
    Simulated_ = simulated;
    update();
    return true;
}

void TVideoPreview::SetFillHost(bool fill) {
    FillHost_ = fill;
    if (fill && parentWidget() != nullptr) {
        setGeometry(parentWidget()->rect());
    }
}

void TVideoPreview::SetZoom(int percent) {
    Zoom_ = percent > 0 ? percent : 100;
    update();
}

void TVideoPreview::SetDisplay(bool autoSize, TDisplayAspect aspect, int videoWidth,
                               int videoHeight) {
    AutoSize_ = autoSize;
    Aspect_ = aspect;
    VideoSize_ = QSize(videoWidth, videoHeight);
    if (AutoSize_) {
        resize(VideoSize_ * Zoom_ / 100);
    }
    update();
}

bool TVideoPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && FillHost_) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

QRect TVideoPreview::TargetRect() const {
    const QSize video = Shown_.isNull() ? VideoSize_ : Shown_.size();
    switch (Aspect_) {
    case TDisplayAspect::Stretch:
        return rect();
    case TDisplayAspect::Box: {
        const QSize fitted = video.scaled(size(), Qt::KeepAspectRatio);
        return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                     fitted);
    }
    case TDisplayAspect::PanScan: {
        const QSize filled = video.scaled(size(), Qt::KeepAspectRatioByExpanding);
        return QRect(QPoint((width() - filled.width()) / 2, (height() - filled.height()) / 2),
                     filled);
    }
    case TDisplayAspect::NoResize:
    default:
        // At the plain size from the top-left corner, where a captured frame shown in the same
        // panel lies too.
        return QRect(QPoint(0, 0), video * Zoom_ / 100);
    }
}

void TVideoPreview::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (Shown_.isNull()) {
        return;
    }
    painter.drawImage(TargetRect(), Shown_);
    if (Simulated_) {
        QFont font = painter.font();
        font.setBold(true);
        font.setPointSize(12);
        painter.setFont(font);
        const QString text = QStringLiteral("SIMULAÇÃO");
        const QRect box =
            painter.fontMetrics().boundingRect(text).adjusted(-6, -3, 6, 3).translated(16, 30);
        painter.fillRect(box, QColor(0, 0, 0, 160));
        painter.setPen(QColor(255, 220, 0));
        painter.drawText(box, Qt::AlignCenter, text);
    }
}

void UsePreviewWidgets() {
    if (PreviewSurfaceFactory()) {
        return;
    }
    SetPreviewSurfaceFactory(
        [](QObject* host, std::shared_ptr<TPreviewFeed> feed) -> std::unique_ptr<IPreviewSurface> {
            auto* panel = qobject_cast<QWidget*>(host);
            if (panel == nullptr) {
                return nullptr;
            }
            return std::make_unique<TWidgetPreviewSurface>(panel, std::move(feed));
        });
}

} // namespace endomira
