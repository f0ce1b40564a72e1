#pragma once

// A GIF read back with the library that wrote it, as a viewer shows it: each
// frame drawn over the one before, with its delay in hundredths of a second
// and the loop count of the file.
#include <QByteArray>
#include <cstring>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <vector>

struct DecodedGif
{
    int width = 0;
    int height = 0;
    std::vector<std::vector<int>> frames; // palette indices, row by row
    std::vector<int> delays;
    int repeats = -1; // the loop block's count; -1 without one

    int at(std::size_t frame, int x, int y) const
    {
        return frames[frame][std::size_t(y * width + x)];
    }
};

inline DecodedGif decodeGif(const QByteArray &bytes)
{
    struct Reader
    {
        const QByteArray *bytes;
        qsizetype at = 0;
    } reader{&bytes};
    const auto read = [](GifFileType *file, GifByteType *into, int length) {
        auto *from = static_cast<Reader *>(file->UserData);
        const int taken = int(std::min<qsizetype>(length, from->bytes->size() - from->at));
        std::memcpy(into, from->bytes->constData() + from->at, std::size_t(taken));
        from->at += taken;
        return taken;
    };
    DecodedGif decoded;
    int error = 0;
    GifFileType *gif = DGifOpen(&reader, read, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
        ADD_FAILURE() << "giflib cannot read the GIF";
        if (gif)
            DGifCloseFile(gif, &error);
        return decoded;
    }
    decoded.width = gif->SWidth;
    decoded.height = gif->SHeight;
    std::vector<int> screen(std::size_t(gif->SWidth * gif->SHeight), 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage &image = gif->SavedImages[i];
        const GifImageDesc &part = image.ImageDesc;
        for (int y = 0; y < part.Height; ++y)
            for (int x = 0; x < part.Width; ++x)
                screen[std::size_t((part.Top + y) * gif->SWidth + part.Left + x)] =
                    image.RasterBits[y * part.Width + x];
        decoded.frames.push_back(screen);
        GraphicsControlBlock control;
        DGifSavedExtensionToGCB(gif, i, &control);
        decoded.delays.push_back(control.DelayTime);
        for (int b = 0; b + 1 < image.ExtensionBlockCount; ++b) {
            const ExtensionBlock &block = image.ExtensionBlocks[b];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0) {
                const GifByteType *count = image.ExtensionBlocks[b + 1].Bytes;
                decoded.repeats = count[1] | count[2] << 8;
            }
        }
    }
    DGifCloseFile(gif, &error);
    return decoded;
}

// Palette indices: 0 off, 1 red, 2 green.
inline constexpr int kGifOff = 0, kGifRed = 1, kGifGreen = 2;
