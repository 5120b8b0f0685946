#pragma once

#include "VideoSource.h"

#include <mutex>
#include <vector>

namespace endomira {

struct TV4L2Device {
    QString Path; // "/dev/videoN"
    QString Name; // the driver's card name
};

// The video capture devices of the system in the order of their device numbers.
std::vector<TV4L2Device> EnumerateV4L2Devices();

// A camera of the system through libv4l2, which converts whatever the camera delivers to RGB24.
class TV4L2Source final : public IVideoSource {
public:
    explicit TV4L2Source(TV4L2Device device);
    ~TV4L2Source() override;
    TV4L2Source(const TV4L2Source&) = delete;
    TV4L2Source& operator=(const TV4L2Source&) = delete;

    QString Name() const override { return Device_.Path; }
    bool IsSimulated() const override { return false; }
    bool Open(int width, int height) override;
    void Close() override;
    TRead Read(QImage& frame) override;
    TCameraSetting Setting(int index) const override;
    TSettingResult ApplySetting(int index, int value, int flags) override;

private:
    TV4L2Device Device_;
    mutable std::mutex Lock_; // guards Fd_ against a setting changed while the device closes
    int Fd_ = -1;
    int Width_ = 0;
    int Height_ = 0;
    int BytesPerLine_ = 0;
    std::vector<unsigned char> Buffer_;
};

} // namespace endomira
