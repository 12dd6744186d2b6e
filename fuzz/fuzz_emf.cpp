// Fuzz target: the decoder of enhanced metafiles (record walk, libemf2svg, Qt Svg).
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
    platform::decodeEmf(bytes);
    return 0;
}
