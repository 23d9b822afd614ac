// quorvel-picture-decoder: decodes one PCX, TGA, Utah RLE or DIB picture
// with GraphicsMagick for the program (platform/ImageLibrary.cpp), in a
// process of its own. The format is the one argument and is never guessed
// from the bytes, which come on standard input; GraphicsMagick may open no
// file and run no other program (its delegates), and refuses pictures
// beyond its pixel and memory limits. The answer on standard output is the
// width and height (32 bits, little-endian) and then the pixels row by row
// as blue, green, red and an unused byte; status 0 on success, 1 when the
// bytes are no picture of that format.
#include <magick/api.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t kMostInputBytes = size_t(64) * 1024 * 1024;

// Every file, URL and program GraphicsMagick would open is refused: the
// picture is in memory, and nothing else is wanted.
MagickPassFail RefuseAccess(const ConfirmAccessMode, const char *, ExceptionInfo *exception)
{
    ThrowException(exception, DelegateError, "access refused", nullptr);
    return MagickFail;
}

bool ReadAll(int fd, std::string &into)
{
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got == 0)
            return true;
        if (got < 0)
            return false;
        into.append(chunk, size_t(got));
        if (into.size() > kMostInputBytes)
            return false;
    }
}

bool WriteAll(int fd, const void *data, size_t size)
{
    const char *p = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t put = ::write(fd, p, size);
        if (put <= 0)
            return false;
        p += put;
        size -= size_t(put);
    }
    return true;
}

void PutLittleEndian32(unsigned char *at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    const std::string format = argv[1];
    if (format != "PCX" && format != "TGA" && format != "RLE" && format != "DIB")
        return 2;
    std::string bytes;
    if (!ReadAll(STDIN_FILENO, bytes) || bytes.empty())
        return 1;

    InitializeMagick(nullptr);
    MagickSetConfirmAccessHandler(RefuseAccess);
    SetMagickResourceLimit(PixelsResource, 24LL * 1024 * 1024);
    SetMagickResourceLimit(WidthResource, 20000);
    SetMagickResourceLimit(HeightResource, 20000);
    SetMagickResourceLimit(MemoryResource, 512LL * 1024 * 1024);
    SetMagickResourceLimit(DiskResource, 0);

    ExceptionInfo exception;
    GetExceptionInfo(&exception);
    ImageInfo *info = CloneImageInfo(nullptr);
    // The format is affirmed: GraphicsMagick does not look at the bytes to
    // choose a reader of its own.
    std::snprintf(info->magick, sizeof info->magick, "%s", format.c_str());
    std::snprintf(info->filename, sizeof info->filename, "%s:", format.c_str());
    info->affirm = MagickTrue;
    Image *image = BlobToImage(info, bytes.data(), bytes.size(), &exception);
    int status = 1;
    if (image && std::strcmp(image->magick, format.c_str()) == 0 && image->columns > 0 && image->rows > 0) {
        const unsigned long width = image->columns;
        const unsigned long height = image->rows;
        std::vector<unsigned char> answer(8 + size_t(width) * height * 4);
        PutLittleEndian32(answer.data(), uint32_t(width));
        PutLittleEndian32(answer.data() + 4, uint32_t(height));
        // The program's bitmaps are opaque: transparency is left out.
        image->matte = MagickFalse;
        if (DispatchImage(image, 0, 0, width, height, "BGRA", CharPixel, answer.data() + 8, &exception)
            && WriteAll(STDOUT_FILENO, answer.data(), answer.size()))
            status = 0;
    }
    if (image)
        DestroyImage(image);
    DestroyImageInfo(info);
    DestroyExceptionInfo(&exception);
    DestroyMagick();
    return status;
}
