#include "frames/RunSpaceModel.h"

#include "frames/PngHeader.h"

#include <cmath>

namespace zev {

// Measured with the pipeline's own ImageMagick and FFmpeg commands on 24
// frames each (bytes of mask + colour + packed frame against the source
// frames' bytes):
//
//   frames                                             64×48     256×192
//   smooth gradient, 8-bit RGBA                        11.9 ×    28.6 ×
//   the same, saved without compression                 0.38 ×
//   the sample sprite (scripts/make-sample-frames.sh)   1.7 ×     0.99 ×
//   RGBA noise, 8-bit                                   2.9 ×     2.8 ×
//   RGBA noise, 16-bit                                  2.9 ×     2.9 ×
//   opaque RGB noise                                    2.0 ×
//   noise colour hidden under alpha 0, a disc shown     0.14 ×
//   fully transparent                                   3.1 ×
//
// So the source's size bounds nothing: a frame that compresses well (rows
// alike) can turn into layers that do not (colour × alpha varies both ways),
// and colour hidden by alpha costs the source but not the layers. The
// pictures' sizes do bound it. ImageMagick writes the mask as grey and the
// colour and the packed frame with an alpha channel (colour type 6 in every
// case above), 16 bits a sample for 16-bit frames and 8 otherwise. Noise
// took 0.87 to 0.90 of those samples' raw size (one filter byte a row, the
// chunks included); nothing can take more than the raw size plus deflate's
// stored blocks and the chunk framing, under 1 %. Each file also carries 223
// to 330 bytes of other chunks (times, gamma, background), a colour profile
// when the source has one (3 KiB for sRGB), and wastes up to one file system
// block.
//
// The least: PNG's own framing (signature, IHDR, IDAT, IEND: 57 bytes) and
// deflate's limit of 1032 : 1 on the smallest samples (1-bit grey). The
// fully transparent frames took 249 to 293 bytes a file, above it.
namespace {

constexpr double kIncompressibleOverhead = 1.01;
constexpr qint64 kChunksAndProfilePerFile = 4096;
constexpr qint64 kFileSystemBlock = 4096;
constexpr qint64 kPngFraming = 57;
constexpr qint64 kDeflateLimit = 1032;

// A PNG's samples: one filter byte and the row's bytes, for every row.
qint64 rawBytes(qint64 width, qint64 height, qint64 bitsPerPixel) {
    return height * (1 + (width * bitsPerPixel + 7) / 8);
}

qint64 mostForFile(qint64 width, qint64 height, qint64 bitsPerPixel) {
    const double samples = double(rawBytes(width, height, bitsPerPixel)) * kIncompressibleOverhead;
    return qint64(std::ceil(samples)) + kChunksAndProfilePerFile + kFileSystemBlock;
}

qint64 leastForFile(qint64 width, qint64 height) {
    return kPngFraming + (rawBytes(width, height, 1) + kDeflateLimit - 1) / kDeflateLimit;
}

// The encoder aims at the rate over the whole video but overshoots on short
// ones (the first key frame), so 20 % more plus room for the container. On
// still pictures it stays far below the rate (the fully transparent frames
// above: 2.4 kB where the rate allowed 165 kB; noise: 156 kB), so it surely
// needs nothing worth counting.
constexpr double kVideoMargin = 1.2;
constexpr qint64 kContainerReserve = qint64{1024} * 1024;

} // namespace

RunSpaceModel::Need RunSpaceModel::workFiles(const PngHeader& frame) {
    const qint64 width = frame.width();
    const qint64 height = frame.height();
    const qint64 sampleBits = frame.bitDepth() > 8 ? 16 : 8;
    Need need;
    need.least = 2 * leastForFile(width, height) + leastForFile(2 * width, height);
    need.most = mostForFile(width, height, sampleBits) + mostForFile(width, height, 4 * sampleBits) +
                mostForFile(2 * width, height, 4 * sampleBits);
    return need;
}

// The video lasts frameCount / fps seconds at rateKbits kilobits a second.
RunSpaceModel::Need RunSpaceModel::video(qint64 frameCount, qint64 fps, qint64 rateKbits) {
    const double seconds = double(frameCount) / double(qMax<qint64>(fps, 1));
    const double bytes = double(qMax<qint64>(rateKbits, 0)) * 1000.0 / 8.0 * seconds * kVideoMargin;
    return Need{0, qint64(std::ceil(bytes)) + kContainerReserve};
}

} // namespace zev
