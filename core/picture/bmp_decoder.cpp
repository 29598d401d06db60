// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/picture/bmp_decoder.h"

#include "core/error.h"
#include "core/file.h"

#include <algorithm>
#include <array>
#include <bit>

namespace kadrix {

namespace {

constexpr std::uint32_t opaque = 0xFF000000;
constexpr std::uint32_t black = opaque;

[[noreturn]] void endsEarly(const std::string& path) {
    throw Error("Bitmap image is not valid: \"" + path + "\". The file ends before its pixels do");
}

// The file's bytes from the pixels on, read in blocks.
class ByteStream {
public:
    ByteStream(const ReadAt& read, std::uint64_t from, std::uint64_t to)
        : read_(read), next_(from), end_(to) {}

    // The next byte, or -1 past the readable end.
    int next() {
        if (at_ == filled_ && !fill())
            return -1;
        return static_cast<int>(buffer_[at_++]);
    }
    // Exactly bytes.size() bytes, or false.
    bool read(std::span<std::byte> bytes) {
        for (std::size_t done = 0; done < bytes.size();) {
            if (at_ == filled_ && !fill())
                return false;
            const std::size_t n = std::min(bytes.size() - done, filled_ - at_);
            std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(at_), n,
                        bytes.begin() + static_cast<std::ptrdiff_t>(done));
            at_ += n;
            done += n;
        }
        return true;
    }

private:
    bool fill() {
        if (next_ >= end_)
            return false;
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer_.size(), end_ - next_));
        filled_ = read_(next_, std::span(buffer_).first(wanted));
        at_ = 0;
        next_ += filled_;
        if (filled_ == 0)
            next_ = end_;
        return filled_ > 0;
    }

    const ReadAt& read_;
    std::uint64_t next_;
    std::uint64_t end_;
    std::array<std::byte, 64 * 1024> buffer_{};
    std::size_t filled_ = 0;
    std::size_t at_ = 0;
};

// Takes the picture's rows in any order of whole target rows (bottom-up or
// top-down) and writes them into the target, averaging the pixels that fall
// on each target pixel.
class RowSink {
public:
    RowSink(PictureSize source, PictureSize target, std::span<std::uint32_t> out)
        : source_(source), target_(target), out_(out) {
        if (source == target)
            return;
        sums_.resize(static_cast<std::size_t>(target.width) * 3);
        columnCounts_.resize(static_cast<std::size_t>(target.width));
        forEachColumn([this](int, std::size_t tx) { ++columnCounts_[tx]; });
    }

    void put(int y, std::span<const std::uint32_t> row) {
        if (source_ == target_) {
            std::copy(row.begin(), row.end(),
                      out_.begin() + static_cast<std::ptrdiff_t>(y) * source_.width);
            return;
        }
        const int ty = static_cast<int>(std::int64_t{y} * target_.height / source_.height);
        if (ty != currentRow_)
            flush();
        currentRow_ = ty;
        ++rowsIn_;
        forEachColumn([&](int x, std::size_t tx) {
            const std::uint32_t p = row[static_cast<std::size_t>(x)];
            sums_[3 * tx] += (p >> 16) & 0xFF;
            sums_[3 * tx + 1] += (p >> 8) & 0xFF;
            sums_[3 * tx + 2] += p & 0xFF;
        });
    }

    void flush() {
        if (rowsIn_ == 0)
            return;
        std::uint32_t* target =
            out_.data() + static_cast<std::ptrdiff_t>(currentRow_) * target_.width;
        for (std::size_t tx = 0; tx < columnCounts_.size(); ++tx) {
            const std::uint64_t count = std::uint64_t{columnCounts_[tx]} * rowsIn_;
            const auto mean = [&](std::size_t channel) {
                return static_cast<std::uint32_t>((sums_[3 * tx + channel] + count / 2) / count);
            };
            target[tx] = opaque | mean(0) << 16 | mean(1) << 8 | mean(2);
        }
        std::fill(sums_.begin(), sums_.end(), 0);
        rowsIn_ = 0;
    }

private:
    // Calls f(x, tx) for each column x of the picture and the target column
    // tx it falls on: tx = x * target width / width, stepped without a
    // division per pixel.
    template <typename F> void forEachColumn(F f) const {
        const auto w = static_cast<std::uint64_t>(source_.width);
        const auto tw = static_cast<std::uint64_t>(target_.width);
        std::size_t tx = 0;
        std::uint64_t nextStart = (w + tw - 1) / tw; // the first x of column 1
        for (int x = 0; x < source_.width; ++x) {
            if (static_cast<std::uint64_t>(x) >= nextStart) {
                ++tx;
                nextStart = ((tx + 1) * w + tw - 1) / tw;
            }
            f(x, tx);
        }
    }

    PictureSize source_;
    PictureSize target_;
    std::span<std::uint32_t> out_;
    std::vector<std::uint64_t> sums_;
    std::vector<std::uint32_t> columnCounts_;
    int currentRow_ = -1;
    std::uint64_t rowsIn_ = 0;
};

// One colour channel of 16- and 32-bit pixels: its mask, and the 8-bit
// value of each masked value where there are few.
class Channel {
public:
    explicit Channel(std::uint32_t mask)
        : mask_(mask), shift_(mask == 0 ? 0 : std::countr_zero(mask)), most_(mask >> shift_) {
        if (most_ > 0 && most_ < 65536) {
            table_.resize(most_ + 1);
            for (std::uint32_t v = 0; v <= most_; ++v)
                table_[v] = scale(v);
        }
    }
    std::uint32_t operator()(std::uint32_t pixel) const {
        const std::uint32_t v = (pixel & mask_) >> shift_;
        return table_.empty() ? scale(v) : table_[v];
    }

private:
    std::uint8_t scale(std::uint32_t v) const {
        if (most_ == 0)
            return 0;
        return static_cast<std::uint8_t>((std::uint64_t{v} * 255 + most_ / 2) / most_);
    }

    std::uint32_t mask_;
    int shift_;
    std::uint32_t most_;
    std::vector<std::uint8_t> table_;
};

std::vector<std::uint32_t> readPalette(const BmpDecodePlan& plan, const ReadAt& read) {
    std::vector<std::uint32_t> palette(256, black);
    // A file without a table draws in black; a reader is never asked for
    // nothing (an empty buffer has no address).
    if (plan.paletteEntries == 0)
        return palette;
    std::vector<std::byte> table(std::size_t{plan.paletteEntries} * plan.paletteEntrySize);
    const std::size_t got = read(plan.paletteOffset, table);
    for (std::size_t i = 0; (i + 1) * plan.paletteEntrySize <= got; ++i) {
        const std::byte* e = table.data() + i * plan.paletteEntrySize;
        palette[i] = opaque | std::to_integer<std::uint32_t>(e[2]) << 16 |
                     std::to_integer<std::uint32_t>(e[1]) << 8 |
                     std::to_integer<std::uint32_t>(e[0]);
    }
    return palette;
}

std::uint32_t u16At(const std::byte* b) {
    return std::to_integer<std::uint32_t>(b[0]) | std::to_integer<std::uint32_t>(b[1]) << 8;
}

std::uint32_t u32At(const std::byte* b) {
    return u16At(b) | u16At(b + 2) << 16;
}

void decodeRows(const BmpDecodePlan& plan, ByteStream& in, RowSink& sink,
                const std::vector<std::uint32_t>& palette, const std::string& path) {
    const auto width = static_cast<std::size_t>(plan.width);
    const std::size_t stride = (width * static_cast<std::size_t>(plan.bits) + 31) / 32 * 4;
    std::vector<std::byte> stored(stride);
    std::vector<std::uint32_t> row(width);
    const Channel red(plan.masks[0]);
    const Channel green(plan.masks[1]);
    const Channel blue(plan.masks[2]);
    const bool plain32 = plan.bits == 32 && plan.masks[0] == 0xFF0000 &&
                         plan.masks[1] == 0x00FF00 && plan.masks[2] == 0x0000FF;
    for (int r = 0; r < plan.height; ++r) {
        if (!in.read(stored))
            endsEarly(path);
        const std::byte* s = stored.data();
        switch (plan.bits) {
        case 1:
        case 4:
        case 8: {
            const int bits = plan.bits;
            const int perByte = 8 / bits;
            const unsigned mask = (1u << bits) - 1;
            for (std::size_t x = 0; x < width; ++x) {
                const unsigned byte =
                    std::to_integer<unsigned>(s[x / static_cast<std::size_t>(perByte)]);
                const int place =
                    perByte - 1 - static_cast<int>(x % static_cast<std::size_t>(perByte));
                row[x] = palette[(byte >> (place * bits)) & mask];
            }
            break;
        }
        case 16:
            for (std::size_t x = 0; x < width; ++x) {
                const std::uint32_t p = u16At(s + 2 * x);
                row[x] = opaque | red(p) << 16 | green(p) << 8 | blue(p);
            }
            break;
        case 24:
            for (std::size_t x = 0; x < width; ++x)
                row[x] = opaque | std::to_integer<std::uint32_t>(s[3 * x + 2]) << 16 |
                         std::to_integer<std::uint32_t>(s[3 * x + 1]) << 8 |
                         std::to_integer<std::uint32_t>(s[3 * x]);
            break;
        default:
            for (std::size_t x = 0; x < width; ++x) {
                const std::uint32_t p = u32At(s + 4 * x);
                row[x] = plain32 ? opaque | p : opaque | red(p) << 16 | green(p) << 8 | blue(p);
            }
            break;
        }
        sink.put(plan.topDown ? r : plan.height - 1 - r, row);
    }
}

// RLE8 and RLE4: runs, escapes for end of line, end of picture, a jump
// forward and uncompressed stretches, rows bottom-up.
void decodeRunLengths(const BmpDecodePlan& plan, ByteStream& in, RowSink& sink,
                      const std::vector<std::uint32_t>& palette) {
    const bool four = plan.compression == bmpRle4;
    const auto width = static_cast<std::size_t>(plan.width);
    const std::uint32_t background = palette[0];
    std::vector<std::uint32_t> row(width, background);
    int r = 0;
    std::size_t x = 0;
    const auto endRow = [&] {
        sink.put(plan.height - 1 - r, row);
        std::fill(row.begin(), row.end(), background);
        ++r;
    };
    const auto put = [&](unsigned index) {
        if (x < width)
            row[x] = palette[index];
        ++x;
    };
    while (r < plan.height) {
        const int count = in.next();
        const int code = in.next();
        if (count < 0 || code < 0)
            break;
        if (count > 0) {
            for (int i = 0; i < count && x < width; ++i)
                put(four ? (i % 2 == 0 ? code >> 4 : code & 0xF) : static_cast<unsigned>(code));
        } else if (code == 0) {
            endRow();
            x = 0;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            const int right = in.next();
            const int up = in.next();
            if (right < 0 || up < 0)
                break;
            x += static_cast<std::size_t>(right);
            for (int i = 0; i < up && r < plan.height; ++i)
                endRow();
        } else {
            // code pixels stored as they are, padded to a whole word.
            const int bytes = four ? (code + 1) / 2 : code;
            for (int i = 0, drawn = 0; i < bytes; ++i) {
                const int b = in.next();
                if (b < 0)
                    break;
                if (four) {
                    put(static_cast<unsigned>(b) >> 4);
                    if (++drawn < code)
                        put(static_cast<unsigned>(b) & 0xF);
                    ++drawn;
                } else {
                    put(static_cast<unsigned>(b));
                }
            }
            if (bytes % 2 != 0)
                in.next();
        }
    }
    // The rest of the picture is what the data left: the row under way, then
    // background rows.
    while (r < plan.height)
        endRow();
}

} // namespace

PictureSize fittedSize(PictureSize picture, PictureSize box) {
    if (picture.width <= box.width && picture.height <= box.height)
        return picture;
    const std::int64_t byHeight = std::int64_t{picture.width} * box.height;
    const std::int64_t byWidth = std::int64_t{picture.height} * box.width;
    PictureSize fitted;
    if (byHeight <= byWidth) {
        // The height is the limit.
        fitted.height = box.height;
        fitted.width = static_cast<int>((byHeight + picture.height / 2) / picture.height);
    } else {
        fitted.width = box.width;
        fitted.height = static_cast<int>((byWidth + picture.width / 2) / picture.width);
    }
    fitted.width = std::clamp(fitted.width, 1, picture.width);
    fitted.height = std::clamp(fitted.height, 1, picture.height);
    return fitted;
}

void decodeBmp(const BmpDecodePlan& plan, const ReadAt& read, PictureSize target,
               std::span<std::uint32_t> out, const std::string& path) {
    const PictureSize source{plan.width, plan.height};
    if (target.width < 1 || target.height < 1 || target.width > source.width ||
        target.height > source.height ||
        out.size() <
            static_cast<std::size_t>(target.width) * static_cast<std::size_t>(target.height))
        throw Error("A picture cannot be decoded to " + std::to_string(target.width) + " x " +
                    std::to_string(target.height) + " pixels");
    const std::vector<std::uint32_t> palette =
        plan.bits <= 8 ? readPalette(plan, read) : std::vector<std::uint32_t>();
    ByteStream in(read, plan.pixelOffset, plan.bytesToRead);
    RowSink sink(source, target, out);
    if (plan.compression == bmpRle8 || plan.compression == bmpRle4)
        decodeRunLengths(plan, in, sink, palette);
    else
        decodeRows(plan, in, sink, palette, path);
    sink.flush();
}

DecodedBmp decodeBmpFile(const InputFile& file) {
    std::array<std::byte, bmpCheckHeadSize> head{};
    const std::size_t headSize = file.readSome(0, head);
    const BmpDecodePlan plan =
        checkBmpBeforeDecoding(std::span(head).first(headSize), file.size(), file.path());
    DecodedBmp decoded;
    decoded.size = {plan.width, plan.height};
    decoded.pixels.resize(static_cast<std::size_t>(plan.width) *
                          static_cast<std::size_t>(plan.height));
    decodeBmp(
        plan,
        [&file](std::uint64_t offset, std::span<std::byte> bytes) {
            return file.readSome(offset, bytes);
        },
        decoded.size, decoded.pixels, file.path());
    return decoded;
}

} // namespace kadrix
