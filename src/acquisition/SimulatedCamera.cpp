#include "SimulatedCamera.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <thread>

namespace endomira {

namespace {

constexpr QRgb kMarkerMagenta = 0xFF00FF;
constexpr QRgb kMarkerGreen = 0x00FF00;

// A small deterministic generator, so that the simulated eye and mosaic are the same on every
// machine and every run.
class TRandom {
public:
    explicit TRandom(std::uint64_t seed) : State_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (State_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    // Standard normal (Box-Muller).
    double Normal() {
        const double u1 = std::max(Uniform(), 1e-12);
        const double u2 = Uniform();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
    }

private:
    std::uint64_t State_;
};

unsigned char ClampByte(double v) {
    return static_cast<unsigned char>(std::clamp(std::lround(v), 0L, 255L));
}

// The picture settings as the sensor and the amplifier apply them: gain, then contrast around
// mid-grey, then the brightness offset.
double ApplyPicture(double v, const TSimulatedPicture& p) {
    const double gain = p.AutoGain ? 1.0 : p.Gain / 64.0;
    return (v * gain - 128.0) * (p.Contrast / 128.0) + 128.0 + (p.Brightness - 128.0);
}

std::vector<float> GaussianKernel(double sigma) {
    const int radius = static_cast<int>(std::ceil(3.0 * sigma));
    std::vector<float> k(static_cast<std::size_t>(2 * radius + 1));
    double sum = 0.0;
    for (int i = -radius; i <= radius; ++i) {
        const double w = std::exp(-(i * i) / (2.0 * sigma * sigma));
        k[static_cast<std::size_t>(i + radius)] = static_cast<float>(w);
        sum += w;
    }
    for (auto& w : k) {
        w = static_cast<float>(w / sum);
    }
    return k;
}

// Separable Gaussian blur with the edge pixels repeated.
void Blur(std::vector<float>& plane, int width, int height, double sigma) {
    const auto k = GaussianKernel(sigma);
    const int r = static_cast<int>(k.size() / 2);
    std::vector<float> tmp(plane.size());
    for (int y = 0; y < height; ++y) {
        const float* row = &plane[static_cast<std::size_t>(y) * width];
        float* out = &tmp[static_cast<std::size_t>(y) * width];
        for (int x = 0; x < width; ++x) {
            float s = 0.0f;
            for (int i = -r; i <= r; ++i) {
                s += k[static_cast<std::size_t>(i + r)] * row[std::clamp(x + i, 0, width - 1)];
            }
            out[x] = s;
        }
    }
    for (int y = 0; y < height; ++y) {
        float* out = &plane[static_cast<std::size_t>(y) * width];
        for (int x = 0; x < width; ++x) {
            out[x] = 0.0f;
        }
        for (int i = -r; i <= r; ++i) {
            const float w = k[static_cast<std::size_t>(i + r)];
            const float* row = &tmp[static_cast<std::size_t>(std::clamp(y + i, 0, height - 1)) *
                                    static_cast<std::size_t>(width)];
            for (int x = 0; x < width; ++x) {
                out[x] += w * row[x];
            }
        }
    }
}

} // namespace

void DrawSimulationMarker(QImage& frame) {
    if (frame.format() != QImage::Format_RGB888) {
        frame = frame.convertToFormat(QImage::Format_RGB888);
    }
    const int w = frame.width();
    const int h = frame.height();
    const int band = kSimulationMarkerWidth;
    for (int y = 0; y < h; ++y) {
        uchar* line = frame.scanLine(y);
        const bool wholeRow = y < band || y >= h - band;
        for (int x = 0; x < w; ++x) {
            if (!wholeRow && x == band) {
                x = std::max(x, w - band) - 1;
                continue;
            }
            const QRgb c = ((x / 8 + y / 8) % 2 == 0) ? kMarkerMagenta : kMarkerGreen;
            line[3 * x] = static_cast<uchar>(qRed(c));
            line[3 * x + 1] = static_cast<uchar>(qGreen(c));
            line[3 * x + 2] = static_cast<uchar>(qBlue(c));
        }
    }
}

bool HasSimulationMarker(const QImage& frame) {
    if (frame.isNull() || frame.width() < 2 * kSimulationMarkerWidth ||
        frame.height() < 2 * kSimulationMarkerWidth) {
        return false;
    }
    const QImage img = frame.convertToFormat(QImage::Format_RGB888);
    const int w = img.width();
    const int h = img.height();
    const int band = kSimulationMarkerWidth;
    bool magenta = false;
    bool green = false;
    for (int y = 0; y < h; ++y) {
        const uchar* line = img.constScanLine(y);
        for (int x = 0; x < w; ++x) {
            if (y >= band && y < h - band && x >= band && x < w - band) {
                continue;
            }
            const QRgb c = qRgb(line[3 * x], line[3 * x + 1], line[3 * x + 2]) & 0xFFFFFF;
            if (c == kMarkerMagenta) {
                magenta = true;
            } else if (c == kMarkerGreen) {
                green = true;
            } else {
                return false;
            }
        }
    }
    return magenta && green;
}

// ---------------------------------------------------------------------------------------------

TEndotheliumRenderer::TEndotheliumRenderer(int width, int height, std::uint32_t seed)
    : Width_(width), Height_(height), Margin_(24), TexWidth_(width + 2 * 24),
      TexHeight_(height + 2 * 24) {
    TRandom random(seed);

    // Cell centres on a jittered hexagonal lattice; the jitter and a varied brightness per cell
    // give the mosaic the irregular look of a real endothelium.
    constexpr double spacing = 15.0;
    constexpr double kLevel = 111.0;
    constexpr double kSwing = 0.74;
    const double rowHeight = spacing * std::numbers::sqrt3 / 2.0;
    struct TSeed {
        float X, Y, Brightness;
    };
    const int bucketsX = static_cast<int>(TexWidth_ / spacing) + 4;
    const int bucketsY = static_cast<int>(TexHeight_ / spacing) + 4;
    std::vector<std::vector<TSeed>> buckets(static_cast<std::size_t>(bucketsX * bucketsY));
    const int rows = static_cast<int>(TexHeight_ / rowHeight) + 3;
    const int cols = static_cast<int>(TexWidth_ / spacing) + 3;
    for (int j = -1; j < rows; ++j) {
        for (int i = -1; i < cols; ++i) {
            const double x = i * spacing + ((j & 1) ? spacing / 2.0 : 0.0) +
                             (random.Uniform() - 0.5) * 0.45 * spacing;
            const double y = j * rowHeight + (random.Uniform() - 0.5) * 0.45 * spacing;
            const double b = 172.0 + 36.0 * (random.Uniform() - 0.5);
            const int bx = static_cast<int>(std::floor(x / spacing)) + 2;
            const int by = static_cast<int>(std::floor(y / spacing)) + 2;
            if (bx >= 0 && bx < bucketsX && by >= 0 && by < bucketsY) {
                buckets[static_cast<std::size_t>(by * bucketsX + bx)].push_back(
                    {static_cast<float>(x), static_cast<float>(y), static_cast<float>(b)});
            }
        }
    }

    Texture_.resize(static_cast<std::size_t>(TexWidth_) * static_cast<std::size_t>(TexHeight_));
    const double bodyRadius = spacing / 2.0;
    for (int py = 0; py < TexHeight_; ++py) {
        for (int px = 0; px < TexWidth_; ++px) {
            const double x = px + 0.5;
            const double y = py + 0.5;
            const int bx = static_cast<int>(std::floor(x / spacing)) + 2;
            const int by = static_cast<int>(std::floor(y / spacing)) + 2;
            double d1 = 1e9;
            double d2 = 1e9;
            float brightness = 170.0f;
            for (int v = by - 2; v <= by + 2; ++v) {
                for (int u = bx - 2; u <= bx + 2; ++u) {
                    if (u < 0 || u >= bucketsX || v < 0 || v >= bucketsY) {
                        continue;
                    }
                    for (const auto& s : buckets[static_cast<std::size_t>(v * bucketsX + u)]) {
                        const double ddx = x - s.X;
                        const double ddy = y - s.Y;
                        const double d = ddx * ddx + ddy * ddy; // squared until the end
                        if (d < d1) {
                            d2 = d1;
                            d1 = d;
                            brightness = s.Brightness;
                        } else if (d < d2) {
                            d2 = d;
                        }
                    }
                }
            }
            d1 = std::sqrt(d1);
            d2 = std::sqrt(d2);
            // Half the difference of the two nearest distances is about the distance to the
            // border between the two cells.
            const double edge = (d2 - d1) / 2.0;
            const double r = std::min(1.0, d1 / bodyRadius);
            const double body = brightness * (1.0 - 0.10 * r * r);
            const double border = 38.0;
            const double v = body - (body - border) * std::exp(-(edge * edge) / 0.8);
            // Levels chosen so that a sharp frame has a grey mean near 110 and a deviation near
            // 30, what the automatic capture expects of a good picture; blur lowers the
            // deviation well below that.
            Texture_[static_cast<std::size_t>(py) * TexWidth_ + px] =
                static_cast<float>(kLevel + (v + 3.0 * random.Normal() - 128.0) * kSwing);
        }
    }

    Illumination_.resize(static_cast<std::size_t>(Width_) * static_cast<std::size_t>(Height_));
    const double cx = Width_ / 2.0;
    const double cy = Height_ / 2.0;
    for (int y = 0; y < Height_; ++y) {
        for (int x = 0; x < Width_; ++x) {
            const double rx = (x + 0.5 - cx) / cx;
            const double ry = (y + 0.5 - cy) / cy;
            Illumination_[static_cast<std::size_t>(y) * Width_ + x] =
                static_cast<float>(1.0 - 0.09 * (rx * rx + ry * ry));
        }
    }

    Noise_.resize(1u << 20);
    for (auto& n : Noise_) {
        n = static_cast<float>(random.Normal());
    }
}

double TEndotheliumRenderer::DefocusAt(double seconds) {
    const double phase = std::fmod(std::max(0.0, seconds), kFocusPeriod) / kFocusPeriod;
    return kMaxDefocus * (1.0 - std::cos(2.0 * std::numbers::pi * phase)) / 2.0;
}

QImage TEndotheliumRenderer::Render(double seconds, const TSimulatedPicture& picture) const {
    const double dx = 18.0 * std::sin(2.0 * std::numbers::pi * seconds / 23.0);
    const double dy = 14.0 * std::sin(2.0 * std::numbers::pi * seconds / 31.0 + 1.0);
    const auto noiseSeed = static_cast<std::uint32_t>(std::llround(seconds * 1000.0));
    return RenderFrame(dx, dy, DefocusAt(seconds), picture, noiseSeed);
}

QImage TEndotheliumRenderer::RenderFrame(double dx, double dy, double sigma,
                                         const TSimulatedPicture& picture,
                                         std::uint32_t noiseSeed) const {
    dx = std::clamp(dx, -Margin_ + 1.0, Margin_ - 1.0);
    dy = std::clamp(dy, -Margin_ + 1.0, Margin_ - 1.0);
    const double ox = Margin_ + dx;
    const double oy = Margin_ + dy;
    const int ix = static_cast<int>(std::floor(ox));
    const int iy = static_cast<int>(std::floor(oy));
    const float fx = static_cast<float>(ox - ix);
    const float fy = static_cast<float>(oy - iy);

    std::vector<float> plane(static_cast<std::size_t>(Width_) * static_cast<std::size_t>(Height_));
    for (int y = 0; y < Height_; ++y) {
        const float* r0 = &Texture_[static_cast<std::size_t>(y + iy) * TexWidth_ + ix];
        const float* r1 = r0 + TexWidth_;
        float* out = &plane[static_cast<std::size_t>(y) * Width_];
        for (int x = 0; x < Width_; ++x) {
            const float top = r0[x] + (r0[x + 1] - r0[x]) * fx;
            const float bottom = r1[x] + (r1[x + 1] - r1[x]) * fx;
            out[x] = top + (bottom - top) * fy;
        }
    }
    if (sigma >= 0.3) {
        Blur(plane, Width_, Height_, sigma);
    }

    TRandom random(noiseSeed);
    const std::size_t offset = static_cast<std::size_t>(random.Next() % Noise_.size());
    QImage frame(Width_, Height_, QImage::Format_RGB888);
    for (int y = 0; y < Height_; ++y) {
        uchar* line = frame.scanLine(y);
        for (int x = 0; x < Width_; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * Width_ + x;
            const double v =
                plane[i] * Illumination_[i] + 3.0 * Noise_[(offset + i) % Noise_.size()];
            const double out = ApplyPicture(v, picture);
            // A faint warm tint, as the instrument's light gives.
            line[3 * x] = ClampByte(out * 1.03);
            line[3 * x + 1] = ClampByte(out);
            line[3 * x + 2] = ClampByte(out * 0.95);
        }
    }
    DrawSimulationMarker(frame);
    return frame;
}

// ---------------------------------------------------------------------------------------------

TEyeRenderer::TEyeRenderer(int width, int height)
    : Width_(width), Height_(height), Margin_(std::max(4, width / 16)),
      Base_(width + 2 * Margin_, height + 2 * Margin_, QImage::Format_RGB888) {
    TRandom random(77u);
    const double w = Base_.width();
    const double h = Base_.height();
    const QPointF centre(w / 2.0, h / 2.0);
    QPainter p(&Base_);
    p.setRenderHint(QPainter::Antialiasing);

    QRadialGradient skin(centre, w * 0.7);
    skin.setColorAt(0.0, QColor(196, 150, 128));
    skin.setColorAt(1.0, QColor(120, 84, 70));
    p.fillRect(Base_.rect(), skin);

    // The open eye between the lids.
    QPainterPath opening;
    opening.moveTo(centre.x() - w * 0.40, centre.y());
    opening.quadTo(centre.x(), centre.y() - h * 0.62, centre.x() + w * 0.40, centre.y());
    opening.quadTo(centre.x(), centre.y() + h * 0.52, centre.x() - w * 0.40, centre.y());
    QRadialGradient sclera(centre, w * 0.40);
    sclera.setColorAt(0.0, QColor(242, 238, 232));
    sclera.setColorAt(1.0, QColor(196, 170, 160));
    p.fillPath(opening, sclera);
    p.setClipPath(opening);

    const double irisRadius = h * 0.24;
    QRadialGradient iris(centre, irisRadius);
    iris.setColorAt(0.0, QColor(150, 110, 60));
    iris.setColorAt(0.75, QColor(110, 78, 44));
    iris.setColorAt(1.0, QColor(52, 38, 28));
    p.setPen(Qt::NoPen);
    p.setBrush(iris);
    p.drawEllipse(centre, irisRadius, irisRadius);
    // Fibres of the iris.
    for (int i = 0; i < 90; ++i) {
        const double a = 2.0 * std::numbers::pi * random.Uniform();
        const double r0 = irisRadius * 0.40;
        const double r1 = irisRadius * (0.80 + 0.18 * random.Uniform());
        p.setPen(QPen(QColor(70 + static_cast<int>(80 * random.Uniform()), 50, 30, 110), 1.0));
        p.drawLine(centre + QPointF(r0 * std::cos(a), r0 * std::sin(a)),
                   centre + QPointF(r1 * std::cos(a), r1 * std::sin(a)));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(12, 10, 10));
    p.drawEllipse(centre, h * 0.09, h * 0.09);
    // The reflections of the instrument's light on the cornea.
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(centre + QPointF(-h * 0.035, -h * 0.035), h * 0.018, h * 0.018);
    p.drawEllipse(centre + QPointF(h * 0.05, h * 0.02), h * 0.010, h * 0.010);
    p.end();
}

QImage TEyeRenderer::Render(double seconds, const TSimulatedPicture& picture) const {
    const double t = seconds;
    const int dx =
        static_cast<int>(std::lround(0.6 * Margin_ * std::sin(2.0 * std::numbers::pi * t / 9.0)));
    const int dy =
        static_cast<int>(std::lround(0.4 * Margin_ * std::sin(2.0 * std::numbers::pi * t / 13.0)));
    QImage frame = Base_.copy(Margin_ + dx, Margin_ + dy, Width_, Height_);
    std::array<uchar, 256> lut{};
    for (int v = 0; v < 256; ++v) {
        lut[static_cast<std::size_t>(v)] = ClampByte(ApplyPicture(v, picture));
    }
    TRandom random(static_cast<std::uint64_t>(std::llround(seconds * 1000.0)));
    for (int y = 0; y < Height_; ++y) {
        uchar* line = frame.scanLine(y);
        for (int x = 0; x < 3 * Width_; ++x) {
            const int noisy = line[x] + static_cast<int>(random.Next() % 7) - 3;
            line[x] = lut[static_cast<std::size_t>(std::clamp(noisy, 0, 255))];
        }
    }
    DrawSimulationMarker(frame);
    return frame;
}

// ---------------------------------------------------------------------------------------------

bool TSimulatedSource::Open(int width, int height) {
    // The picture is prepared by the first read, on the engine's thread, so that opening the
    // device never holds up the window that starts it.
    Width_ = width;
    Height_ = height;
    Prepared_ = false;
    return true;
}

IVideoSource::TRead TSimulatedSource::Read(QImage& frame) {
    using namespace std::chrono;
    if (!Prepared_) {
        Prepare(Width_, Height_);
        Prepared_ = true;
        Start_ = steady_clock::now();
        Next_ = Start_;
    }
    const auto period =
        duration_cast<steady_clock::duration>(duration<double>(1.0 / kFramesPerSecond));
    const auto now = steady_clock::now();
    if (now > Next_ + 4 * period) {
        Next_ = now; // fell behind (a busy machine): go on from now rather than catch up
    }
    std::this_thread::sleep_until(Next_);
    const double seconds = duration<double>(Next_ - Start_).count();
    Next_ += period;
    frame = RenderAt(seconds, Picture());
    return TRead::Frame;
}

TSimulatedPicture TSimulatedSource::Picture() const {
    std::lock_guard guard(Lock_);
    return Picture_;
}

TCameraSetting TSimulatedSource::Setting(int index) const {
    std::lock_guard guard(Lock_);
    TCameraSetting s;
    switch (index) {
    case kSettingBrightness:
        s = {true, Picture_.Brightness, 0, 255, 1, 128, kSettingFlagManual};
        break;
    case kSettingContrast:
        s = {true, Picture_.Contrast, 0, 255, 1, 128, kSettingFlagManual};
        break;
    case kSettingGain:
        s = {true,
             Picture_.Gain,
             0,
             255,
             1,
             64,
             Picture_.AutoGain ? kSettingFlagAuto : kSettingFlagManual};
        break;
    default:
        break;
    }
    return s;
}

TSettingResult TSimulatedSource::ApplySetting(int index, int value, int flags) {
    std::lock_guard guard(Lock_);
    const bool automatic = (flags & kSettingFlagAuto) != 0;
    if (index != kSettingBrightness && index != kSettingContrast && index != kSettingGain) {
        return TSettingResult::Ignored;
    }
    if (automatic && index != kSettingGain) {
        return TSettingResult::Failed; // only the gain has an automatic mode
    }
    // Like a device, the simulation refuses a value outside its range.
    if (!automatic && (value < 0 || value > 255)) {
        return TSettingResult::Failed;
    }
    if (index == kSettingBrightness) {
        Picture_.Brightness = value;
    } else if (index == kSettingContrast) {
        Picture_.Contrast = value;
    } else {
        Picture_.AutoGain = automatic;
        if (!automatic) {
            Picture_.Gain = value;
        }
    }
    return TSettingResult::Applied;
}

void TSimulatedMainCamera::Prepare(int width, int height) {
    // The mosaic takes a moment to render and never changes: every simulated main camera of
    // the run shares the one of its size.
    static std::mutex cacheLock;
    static std::shared_ptr<const TEndotheliumRenderer> cache;
    std::lock_guard guard(cacheLock);
    if (!cache || cache->Width() != width || cache->Height() != height) {
        cache = std::make_shared<const TEndotheliumRenderer>(width, height);
    }
    Renderer_ = cache;
}

QImage TSimulatedMainCamera::RenderAt(double seconds, const TSimulatedPicture& picture) {
    return Renderer_->Render(seconds, picture);
}

void TSimulatedAuxCamera::Prepare(int width, int height) {
    Renderer_ = std::make_unique<TEyeRenderer>(width, height);
}

QImage TSimulatedAuxCamera::RenderAt(double seconds, const TSimulatedPicture& picture) {
    return Renderer_->Render(seconds, picture);
}

} // namespace endomira
