#include "V4L2Source.h"

#include <QDir>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <libv4l2.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace endomira {

namespace {

// The control behind each camera-setting index; 0 where V4L2 has no counterpart.
constexpr std::array<unsigned, kCameraSettingCount> kControls = {V4L2_CID_BRIGHTNESS,
                                                                 V4L2_CID_CONTRAST,
                                                                 V4L2_CID_HUE,
                                                                 V4L2_CID_SATURATION,
                                                                 V4L2_CID_SHARPNESS,
                                                                 V4L2_CID_GAMMA,
                                                                 0,
                                                                 V4L2_CID_WHITE_BALANCE_TEMPERATURE,
                                                                 V4L2_CID_BACKLIGHT_COMPENSATION,
                                                                 V4L2_CID_GAIN};

// The automatic switch of a setting, where the camera may have one.
unsigned AutoControl(int index) {
    switch (index) {
    case 2:
        return V4L2_CID_HUE_AUTO;
    case 7:
        return V4L2_CID_AUTO_WHITE_BALANCE;
    case 9:
        return V4L2_CID_AUTOGAIN;
    default:
        return 0;
    }
}

int Ioctl(int fd, unsigned long request, void* arg) {
    int r;
    do {
        r = v4l2_ioctl(fd, request, arg);
    } while (r == -1 && errno == EINTR);
    return r;
}

} // namespace

std::vector<TV4L2Device> EnumerateV4L2Devices() {
    std::vector<std::pair<int, TV4L2Device>> found;
    const QDir dev(QStringLiteral("/dev"));
    for (const QString& entry : dev.entryList({QStringLiteral("video*")}, QDir::System)) {
        bool ok = false;
        const int number = entry.mid(5).toInt(&ok);
        if (!ok) {
            continue;
        }
        const QString path = dev.filePath(entry);
        const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK);
        if (fd < 0) {
            continue;
        }
        v4l2_capability cap{};
        if (::ioctl(fd, VIDIOC_QUERYCAP, &cap) == 0) {
            const unsigned caps =
                (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
            if (caps & V4L2_CAP_VIDEO_CAPTURE) {
                found.push_back(
                    {number, {path, QString::fromUtf8(reinterpret_cast<const char*>(cap.card))}});
            }
        }
        ::close(fd);
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TV4L2Device> devices;
    for (auto& [number, device] : found) {
        devices.push_back(std::move(device));
    }
    return devices;
}

TV4L2Source::TV4L2Source(TV4L2Device device) : Device_(std::move(device)) {}

TV4L2Source::~TV4L2Source() {
    Close();
}

bool TV4L2Source::Open(int width, int height) {
    Close();
    const int fd = v4l2_open(Device_.Path.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK);
    if (fd < 0) {
        qWarning("endomira: camera %s: cannot open: %s", qUtf8Printable(Device_.Path),
                 std::strerror(errno));
        return false;
    }
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    format.fmt.pix.width = static_cast<unsigned>(width);
    format.fmt.pix.height = static_cast<unsigned>(height);
    format.fmt.pix.pixelformat = V4L2_PIX_FMT_RGB24;
    format.fmt.pix.field = V4L2_FIELD_ANY;
    if (Ioctl(fd, VIDIOC_S_FMT, &format) != 0 || format.fmt.pix.pixelformat != V4L2_PIX_FMT_RGB24) {
        qWarning("endomira: camera %s: the RGB24 format of %dx%d is refused",
                 qUtf8Printable(Device_.Path), width, height);
        v4l2_close(fd);
        return false;
    }
    if (format.fmt.pix.width != static_cast<unsigned>(width) ||
        format.fmt.pix.height != static_cast<unsigned>(height)) {
        qWarning("endomira: camera %s: delivers %ux%u instead of %dx%d; frames are scaled",
                 qUtf8Printable(Device_.Path), format.fmt.pix.width, format.fmt.pix.height, width,
                 height);
    }
    std::lock_guard guard(Lock_);
    Fd_ = fd;
    Width_ = static_cast<int>(format.fmt.pix.width);
    Height_ = static_cast<int>(format.fmt.pix.height);
    BytesPerLine_ = std::max(static_cast<int>(format.fmt.pix.bytesperline), Width_ * 3);
    Buffer_.assign(static_cast<std::size_t>(BytesPerLine_) * static_cast<std::size_t>(Height_), 0);
    return true;
}

void TV4L2Source::Close() {
    std::lock_guard guard(Lock_);
    if (Fd_ >= 0) {
        v4l2_close(Fd_);
        Fd_ = -1;
    }
}

IVideoSource::TRead TV4L2Source::Read(QImage& frame) {
    int fd;
    {
        std::lock_guard guard(Lock_);
        fd = Fd_;
    }
    if (fd < 0) {
        return TRead::Failed;
    }
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, 200);
    if (ready == 0 || (ready < 0 && errno == EINTR)) {
        return TRead::NoFrame;
    }
    if (ready < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL))) {
        qWarning("endomira: camera %s: the device is gone", qUtf8Printable(Device_.Path));
        return TRead::Failed;
    }
    const auto got = v4l2_read(fd, Buffer_.data(), Buffer_.size());
    if (got < 0) {
        if (errno == EAGAIN || errno == EINTR) {
            return TRead::NoFrame;
        }
        qWarning("endomira: camera %s: reading a frame failed: %s", qUtf8Printable(Device_.Path),
                 std::strerror(errno));
        return TRead::Failed;
    }
    if (static_cast<std::size_t>(got) < Buffer_.size()) {
        return TRead::NoFrame; // a short frame is dropped rather than shown half-filled
    }
    frame = QImage(Buffer_.data(), Width_, Height_, BytesPerLine_, QImage::Format_RGB888).copy();
    return TRead::Frame;
}

TCameraSetting TV4L2Source::Setting(int index) const {
    TCameraSetting setting;
    if (index < 0 || index >= kCameraSettingCount || kControls[index] == 0) {
        return setting;
    }
    std::lock_guard guard(Lock_);
    if (Fd_ < 0) {
        return setting;
    }
    v4l2_queryctrl query{};
    query.id = kControls[index];
    if (Ioctl(Fd_, VIDIOC_QUERYCTRL, &query) != 0 || (query.flags & V4L2_CTRL_FLAG_DISABLED)) {
        return setting;
    }
    v4l2_control control{};
    control.id = query.id;
    Ioctl(Fd_, VIDIOC_G_CTRL, &control);
    setting.Available = true;
    setting.Value = control.value;
    setting.Min = query.minimum;
    setting.Max = query.maximum;
    setting.Step = query.step;
    setting.Default = query.default_value;
    setting.Flags = kSettingFlagManual;
    if (const unsigned autoId = AutoControl(index)) {
        v4l2_control automatic{};
        automatic.id = autoId;
        if (Ioctl(Fd_, VIDIOC_G_CTRL, &automatic) == 0 && automatic.value != 0) {
            setting.Flags = kSettingFlagAuto;
        }
    }
    return setting;
}

TSettingResult TV4L2Source::ApplySetting(int index, int value, int flags) {
    if (index < 0 || index >= kCameraSettingCount || kControls[index] == 0) {
        return TSettingResult::Ignored;
    }
    std::lock_guard guard(Lock_);
    if (Fd_ < 0) {
        return TSettingResult::Ignored;
    }
    const bool automatic = (flags & kSettingFlagAuto) != 0;
    if (const unsigned autoId = AutoControl(index)) {
        v4l2_control control{};
        control.id = autoId;
        control.value = automatic ? 1 : 0;
        if (Ioctl(Fd_, VIDIOC_S_CTRL, &control) != 0 && automatic) {
            qWarning("endomira: camera %s: automatic setting %d refused: %s",
                     qUtf8Printable(Device_.Path), index, std::strerror(errno));
            return TSettingResult::Failed;
        }
        if (automatic) {
            return TSettingResult::Applied;
        }
    }
    v4l2_control control{};
    control.id = kControls[index];
    control.value = value;
    if (Ioctl(Fd_, VIDIOC_S_CTRL, &control) != 0) {
        qWarning("endomira: camera %s: setting %d := %d refused: %s", qUtf8Printable(Device_.Path),
                 index, value, std::strerror(errno));
        return TSettingResult::Failed;
    }
    return TSettingResult::Applied;
}

} // namespace endomira
