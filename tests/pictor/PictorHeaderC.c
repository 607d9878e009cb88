/* The public header compiles as C11, and a C caller sees the same record. */
#include "pictor.h"

size_t pictorRecordSizeInC(void)
{
    GIFDECINFO record;
    (void)record;
    return sizeof(GIFDECINFO);
}

size_t pictorPrefixOffsetInC(void)
{
    return offsetof(GIFDECINFO, Prefix);
}
