// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/convert/clip_export.h"

#include "core/clip/avi_clip_reader.h"
#include "core/file.h"
#include "core/path.h"

#include <exception>
#include <optional>

namespace kadrix {

namespace {

// The temporary file under the encoder, which tells its write failures apart
// from the encoder's own.
class TemporaryOutput final : public EncodedFile {
public:
    explicit TemporaryOutput(ReplacementFile& file) : file_(file) {}

    void writeAt(std::uint64_t offset, std::span<const std::byte> bytes) override {
        try {
            file_.out().writeAt(offset, bytes);
        } catch (const Error&) {
            failed_ = true;
            throw;
        }
    }
    std::size_t readAt(std::uint64_t offset, std::span<std::byte> bytes) override {
        if (!reader_)
            reader_.emplace(file_.temporaryPath());
        return reader_->readSome(offset, bytes);
    }
    bool failed() const { return failed_; }

private:
    ReplacementFile& file_;
    std::optional<InputFile> reader_;
    bool failed_ = false;
};

std::string naming(const std::string& path, const std::string& text) {
    return text.find(path) == std::string::npos ? path + ": " + text : text;
}

} // namespace

std::string_view shareExtension(ShareFormat format) {
    switch (format) {
    case ShareFormat::Mp4:
        return ".mp4";
    case ShareFormat::WebM:
        return ".webm";
    case ShareFormat::Gif:
        return ".gif";
    }
    return {};
}

std::string exportPath(const std::string& clip, ShareFormat format) {
    return replaceExtension(clip, shareExtension(format));
}

std::string exportClip(const std::string& clip, ShareFormat format, ClipEncoder& encoder,
                       const ExportProgress& progress) {
    using Reason = ExportError::Reason;
    std::optional<AviClipReader> reader;
    try {
        reader.emplace(clip);
    } catch (const ClipFormatError& error) {
        throw ExportError(Reason::ClipFormat, error.what());
    } catch (const Error& error) {
        throw ExportError(Reason::ClipUnreadable, naming(clip, error.what()));
    }
    const std::string target = exportPath(clip, format);
    std::optional<ReplacementFile> file;
    try {
        file.emplace(target);
    } catch (const Error& error) {
        throw ExportError(Reason::Write, error.what());
    }
    TemporaryOutput output(*file);
    const EncodeProgress goOn = progress ? progress : [](std::size_t, std::size_t) {
        return true;
    };
    try {
        if (!encoder.encode(*reader, format, output, goOn))
            return {};
    } catch (const ClipReadError& error) {
        throw ExportError(Reason::ClipUnreadable, error.what());
    } catch (const EncoderUnavailable& error) {
        throw ExportError(Reason::NoEncoder, error.what());
    } catch (const std::exception& error) {
        throw ExportError(output.failed() ? Reason::Write : Reason::Encoder,
                          naming(target, error.what()));
    }
    try {
        file->commit();
    } catch (const Error& error) {
        throw ExportError(Reason::Write, naming(target, error.what()));
    }
    return target;
}

} // namespace kadrix
