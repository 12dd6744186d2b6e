// Fuzz target: the decoder of bitmaps and icons (header checks, Qt's readers); an input starting with "BM" is a bitmap.
#include "picturefuzz.h"
#include "platform/pictures.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    picturefuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = picturefuzz::bytes(data, size);
    if (bytes.startsWith("BM"))
        platform::decodeBmp(bytes);
    else
        platform::decodeIco(bytes);
    return 0;
}
