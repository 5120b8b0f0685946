#pragma once

#include <QImage>
#include <QString>
#include <cstddef>
#include <span>
#include <vector>

namespace endomira {

// What the exam store needs of one frame of the examination: its three images and whether the
// frame counts in the results.
struct TExamFrameImages {
    QImage Image;         // the captured frame, 640 x 480
    QImage CropOriginal;  // the region of interest without the overlay
    QImage CropProcessed; // the region of interest with the cell overlay
    bool UseInCalculation = false;
};

// The frame whose images are stored: the last one that counts in the results, else the first.
// Returns frames.size() when there is no frame at all.
std::size_t ChooseStoredFrame(std::span<const TExamFrameImages> frames);

namespace detail {
inline QImage ImageOf(const QImage& image) {
    return image;
}
// Bitmaps kept behind an owning or plain pointer, possibly null.
template <typename Pointer> QImage ImageOf(const Pointer& image) {
    return image ? QImage(*image) : QImage();
}
} // namespace detail

// The images of every record of a frame list, in order (QImage copies share their pixels).
// Records carry Image, CropOriginal, CropProcessed and UseInCalculation.
template <typename Records> std::vector<TExamFrameImages> ExamFrameImages(const Records& frames) {
    std::vector<TExamFrameImages> result;
    for (const auto& frame : frames) {
        result.push_back({detail::ImageOf(frame.Image), detail::ImageOf(frame.CropOriginal),
                          detail::ImageOf(frame.CropProcessed),
                          static_cast<bool>(frame.UseInCalculation)});
    }
    return result;
}

// The folder of an exam's images: the id in decimal, at least four digits ("0007", "12345").
QString ExamFolderName(int examId);

// The root under which the exam folders lie. With a folder named "database" (in any letter case)
// in the program's folder, it is that folder's "DBimages"; otherwise "../Data/DataBase/DBimages"
// beside the program's folder. Each folder on the way that exists is used whatever its letter
// case; a missing one takes the spelling given here.
QString ExamImageRoot(const QString& programFolder);

// Writes a 24-bit Windows bitmap. Returns an error text, empty on success.
QString WriteBmp24(const QImage& image, const QString& path);

} // namespace endomira
